#include "common/UserTexts.h"

#include "common/UserTextCatalogs.h"

#include <cstring>
#include <vector>

namespace UserTexts {
namespace {

// Each name's text in the catalog in use, English where that catalog lacks it.
std::vector<Text> Decode(unsigned catalog) {
    std::vector<Text> texts(textNameCount);
    const char* english = textCatalogs[0].texts;
    const char* chosen = textCatalogs[catalog].texts;
    for (Text& text : texts) {
        text = FromUtf8(chosen[0] == missingText ? english : chosen);
        english += std::strlen(english) + 1;
        chosen += std::strlen(chosen) + 1;
    }
    return texts;
}

struct InUse {
    unsigned catalog = 0;
    std::vector<Text> texts = Decode(0);
};

InUse& Current() {
    static InUse inUse;
    return inUse;
}

} // namespace

TextView TextName::View() const {
    return Current().texts[index];
}

void UseCatalog(unsigned catalog) {
    InUse& inUse = Current();
    inUse.catalog = catalog < textCatalogCount ? catalog : 0;
    inUse.texts = Decode(inUse.catalog);
}

unsigned CatalogInUse() {
    return Current().catalog;
}

} // namespace UserTexts
