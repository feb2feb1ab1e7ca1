// Every word drawn into the pictures, in every language the palette speaks: the everyday words a parent
// uses with a small child. The product's name, the studio's logo and the web address are the same in all.
#pragma once

#include <string>
#include <vector>

namespace artgen {

// A line break ("\n") is where the English picture breaks the text; without one, a text that is too wide for
// its box is shrunk or wrapped at a space.
struct ScreenWords {
    std::string folder;  // under PICTURE, the same as the voices' folder; empty for English
    const char* ctrl;    // the Ctrl key as the language's keyboards label it

    // The main screen.
    const char* my_colouring_book;
    const char* come_and_visit_us_at;    // above the web address
    const char* for_more_colouring_fun;  // below it
    const char* info;
    const char* print_my_picture;
    const char* leave;

    // The gallery.
    const char* pick_a_picture_to_colour;
    const char* click_a_picture;

    // The leave panel.
    const char* do_you_want_to_leave;
    const char* bye_bye;         // under Yes
    const char* keep_colouring;  // under No
    const char* yes;
    const char* no;

    // The info panel.
    const char* for_little_artists;
    const char* made_by;  // before the studio's logo
    const char* print;

    // The printing notice.
    const char* printing;
    const char* please_wait;
    const char* a_moment;

    // The buttons.
    const char* erase;
    const char* draw;
    const char* fill;
    const char* back_to_my_picture;
    const char* close;
    const char* more_pictures;
    const char* visit_us_at;
};

// English first, then the other languages in the voices' order.
const std::vector<ScreenWords>& screen_words();

}  // namespace artgen
