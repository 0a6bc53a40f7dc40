#pragma once

#include "framework/win/Handles.h"

// The font of the icon button's caption for a window at `dpi`: empty, meaning the stock GUI
// font itself, at the system's density; otherwise a font made from the stock GUI font's
// description with its height scaled by `dpi` over the system's density. Empty as well when
// that font cannot be made, so the caption falls back to the stock font.
UniqueFont CaptionFontForDpi(UINT dpi);
