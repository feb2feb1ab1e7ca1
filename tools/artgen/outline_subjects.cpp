// The animals of the colouring book.
#include <cmath>

#include "outline_draw.h"
#include "outline_subjects.h"

namespace artgen::outline {

void draw_cat(cairo_t* cr) {
    sun(cr, 78, 78, 44, 12);
    cloud(cr, 470, 80, 70, 30, 7);
    ground(cr, {{-10, 470}, {180, 448}, {420, 482}, {760, 455}});
    flower(cr, 80, 480, 95, 34);
    flower(cr, 690, 475, 120, 30, false);
    grass_tuft(cr, 150, 565, 1.4);
    grass_tuft(cr, 455, 580, 1.2);
    grass_tuft(cr, 690, 570, 1.4);

    // Tail curling up behind the body.
    curve_path(cr, {{380, 470}, {432, 456}, {458, 410}, {450, 350}, {470, 306}, {505, 296}});
    tube(cr, 26);

    blob(cr, {{250, 305},
              {350, 305},
              {388, 380},
              {402, 460},
              {388, 515},
              {300, 532},
              {212, 515},
              {198, 460},
              {212, 380}});
    oval(cr, 232, 475, 36, 56);
    oval(cr, 368, 475, 36, 56);
    oval(cr, 300, 440, 52, 66);
    for (double x : {262.0, 338.0}) {
        oval(cr, x, 522, 34, 20);
        line(cr, {{x - 10, 541}, {x - 10, 530}});
        line(cr, {{x + 10, 541}, {x + 10, 530}});
    }

    curve_path(cr, {{228, 300}, {300, 322}, {372, 300}});
    tube(cr, 14);
    circle(cr, 300, 334, 17);
    line(cr, {{287, 330}, {313, 330}});
    dot(cr, 300, 342, 3.5);

    // Ears, then the head over their roots.
    polygon(cr, {{198, 222}, {212, 100}, {296, 166}});
    polygon(cr, {{402, 222}, {388, 100}, {304, 166}});
    polygon(cr, {{216, 178}, {223, 126}, {266, 160}});
    polygon(cr, {{384, 178}, {377, 126}, {334, 160}});
    oval(cr, 300, 232, 112, 88);
    eye(cr, 258, 220, 24, 0.3, -0.2);
    eye(cr, 342, 220, 24, 0.3, -0.2);
    oval(cr, 228, 270, 16, 11);
    oval(cr, 372, 270, 16, 11);
    poly_path(cr, {{289, 254}, {311, 254}, {300, 266}});
    filled(cr);
    line(cr, {{300, 266}, {300, 274}});
    arc_line(cr, 288, 274, 12, 10, 170);
    arc_line(cr, 312, 274, 12, 10, 170);
    for (double side : {-1.0, 1.0}) {
        line(cr, {{300 + side * 104, 248}, {300 + side * 160, 236}});
        line(cr, {{300 + side * 106, 262}, {300 + side * 164, 264}});
        line(cr, {{300 + side * 102, 276}, {300 + side * 156, 294}});
    }

    // Ball of wool with its loose thread running to the cat's paw.
    curve(cr, {{368, 534}, {405, 552}, {445, 534}, {480, 548}, {508, 524}});
    patterned(
        cr, [&] { ellipse_path(cr, 565, 478, 74, 74); },
        [&] {
            for (double r : {128.0, 162.0, 196.0}) arc_line(cr, 420, 478, r, -60, 60);
            for (double r : {122.0, 166.0}) arc_line(cr, 565, 330, r, 30, 150);
        });

    // A butterfly visiting.
    placed(cr, 612, 190, 1.25, false, [&] {
        oval(cr, -30, -22, 34, 26, -30);
        oval(cr, 30, -22, 34, 26, 30);
        oval(cr, -24, 18, 22, 17, 30);
        oval(cr, 24, 18, 22, 17, -30);
        circle(cr, -32, -24, 11);
        circle(cr, 32, -24, 11);
        oval(cr, 0, 0, 9, 34);
        curve(cr, {{-3, -30}, {-10, -52}, {-22, -62}});
        curve(cr, {{3, -30}, {10, -52}, {22, -62}});
        dot(cr, -22, -62, 5);
        dot(cr, 22, -62, 5);
    });
}

void draw_dog(cairo_t* cr) {
    cloud(cr, 620, 80, 80, 34);
    ground(cr, {{-10, 455}, {250, 470}, {500, 450}, {760, 462}});

    // Kennel behind the puppy.
    box(cr, 470, 250, 220, 230);
    polygon(cr, {{450, 262}, {580, 150}, {710, 262}});
    rect_path(cr, 535, 210, 90, 34, 10);
    outlined(cr);
    patterned(
        cr, [&] { rect_path(cr, 470, 262, 220, 218); },
        [&] {
            for (double y : {320.0, 380.0, 440.0}) line(cr, {{470, y}, {690, y}});
        });
    cairo_new_sub_path(cr);
    cairo_arc(cr, 580, 400, 58, rad(180), rad(360));
    cairo_line_to(cr, 638, 482);
    cairo_line_to(cr, 522, 482);
    cairo_close_path(cr);
    outlined(cr);
    // A bone on the grass.
    placed(cr, 600, 540, 1, false, [&] {
        for (double x : {-42.0, 42.0}) {
            circle(cr, x, -11, 14);
            circle(cr, x, 11, 14);
        }
        box(cr, -44, -11, 88, 22, 8);
    });

    // Tail wagging, body, legs.
    curve_path(cr, {{355, 420}, {395, 395}, {410, 350}, {430, 330}});
    tube(cr, 20);
    blob(cr,
         {{200, 360}, {300, 340}, {370, 380}, {385, 450}, {350, 505}, {250, 510}, {185, 470}, {175, 410}});
    for (Pt spot : {Pt{330, 400}, Pt{215, 460}}) oval(cr, spot.x, spot.y, 28, 22, 20);
    for (double x : {230.0, 320.0}) {
        box(cr, x - 26, 450, 52, 80, 22);
        oval(cr, x, 530, 36, 20);
    }

    // Head with floppy ears.
    blob(cr, {{160, 170}, {120, 260}, {132, 330}, {168, 318}, {190, 230}});
    blob(cr, {{370, 170}, {410, 260}, {398, 330}, {362, 318}, {340, 230}});
    curve_path(cr, {{200, 330}, {265, 352}, {330, 330}});
    tube(cr, 16);
    circle(cr, 265, 362, 16);
    blob(cr,
         {{265, 130}, {345, 160}, {370, 240}, {335, 318}, {265, 338}, {195, 318}, {160, 240}, {185, 160}});
    oval(cr, 300, 190, 26, 20, 25);
    eye(cr, 228, 220, 20, 0.2, 0.1);
    eye(cr, 302, 220, 20, 0.2, 0.1);
    oval(cr, 265, 285, 56, 38);
    oval(cr, 265, 262, 17, 12);
    ellipse_path(cr, 265, 262, 17, 12);
    filled(cr);
    line(cr, {{265, 274}, {265, 290}});
    curve(cr, {{238, 288}, {252, 298}, {265, 290}, {278, 298}, {292, 288}});
    blob(cr, {{255, 298}, {275, 298}, {280, 318}, {265, 326}, {250, 318}});
    line(cr, {{265, 300}, {265, 316}});
}

void draw_fish_bowl(cairo_t* cr) {
    // Table, bowl, water, sand; then what swims in it.
    box(cr, 60, 520, 630, 40, 8);
    box(cr, 110, 560, 40, 60);
    box(cr, 600, 560, 40, 60);
    ellipse_path(cr, 375, 320, 230, 210);
    outlined(cr);
    patterned(
        cr, [&] { ellipse_path(cr, 375, 320, 230, 210); },
        [&] {
            curve_path(cr,
                       {{130, 200}, {220, 185}, {300, 205}, {380, 188}, {460, 205}, {540, 186}, {620, 200}});
            cairo_line_to(cr, 620, 560);
            cairo_line_to(cr, 130, 560);
            cairo_close_path(cr);
            outlined(cr);
            curve_path(cr, {{130, 470}, {250, 455}, {380, 472}, {500, 452}, {620, 466}});
            cairo_line_to(cr, 620, 560);
            cairo_line_to(cr, 130, 560);
            cairo_close_path(cr);
            outlined(cr);
            for (double x : {200.0, 555.0}) {
                curve_path(cr, {{x, 500}, {x - 12, 440}, {x + 8, 380}, {x - 6, 330}});
                tube(cr, 14);
                for (int i = 0; i < 3; ++i) {
                    const double side = i % 2 == 0 ? 1 : -1;
                    oval(cr, x + side * 24, 455 - i * 45, 24, 11, side * -35);
                }
            }
            for (Pt p : {Pt{255, 495}, Pt{320, 508}, Pt{420, 500}, Pt{490, 492}}) oval(cr, p.x, p.y, 26, 16);
        });
    // The rim.
    oval(cr, 375, 118, 118, 22);
    oval(cr, 375, 118, 92, 12);

    auto fish = [&](double x, double y, double s, bool mirrored) {
        placed(cr, x, y, s, mirrored, [&] {
            polygon(cr, {{-60, 0}, {-100, -34}, {-92, 0}, {-100, 34}});
            blob(cr, {{-30, -30}, {-8, -58}, {22, -66}, {30, -32}});
            blob(cr, {{-6, 30}, {10, 56}, {28, 32}});
            oval(cr, 0, 0, 66, 42);
            patterned(
                cr, [&] { ellipse_path(cr, 0, 0, 66, 42); },
                [&] {
                    arc_line(cr, -60, 0, 52, -60, 60);
                    arc_line(cr, -86, 0, 52, -60, 60);
                });
            eye(cr, 34, -8, 13, 0.4, 0);
            smile(cr, 44, 10, 12, 40);
        });
    };
    fish(310, 300, 1.0, false);
    fish(480, 390, 0.8, true);
    for (Pt b : {Pt{390, 240}, Pt{410, 210}, Pt{418, 180}}) circle(cr, b.x, b.y, 10 + (240 - b.y) / 20);
}

void draw_butterfly(cairo_t* cr) {
    ground(cr, {{-10, 540}, {200, 525}, {500, 545}, {760, 530}});
    flower(cr, 90, 535, 150, 44);
    flower(cr, 660, 535, 120, 40, false);
    sun(cr, 680, 70, 36, 10, false);

    // Wings first, each with its own pattern, then the body over their roots.
    for (double side : {-1.0, 1.0}) {
        placed(cr, 375, 290, 1, side < 0, [&] {
            patterned(
                cr,
                [&] {
                    blob_path(cr, {{10, -20}, {60, -150}, {170, -180}, {230, -120}, {200, -30}, {90, 10}});
                },
                [&] {
                    curve(cr, {{30, -30}, {110, -90}, {220, -110}});
                });
            circle(cr, 150, -130, 26);
            circle(cr, 95, -55, 18);
            patterned(
                cr,
                [&] {
                    blob_path(cr, {{10, 10}, {120, 20}, {190, 80}, {170, 170}, {90, 180}, {30, 110}});
                },
                [&] {
                    curve(cr, {{20, 40}, {90, 90}, {120, 180}});
                });
            circle(cr, 145, 100, 20);
            circle(cr, 70, 140, 14);
        });
    }
    curve(cr, {{362, 200}, {340, 140}, {300, 110}});
    curve(cr, {{388, 200}, {410, 140}, {450, 110}});
    dot(cr, 300, 110, 9);
    dot(cr, 450, 110, 9);
    oval(cr, 375, 330, 22, 120);
    for (double y : {270.0, 310.0, 350.0, 390.0}) line(cr, {{357, y}, {393, y}});
    circle(cr, 375, 205, 36);
    dot(cr, 362, 198, 5);
    dot(cr, 388, 198, 5);
    smile(cr, 375, 208, 14, 50);
}

void draw_clown(cairo_t* cr) {
    // Balloons on strings behind the clown.
    for (auto [x, y] : {std::pair{110.0, 110.0}, std::pair{640.0, 120.0}}) {
        curve(cr, {{x, y + 60}, {x + 10, y + 160}, {x - 6, y + 250}, {x + 4, 560}});
        oval(cr, x, y, 48, 60);
        polygon(cr, {{x - 10, y + 68}, {x + 10, y + 68}, {x, y + 58}});
    }

    // Body in a polka-dot suit.
    patterned(
        cr,
        [&] {
            blob_path(cr, {{250, 430}, {500, 430}, {560, 610}, {190, 610}});
        },
        [&] {
            for (Pt p : {Pt{280, 500}, Pt{370, 470}, Pt{460, 500}, Pt{320, 570}, Pt{430, 570}, Pt{240, 590},
                         Pt{515, 585}})
                circle(cr, p.x, p.y, 18);
        });
    // Ruffled collar.
    std::vector<Puff> ruff;
    for (int i = 0; i < 9; ++i) ruff.push_back({235 + i * 35.0, 430 + (i % 2) * 8.0, 30});
    for (int i = 0; i < 9; ++i) {
        cloud(cr, ruff[std::size_t(i)].x, ruff[std::size_t(i)].y, 30, 26, 3);
    }
    // Hair tufts, face, hat.
    puffs(cr, {{230, 250, 48}, {215, 305, 42}, {245, 345, 36}});
    puffs(cr, {{520, 250, 48}, {535, 305, 42}, {505, 345, 36}});
    oval(cr, 375, 290, 130, 135);
    patterned(
        cr,
        [&] {
            poly_path(cr, {{290, 175}, {375, 30}, {460, 175}});
        },
        [&] {
            line(cr, {{300, 150}, {420, 70}});
            line(cr, {{330, 175}, {450, 95}});
        });
    box(cr, 270, 160, 210, 30, 14);
    circle(cr, 375, 34, 24);
    // Eyes with star lids, big nose, wide smile.
    for (double x : {325.0, 425.0}) {
        star(cr, x, 262, 36, 18, 4);
        eye(cr, x, 262, 15, 0, 0.2);
        curve(cr, {{x - 22, 218}, {x, 206}, {x + 22, 218}});
    }
    circle(cr, 375, 318, 32);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 375, 345, 72, rad(20), rad(160));
    cairo_close_path(cr);
    outlined(cr);
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 375, 345, 72, rad(20), rad(160));
            cairo_close_path(cr);
        },
        [&] { oval(cr, 375, 420, 34, 22); });
    circle(cr, 290, 340, 20);
    circle(cr, 460, 340, 20);
}

