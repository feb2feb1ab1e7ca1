#include "cups_printer_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace zuvela::cups_test {

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

std::string run(const std::string& command, int* status) {
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

void admin(const std::string& command) {
    int status = 0;
    const std::string out = run("CUPS_SERVER=" + quoted(server_socket()) + " " + command, &status);
    ASSERT_EQ(status, 0) << command << ": " << out;
}

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

std::vector<JobSeen> wait_for_jobs(const std::string& queue, std::size_t count, milliseconds timeout) {
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

Raster known_picture(Color top_left) {
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

::testing::AssertionResult colour_near(const Image& image, int x, int y, Color expected, int tolerance) {
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

void CupsPrinterTest::SetUpTestSuite() {
    if (server_socket().empty() || server_dir().empty())
        GTEST_FAIL() << "run through cups_run_tests.sh (CUPS_SERVER and ZUVELA_CUPS_DIR are not set)";
}

void CupsPrinterTest::SetUp() {
    ASSERT_FALSE(server_socket().empty());
    ::setenv("CUPS_SERVER", server_socket().c_str(), 1);
    fs::remove(home_lpoptions());
    for (const auto& entry : fs::directory_iterator(server_dir()))
        if (entry.path().extension() == ".pdf") fs::remove(entry.path());
}

void CupsPrinterTest::TearDown() {
    ::setenv("CUPS_SERVER", server_socket().c_str(), 1);
    fs::remove(home_lpoptions());
}

void CupsPrinterTest::print_and_hand_over(const Raster& picture) {
    CupsPrinter printer;
    printer.print_landscape(picture);
    ASSERT_TRUE(printer.wait_until_idle(milliseconds(20000)));
    EXPECT_EQ(printer.counts().submitted, 1);
    EXPECT_EQ(printer.counts().dropped, 0);
}

}  // namespace zuvela::cups_test
