// The page: what landscape_page_pdf makes, and the sheet that comes out of the queue, looked at with
// poppler's pdfinfo and pdftoppm against the margins the queue's PPD gives.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

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

// The numbers quoted in the first `*keyword key:` or `*keyword key/Translation:` entry; empty when there is
// none or its value holds anything but `count` numbers.
std::vector<double> ppd_numbers(const std::string& text, const std::string& keyword, const std::string& key,
                                std::size_t count) {
    const std::string start = "*" + keyword + " " + key;
    for (std::size_t at = text.find(start); at != std::string::npos; at = text.find(start, at + 1)) {
        std::size_t colon = at + start.size();
        if (colon < text.size() && text[colon] == '/') colon = text.find(':', colon);
        if (colon >= text.size() || text[colon] != ':') continue;
        const std::size_t open = text.find_first_not_of(" \t", colon + 1);
        if (open == std::string::npos || text[open] != '"') continue;
        const std::size_t close = text.find('"', open + 1);
        if (close == std::string::npos) continue;
        const std::string value = text.substr(open + 1, close - open - 1);
        if (value.find_first_not_of("0123456789. ") != std::string::npos) continue;
        std::istringstream in(value);
        std::vector<double> numbers;
        for (double n; in >> n;) numbers.push_back(n);
        if (numbers.size() == count && in.eof()) return numbers;
    }
    return {};
}

std::optional<PpdSheet> default_sheet_of(const fs::path& ppd) {
    std::ifstream in(ppd);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string label = "*DefaultPageSize:";
    const std::size_t at = text.find(label);
    if (at == std::string::npos) return std::nullopt;
    PpdSheet s;
    std::istringstream(text.substr(at + label.size())) >> s.name;
    if (s.name.empty()) return std::nullopt;
    const std::vector<double> dimension = ppd_numbers(text, "PaperDimension", s.name, 2);
    const std::vector<double> area = ppd_numbers(text, "ImageableArea", s.name, 4);
    if (dimension.empty() || area.empty()) return std::nullopt;
    s.width = dimension[0];
    s.length = dimension[1];
    s.left = area[0];
    s.bottom = area[1];
    s.right = s.width - area[2];
    s.top = s.length - area[3];
    return s;
}

// ---- Looking at a PDF

struct PdfInfo {
    int pages = -1;
    double width = 0, height = 0;  // the page's media box, points
    int rotation = 0;              // its /Rotate
};

// What follows `label` on its line of pdfinfo's report.
std::istringstream pdfinfo_field(const std::string& report, const std::string& label) {
    const std::size_t at = report.find(label);
    if (at == std::string::npos) return std::istringstream();
    const std::size_t from = at + label.size();
    return std::istringstream(report.substr(from, report.find('\n', from) - from));
}

PdfInfo pdf_info(const fs::path& pdf) {
    PdfInfo info;
    const std::string out = run("pdfinfo " + quoted(pdf.string()));
    int number = 0;
    if (pdfinfo_field(out, "Pages:") >> number) info.pages = number;
    double width = 0, height = 0;
    std::string by, unit;
    if (pdfinfo_field(out, "Page size:") >> width >> by >> height >> unit && by == "x" && unit == "pts") {
        info.width = width;
        info.height = height;
    }
    if (pdfinfo_field(out, "Page rot:") >> number) info.rotation = number;
    return info;
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
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
    for (const char* keyword :
         {"*DefaultPageSize", "*DefaultPageRegion", "*DefaultImageableArea", "*DefaultPaperDimension"})
        replace_all(ppd, std::string(keyword) + ": Letter", std::string(keyword) + ": A4");
    // left 12, bottom 24, right 30, top 42
    const std::string a4_area = "*ImageableArea A4/A4: \"";
    for (std::size_t at = ppd.find(a4_area); at != std::string::npos; at = ppd.find(a4_area, at + 1)) {
        const std::size_t end = ppd.find('"', at + a4_area.size());
        if (end == std::string::npos) break;
        ppd.replace(at, end + 1 - at, a4_area + "12 24 565 800\"");
    }
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
