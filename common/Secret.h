#pragma once

#include "common/Text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

// Overwrites memory that held a secret. The barrier tells the compiler that the zeroes are
// read, so the stores are not dropped as dead before the memory is released.
inline void WipeMemory(void* memory, std::size_t bytes) {
    if (bytes == 0)
        return;
    std::memset(memory, 0, bytes);
    __asm__ __volatile__("" : : "r"(memory) : "memory");
}

// A string for secrets (a password, a session id, and everything built from them). Its units
// always live in one heap block of its own, never inside the object, and every block it lets
// go is wiped whole, spare capacity included: when it is destroyed, reassigned, regrown,
// shortened or cleared. A move hands the block over, so nothing is left behind in the source.
// std::basic_string cannot promise this: it keeps short texts inside the object and copies
// them on a move, and it regrows without wiping the block it leaves.
//
// The block has room for one unit more than the capacity, which is always a terminating 0,
// so c_str() can be handed to the platform.
template <typename Unit, typename Allocator = std::allocator<Unit>> class Secret {
public:
    using View = std::basic_string_view<Unit>;

    Secret() = default;
    Secret(View text) { append(text); }
    Secret(const Unit* text) : Secret(View(text)) {}
    Secret(const Secret& other) : Secret(other.view()) {}
    Secret(Secret&& other) noexcept
        : units(std::exchange(other.units, nullptr)), length(std::exchange(other.length, 0)),
          room(std::exchange(other.room, 0)) {}
    ~Secret() { Release(); }

    Secret& operator=(const Secret& other) {
        if (this != &other)
            assign(other.view());
        return *this;
    }
    Secret& operator=(Secret&& other) noexcept {
        if (this != &other) {
            Release();
            units = std::exchange(other.units, nullptr);
            length = std::exchange(other.length, 0);
            room = std::exchange(other.room, 0);
        }
        return *this;
    }
    Secret& operator=(View text) { return assign(text); }
    Secret& operator=(const Unit* text) { return assign(View(text)); }

    Secret& assign(View text) {
        // Copied first: the text may be part of this secret.
        Secret fresh(text);
        return *this = std::move(fresh);
    }

    Secret& append(View text) {
        if (text.empty())
            return *this;
        // The text may be part of this secret: it is copied before a regrowth lets it go.
        if (length + text.size() > room) {
            Secret grown;
            grown.reserve(Grown(length + text.size()));
            grown.append(view()).append(text);
            return *this = std::move(grown);
        }
        std::memmove(units + length, text.data(), text.size() * sizeof(Unit));
        length += text.size();
        units[length] = Unit{};
        return *this;
    }
    Secret& operator+=(View text) { return append(text); }
    Secret& operator+=(Unit unit) { return append(View(&unit, 1)); }

    // Makes room for at least capacity units; a new block takes the units over and the old
    // one is wiped.
    void reserve(std::size_t capacity) {
        if (capacity <= room)
            return;
        Unit* block = Allocator().allocate(capacity + 1);
        const std::size_t kept = length;
        if (kept)
            std::memcpy(block, units, kept * sizeof(Unit));
        block[kept] = Unit{};
        Release();
        units = block;
        length = kept;
        room = capacity;
    }

    // Shortening wipes the units given up; lengthening adds copies of fill.
    void resize(std::size_t size, Unit fill = Unit{}) {
        if (size < length) {
            WipeMemory(units + size, (length - size) * sizeof(Unit));
            length = size;
            return;
        }
        reserve(size);
        for (; length < size; ++length)
            units[length] = fill;
        if (units)
            units[length] = Unit{};
    }

    void clear() { resize(0); }

    std::size_t size() const { return length; }
    std::size_t capacity() const { return room; }
    bool empty() const { return length == 0; }

    Unit* data() { return units; }
    const Unit* data() const { return units; }
    const Unit* c_str() const { return units ? units : &terminator; }
    View view() const { return units ? View(units, length) : View(); }
    operator View() const { return view(); }
    std::span<const Unit> span() const { return {data(), length}; }
    operator std::span<const Unit>() const { return span(); }

    friend bool operator==(const Secret& a, const Secret& b) { return a.view() == b.view(); }
    friend bool operator==(const Secret& a, View b) { return a.view() == b; }
    friend bool operator==(const Secret& a, const Unit* b) { return a.view() == View(b); }

private:
    static std::size_t Grown(std::size_t needed) { return needed < 16 ? 16 : needed + needed / 2; }

    void Release() {
        if (!units)
            return;
        WipeMemory(units, (room + 1) * sizeof(Unit));
        Allocator().deallocate(units, room + 1);
        units = nullptr;
        length = room = 0;
    }

    static constexpr Unit terminator{};
    Unit* units = nullptr;
    std::size_t length = 0;
    std::size_t room = 0;
};

using SecretText = Secret<char16_t>;
using SecretBytes = Secret<std::uint8_t>;

// The text in UTF-8 (ToUtf8's rules) as a secret, for a platform call that takes UTF-8.
inline Secret<char> SecretUtf8(TextView text) {
    Secret<char> bytes;
    bytes.reserve(text.size() * 3);
    EncodeUtf8(text, [&bytes](char c) { bytes += c; });
    return bytes;
}
