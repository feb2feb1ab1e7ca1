// Things and places of the colouring book.
#include <cmath>
#include <tuple>
#include <utility>

#include "outline_draw.h"
#include "outline_subjects.h"

namespace artgen::outline {

void draw_house(cairo_t* cr) {
    sun(cr, 85, 85, 45, 12);
    cloud(cr, 610, 85, 95, 36);
    ground(cr, {{-10, 505}, {250, 512}, {500, 500}, {760, 508}});
    // Smoke puffs and chimney, behind the roof.
    puffs(cr, {{440, 95, 20}, {465, 70, 26}, {500, 48, 30}});
    box(cr, 400, 110, 52, 110);
    box(cr, 392, 100, 68, 24, 4);
    // A tree and a fence beside the house.
    for (int i = 0; i < 6; ++i) {
        const double x = 515 + i * 40;
        polygon(cr, {{x, 525}, {x, 440}, {x + 14, 424}, {x + 28, 440}, {x + 28, 525}});
    }
    box(cr, 505, 455, 250, 16);
    box(cr, 505, 495, 250, 16);
    box(cr, 625, 330, 40, 195, 6);
    puffs(cr, {{645, 250, 70}, {600, 290, 50}, {690, 290, 50}, {645, 310, 50}});
    // The house.
    box(cr, 160, 270, 320, 250);
    patterned(
        cr,
        [&] {
            poly_path(cr, {{130, 280}, {320, 120}, {510, 280}});
        },
        [&] {
            for (double y : {170.0, 215.0, 260.0}) line(cr, {{100, y}, {540, y}});
        });
    circle(cr, 320, 215, 30);
    line(cr, {{320, 187}, {320, 243}});
    line(cr, {{292, 215}, {348, 215}});
    for (double x : {190.0, 380.0}) {
        box(cr, x - 10, 382, 90, 18, 4);
        patterned(
            cr, [&] { rect_path(cr, x, 300, 70, 82); },
            [&] {
                line(cr, {{x + 35, 300}, {x + 35, 382}});
                line(cr, {{x, 341}, {x + 70, 341}});
            });
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, 320, 405, 40, rad(180), rad(360));
    cairo_line_to(cr, 360, 520);
    cairo_line_to(cr, 280, 520);
    cairo_close_path(cr);
    outlined(cr);
    dot(cr, 345, 460, 6);
    polygon(cr, {{280, 522}, {360, 522}, {400, 610}, {240, 610}});
    flower(cr, 200, 525, 75, 34);
    flower(cr, 440, 525, 65, 32, false);
}

void draw_car(cairo_t* cr) {
    sun(cr, 90, 85, 44, 12);
    cloud(cr, 560, 90, 100, 38);
    // The road with its dashed middle line.
    ground(cr, {{-10, 470}, {760, 470}});
    for (double x : {30.0, 210.0, 390.0, 570.0}) box(cr, x, 535, 110, 16, 6);
    // The car: cabin, body, windows, wheels.
    blob(cr, {{210, 290}, {270, 190}, {470, 185}, {540, 290}});
    rect_path(cr, 90, 280, 570, 145, 50);
    outlined(cr);
    polygon(cr, {{235, 285}, {282, 210}, {360, 210}, {360, 285}});
    polygon(cr, {{385, 285}, {385, 210}, {460, 210}, {515, 285}});
    line(cr, {{372, 295}, {372, 410}});
    box(cr, 300, 310, 40, 14, 7);
    box(cr, 400, 310, 40, 14, 7);
    oval(cr, 640, 330, 22, 28);
    box(cr, 86, 320, 26, 40, 8);
    box(cr, 620, 390, 60, 26, 12);
    box(cr, 70, 390, 60, 26, 12);
    for (double x : {220.0, 530.0}) {
        circle(cr, x, 430, 62);
        circle(cr, x, 430, 30);
        dot(cr, x, 430, 8);
    }
}

void draw_train(cairo_t* cr) {
    cloud(cr, 620, 80, 90, 34);
    // Smoke drifting back from the chimney.
    puffs(cr, {{415, 150, 26}, {385, 115, 32}, {335, 90, 38}, {270, 80, 30}});
    // Rails.
    for (int i = 0; i < 10; ++i) box(cr, 10 + i * 76, 520, 40, 50, 4);
    box(cr, -10, 512, 770, 14);
    // The wagon with its load of blocks.
    box(cr, 590, 310, 50, 70, 4);
    box(cr, 520, 330, 70, 50, 4);
    circle(cr, 670, 345, 35);
    box(cr, 500, 380, 230, 90, 10);
    box(cr, 470, 420, 40, 16, 4);
    for (double x : {545.0, 685.0}) {
        circle(cr, x, 475, 36);
        circle(cr, x, 475, 12);
    }
    // The engine: chimney, boiler, cab, wheels.
    polygon(cr, {{385, 280}, {375, 185}, {440, 185}, {430, 280}});
    box(cr, 365, 170, 85, 24, 6);
    circle(cr, 300, 262, 26);
    box(cr, 230, 280, 240, 160, 20);
    for (double x : {280.0, 340.0, 400.0}) line(cr, {{x, 280}, {x, 440}});
    box(cr, 60, 200, 180, 240, 8);
    box(cr, 40, 180, 220, 34, 10);
    box(cr, 95, 240, 110, 90, 10);
    polygon(cr, {{470, 380}, {520, 450}, {470, 450}});
    circle(cr, 455, 320, 22);
    for (double x : {130.0, 260.0, 390.0}) {
        circle(cr, x, 455, x < 200 ? 58 : 46);
        circle(cr, x, 455, 16);
    }
    box(cr, 130, 445, 260, 18, 9);
}

void draw_boat(cairo_t* cr) {
    sun(cr, 640, 90, 48, 12);
    cloud(cr, 150, 80, 100, 36);
    for (double x : {300.0, 520.0}) {
        curve(cr, {{x - 30, 170}, {x - 15, 158}, {x, 170}});
        curve(cr, {{x, 170}, {x + 15, 158}, {x + 30, 170}});
    }
    // The boat behind the nearest waves.
    line(cr, {{375, 390}, {375, 90}}, 8);
    polygon(cr, {{378, 95}, {440, 115}, {378, 135}});
    blob(cr, {{390, 120}, {500, 220}, {580, 360}, {390, 360}});
    blob(cr, {{360, 150}, {280, 250}, {200, 360}, {360, 360}});
    line(cr, {{390, 240}, {540, 240}});
    polygon(cr, {{120, 370}, {630, 370}, {550, 470}, {200, 470}});
    box(cr, 130, 362, 490, 22, 8);
    for (double x : {270.0, 375.0, 480.0}) {
        circle(cr, x, 420, 22);
    }
    // Sea: bands of waves to the bottom.
    for (int band = 0; band < 3; ++band) {
        const double y = 450 + band * 55;
        Pts edge;
        for (int i = 0; i <= 12; ++i) edge.push_back({-10 + i * 65.0, y + (i % 2 == 0 ? 0 : 16)});
        ground(cr, edge);
    }
    // A fish jumping.
    placed(cr, 660, 420, 0.8, true, [&] {
        polygon(cr, {{-50, 0}, {-85, -30}, {-78, 0}, {-85, 30}});
        oval(cr, 0, 0, 56, 32);
        eye(cr, 28, -6, 11, 0.4, 0);
    });
}

void draw_aeroplane(cairo_t* cr) {
    sun(cr, 80, 80, 42, 12);
    cloud(cr, 610, 90, 100, 38);
    cloud(cr, 160, 480, 110, 40);
    cloud(cr, 600, 500, 90, 34);
    // Far wing, tail, body, near wing, propeller.
    polygon(cr, {{360, 280}, {420, 160}, {470, 160}, {450, 280}});
    polygon(cr, {{150, 300}, {90, 180}, {150, 180}, {230, 290}});
    polygon(cr, {{140, 320}, {70, 330}, {70, 355}, {170, 350}});
    blob(cr,
         {{120, 300}, {250, 260}, {500, 255}, {600, 285}, {620, 330}, {560, 370}, {300, 375}, {130, 345}});
    cairo_new_sub_path(cr);
    cairo_arc(cr, 520, 290, 50, rad(200), rad(340));
    cairo_close_path(cr);
    outlined(cr);
    for (double x : {270.0, 330.0, 390.0}) circle(cr, x, 305, 20);
    line(cr, {{180, 345}, {560, 350}});
    polygon(cr, {{330, 335}, {460, 335}, {400, 470}, {340, 470}});
    box(cr, 612, 290, 36, 80, 14);
    oval(cr, 670, 260, 14, 62);
    oval(cr, 670, 400, 14, 62);
    circle(cr, 662, 330, 20);
}

void draw_flower_pot(cairo_t* cr) {
    box(cr, -10, 540, 770, 80);
    // Stems and leaves behind the pot's rim.
    curve_path(cr, {{330, 400}, {300, 300}, {220, 200}});
    tube(cr, 12);
    curve_path(cr, {{375, 400}, {380, 250}, {375, 130}});
    tube(cr, 12);
    curve_path(cr, {{420, 400}, {460, 300}, {540, 220}});
    tube(cr, 12);
    leaf(cr, {310, 330}, {210, 310}, 30);
    leaf(cr, {380, 300}, {470, 250}, 30);
    leaf(cr, {455, 320}, {560, 330}, 30);
    // A tulip, a daisy and a round flower.
    blob(cr,
         {{180, 170}, {190, 240}, {220, 255}, {250, 240}, {260, 170}, {240, 195}, {220, 160}, {200, 195}});
    daisy(cr, 375, 130, 95, 8);
    puffs(cr, {{545, 205, 34}, {585, 185, 34}, {590, 230, 34}, {555, 255, 34}, {520, 240, 30}});
    circle(cr, 557, 220, 26);
    // The pot with a zigzag band.
    patterned(
        cr,
        [&] {
            poly_path(cr, {{250, 430}, {500, 430}, {470, 560}, {280, 560}});
        },
        [&] {
            Pts zig;
            for (int i = 0; i <= 10; ++i) zig.push_back({240 + i * 28.0, i % 2 == 0 ? 470.0 : 505.0});
            line(cr, zig);
        });
    box(cr, 230, 395, 290, 45, 10);
    // A bee flying by.
    placed(cr, 140, 420, 1, false, [&] {
        oval(cr, -8, -34, 22, 16, -20);
        oval(cr, 16, -34, 22, 16, 20);
        patterned(
            cr, [&] { ellipse_path(cr, 0, 0, 42, 28); },
            [&] {
                for (double x : {-14.0, 12.0}) line(cr, {{x, -30}, {x, 30}}, 9);
            });
        dot(cr, 28, -6, 4);
    });
}

void draw_sun_and_clouds(cairo_t* cr) {
    // A rainbow over the hills, a big smiling sun and clouds.
    for (double r : {300.0, 262.0, 224.0, 186.0}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, 400, 520, r, rad(180), rad(360));
        cairo_close_path(cr);
        outlined(cr);
    }
    ground(cr, {{-10, 500}, {160, 450}, {330, 510}, {520, 460}, {760, 500}});
    ground(cr, {{-10, 560}, {250, 530}, {520, 560}, {760, 540}});
    cloud(cr, 115, 440, 100, 42);
    cloud(cr, 690, 450, 90, 40);
    for (int i = 0; i < 12; ++i) {
        const double a = rad(30.0 * i), b = rad(30.0 * i + 11), c = rad(30.0 * i - 11);
        polygon(cr, {{150 + 118 * std::cos(a), 150 + 118 * std::sin(a)},
                     {150 + 70 * std::cos(b), 150 + 70 * std::sin(b)},
                     {150 + 70 * std::cos(c), 150 + 70 * std::sin(c)}});
    }
    circle(cr, 150, 150, 78);
    eye(cr, 122, 135, 14, 0, 0.2);
    eye(cr, 178, 135, 14, 0, 0.2);
    smile(cr, 150, 160, 36, 45);
    oval(cr, 105, 175, 13, 9);
    oval(cr, 195, 175, 13, 9);
    cloud(cr, 560, 110, 120, 46);
    cloud(cr, 400, 70, 70, 28);
    for (double x : {560.0, 640.0}) {
        curve(cr, {{x - 26, 230}, {x - 12, 218}, {x, 230}});
        curve(cr, {{x, 230}, {x + 12, 218}, {x + 26, 230}});
    }
}

