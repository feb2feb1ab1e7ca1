// The Printer service on CUPS: one landscape PDF page on the user's default destination, handed over by one
// background thread so that the caller never waits for the print system.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/services.h"

namespace zuvela {

// A sheet of paper as CUPS describes it, held the way it is fed (portrait): size and the margins around the
// printable area, in PostScript points (1/72 in).
struct PaperSheet {
    double width = 0;   // the short side
    double length = 0;  // the long side
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;

    static PaperSheet a4();      // 210 × 297 mm, no margins known
    static PaperSheet letter();  // 8.5 × 11 in, no margins known
};

// One canvas pixel on paper: 96 pixels to the inch.
inline constexpr double k_points_per_pixel = 0.75;

// The page sent to the printer: one landscape page (the sheet turned a quarter, width = the sheet's length)
// with the picture, unscaled at k_points_per_pixel, its top-left corner at the top-left corner of the
// printable area. The sheet is turned the way IPP "landscape" turns it (the top of the picture along the
// sheet's left edge), so the landscape page's left margin is the sheet's bottom margin and its top margin the
// sheet's left one. A picture larger than the printable area is cut at the page's edge. Returns a PDF file;
// empty when the picture is empty or cairo fails.
std::vector<unsigned char> landscape_page_pdf(const Raster& picture, const PaperSheet& sheet);

// Prints on the user's default CUPS destination: the one cupsGetDests marks as default, which honours LPDEST,
// PRINTER, ~/.cups/lpoptions and the server's default, in that order; the server is the one CUPS_SERVER or
// client.conf names. The paper is the destination's default media (A4, or Letter in US-like locales, when the
// destination does not say).
//
// print_landscape copies the picture and returns at once. One worker thread hands the pages to CUPS in the
// order they were given (Create-Job, Send-Document as application/pdf). Every failure (no server, no default
// destination, a queue that rejects jobs, a server that stops answering, authentication asked for) drops
// that page without a word; connecting gives up after 3 s and every wait on the server after 5 s of silence,
// and no password is ever asked for. A paused queue keeps the job until it is resumed, as CUPS does.
//
// The destructor gives the pages not yet handed over k_leave_grace in all, then cuts the request in hand
// short (a job CUPS already holds stays with it) and joins the worker: leaving the program never hangs and
// no thread is left inside libcups.
class CupsPrinter final : public Printer {
  public:
    CupsPrinter();
    ~CupsPrinter() override;
    CupsPrinter(const CupsPrinter&) = delete;
    CupsPrinter& operator=(const CupsPrinter&) = delete;

    void print_landscape(const Raster& picture) override;

    // For tests and diagnostics.
    struct Counts {
        int submitted = 0;  // pages CUPS accepted as a job
        int dropped = 0;    // pages given up (no printer, a failure, or too many waiting)
    };
    Counts counts() const;
    // Waits until every page handed in so far is submitted or dropped; false when the time ran out first.
    bool wait_until_idle(std::chrono::milliseconds timeout);

    // Pages waiting beyond this many are dropped (a child holding Ctrl+P down).
    static constexpr std::size_t k_max_waiting = 8;
    static constexpr std::chrono::milliseconds k_leave_grace{100};
    // After the grace: how often the request in hand is cut, and for how long at most before joining.
    static constexpr std::chrono::milliseconds k_cut_every{10};
    static constexpr std::chrono::milliseconds k_cut_for{2000};

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::shared_ptr<const Raster>> waiting;
        bool busy = false;
        bool leaving = false;
        // Read by libcups while it connects, and by the worker's wait callback: the request in hand ends.
        int cancel = 0;
        // The worker's connection (an http_t) while it talks to the server; guarded by `mutex`.
        void* connection = nullptr;
        std::atomic<int> submitted{0};
        std::atomic<int> dropped{0};
    };

    static void run_worker(std::shared_ptr<State> state);
    static void cut_connection(State& state);

    std::shared_ptr<State> m_state;
    std::thread m_worker;
};

}  // namespace zuvela
