#pragma once

#include <cstdint>

// The platform's owner-draw values that the icon button's painting works with, under names
// of our own so that the painting builds without the platform headers. The values are the
// platform's; the edge checks them against its headers at compile time.

// Item state flags of one draw request.
namespace item_state {
constexpr std::uint32_t selected = 0x0001;
constexpr std::uint32_t disabled = 0x0004;
constexpr std::uint32_t focus = 0x0010;
constexpr std::uint32_t defaultButton = 0x0020;
} // namespace item_state

// Text layout flags for the caption.
namespace text_format {
constexpr std::uint32_t center = 0x0001;
constexpr std::uint32_t verticalCenter = 0x0004;
constexpr std::uint32_t singleLine = 0x0020;
constexpr std::uint32_t caption = center | verticalCenter | singleLine;
} // namespace text_format