void draw_tree(cairo_t* cr) {
    sun(cr, 670, 80, 42, 12);
    ground(cr, {{-10, 500}, {250, 485}, {500, 500}, {760, 490}});
    // Trunk with roots, a round crown full of apples.
    blob(cr, {{330, 300}, {420, 300}, {430, 460}, {480, 520}, {375, 510}, {270, 520}, {320, 460}});
    oval(cr, 390, 420, 18, 26);
    ellipse_path(cr, 390, 420, 12, 19);
    filled(cr);
    puffs(cr, {{375, 200, 120},
               {250, 230, 80},
               {500, 230, 80},
               {290, 120, 80},
               {460, 120, 80},
               {375, 80, 80},
               {300, 300, 60},
               {450, 300, 60}});
    for (Pt a : {Pt{280, 160}, Pt{380, 110}, Pt{470, 170}, Pt{330, 250}, Pt{440, 260}, Pt{240, 260},
                 Pt{520, 250}, Pt{375, 180}}) {
        circle(cr, a.x, a.y, 24);
        line(cr, {{a.x, a.y - 22}, {a.x + 4, a.y - 34}});
    }
    for (Pt a : {Pt{200, 520}, Pt{560, 530}}) {
        circle(cr, a.x, a.y, 26);
        leaf(cr, {a.x + 2, a.y - 24}, {a.x + 32, a.y - 40}, 10, false);
    }
    grass_tuft(cr, 90, 560, 1.4);
    grass_tuft(cr, 660, 575, 1.4);
    flower(cr, 120, 500, 70, 28);
    flower(cr, 650, 505, 80, 28, false);
}

