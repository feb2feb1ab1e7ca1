#include "shell/language.h"

#include <string>

namespace zuvela {

namespace {

bool is_c_locale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.starts_with("C.");
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// "pt_BR.UTF-8@euro" against "pt_BR" or "pt": the language, and the territory when the entry names one; the
// code set and modifier never matter (sr_RS@latin and sr_RS are both Serbian).
bool matches(std::string_view name, std::string_view locale) {
    const std::size_t end = name.find_first_of(".@");
    if (end != std::string_view::npos) name = name.substr(0, end);
    if (locale.find('_') == std::string_view::npos) name = name.substr(0, name.find('_'));
    if (name.size() != locale.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool territory = name.find('_') < i;
        if ((territory ? name[i] : lower(name[i])) != locale[i]) return false;
    }
    return true;
}

// nullptr: English or a language we do not ship.
const Language* known(std::string_view name) {
    const Language* found = nullptr;
    for (const Language& language : shipped_languages) {
        // A territory's own entry is preferred over its language's.
        if (matches(name, language.locale) && (!found || language.locale.size() > found->locale.size()))
            found = &language;
    }
    return found;
}

}  // namespace

std::string_view language_folder(const LocaleVariables& env) {
    std::string_view locale = !env.lc_all.empty()        ? env.lc_all
                              : !env.lc_messages.empty() ? env.lc_messages
                                                         : env.lang;
    if (locale.empty() || is_c_locale(locale)) return {};
    for (std::string_view list = env.language; !list.empty();) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
        if (entry.empty()) continue;
        if (matches(entry, "en")) return {};
        if (const Language* language = known(entry)) return language->folder;
    }
    const Language* language = known(locale);
    return language ? language->folder : std::string_view{};
}

std::string voice_literal(std::string_view folder, std::string_view file) {
    std::string literal = "/SOUND/VOICE/";
    if (!folder.empty()) literal.append(folder).append("/");
    return literal.append(file);
}

}  // namespace zuvela
