#pragma once

// The catalogs the build made of res/lang/*.txt: English first, then the others by their
// language codes. Each holds one text per name of UserTexts, in the names' order: UTF-8, each
// terminated by a zero byte; a text the catalog lacks is the byte 0xFF alone.
struct TextCatalog {
    const char* language; // the catalog file's name: a lower-case ISO 639 code
    const char* texts;
};

inline constexpr char missingText = '\xFF';

extern const TextCatalog textCatalogs[];
extern const unsigned textCatalogCount;