void draw_rocket(cairo_t* cr) {
    for (Pt p :
         {Pt{90, 80}, Pt{200, 200}, Pt{600, 260}, Pt{690, 420}, Pt{120, 420}, Pt{560, 60}, Pt{250, 530}})
        star(cr, p.x, p.y, 26, 12, 5);
    // A ringed planet and a moon with craters.
    circle(cr, 620, 150, 60);
    oval(cr, 620, 150, 100, 24, -15);
    ellipse_path(cr, 620, 150, 76, 12, -15);
    outlined(cr);
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 620, 150, 60, rad(165), rad(345));
            cairo_close_path(cr);
        },
        [&] {
            line(cr, {{540, 120}, {700, 80}});
        });
    circle(cr, 130, 530, 55);
    circle(cr, 110, 515, 14);
    circle(cr, 150, 550, 11);
    // Flames, fins, body, window.
    puffs(cr, {{375, 510, 40}, {345, 480, 30}, {405, 480, 30}, {375, 560, 24}});
    blob(cr, {{375, 460}, {395, 500}, {375, 530}, {355, 500}});
    polygon(cr, {{320, 340}, {240, 440}, {250, 490}, {320, 440}});
    polygon(cr, {{430, 340}, {510, 440}, {500, 490}, {430, 440}});
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_move_to(cr, 375, 40);
            cairo_curve_to(cr, 470, 130, 470, 330, 440, 460);
            cairo_line_to(cr, 310, 460);
            cairo_curve_to(cr, 280, 330, 280, 130, 375, 40);
            cairo_close_path(cr);
        },
        [&] {
            curve(cr, {{300, 140}, {375, 160}, {450, 140}});
            curve(cr, {{290, 400}, {375, 415}, {460, 400}});
        });
    circle(cr, 375, 255, 50);
    circle(cr, 375, 255, 34);
    box(cr, 362, 420, 26, 70, 12);
}

