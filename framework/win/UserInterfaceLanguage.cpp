#include "framework/win/UserInterfaceLanguage.h"

#include "common/UserLanguage.h"

#include <windows.h>

#include <string>

unsigned UserInterfaceCatalog() {
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    // The ISO 639 code, which is what the catalogs are named by ("de" for 0x407 and 0xC07).
    wchar_t code[9] = {};
    const int length = GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, code, 9);
    std::string narrow;
    for (int i = 0; i + 1 < length; ++i) {
        if (code[i] > 0x7F)
            return 0;
        narrow += static_cast<char>(code[i]);
    }
    return CatalogForLocale(narrow).value_or(0);
}
