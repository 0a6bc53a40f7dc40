#include "controls/win/CaptionFont.h"

#include "framework/win/WindowDpi.h"

UniqueFont CaptionFontForDpi(UINT dpi) {
    const UINT systemDpi = SystemDpi();
    if (dpi == systemDpi)
        return {};
    LOGFONTW description{};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description))
        return {};
    description.lfHeight =
        MulDiv(description.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi));
    return UniqueFont(CreateFontIndirectW(&description));
}