void draw_ice_cream(cairo_t* cr) {
    sun(cr, 90, 90, 44, 12);
    cloud(cr, 640, 90, 80, 32);
    // Waffle cone.
    patterned(
        cr,
        [&] {
            poly_path(cr, {{270, 340}, {480, 340}, {375, 590}});
        },
        [&] {
            // Lines parallel to the cone's sides leave whole diamonds along them, no slivers.
            for (int j = 1; j < 5; ++j) {
                line(cr, {{270 + 42.0 * j, 340}, {270 + 42.0 * j + 210, 840}});
                line(cr, {{480 - 42.0 * j, 340}, {480 - 42.0 * j - 210, 840}});
            }
        });
    // Three scoops with drips, the middle one smiling.
    auto scoop = [&](double cx, double cy, double rx, double ry) {
        blob(cr, {{cx - rx, cy + ry * 0.5},
                  {cx - rx * 0.9, cy - ry * 0.6},
                  {cx, cy - ry},
                  {cx + rx * 0.9, cy - ry * 0.6},
                  {cx + rx, cy + ry * 0.5},
                  {cx + rx * 0.6, cy + ry * 0.55},
                  {cx + rx * 0.45, cy + ry * 1.0},
                  {cx + rx * 0.3, cy + ry * 0.55},
                  {cx - rx * 0.1, cy + ry * 0.6},
                  {cx - rx * 0.3, cy + ry * 1.05},
                  {cx - rx * 0.5, cy + ry * 0.55}});
    };
    scoop(375, 320, 135, 60);
    scoop(375, 230, 115, 60);
    eye(cr, 340, 225, 14, 0, 0.2);
    eye(cr, 410, 225, 14, 0, 0.2);
    smile(cr, 375, 238, 26, 45);
    scoop(375, 140, 95, 55);
    for (auto [x, y, a] :
         {std::tuple{330.0, 120.0, 30.0}, std::tuple{360.0, 100.0, -40.0}, std::tuple{405.0, 115.0, 60.0},
          std::tuple{430.0, 140.0, -20.0}, std::tuple{315.0, 150.0, -60.0}, std::tuple{385.0, 140.0, 10.0}}) {
        line(cr,
             {{x - 8 * std::cos(rad(a)), y - 8 * std::sin(rad(a))},
              {x + 8 * std::cos(rad(a)), y + 8 * std::sin(rad(a))}},
             7);
    }
    curve(cr, {{380, 60}, {395, 35}, {420, 20}});
    circle(cr, 378, 72, 22);
}

