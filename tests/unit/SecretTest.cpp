#include "common/Secret.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Looks at every block when it is released: how many there were, and how many still held
// anything but zeroes.
struct Released {
    static inline int blocks = 0;
    static inline int unwiped = 0;
};

template <typename Unit> struct InspectingAllocator {
    using value_type = Unit;
    InspectingAllocator() = default;
    template <typename Other> InspectingAllocator(const InspectingAllocator<Other>&) {}
    Unit* allocate(std::size_t n) { return std::allocator<Unit>().allocate(n); }
    void deallocate(Unit* block, std::size_t n) {
        ++Released::blocks;
        if (std::any_of(block, block + n, [](Unit unit) { return unit != Unit{}; }))
            ++Released::unwiped;
        std::allocator<Unit>().deallocate(block, n);
    }
    bool operator==(const InspectingAllocator&) const = default;
};

using InspectedText = Secret<char16_t, InspectingAllocator<char16_t>>;

} // namespace

TEST(Secret, EveryReleasedBlockIsWiped) {
    for (const TextView password :
         {TextView(u"p4ss!"), TextView(u"a-forty-unit-password-0123456789abcdefgh")}) {
        SCOPED_TRACE(password.size());
        Released::blocks = Released::unwiped = 0;
        {
            InspectedText reassigned(password);
            reassigned = u"x"; // the old block goes
            InspectedText moved(password);
            InspectedText target(std::move(moved)); // the block changes hands, no copy is left
            EXPECT_TRUE(moved.empty());
            EXPECT_EQ(target, password);
            InspectedText grown(password);
            for (int i = 0; i < 100; ++i)
                grown += u'z'; // regrowth lets earlier blocks go
            InspectedText shortened(password);
            shortened.resize(1);
            EXPECT_EQ(std::count(shortened.data() + 1, shortened.data() + password.size(), 0),
                      static_cast<long>(password.size() - 1))
                << "the units given up are zero at once";
        }
        EXPECT_GE(Released::blocks, 6);
        EXPECT_EQ(Released::unwiped, 0);
    }
}

TEST(Secret, BehavesAsAString) {
    SecretText text(u"ab");
    text.append(text.view()); // a piece of itself, across a regrowth
    text += u'c';
    EXPECT_EQ(text, u"ababc");
    EXPECT_EQ(text.c_str()[text.size()], u'\0');
    text.resize(7, u'-');
    EXPECT_EQ(text, u"ababc--");
    text.resize(40, u'+'); // past the capacity: a new block takes the units over
    EXPECT_EQ(text.view().substr(0, 8), u"ababc--+");
    text.resize(7);
    text = text.view().substr(2, 3);
    EXPECT_EQ(text, u"abc");
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(SecretText().c_str()[0], u'\0');
}