void draw_elephant(cairo_t* cr) {
    sun(cr, 670, 80, 40, 10);
    ground(cr, {{-10, 500}, {250, 490}, {500, 505}, {760, 492}});
    // Water drops from the trunk, a ball, the elephant.
    for (Pt d : {Pt{95, 150}, Pt{130, 110}, Pt{175, 88}, Pt{80, 205}}) {
        blob(cr, {{d.x, d.y - 22}, {d.x + 13, d.y}, {d.x, d.y + 12}, {d.x - 13, d.y}});
    }
    patterned(
        cr, [&] { ellipse_path(cr, 640, 470, 62, 62); },
        [&] {
            line(cr, {{578, 470}, {702, 470}});
            oval(cr, 640, 470, 26, 62);
        });
    curve_path(cr, {{590, 320}, {625, 340}, {640, 380}});
    tube(cr, 10);
    for (double x : {300.0, 540.0}) box(cr, x - 34, 400, 68, 140, 22);
    blob(cr,
         {{270, 240}, {420, 200}, {570, 250}, {610, 350}, {570, 440}, {420, 460}, {280, 440}, {240, 340}});
    for (double x : {350.0, 470.0}) {
        box(cr, x - 36, 400, 72, 150, 24);
        oval(cr, x, 540, 36, 14);
    }
    // Trunk raised high, head, big ear.
    curve_path(cr, {{205, 335}, {155, 320}, {125, 275}, {125, 215}, {145, 178}});
    tube(cr, 34);
    for (double y : {230.0, 262.0}) line(cr, {{106, y}, {142, y}});
    circle(cr, 250, 290, 90);
    blob(cr, {{300, 210}, {390, 200}, {420, 290}, {380, 380}, {310, 370}, {290, 300}});
    oval(cr, 355, 290, 40, 60);
    eye(cr, 220, 265, 16, -0.3, -0.2);
    smile(cr, 230, 300, 30, 35);
    oval(cr, 190, 318, 14, 10);
}