void draw_castle(cairo_t* cr) {
    cloud(cr, 120, 80, 90, 34);
    cloud(cr, 640, 70, 80, 30);
    ground(cr, {{-10, 520}, {250, 505}, {500, 515}, {760, 505}});
    // Flags and roofs first, so the towers cover the poles' feet.
    for (auto [x, top] : {std::pair{140.0, 90.0}, std::pair{610.0, 90.0}, std::pair{375.0, 40.0}}) {
        line(cr, {{x, top + 60}, {x, top}});
        polygon(cr, {{x, top}, {x + 50, top + 14}, {x, top + 28}});
    }
    polygon(cr, {{80, 210}, {140, 120}, {200, 210}});
    polygon(cr, {{550, 210}, {610, 120}, {670, 210}});
    polygon(cr, {{305, 150}, {375, 80}, {445, 150}});
    // Towers and walls with battlements.
    auto battlements = [&](double x0, double x1, double y, double depth) {
        Pts top{{x0, y + 300}, {x0, y}};
        const int teeth = int((x1 - x0) / 40);
        const double step = (x1 - x0) / (2 * teeth - 1);
        for (int i = 0; i < 2 * teeth - 1; ++i) {
            const double dy = i % 2 == 0 ? 0 : depth;
            top.push_back({x0 + i * step, y + dy});
            top.push_back({x0 + (i + 1) * step, y + dy});
        }
        top.push_back({x1, y + 300});
        polygon(cr, top);
    };
    battlements(200, 550, 250, 28);
    box(cr, 310, 150, 130, 160);
    box(cr, 90, 210, 100, 310);
    box(cr, 560, 210, 100, 310);
    box(cr, 200, 300, 350, 220);
    for (double x : {115.0, 585.0}) {
        box(cr, x, 260, 50, 70, 25);
        box(cr, x, 380, 50, 70, 25);
    }
    box(cr, 345, 190, 60, 80, 30);
    box(cr, 240, 340, 50, 60, 25);
    box(cr, 460, 340, 50, 60, 25);
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 375, 430, 65, rad(180), rad(360));
            cairo_line_to(cr, 440, 520);
            cairo_line_to(cr, 310, 520);
            cairo_close_path(cr);
        },
        [&] {
            for (double x : {345.0, 375.0, 405.0}) line(cr, {{x, 360}, {x, 520}});
            line(cr, {{300, 430}, {450, 430}});
        });
    polygon(cr, {{310, 522}, {440, 522}, {500, 610}, {250, 610}});
    for (Pt b : {Pt{215, 320}, Pt{500, 460}, Pt{230, 470}, Pt{520, 320}}) box(cr, b.x, b.y, 40, 20, 3);
}

