// The 25 subjects of the colouring book, in gallery order. Each draws on a white 750 × 600 cairo surface.
#pragma once

#include <cairo.h>

#include <array>

namespace artgen::outline {

inline constexpr int k_width = 750;
inline constexpr int k_height = 600;

struct Subject {
    const char* name;
    void (*draw)(cairo_t* cr);
};

// Animals live in outline_subjects.cpp, things and places in outline_things.cpp.
void draw_cat(cairo_t* cr);
void draw_dog(cairo_t* cr);
void draw_fish_bowl(cairo_t* cr);
void draw_butterfly(cairo_t* cr);
void draw_clown(cairo_t* cr);
void draw_elephant(cairo_t* cr);
void draw_snail(cairo_t* cr);
void draw_owl(cairo_t* cr);
void draw_teddy_bear(cairo_t* cr);
void draw_tortoise(cairo_t* cr);
void draw_bird(cairo_t* cr);
void draw_ladybird(cairo_t* cr);

void draw_house(cairo_t* cr);
void draw_car(cairo_t* cr);
void draw_train(cairo_t* cr);
void draw_boat(cairo_t* cr);
void draw_aeroplane(cairo_t* cr);
void draw_flower_pot(cairo_t* cr);
void draw_sun_and_clouds(cairo_t* cr);
void draw_tree(cairo_t* cr);
void draw_rocket(cairo_t* cr);
void draw_ice_cream(cairo_t* cr);
void draw_castle(cairo_t* cr);
void draw_apple_basket(cairo_t* cr);
void draw_balloon(cairo_t* cr);

inline constexpr std::array<Subject, 25> k_subjects = {{
    {"cat", draw_cat},
    {"house", draw_house},
    {"fish bowl", draw_fish_bowl},
    {"car", draw_car},
    {"butterfly", draw_butterfly},
    {"dog", draw_dog},
    {"train", draw_train},
    {"flower pot", draw_flower_pot},
    {"boat", draw_boat},
    {"elephant", draw_elephant},
    {"sun and clouds", draw_sun_and_clouds},
    {"clown", draw_clown},
    {"aeroplane", draw_aeroplane},
    {"snail", draw_snail},
    {"tree", draw_tree},
    {"owl", draw_owl},
    {"rocket", draw_rocket},
    {"teddy bear", draw_teddy_bear},
    {"ice cream", draw_ice_cream},
    {"tortoise", draw_tortoise},
    {"castle", draw_castle},
    {"bird", draw_bird},
    {"apple basket", draw_apple_basket},
    {"ladybird", draw_ladybird},
    {"balloon", draw_balloon},
}};

}  // namespace artgen::outline
