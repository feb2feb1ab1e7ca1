// The CUPS printer against a real cupsd of its own (started by cups_run_tests.sh through
// cups_test_server.sh): the page that comes out of the queue is looked at with poppler's pdfinfo and
// pdftoppm.
#include "platform/cups/cups_printer.h"

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace zuvela {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// ---- Where things are

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

const std::string& server_socket() {
    static const std::string socket = env("CUPS_SERVER");
    return socket;
}
fs::path server_dir() {
    return env("ZUVELA_CUPS_DIR");
}
fs::path artifacts() {
    const std::string a = env("ZUVELA_CUPS_ARTIFACTS");
    return a.empty() ? fs::temp_directory_path() : fs::path(a);
}

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    const int s = ::pclose(p);
    if (status) *status = s;
    return out;
}

// A command of the CUPS tools against the test server.
void admin(const std::string& command) {
    int status = 0;
    const std::string out = run("CUPS_SERVER=" + quoted(server_socket()) + " " + command, &status);
    ASSERT_EQ(status, 0) << command << ": " << out;
}

// ---- Jobs on the server, read over a connection of the test's own

struct JobSeen {
    int id = 0;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
};

std::vector<JobSeen> jobs_on(const std::string& queue) {
    std::vector<JobSeen> seen;
    http_t* http = httpConnect2(server_socket().c_str(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER,
                                1, 3000, nullptr);
    if (!http) return seen;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(http, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i) seen.push_back({jobs[i].id, jobs[i].state});
    cupsFreeJobs(n, jobs);
    httpClose(http);
    return seen;
}

// Waits until `count` jobs have reached `queue` and all of them are done. The jobs, oldest first.
std::vector<JobSeen> wait_for_jobs(const std::string& queue, std::size_t count,
                                   milliseconds timeout = milliseconds(60000)) {
    const auto end = Clock::now() + timeout;
    std::vector<JobSeen> seen;
    for (;;) {
        seen = jobs_on(queue);
        bool done = seen.size() >= count;
        for (const JobSeen& j : seen) done = done && j.state >= IPP_JSTATE_CANCELED;
        if (done || Clock::now() > end) break;
        std::this_thread::sleep_for(milliseconds(100));
    }
    std::sort(seen.begin(), seen.end(), [](const JobSeen& a, const JobSeen& b) { return a.id < b.id; });
    return seen;
}

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
Image render(const fs::path& pdf, const std::string& keep_as) {
    const fs::path base = artifacts() / keep_as;
    if (fs::absolute(pdf) != fs::absolute(base.string() + ".pdf"))
        fs::copy_file(pdf, base.string() + ".pdf", fs::copy_options::overwrite_existing);
    run("pdftoppm -r 96 -singlefile " + quoted(pdf.string()) + " " + quoted(base.string()));
    run("pdftoppm -r 96 -singlefile -png " + quoted(pdf.string()) + " " + quoted(base.string()));
    Image image;
    std::ifstream in(base.string() + ".ppm", std::ios::binary);
    std::string magic;
    int max = 0;
    in >> magic >> image.width >> image.height >> max;
    in.get();
    if (magic != "P6" || max != 255 || image.width <= 0 || image.height <= 0) return {};
    image.data.resize(std::size_t(image.width) * std::size_t(image.height) * 3);
    in.read(reinterpret_cast<char*>(image.data.data()), std::streamsize(image.data.size()));
    fs::remove(base.string() + ".ppm");
    return image;
}

// The sheet turned back to landscape: turned a quarter clockwise, undoing IPP's landscape (+90°).
Image turned_clockwise(const Image& portrait) {
    Image out;
    out.width = portrait.height;
    out.height = portrait.width;
    out.data.resize(portrait.data.size());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const Rgb c = portrait.at(y, portrait.height - 1 - x);
            unsigned char* p = &out.data[(std::size_t(y) * std::size_t(out.width) + std::size_t(x)) * 3];
            p[0] = (unsigned char)c.r;
            p[1] = (unsigned char)c.g;
            p[2] = (unsigned char)c.b;
        }
    return out;
}

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