void draw_snail(cairo_t* cr) {
    sun(cr, 670, 80, 40, 12);
    ground(cr, {{-10, 480}, {300, 470}, {500, 485}, {760, 475}});
    // A mushroom and flowers keep the snail company.
    box(cr, 600, 380, 50, 110, 16);
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 625, 390, 90, rad(180), rad(360));
            cairo_close_path(cr);
        },
        [&] {
            circle(cr, 590, 350, 18);
            circle(cr, 655, 335, 15);
            circle(cr, 690, 372, 11);
        });
    flower(cr, 90, 485, 110, 36);
    // Body: a long foot with the head raised at the front.
    blob(cr, {{70, 470},
              {140, 440},
              {160, 330},
              {200, 300},
              {245, 330},
              {260, 430},
              {520, 440},
              {560, 470},
              {500, 495},
              {100, 495}});
    curve(cr, {{185, 312}, {170, 250}, {150, 220}});
    curve(cr, {{215, 312}, {228, 250}, {250, 222}});
    circle(cr, 148, 214, 14);
    circle(cr, 252, 216, 14);
    dot(cr, 150, 214, 6);
    dot(cr, 254, 216, 6);
    dot(cr, 186, 350, 6);
    dot(cr, 222, 350, 6);
    smile(cr, 204, 362, 20, 45);
    // Shell: circles nested against one side read as a spiral.
    circle(cr, 380, 320, 135);
    circle(cr, 395, 340, 100);
    circle(cr, 408, 356, 68);
    circle(cr, 418, 368, 38);
    circle(cr, 423, 374, 14);
}

