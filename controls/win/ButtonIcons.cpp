#include "controls/win/ButtonIcons.h"

void ButtonIcons::Reset() {
    ownPressed.reset();
    ownHover.reset();
    normal.reset();
}

void ButtonIcons::Set(UniqueIcon newNormal, UniqueIcon pressed, UniqueIcon hover) {
    Reset();
    if (!newNormal)
        return;
    normal = std::move(newNormal);
    ownPressed = std::move(pressed);
    ownHover = std::move(hover);
}

UniqueIcon LoadResourceIcon(unsigned id, int size) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id & 0xFFFF), IMAGE_ICON, size, size, 0)));
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return {0, 0};
    // The query hands out copies of the icon's bitmaps, which are ours to delete.
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    return {static_cast<LONG>(2 * info.xHotspot), static_cast<LONG>(2 * info.yHotspot)};
}
