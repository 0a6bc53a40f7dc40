#pragma once

#include "common/Text.h"

#include <QString>

// QString holds UTF-16 as Text does, so both directions copy the units as they are.
inline QString ToQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The string's units, valid while the string lives unchanged: for reading them without a
// copy (a caption being painted, a copy that must go straight into a secret).
inline TextView ViewOf(const QString& text) {
    return TextView(reinterpret_cast<const char16_t*>(text.utf16()),
                    static_cast<std::size_t>(text.size()));
}

inline Text FromQString(const QString& text) {
    return Text(ViewOf(text));
}
