// The page: what landscape_page_pdf makes, and the sheet that comes out of the queue, looked at with
// poppler's pdfinfo and pdftoppm against the margins the queue's PPD gives.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

#include "cups_printer_fixture.h"

namespace zuvela {
namespace {

using namespace cups_test;

// ---- The driver's paper: what the queue's PPD says, read independently of libcups

struct PpdSheet {
    std::string name;
    double width = 0, length = 0;                     // points, portrait
    double left = 0, bottom = 0, right = 0, top = 0;  // margins, points
};

std::optional<PpdSheet> default_sheet_of(const fs::path& ppd) {
    std::ifstream in(ppd);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(R"(\*DefaultPageSize:\s*(\S+))"))) return std::nullopt;
    PpdSheet s;
    s.name = m[1];
    const std::string key = std::regex_replace(s.name, std::regex(R"([.])"), R"(\.)");
    if (!std::regex_search(text, m,
                           std::regex(R"(\*PaperDimension )" + key + R"((/[^:]*)?:\s*"([\d.]+) ([\d.]+)\")")))
        return std::nullopt;
    s.width = std::stod(m[2]);
    s.length = std::stod(m[3]);
    if (!std::regex_search(text, m,
                           std::regex(R"(\*ImageableArea )" + key +
                                      R"((/[^:]*)?:\s*"([\d.]+) ([\d.]+) ([\d.]+) ([\d.]+)\")")))
        return std::nullopt;
    s.left = std::stod(m[2]);
    s.bottom = std::stod(m[3]);
    s.right = s.width - std::stod(m[4]);
    s.top = s.length - std::stod(m[5]);
    return s;
}

// ---- Looking at a PDF

struct PdfInfo {
    int pages = -1;
    double width = 0, height = 0;  // the page's media box, points
    int rotation = 0;              // its /Rotate
};

PdfInfo pdf_info(const fs::path& pdf) {
    PdfInfo info;
    const std::string out = run("pdfinfo " + quoted(pdf.string()));
    std::smatch m;
    if (std::regex_search(out, m, std::regex(R"(Pages:\s+(\d+))"))) info.pages = std::stoi(m[1]);
    if (std::regex_search(out, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
        info.width = std::stod(m[1]);
        info.height = std::stod(m[2]);
    }
    if (std::regex_search(out, m, std::regex(R"(Page rot:\s+(\d+))"))) info.rotation = std::stoi(m[1]);
    return info;
}

// Checks a landscape view of a page: the picture, unscaled at 96 dpi, with its top-left corner at (left,
// top).
void expect_picture_at(const Image& landscape, double left_px, double top_px, Color top_left_colour) {
    const Box ink = ink_of(landscape);
    EXPECT_NEAR(ink.left, left_px, 2.0) << "left edge of the picture";
    EXPECT_NEAR(ink.top, top_px, 2.0) << "top edge of the picture";
    EXPECT_NEAR(ink.width() / 96.0, 7.8125, 7.8125 * 0.02) << "width in inches (" << ink.width() << " px)";
    EXPECT_NEAR(ink.height() / 96.0, 6.25, 6.25 * 0.02) << "height in inches (" << ink.height() << " px)";
    const int x0 = int(std::lround(left_px)), y0 = int(std::lround(top_px));
    EXPECT_TRUE(colour_near(landscape, x0 + 40, y0 + 40, k_black)) << "the mark near the top-left corner";
    EXPECT_TRUE(colour_near(landscape, x0 + 187, y0 + 150, top_left_colour));
    EXPECT_TRUE(colour_near(landscape, x0 + 562, y0 + 150, k_green));
    EXPECT_TRUE(colour_near(landscape, x0 + 187, y0 + 450, k_blue));
    EXPECT_TRUE(colour_near(landscape, x0 + 562, y0 + 450, k_yellow));
    EXPECT_TRUE(colour_near(landscape, x0 + 745, y0 + 595, k_yellow)) << "the bottom-right corner";
    EXPECT_TRUE(colour_near(landscape, x0 + 760, y0 + 300, rgb(255, 255, 255), 15)) << "white right of it";
    EXPECT_TRUE(colour_near(landscape, x0 + 300, y0 + 610, rgb(255, 255, 255), 15)) << "white below it";
}

TEST_F(CupsPrinterTest, OurPageIsOneLandscapePageWithThePictureAtTheTopLeftOfThePrintableArea) {
    PaperSheet letter = PaperSheet::letter();
    letter.left = 18;
    letter.bottom = 36;
    letter.right = 18;
    letter.top = 36;
    const std::vector<unsigned char> pdf = landscape_page_pdf(known_picture(), letter);
    ASSERT_FALSE(pdf.empty());
    const fs::path file = artifacts() / "our-page.pdf";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(pdf.data()), std::streamsize(pdf.size()));

    const PdfInfo info = pdf_info(file);
    EXPECT_EQ(info.pages, 1);
    EXPECT_NEAR(info.width, 792, 0.5) << "landscape: the sheet's length across";
    EXPECT_NEAR(info.height, 612, 0.5);
    EXPECT_EQ(info.rotation, 0);
    const Image page = render(file, "our-page");
    ASSERT_EQ(page.width, 1056);
    ASSERT_EQ(page.height, 816);
    // Landscape left margin = the sheet's bottom one (36 pt = 48 px), top = the sheet's left one (18 pt = 24
    // px).
    expect_picture_at(page, 48, 24, k_red);

    EXPECT_TRUE(landscape_page_pdf(Raster(), letter).empty());
    EXPECT_TRUE(landscape_page_pdf(known_picture(), PaperSheet{}).empty());
}

