// What the printer's tests share: where the private cupsd is (cups_run_tests.sh starts it through
// cups_test_server.sh), the jobs it holds, the page that comes out of the queue as poppler's pdftoppm draws
// it, the pictures handed to the printer, and the fixture that resets the server between tests.
#pragma once

#include "platform/cups/cups_printer.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace zuvela::cups_test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// ---- Where things are

std::string env(const char* name);
const std::string& server_socket();
fs::path server_dir();
fs::path artifacts();

std::string quoted(const std::string& s);
// Runs a shell command; its output and error output together.
std::string run(const std::string& command, int* status = nullptr);
// A command of the CUPS tools against the test server.
void admin(const std::string& command);

// ---- Jobs on the server, read over a connection of the test's own

struct JobSeen {
    int id = 0;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
};

std::vector<JobSeen> jobs_on(const std::string& queue);
// Waits until `count` jobs have reached `queue` and all of them are done. The jobs, oldest first.
std::vector<JobSeen> wait_for_jobs(const std::string& queue, std::size_t count,
                                   milliseconds timeout = milliseconds(60000));

// ---- Looking at a page

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> data;  // RGB rows
    Rgb at(int x, int y) const {
        const unsigned char* p = &data[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
        return {p[0], p[1], p[2]};
    }
    bool white(int x, int y) const {
        const Rgb c = at(x, y);
        return c.r > 240 && c.g > 240 && c.b > 240;
    }
};

// The page as pdftoppm draws it at 96 dpi (its /Rotate applied). The PDF and a PNG of it are kept among the
// artifacts under `keep_as`.
Image render(const fs::path& pdf, const std::string& keep_as);
// The sheet turned back to landscape: turned a quarter clockwise, undoing IPP's landscape (+90°).
Image turned_clockwise(const Image& portrait);

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

Box ink_of(const Image& image);

// ---- Pictures

constexpr Color k_red = rgb(230, 20, 30), k_green = rgb(20, 170, 40), k_blue = rgb(30, 40, 220),
                k_yellow = rgb(250, 210, 0), k_black = rgb(0, 0, 0), k_magenta = rgb(200, 0, 200);

// Four coloured quarters and a black mark near the top-left corner: any turn or mirror shows.
Raster known_picture(Color top_left = k_red);
Raster plain_picture(Color c);

::testing::AssertionResult colour_near(const Image& image, int x, int y, Color expected, int tolerance = 12);

// ---- The fixture

class CupsPrinterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    static fs::path home_lpoptions() { return fs::path(env("HOME")) / ".cups" / "lpoptions"; }
    static fs::path out_pdf() { return server_dir() / "out.pdf"; }

    // Prints and waits until the printer has handed the page over.
    static void print_and_hand_over(const Raster& picture);
};

}  // namespace zuvela::cups_test
