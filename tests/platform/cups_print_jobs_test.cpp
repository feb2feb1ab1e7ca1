// The job's life on the queue: one behind another, held while the queue is paused, refused.
#include <gtest/gtest.h>

#include <iostream>

#include <thread>

#include "cups_printer_fixture.h"

namespace zuvela {
namespace {

using namespace cups_test;
using cups_test::Clock;  // not the program's clock interface, zuvela::Clock

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
        std::cout << "[ info ] print_landscape returned after "
                  << std::chrono::duration<double, std::milli>(Clock::now() - start).count() << " ms\n";
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

}  // namespace
}  // namespace zuvela
