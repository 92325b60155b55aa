#pragma once

#include <string_view>

#include "ui/texts/english.h"

namespace mogumo {

// The language of a locale name ("ja_JP.UTF-8", "ja", "en_GB", "C", ""):
// Japanese for Japanese, English for every other.
Language languageOfLocale(std::string_view localeName);

// The language the player reads menus in, as the help page picks it: the
// first of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and LANG that is
// set, not the locale numbers are written in.
Language systemLanguage();

}  // namespace mogumo
