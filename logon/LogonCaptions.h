#pragma once

#include "common/UserTexts.h"
#include "logon/LogonTemplate.h"

#include <optional>

// The logon window's texts by their names in the catalogs: the title, and each template row's
// caption in the template's order (none for the edit boxes).
namespace LogonCaptions {

using namespace UserTexts;
inline constexpr std::optional<TextName> noCaption;

inline constexpr TextName title = LOGON_TEMPLATE_CAPTION;

#define LOGON_CAPTION_NAME(name, caption, ...) std::optional<TextName>(caption),
inline constexpr std::optional<TextName> rows[] = {LOGON_TEMPLATE_CONTROLS(LOGON_CAPTION_NAME)};
#undef LOGON_CAPTION_NAME

} // namespace LogonCaptions
