#pragma once

// The text catalog of the user's interface language (GetUserDefaultUILanguage), whatever its
// region; English when that language has no catalog.
unsigned UserInterfaceCatalog();
