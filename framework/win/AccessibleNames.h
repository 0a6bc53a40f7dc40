#pragma once

#include "common/Text.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <oleacc.h>

#include <vector>

// Names for controls that a screen reader cannot take from a label before them, given through
// the accessibility property service (dynamic annotation). The service and oleacc come from
// the system folder on the first name. Every name is cleared by Clear, which the owner calls
// when its window is destroyed, and at the latest when this object goes.
class AccessibleNames {
public:
    AccessibleNames() = default;
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;
    ~AccessibleNames();

    // True when the service took the name for the control's client object.
    bool Set(HWND control, const Text& name);
    void Clear();

private:
    // Declared before the service, so that the service is released before oleacc is freed.
    UniqueModule oleacc;
    UniqueComPointer<IAccPropServices> services;
    std::vector<HWND> named;
};