Box ink_of(const Image& image) {
    Box b{image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (!image.white(x, y)) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

// ---- Pictures

constexpr Color k_red = rgb(230, 20, 30), k_green = rgb(20, 170, 40), k_blue = rgb(30, 40, 220),
                k_yellow = rgb(250, 210, 0), k_black = rgb(0, 0, 0), k_magenta = rgb(200, 0, 200);

// Four coloured quarters and a black mark near the top-left corner: any turn or mirror shows.
Raster known_picture(Color top_left = k_red) {
    Raster p(750, 600);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool left = x < 375, top = y < 300;
            p.at(x, y) = top ? (left ? top_left : k_green) : (left ? k_blue : k_yellow);
        }
    for (int y = 20; y < 60; ++y)
        for (int x = 20; x < 60; ++x) p.at(x, y) = k_black;
    return p;
}

Raster plain_picture(Color c) {
    Raster p(750, 600, c);
    for (int y = 20; y < 60; ++y)
        for (int x = 20; x < 60; ++x) p.at(x, y) = k_black;
    return p;
}

::testing::AssertionResult colour_near(const Image& image, int x, int y, Color expected, int tolerance = 12) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return ::testing::AssertionFailure() << "(" << x << "," << y << ") is off the page";
    const Rgb c = image.at(x, y);
    if (std::abs(c.r - red_of(expected)) <= tolerance && std::abs(c.g - green_of(expected)) <= tolerance &&
        std::abs(c.b - blue_of(expected)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "at (" << x << "," << y << ") found " << c.r << "," << c.g << "," << c.b << ", expected "
           << red_of(expected) << "," << green_of(expected) << "," << blue_of(expected);
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

// ---- The fixture

class CupsPrinterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (server_socket().empty() || server_dir().empty())
            GTEST_FAIL() << "run through cups_run_tests.sh (CUPS_SERVER and ZUVELA_CUPS_DIR are not set)";
    }
    void SetUp() override {
        ASSERT_FALSE(server_socket().empty());
        ::setenv("CUPS_SERVER", server_socket().c_str(), 1);
        fs::remove(home_lpoptions());
        for (const auto& entry : fs::directory_iterator(server_dir()))
            if (entry.path().extension() == ".pdf") fs::remove(entry.path());
    }
    void TearDown() override {
        ::setenv("CUPS_SERVER", server_socket().c_str(), 1);
        fs::remove(home_lpoptions());
    }

    static fs::path home_lpoptions() { return fs::path(env("HOME")) / ".cups" / "lpoptions"; }
    static fs::path out_pdf() { return server_dir() / "out.pdf"; }

    // Prints and waits until the printer has handed the page over.
    static void print_and_hand_over(const Raster& picture) {
        CupsPrinter printer;
        printer.print_landscape(picture);
        ASSERT_TRUE(printer.wait_until_idle(milliseconds(20000)));
        EXPECT_EQ(printer.counts().submitted, 1);
        EXPECT_EQ(printer.counts().dropped, 0);
    }
};

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

TEST_F(CupsPrinterTest, ASecondPrintWaitsBehindTheFirst) {
    const auto before = jobs_on("zuvela-test").size();
    {
        CupsPrinter printer;
        printer.print_landscape(known_picture());
        printer.print_landscape(plain_picture(k_magenta));
        ASSERT_TRUE(printer.wait_until_idle(milliseconds(30000)));
        EXPECT_EQ(printer.counts().submitted, 2);
    }
    const auto jobs = wait_for_jobs("zuvela-test", before + 2);
    ASSERT_EQ(jobs.size(), before + 2);
    for (const JobSeen& j : jobs) EXPECT_EQ(j.state, IPP_JSTATE_COMPLETED) << "job " << j.id;
    // Each job replaces out.pdf: the last one out is the magenta page, handed in second.
    ASSERT_TRUE(fs::exists(out_pdf()));
    const Image landscape = turned_clockwise(render(out_pdf(), "printed-second-page"));
    const Box ink = ink_of(landscape);
    EXPECT_TRUE(colour_near(landscape, ink.left + 375, ink.top + 300, k_magenta));
}

TEST_F(CupsPrinterTest, APausedQueueKeepsThePageUntilItIsResumed) {
    ASSERT_NO_FATAL_FAILURE(admin("cupsdisable zuvela-test"));
    const auto before = jobs_on("zuvela-test").size();
    const auto start = Clock::now();
    {
        CupsPrinter printer;
        printer.print_landscape(known_picture());
        EXPECT_LT(Clock::now() - start, milliseconds(500));
        EXPECT_TRUE(printer.wait_until_idle(milliseconds(10000)));
    }
    std::this_thread::sleep_for(milliseconds(1500));
    EXPECT_FALSE(fs::exists(out_pdf())) << "nothing printed while paused";
    ASSERT_NO_FATAL_FAILURE(admin("cupsenable zuvela-test"));
    const auto jobs = wait_for_jobs("zuvela-test", before + 1);
    ASSERT_EQ(jobs.size(), before + 1);
    EXPECT_EQ(jobs.back().state, IPP_JSTATE_COMPLETED);
    EXPECT_TRUE(fs::exists(out_pdf()));
}

TEST_F(CupsPrinterTest, AQueueThatRejectsJobsPrintsNothingAndSaysNothing) {
    ASSERT_NO_FATAL_FAILURE(admin("cupsreject zuvela-test"));
    const auto before = jobs_on("zuvela-test").size();
    {
        CupsPrinter printer;
        printer.print_landscape(known_picture());
        EXPECT_TRUE(printer.wait_until_idle(milliseconds(10000)));
        EXPECT_EQ(printer.counts().submitted, 0);
        EXPECT_EQ(printer.counts().dropped, 1);
    }
    ASSERT_NO_FATAL_FAILURE(admin("cupsaccept zuvela-test"));
    EXPECT_EQ(jobs_on("zuvela-test").size(), before);
    EXPECT_FALSE(fs::exists(out_pdf()));
}

// A unix socket nobody listens on: what a stopped cupsd leaves behind.
fs::path dead_socket() {
    const fs::path path = server_dir() / "dead.sock";
    fs::remove(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(fd);
    return path;
}

struct Timings {
    double longest_call_ms = 0;
    double destructor_ms = 0;
    CupsPrinter::Counts counts;
};

Timings print_without_a_server(int pages, bool wait_first) {
    Timings t;
    const auto made = Clock::now();
    auto printer = std::make_unique<CupsPrinter>();
    const Raster picture = known_picture();
    for (int i = 0; i < pages; ++i) {
        const auto start = Clock::now();
        printer->print_landscape(picture);
        t.longest_call_ms = std::max(t.longest_call_ms,
                                     std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    if (wait_first) printer->wait_until_idle(milliseconds(30000));
    t.counts = printer->counts();
    const auto leaving = Clock::now();
    printer.reset();
    t.destructor_ms = std::chrono::duration<double, std::milli>(Clock::now() - leaving).count();
    (void)made;
    return t;
}

TEST_F(CupsPrinterTest, WithoutAServerNothingIsPrintedAndNobodyWaits) {
    ::setenv("CUPS_SERVER", dead_socket().c_str(), 1);
    const Timings dead = print_without_a_server(5, true);
    std::cout << "[ info ] stopped cupsd (dead socket): longest print_landscape call " << dead.longest_call_ms
              << " ms, destructor " << dead.destructor_ms << " ms, dropped " << dead.counts.dropped << "\n";
    EXPECT_EQ(dead.counts.submitted, 0);
    EXPECT_EQ(dead.counts.dropped, 5);
    EXPECT_LT(dead.destructor_ms, 2500);

    ::setenv("CUPS_SERVER", (server_dir() / "no-such.sock").c_str(), 1);
    const Timings missing = print_without_a_server(3, true);
    std::cout << "[ info ] no socket at all: longest call " << missing.longest_call_ms << " ms, destructor "
              << missing.destructor_ms << " ms\n";
    EXPECT_EQ(missing.counts.dropped, 3);

    // Leaving at once, pages still waiting: the destructor does not wait for them beyond its grace.
    ::setenv("CUPS_SERVER", dead_socket().c_str(), 1);
    const Timings leaving = print_without_a_server(8, false);
    std::cout << "[ info ] leaving at once with 8 pages: longest call " << leaving.longest_call_ms
              << " ms, destructor " << leaving.destructor_ms << " ms\n";
    EXPECT_LT(leaving.destructor_ms, 2500);
    EXPECT_FALSE(fs::exists(out_pdf()));
}

int threads_of_this_process() {
    return int(std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

TEST_F(CupsPrinterTest, LeavingWhileAServerNeverAnswersEndsTheWorkerInsideTheGrace) {
    // A listening socket that accepts nothing: connecting succeeds, every answer is awaited in vain.
    const fs::path path = server_dir() / "silent.sock";
    fs::remove(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 16), 0);
    ::setenv("CUPS_SERVER", path.c_str(), 1);

    const int threads_before = threads_of_this_process();
    const Timings silent = print_without_a_server(2, false);
    std::cout << "[ info ] silent server: longest call " << silent.longest_call_ms << " ms, destructor "
              << silent.destructor_ms << " ms\n";
    // The server still holds the connection open: a worker left behind would still be waiting in libcups.
    EXPECT_EQ(threads_of_this_process(), threads_before) << "the worker was joined, not left behind";
    // A liveness bound, not a speed target: about 150 ms here, where waiting out libcups's own time-outs
    // takes five seconds or more.
    EXPECT_LT(silent.destructor_ms, 4000) << "leaving did not wait for the server's own time-outs";
    ::close(fd);
}

}  // namespace
}  // namespace zuvela