TEST_F(CupsPrinterTest, PrintsOnePageTurnedOnceWithThePictureAtTheTopLeftOfThePrintableArea) {
    const auto sheet = default_sheet_of(server_dir() / "ppd" / "zuvela-test.ppd");
    ASSERT_TRUE(sheet) << "cannot read the queue's default paper from its PPD";
    std::cout << "[ info ] the queue's default paper: " << sheet->name << " " << sheet->width << " x "
              << sheet->length << " pt, margins l/b/r/t " << sheet->left << "/" << sheet->bottom << "/"
              << sheet->right << "/" << sheet->top << "\n";

    print_and_hand_over(known_picture());
    const auto jobs = wait_for_jobs("zuvela-test", 1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, IPP_JSTATE_COMPLETED);
    ASSERT_TRUE(fs::exists(out_pdf()));

    const PdfInfo info = pdf_info(out_pdf());
    EXPECT_EQ(info.pages, 1) << "exactly one page";
    std::cout << "[ info ] out.pdf: media box " << info.width << " x " << info.height << " pt, /Rotate "
              << info.rotation << "\n";
    // The file is the sheet as it goes through the printer: portrait, the picture turned a quarter on it.
    const Image sheet_image = render(out_pdf(), "printed-page");
    EXPECT_NEAR(sheet_image.width, sheet->width / 0.75, 2);
    EXPECT_NEAR(sheet_image.height, sheet->length / 0.75, 2);
    ASSERT_GT(sheet_image.height, sheet_image.width);
    const Box ink = ink_of(sheet_image);
    EXPECT_GT(ink.height(), ink.width()) << "the picture's long side runs along the sheet's long side";

    // Turned back, the landscape page shows the picture upright, unscaled, at the printable area's corner.
    const Image landscape = turned_clockwise(sheet_image);
    expect_picture_at(landscape, sheet->bottom / 0.75, sheet->left / 0.75, k_red);
}

TEST_F(CupsPrinterTest, MarginsFollowTheSheetTurnedToLandscapeAndTheUsersOwnDefaultIsHonoured) {
    // An A4 driver with four different margins shows which edge of the sheet ends up where.
    std::ifstream in("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");
    std::string ppd{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(ppd.empty());
    ppd = std::regex_replace(ppd, std::regex(R"(\*DefaultPageSize: Letter)"), "*DefaultPageSize: A4");
    ppd = std::regex_replace(ppd, std::regex(R"(\*DefaultPageRegion: Letter)"), "*DefaultPageRegion: A4");
    ppd =
        std::regex_replace(ppd, std::regex(R"(\*DefaultImageableArea: Letter)"), "*DefaultImageableArea: A4");
    ppd = std::regex_replace(ppd, std::regex(R"(\*DefaultPaperDimension: Letter)"),
                             "*DefaultPaperDimension: A4");
    ppd = std::regex_replace(
        ppd, std::regex(R"(\*ImageableArea A4/A4: "[^"]*")"),
        "*ImageableArea A4/A4: \"12 24 565 800\"");  // left 12, bottom 24, right 30, top 42
    const fs::path ppd_file = server_dir() / "asymmetric.ppd";
    std::ofstream(ppd_file) << ppd;
    ASSERT_NO_FATAL_FAILURE(admin(env("ZUVELA_CUPS_SERVER_SCRIPT") + " queue " +
                                  quoted(server_dir().string()) + " zuvela-asym " +
                                  quoted(ppd_file.string())));

    // Not the server's default: only the user's lpoptions makes it the default destination.
    fs::create_directories(home_lpoptions().parent_path());
    std::ofstream(home_lpoptions()) << "Default zuvela-asym\n";

    print_and_hand_over(known_picture());
    const auto jobs = wait_for_jobs("zuvela-asym", 1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, IPP_JSTATE_COMPLETED);
    EXPECT_FALSE(fs::exists(out_pdf())) << "the server's default queue got nothing";
    const fs::path printed = server_dir() / "zuvela-asym.pdf";
    ASSERT_TRUE(fs::exists(printed));
    EXPECT_EQ(pdf_info(printed).pages, 1);

    const Image sheet_image = render(printed, "printed-page-a4-asymmetric");
    EXPECT_NEAR(sheet_image.width, 595.0 / 0.75, 2);
    EXPECT_NEAR(sheet_image.height, 842.0 / 0.75, 2);
    // IPP landscape: the landscape page's left margin is the sheet's bottom one (24 pt = 32 px), its top
    // margin the sheet's left one (12 pt = 16 px).
    expect_picture_at(turned_clockwise(sheet_image), 32, 16, k_red);
}

}  // namespace
}  // namespace zuvela