void draw_owl(cairo_t* cr) {
    // Night sky: moon and stars, a branch across the picture.
    sun(cr, 650, 95, 56, 0);
    for (Pt p : {Pt{90, 90}, Pt{200, 60}, Pt{520, 70}, Pt{110, 250}, Pt{650, 260}})
        star(cr, p.x, p.y, 24, 11, 5);
    curve_path(cr, {{-20, 500}, {200, 480}, {450, 490}, {770, 470}});
    tube(cr, 40);
    curve_path(cr, {{600, 480}, {650, 430}, {700, 420}});
    tube(cr, 18);
    for (Pt p : {Pt{130, 470}, Pt{700, 410}, Pt{560, 520}}) {
        oval(cr, p.x, p.y, 36, 16, -25);
        line(cr, {{p.x - 28, p.y + 12}, {p.x + 28, p.y - 12}});
    }

    // The owl: ear tufts, body, wings, belly with feather scallops.
    polygon(cr, {{270, 150}, {280, 80}, {330, 125}});
    polygon(cr, {{480, 150}, {470, 80}, {420, 125}});
    blob(cr,
         {{375, 100}, {480, 130}, {510, 260}, {490, 400}, {375, 470}, {260, 400}, {240, 260}, {270, 130}});
    blob(cr, {{250, 250}, {215, 330}, {235, 420}, {280, 400}});
    blob(cr, {{500, 250}, {535, 330}, {515, 420}, {470, 400}});
    patterned(
        cr, [&] { ellipse_path(cr, 375, 360, 85, 95); },
        [&] {
            for (int row = 0; row < 4; ++row) {
                for (int i = -2; i <= 2; ++i) {
                    const double x = 375 + i * 40 + (row % 2) * 20, y = 310 + row * 38;
                    arc_line(cr, x, y, 20, 20, 160);
                }
            }
        });
    for (double x : {320.0, 430.0}) {
        circle(cr, x, 215, 52);
        eye(cr, x, 215, 30, x < 375 ? 0.3 : -0.3, 0.2);
    }
    polygon(cr, {{355, 255}, {395, 255}, {375, 295}});
    for (double x : {335.0, 415.0}) {
        for (int t = -1; t <= 1; ++t) oval(cr, x + t * 16, 475, 8, 16);
    }
}

