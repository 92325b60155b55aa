#include "platform/qt/player_language.h"

#include <cstdlib>

namespace mogumo {

Language languageOfLocale(std::string_view name) {
    if (name.size() < 2 || (name[0] | 0x20) != 'j' || (name[1] | 0x20) != 'a')
        return Language::English;
    return name.size() == 2 || std::string_view("_-.@").find(name[2]) != std::string_view::npos
               ? Language::Japanese
               : Language::English;
}

Language systemLanguage() {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        std::string_view name = value;
        // LANGUAGE is a list of preferences ("ja:en"); the first one counts.
        return languageOfLocale(name.substr(0, name.find(':')));
    }
    return Language::English;
}

}  // namespace mogumo
