#pragma once

#include "common/Secret.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Owns one POSIX file descriptor and closes it however the scope is left. Move-only.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        reset(other.release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd; }
    explicit operator bool() const { return fd >= 0; }
    int release() { return std::exchange(fd, -1); }
    void reset(int other = -1) {
        if (fd >= 0)
            ::close(fd);
        fd = other;
    }

    // Closes now and says whether the close succeeded: a write's failure (a full disk on a
    // network file system) may show only here.
    bool Close() { return ::close(release()) == 0; }

private:
    int fd = -1;
};

// Opens path for reading when it names a regular file, else gives no descriptor. Non-blocking,
// so a FIFO put in the file's place cannot hang the program on the open; extraFlags may add
// O_NOFOLLOW.
inline FileDescriptor OpenRegularFile(const char* path, int extraFlags = 0) {
    FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags));
    struct stat status;
    if (file && (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)))
        file.reset();
    return file;
}

// Writes every byte, resuming after a short write or a signal; false when a write fails.
inline bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// Hands what fd holds, from its position to its end, to append in chunks (a span of bytes
// each), reading no more than limit + 1 bytes. False when a read fails or there are more than
// limit bytes; what was handed over is then for the caller to drop. The chunk on the stack is
// wiped, since the bytes may be a secret's.
template <typename Append> bool ReadAtMost(int fd, std::size_t limit, Append&& append) {
    std::uint8_t chunk[4096];
    std::size_t total = 0;
    bool whole = true;
    for (;;) {
        const std::size_t wanted = std::min(sizeof chunk, limit + 1 - total);
        const ssize_t got = ::read(fd, chunk, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            whole = got == 0;
            break;
        }
        append(std::span<const std::uint8_t>(chunk, static_cast<std::size_t>(got)));
        total += static_cast<std::size_t>(got);
        if (total > limit) {
            whole = false;
            break;
        }
    }
    WipeMemory(chunk, sizeof chunk);
    return whole;
}