void draw_teddy_bear(cairo_t* cr) {
    // A teddy sitting on a rug, a little heart and building blocks beside it.
    oval(cr, 375, 540, 340, 60);
    oval(cr, 375, 540, 290, 40);
    box(cr, 560, 420, 90, 90, 6);
    box(cr, 620, 350, 70, 70, 6);
    star(cr, 605, 465, 28, 13, 5);
    circle(cr, 655, 385, 18);
    // Legs and arms behind the belly.
    for (double side : {-1.0, 1.0}) {
        oval(cr, 375 + side * 125, 345, 44, 75, side * -30);
        oval(cr, 375 + side * 150, 395, 26, 22);
    }
    oval(cr, 375, 370, 125, 125);
    oval(cr, 375, 380, 72, 80);
    for (double side : {-1.0, 1.0}) {
        const double x = 375 + side * 100;
        oval(cr, x, 480, 60, 52);
        oval(cr, x + side * 8, 490, 30, 26);
        for (double t : {-26.0, 0.0, 26.0}) circle(cr, x + side * 8 + t, 450 - (t == 0 ? 6 : 0), 11);
    }
    // Head.
    for (double side : {-1.0, 1.0}) {
        circle(cr, 375 + side * 100, 110, 46);
        circle(cr, 375 + side * 100, 110, 26);
    }
    oval(cr, 375, 180, 120, 105);
    oval(cr, 375, 222, 52, 40);
    oval(cr, 375, 205, 20, 14);
    ellipse_path(cr, 375, 205, 20, 14);
    filled(cr);
    line(cr, {{375, 218}, {375, 232}});
    arc_line(cr, 360, 232, 15, 20, 160);
    arc_line(cr, 390, 232, 15, 20, 160);
    eye(cr, 330, 160, 17, 0, 0.2);
    eye(cr, 420, 160, 17, 0, 0.2);
    // Bow tie.
    polygon(cr, {{375, 282}, {320, 255}, {320, 310}});
    polygon(cr, {{375, 282}, {430, 255}, {430, 310}});
    circle(cr, 375, 282, 16);
}