void draw_apple_basket(cairo_t* cr) {
    sun(cr, 660, 80, 42, 12);
    box(cr, -10, 520, 770, 100);
    // Handle, apples heaped above the rim, then the basket in front.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 375, 330, 200, rad(180), rad(360));
    tube(cr, 26);
    auto apple = [&](double x, double y, double r, bool with_leaf) {
        line(cr, {{x, y - r * 0.6}, {x + 4, y - r * 1.2}}, 6);
        if (with_leaf) leaf(cr, {x + 4, y - r * 1.2}, {x + r * 0.95, y - r * 1.4}, r * 0.36, false);
        blob(cr, {{x, y - r * 0.62},
                  {x + r * 0.55, y - r * 0.92},
                  {x + r, y - r * 0.25},
                  {x + r * 0.7, y + r * 0.85},
                  {x, y + r * 0.95},
                  {x - r * 0.7, y + r * 0.85},
                  {x - r, y - r * 0.25},
                  {x - r * 0.55, y - r * 0.92}});
    };
    apple(305, 195, 55, true);
    apple(450, 195, 55, false);
    for (auto [x, y] : {std::pair{235.0, 270.0}, std::pair{375.0, 255.0}, std::pair{515.0, 270.0}})
        apple(x, y, 62, true);
    patterned(
        cr,
        [&] {
            poly_path(cr, {{160, 330}, {590, 330}, {540, 540}, {210, 540}});
        },
        [&] {
            for (double y : {390.0, 445.0, 495.0}) line(cr, {{150, y}, {600, y}});
            for (int i = 0; i < 9; ++i) {
                const double x = 195 + i * 45;
                const double off = (i % 2) * 55;
                line(cr, {{x, 335 + off}, {x, 390 + off}});
                line(cr, {{x + 22, 445 - off * 0}, {x + 22, 495}});
            }
        });
    box(cr, 145, 318, 460, 32, 16);
    // A fallen apple with a friendly worm.
    apple(650, 480, 50, true);
    curve_path(cr, {{668, 470}, {700, 440}, {730, 450}});
    tube(cr, 18);
    dot(cr, 726, 446, 3);
    apple(100, 490, 44, false);
}

void draw_balloon(cairo_t* cr) {
    sun(cr, 90, 85, 44, 12);
    cloud(cr, 620, 100, 90, 34);
    cloud(cr, 140, 330, 80, 30);
    ground(cr, {{-10, 545}, {180, 520}, {400, 550}, {760, 525}});
    // Envelope with stripes, band, ropes and basket.
    const auto envelope = [&] {
        cairo_new_sub_path(cr);
        cairo_move_to(cr, 330, 400);
        cairo_curve_to(cr, 170, 300, 200, 50, 375, 50);
        cairo_curve_to(cr, 550, 50, 580, 300, 420, 400);
        cairo_close_path(cr);
    };
    patterned(cr, envelope, [&] {
        curve(cr, {{330, 400}, {270, 220}, {375, 50}});
        curve(cr, {{420, 400}, {480, 220}, {375, 50}});
        curve(cr, {{360, 400}, {340, 220}, {375, 50}});
        curve(cr, {{390, 400}, {410, 220}, {375, 50}});
        curve(cr, {{150, 260}, {375, 300}, {600, 260}});
    });
    box(cr, 320, 395, 110, 24, 8);
    line(cr, {{330, 419}, {340, 470}});
    line(cr, {{420, 419}, {410, 470}});
    patterned(
        cr, [&] { rect_path(cr, 320, 465, 110, 70, 8); },
        [&] {
            line(cr, {{320, 500}, {430, 500}});
            for (double x : {357.0, 393.0}) line(cr, {{x, 465}, {x, 535}});
        });
    // A little balloon far away, and birds.
    oval(cr, 620, 300, 40, 48);
    line(cr, {{605, 345}, {610, 370}});
    line(cr, {{635, 345}, {630, 370}});
    box(cr, 603, 368, 34, 26, 4);
    for (Pt b : {Pt{560, 200}, Pt{610, 230}}) {
        curve(cr, {{b.x - 24, b.y}, {b.x - 12, b.y - 12}, {b.x, b.y}});
        curve(cr, {{b.x, b.y}, {b.x + 12, b.y - 12}, {b.x + 24, b.y}});
    }
}

}  // namespace artgen::outline
