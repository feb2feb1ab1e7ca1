#include "shell/language.h"

#include <gtest/gtest.h>

namespace zuvela {
namespace {

TEST(Language, TheMessagesLocaleChoosesWithLcAllBeforeLcMessagesBeforeLang) {
    EXPECT_EQ(language_folder({.lang = "de_DE.UTF-8"}), "DE");
    EXPECT_EQ(language_folder({.lang = "de_AT.UTF-8"}), "DE") << "any territory of a language";
    EXPECT_EQ(language_folder({.lc_messages = "fr_FR.UTF-8", .lang = "de_DE.UTF-8"}), "FR");
    EXPECT_EQ(language_folder({.lc_all = "it_IT.UTF-8", .lc_messages = "fr_FR", .lang = "de_DE"}), "IT");
    EXPECT_EQ(language_folder({.lc_all = "", .lc_messages = "", .lang = "tr_TR.UTF-8"}), "TR")
        << "empty is unset";
}

TEST(Language, TheLanguageListIsTriedInTurnUnlessTheLocaleIsC) {
    EXPECT_EQ(language_folder({.language = "fr:de", .lang = "de_DE.UTF-8"}), "FR");
    EXPECT_EQ(language_folder({.language = "eo::nl_BE:de", .lang = "de_DE.UTF-8"}), "NL")
        << "unknown and empty entries are skipped";
    EXPECT_EQ(language_folder({.language = "en_GB:de", .lang = "de_DE.UTF-8"}), "")
        << "English is a choice too";
    EXPECT_EQ(language_folder({.language = "eo", .lang = "pl_PL.UTF-8"}), "PL")
        << "nothing in the list: the locale";
    EXPECT_EQ(language_folder({.language = "de", .lang = "C"}), "") << "a C locale ignores the list";
    EXPECT_EQ(language_folder({.language = "de", .lc_all = "C.UTF-8", .lang = "de_DE.UTF-8"}), "");
    EXPECT_EQ(language_folder({.language = "de"}), "") << "no locale at all is C";
}

TEST(Language, SerbianInEitherScriptAndTerritoriesThatSpeakDifferently) {
    EXPECT_EQ(language_folder({.lang = "sr_RS@latin"}), "SR");
    EXPECT_EQ(language_folder({.lang = "sr_RS.UTF-8@latin"}), "SR");
    EXPECT_EQ(language_folder({.lang = "sr_RS"}), "SR");
    EXPECT_EQ(language_folder({.language = "sr@latin:hr", .lang = "sr_RS.UTF-8"}), "SR");
    EXPECT_EQ(language_folder({.lang = "bs_BA.UTF-8"}), "BS");
    EXPECT_EQ(language_folder({.lang = "hr_HR.UTF-8"}), "HR");
    EXPECT_EQ(language_folder({.lang = "pt_BR.UTF-8"}), "PT_BR");
    EXPECT_EQ(language_folder({.lang = "pt_PT.UTF-8"}), "PT");
    EXPECT_EQ(language_folder({.language = "pt_BR:pt", .lang = "en_US.UTF-8"}), "PT_BR");
}

TEST(Language, AnythingElseIsEnglish) {
    EXPECT_EQ(language_folder({.lang = "C"}), "");
    EXPECT_EQ(language_folder({.lang = "POSIX"}), "");
    EXPECT_EQ(language_folder({.lang = "en_US.UTF-8"}), "");
    EXPECT_EQ(language_folder({.lang = "ja_JP.UTF-8"}), "") << "a language without voices";
    EXPECT_EQ(language_folder({.lang = "d"}), "");
    EXPECT_EQ(language_folder({.lang = "deu_DE"}), "") << "not German by its first letters";
    EXPECT_EQ(language_folder({.lang = "../../etc"}), "");
}

TEST(Language, EveryFolderIsAPlainNameUnderTheVoiceFolder) {
    EXPECT_EQ(voice_literal("", "CRVENA.WAV"), "/SOUND/VOICE/CRVENA.WAV");
    EXPECT_EQ(voice_literal("DE", "CRVENA.WAV"), "/SOUND/VOICE/DE/CRVENA.WAV");
    for (const Language& language : shipped_languages) {
        EXPECT_EQ(language_folder({.lang = language.locale}), language.folder) << language.locale;
        EXPECT_EQ(language.folder.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_"), std::string_view::npos);
    }
}

}  // namespace
}  // namespace zuvela