void draw_tortoise(cairo_t* cr) {
    cloud(cr, 150, 90, 90, 38);
    sun(cr, 650, 85, 44, 12);
    ground(cr, {{-10, 480}, {250, 470}, {500, 485}, {760, 470}});
    // A strawberry for lunch.
    blob(cr, {{640, 440}, {690, 455}, {700, 510}, {660, 545}, {620, 510}, {615, 460}});
    polygon(cr, {{640, 446}, {625, 425}, {650, 432}, {668, 418}, {672, 442}});
    for (Pt p : {Pt{645, 480}, Pt{670, 500}, Pt{640, 515}, Pt{675, 470}}) dot(cr, p.x, p.y, 3);
    // Legs, tail and head under the shell.
    for (double x : {220.0, 300.0, 430.0, 510.0}) box(cr, x - 28, 400, 56, 105, 24);
    polygon(cr, {{550, 415}, {615, 445}, {550, 455}});
    curve_path(cr, {{190, 420}, {140, 380}, {120, 320}});
    tube(cr, 58);
    oval(cr, 110, 300, 62, 50);
    eye(cr, 95, 285, 14, -0.3, 0);
    smile(cr, 92, 310, 24, 40);
    oval(cr, 128, 318, 15, 10);
    // The shell: a dome with a rim and plates.
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 365, 430, 200, rad(180), rad(360));
            cairo_close_path(cr);
        },
        [&] {
            polygon(cr, {{320, 300}, {410, 300}, {440, 370}, {365, 420}, {290, 370}});
            line(cr, {{320, 300}, {290, 230}});
            line(cr, {{410, 300}, {440, 230}});
            line(cr, {{290, 370}, {190, 350}});
            line(cr, {{440, 370}, {540, 350}});
            line(cr, {{365, 420}, {365, 440}});
            line(cr, {{290, 370}, {250, 440}});
            line(cr, {{440, 370}, {480, 440}});
        });
    box(cr, 150, 420, 430, 34, 17);
}

