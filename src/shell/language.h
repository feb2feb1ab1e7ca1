// Which language the program speaks and shows, from the locale it was started under: the colour names in
// SOUND/VOICE/<folder>/ and the pictures that carry words in PICTURE/<folder>/.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zuvela {

// The locale variables as the environment holds them; an unset variable is empty.
struct LocaleVariables {
    std::string_view language{};  // LANGUAGE: a colon-separated list of preferences
    std::string_view lc_all{};
    std::string_view lc_messages{};
    std::string_view lang{};
};

struct Language {
    std::string_view locale;  // "de", or "pt_BR" where a territory speaks differently
    std::string_view folder;  // under SOUND/VOICE and PICTURE
};

// Every language besides English, which stays in SOUND/VOICE and PICTURE themselves so that an installation
// without the language folders still speaks and shows everything.
inline constexpr std::array<Language, 15> shipped_languages = {{
    {"bs", "BS"},
    {"cs", "CS"},
    {"de", "DE"},
    {"es", "ES"},
    {"fr", "FR"},
    {"hr", "HR"},
    {"it", "IT"},
    {"nl", "NL"},
    {"pl", "PL"},
    {"pt", "PT"},
    {"pt_BR", "PT_BR"},
    {"sk", "SK"},
    {"sl", "SL"},
    {"sr", "SR"},
    {"tr", "TR"},
}};

// The language's folder for the locale, empty for English. The messages locale is the first set of
// LC_ALL, LC_MESSAGES and LANG; LANGUAGE's list is tried first, in turn, but only when that locale is not C
// or POSIX, as gettext does. Unlike gettext, the locale itself is still tried when nothing in the list is
// known: a child whose list names only languages we do not ship hears and reads their own locale's rather
// than English.
std::string_view language_folder(const LocaleVariables& env);

// The literal of a colour's spoken name: "/SOUND/VOICE/DE/CRVENA.WAV", or "/SOUND/VOICE/CRVENA.WAV" in
// English.
std::string voice_literal(std::string_view folder, std::string_view file);

}  // namespace zuvela
