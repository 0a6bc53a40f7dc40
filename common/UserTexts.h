#pragma once

#include "common/Text.h"

// Every text the program shows its user, by name. The texts live in one catalog per language
// (res/lang/<code>.txt, English in en.txt), which the build turns into the names below and
// the tables they are looked up in; the language in use is chosen once, at start.
namespace UserTexts {

// One text's name. It reads as the text in the language in use, or as the English one where
// that language's catalog lacks it. A view of it stays valid until the next UseCatalog.
class TextName {
public:
    constexpr explicit TextName(unsigned short index) : index(index) {}
    TextView View() const;
    operator TextView() const { return View(); }
    operator Text() const { return Text(View()); }

    unsigned short index;
};

inline Text operator+(TextName name, TextView text) {
    return Text(name.View()).append(text);
}
inline Text operator+(const Text& text, TextName name) {
    return Text(text).append(name.View());
}

// The catalog the texts are read from from now on (an index of textCatalogs); an index out of
// range means English, as does reading a text before any call. Called at start, before a
// second thread reads a text.
void UseCatalog(unsigned catalog);
unsigned CatalogInUse();

} // namespace UserTexts

#include "UserTextNames.h"

namespace UserTexts {

// Entries of the program's string table: the Windows resource script holds these two texts
// under these numbers (res/resource.h names the same numbers for it), and the logon procedure
// asks for them by number.
inline constexpr unsigned logonServerUnavailableId = 129;
inline constexpr unsigned logonFailedId = 130;

} // namespace UserTexts