void draw_bird(cairo_t* cr) {
    sun(cr, 90, 90, 46, 12);
    cloud(cr, 560, 80, 100, 36);
    // A branch with leaves and cherries.
    curve_path(cr, {{780, 380}, {560, 420}, {300, 450}, {-20, 520}});
    tube(cr, 30);
    leaf(cr, {200, 480}, {120, 400}, 26);
    leaf(cr, {470, 440}, {430, 540}, 26);
    leaf(cr, {640, 400}, {720, 320}, 26);
    leaf(cr, {700, 395}, {740, 480}, 24);
    leaf(cr, {90, 500}, {40, 580}, 24);
    for (double x : {545.0, 600.0}) {
        curve(cr, {{572, 420}, {(572 + x) / 2 + 4, 450}, {x, 482}});
        circle(cr, x, 500, 22);
    }
    // The bird: tail, legs, body, wing, head.
    polygon(cr, {{240, 330}, {130, 270}, {120, 330}, {150, 385}});
    line(cr, {{240, 330}, {125, 300}});
    line(cr, {{240, 330}, {135, 358}});
    for (double x : {310.0, 350.0}) {
        line(cr, {{x, 400}, {x - 6, 440}});
        line(cr, {{x - 22, 446}, {x - 6, 440}, {x + 12, 448}});
    }
    oval(cr, 330, 335, 115, 80, -10);
    oval(cr, 385, 360, 55, 40, -15);
    blob(cr, {{230, 320}, {300, 290}, {350, 305}, {345, 345}, {290, 370}, {230, 355}});
    curve(cr, {{260, 335}, {300, 335}, {335, 320}});
    circle(cr, 420, 250, 68);
    polygon(cr, {{480, 238}, {535, 262}, {480, 284}});
    line(cr, {{482, 262}, {520, 262}});
    eye(cr, 432, 238, 17, 0.4, 0);
    oval(cr, 438, 282, 14, 10);
    curve(cr, {{400, 185}, {395, 160}, {412, 145}});
    curve(cr, {{415, 183}, {425, 160}, {445, 155}});
}

void draw_ladybird(cairo_t* cr) {
    // A big leaf with a ladybird walking on it, flowers around.
    flower(cr, 80, 610, 210, 50);
    flower(cr, 680, 610, 170, 46, false);
    cloud(cr, 610, 80, 90, 36);
    patterned(
        cr,
        [&] {
            cairo_new_sub_path(cr);
            cairo_move_to(cr, 130, 520);
            cairo_curve_to(cr, 120, 330, 330, 150, 600, 150);
            cairo_curve_to(cr, 610, 360, 420, 540, 130, 520);
            cairo_close_path(cr);
        },
        [&] {
            curve(cr, {{110, 540}, {330, 360}, {600, 150}});
            for (double t : {0.22, 0.42, 0.62, 0.8}) {
                const double x = 110 + 490 * t, y = 540 - 390 * t;
                curve(cr, {{x, y}, {x - 14, y - 60}, {x - 10, y - 130}});
                curve(cr, {{x, y}, {x + 60, y + 14}, {x + 130, y + 10}});
            }
        });
    placed(cr, 360, 340, 1, false, [&] {
        cairo_rotate(cr, rad(20));
        for (double side : {-1.0, 1.0}) {
            for (double y : {-50.0, 10.0, 70.0}) {
                curve_path(cr, {{0, y}, {side * 130, y - 10}, {side * 150, y + 20}});
                tube(cr, 7);
            }
            curve(cr, {{side * 20, -160}, {side * 40, -210}, {side * 70, -225}});
            dot(cr, side * 72, -226, 9);
        }
        oval(cr, 0, -135, 70, 50);
        eye(cr, -28, -145, 15, 0, -0.3);
        eye(cr, 28, -145, 15, 0, -0.3);
        smile(cr, 0, -128, 22, 45);
        for (double side : {-1.0, 1.0}) {
            patterned(
                cr,
                [&] {
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, 0, 10, 125, rad(side < 0 ? 90 : -90), rad(side < 0 ? 270 : 90));
                    cairo_close_path(cr);
                },
                [&] {
                    circle(cr, side * 55, -40, 24);
                    circle(cr, side * 75, 40, 20);
                    circle(cr, side * 35, 85, 22);
                });
        }
    });
}

}  // namespace artgen::outline
