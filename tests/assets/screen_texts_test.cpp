// Draws the pictures with words in every language with the art generator and measures every text as drawn.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "artgen.h"
#include "interface_widgets.h"
#include "support/scratch_dir.h"

namespace artgen {
namespace {

using ui::DrawnText;

std::vector<DrawnText> draw_every_text(const ScreenWords& words, const std::filesystem::path& scratch) {
    std::vector<DrawnText> drawn;
    ui::watch_drawn_texts([&](const DrawnText& text) { drawn.push_back(text); });
    const OutputDirs out{scratch / "PICTURE", {}, {}, {}, scratch / "builtin", {}};
    std::filesystem::create_directories(out.builtin);
    write_pictures_with_words(out, words);
    ui::watch_drawn_texts(nullptr);
    return drawn;
}

// A parent reads every word: nothing runs over its box's edge, nothing is shrunk below a readable size, and
// no language leaves out a text that English shows.
TEST(ScreenTexts, EveryTextOfEveryLanguageFitsItsBoxAtAReadableSize) {
    const std::filesystem::path scratch = zuvela::test::fresh_scratch_dir("zuvela-screen-texts");
    std::map<std::string, std::size_t> counts;
    double smallest = 1e9;
    std::string smallest_text;
    for (const ScreenWords& words : screen_words()) {
        const std::string language = words.folder.empty() ? "EN" : words.folder;
        const std::vector<DrawnText> drawn = draw_every_text(words, scratch / language);
        counts[language] = drawn.size();
        for (const DrawnText& text : drawn) {
            SCOPED_TRACE(language + ": \"" + text.text + "\"");
            EXPECT_GE(text.ink.x0, text.room.x0 - 0.01);
            EXPECT_GE(text.ink.y0, text.room.y0 - 0.01);
            EXPECT_LE(text.ink.x1, text.room.x1 + 0.01);
            EXPECT_LE(text.ink.y1, text.room.y1 + 0.01);
            EXPECT_GE(text.size, ui::k_readable_size);
            if (text.size < smallest) {
                smallest = text.size;
                smallest_text = language + " \"" + text.text + "\"";
            }
        }
    }
    for (const auto& [language, count] : counts) EXPECT_EQ(count, counts["EN"]) << language;
    std::printf("%zu texts in each of %zu languages; the smallest at %.1f px: %s\n", counts["EN"],
                counts.size(), smallest, smallest_text.c_str());

    // A text that cannot be read where it would have to go stops the art from being built.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 40);
    cairo_t* cr = cairo_create(surface);
    const ui::TextBox box{{0, 0, 100, 40}, 50, 24, 16, 2};
    EXPECT_EQ(ui::fit_text(cr, "a few words", box, {}).lines.size(), 1u);
    EXPECT_EQ(ui::fit_text(cr, "rather more words than fit", box, {}).lines.size(), 2u);
    EXPECT_THROW(ui::fit_text(cr, "Donaudampfschifffahrtsgesellschaft", box, {}), std::runtime_error);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    std::filesystem::remove_all(scratch);
}

}  // namespace
}  // namespace artgen
