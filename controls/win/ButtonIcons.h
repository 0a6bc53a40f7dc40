#pragma once

#include "framework/win/Handles.h"

// The three icons of an icon button. The normal icon is owned; the pressed and the hover
// icon are either owned as well or borrow the normal icon's handle, so a shared handle is
// destroyed exactly once.
class ButtonIcons {
public:
    ButtonIcons() = default;
    ButtonIcons(const ButtonIcons&) = delete;
    ButtonIcons& operator=(const ButtonIcons&) = delete;
    ~ButtonIcons() { Reset(); }

    // Destroys the pressed icon, then the hover icon, each only if it is its own, then the
    // normal icon.
    void Reset();

    // Takes the normal icon. An empty pressed or hover icon means "the normal one".
    void Set(UniqueIcon normal, UniqueIcon pressed, UniqueIcon hover);

    HICON Normal() const { return normal.get(); }
    HICON Pressed() const { return ownPressed ? ownPressed.get() : normal.get(); }
    HICON Hover() const { return ownHover ? ownHover.get() : normal.get(); }

private:
    UniqueIcon normal;
    UniqueIcon ownPressed;
    UniqueIcon ownHover;
};

// An icon of this program's resources, its image of `size` pixels square (the nearest one,
// stretched, when the resource has no such image); empty when it cannot be loaded. Only the
// low 16 bits of the id count.
UniqueIcon LoadResourceIcon(unsigned id, int size);

// An icon's width and height, taken from its hot spot, which is its centre; 0 by 0 when
// the icon cannot be queried.
SIZE IconSize(HICON icon);
