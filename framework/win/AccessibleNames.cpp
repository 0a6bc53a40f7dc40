#include "framework/win/AccessibleNames.h"

#include "framework/win/ComApartment.h"
#include "framework/win/SystemLibrary.h"
#include "framework/win/WideText.h"

namespace {

// The service and the name property, spelt out so that no GUID library is linked.
constexpr CLSID accPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID accPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID accNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

} // namespace

AccessibleNames::~AccessibleNames() {
    Clear();
}

bool AccessibleNames::Set(HWND control, const Text& name) {
    if (!services) {
        // The service's server is oleacc: loaded here from the system folder, so that COM
        // finds the system's copy already in the process. It stays loaded with the service.
        if (!oleacc)
            oleacc.reset(LoadSystemLibrary(L"oleacc.dll"));
        if (!oleacc || FAILED(CreateComInstance(accPropServicesClass, accPropServicesInterface,
                                                reinterpret_cast<void**>(services.put()))))
            return false;
    }
    if (FAILED(services.get()->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, accNameProperty,
                                              Wide(name))))
        return false;
    named.push_back(control);
    return true;
}

void AccessibleNames::Clear() {
    for (HWND control : named) {
        MSAAPROPID property = accNameProperty;
        services.get()->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    }
    named.clear();
}
