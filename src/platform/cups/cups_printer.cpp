#include "platform/cups/cups_printer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>
#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>

namespace zuvela {

namespace {

constexpr int k_connect_timeout_ms = 3000;
constexpr double k_wait_timeout_s = 5.0;
// How often a wait on the server looks whether the program is leaving.
constexpr double k_cancel_poll_s = 0.05;
constexpr std::size_t k_write_chunk = 64 * 1024;

constexpr double points_of(int hundredths_of_mm) {
    return double(hundredths_of_mm) * 72.0 / 2540.0;
}

// ---- The page

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

struct SurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceFree>;

struct ContextFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using ContextPtr = std::unique_ptr<cairo_t, ContextFree>;

// ---- CUPS resources

struct HttpClose {
    void operator()(http_t* h) const { httpClose(h); }
};
using HttpPtr = std::unique_ptr<http_t, HttpClose>;

struct DestInfoFree {
    void operator()(cups_dinfo_t* d) const { cupsFreeDestInfo(d); }
};
using DestInfoPtr = std::unique_ptr<cups_dinfo_t, DestInfoFree>;

class DestList {
  public:
    DestList() = default;
    ~DestList() { cupsFreeDests(count, dests); }
    DestList(const DestList&) = delete;
    DestList& operator=(const DestList&) = delete;

    int count = 0;
    cups_dest_t* dests = nullptr;
};

class OptionList {
  public:
    OptionList() = default;
    ~OptionList() { cupsFreeOptions(count, options); }
    OptionList(const OptionList&) = delete;
    OptionList& operator=(const OptionList&) = delete;

    void set(const char* name, const char* value) { count = cupsAddOption(name, value, count, &options); }

    int count = 0;
    cups_option_t* options = nullptr;
};

const char* no_password(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;  // never prompt: a destination that wants a password gets no page
}

// The flag libcups polls while connecting: it takes a plain int, so it is accessed atomically on our side.
void raise_cancel(int& flag) {
    __atomic_store_n(&flag, 1, __ATOMIC_SEQ_CST);
}

bool cancelled(int& flag) {
    return __atomic_load_n(&flag, __ATOMIC_SEQ_CST) != 0;
}

// Called by libcups every k_cancel_poll_s while it waits on the server: go on waiting until the program
// leaves or the server has said nothing for k_wait_timeout_s.
int keep_waiting(http_t* http, void* cancel) {
    if (cancelled(*static_cast<int*>(cancel))) return 0;
    return std::difftime(std::time(nullptr), httpGetActivity(http)) < k_wait_timeout_s;
}

bool ipp_ok(ipp_status_t status) {
    return status <= IPP_STATUS_OK_CONFLICTING;
}

// Options of the user's own (lpoptions) that would move, turn or scale the page are left out: the page is
// laid out for the sheet already.
bool shapes_the_page(const char* name) {
    // clang-format off
    static const char* const k_names[] = {
        "orientation-requested", "landscape",     "number-up",       "number-up-layout", "fit-to-page",
        "fitplot",               "fill",          "print-scaling",   "scaling",          "natural-scaling",
        "ppi",                   "position",      "page-left",       "page-right",       "page-top",
        "page-bottom",           "page-ranges",   "page-set",        "page-border",      "mirror",
        "media",                 "media-col",     "PageSize",        "PageRegion",       "nopdfAutoRotate",
        "document-format",       "job-sheets",    "outputorder",     "output-order",     "cupsEvenDuplex"};
    // clang-format on
    for (const char* n : k_names)
        if (std::strcmp(n, name) == 0) return true;
    return false;
}

bool letter_locale() {
    static const char* const k_letter_territories[] = {"US", "CA", "MX", "PH", "CL", "CO", "VE", "PR"};
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            value = v;
            break;
        }
    }
    if (!value) return false;
    const char* underscore = std::strchr(value, '_');
    if (!underscore) return false;
    const std::string territory(underscore + 1, std::strcspn(underscore + 1, ".@"));
    for (const char* t : k_letter_territories)
        if (territory == t) return true;
    return false;
}

PaperSheet sheet_of(const cups_size_t& size) {
    PaperSheet sheet;
    const double w = points_of(size.width), l = points_of(size.length);
    sheet.width = std::min(w, l);
    sheet.length = std::max(w, l);
    sheet.left = points_of(size.left);
    sheet.right = points_of(size.right);
    sheet.top = points_of(size.top);
    sheet.bottom = points_of(size.bottom);
    return sheet;
}

bool media_by_name(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, const char* name, cups_size_t& size) {
    return name && *name && cupsGetDestMediaByName(http, dest, info, name, CUPS_MEDIA_FLAGS_DEFAULT, &size) &&
           size.width > 0 && size.length > 0;
}

// The destination's default media with its margins: the user's own choice (lpoptions "media"), else the
// printer's "media-default". cupsGetDestMediaDefault is not enough on its own: in libcups 2.4 it reads only
// the user's choice and otherwise takes US Letter whenever the printer lists it, so an A4 printer would get a
// Letter page. Without either, A4 (Letter in US-like locales), with the destination's margins when it knows
// the size; without even that, the bare sheet.
PaperSheet paper_for(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, std::string& media_name) {
    cups_size_t size{};
    const char* chosen = cupsGetOption("media", dest->num_options, dest->options);
    ipp_attribute_t* printer_default = cupsFindDestDefault(http, dest, info, "media");
    const char* fallback = letter_locale() ? "na_letter_8.5x11in" : "iso_a4_210x297mm";
    if (media_by_name(http, dest, info, chosen, size) ||
        (printer_default &&
         media_by_name(http, dest, info, ippGetString(printer_default, 0, nullptr), size)) ||
        media_by_name(http, dest, info, fallback, size) ||
        (cupsGetDestMediaDefault(http, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size) && size.width > 0 &&
         size.length > 0)) {
        media_name = size.media;
        return sheet_of(size);
    }
    media_name = fallback;
    return letter_locale() ? PaperSheet::letter() : PaperSheet::a4();
}

cups_dest_t* default_destination(http_t* http, const DestList& list) {
    for (int i = 0; i < list.count; ++i)
        if (list.dests[i].is_default) return &list.dests[i];
    // A user default that names a queue no longer there is dropped by libcups; the server's default stands
    // in.
    if (const char* server_default = cupsGetDefault2(http))
        return cupsGetDest(server_default, nullptr, list.count, list.dests);
    return nullptr;
}

// Hands one page to the default destination. True when CUPS accepted the job. `cancel` raised ends it early;
// `hold` is told of the connection once it is open and of its end (nullptr) before it closes.
bool submit(const Raster& picture, int& cancel, const std::function<void(http_t*)>& hold) {
    HttpPtr http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              k_connect_timeout_ms, &cancel));
    if (!http) return false;
    hold(http.get());
    struct Release {
        const std::function<void(http_t*)>& hold;
        ~Release() { hold(nullptr); }
    } release{hold};
    httpSetTimeout(http.get(), k_cancel_poll_s, keep_waiting, &cancel);

    DestList list;
    list.count = cupsGetDests2(http.get(), &list.dests);
    if (cancelled(cancel)) return false;
    cups_dest_t* dest = default_destination(http.get(), list);
    if (!dest || cancelled(cancel)) return false;

    DestInfoPtr info(cupsCopyDestInfo(http.get(), dest));
    if (!info || cancelled(cancel)) return false;

    std::string media_name;
    const PaperSheet sheet = paper_for(http.get(), dest, info.get(), media_name);
    const std::vector<unsigned char> pdf = landscape_page_pdf(picture, sheet);
    if (pdf.empty()) return false;

    OptionList options;
    for (int i = 0; i < dest->num_options; ++i)
        if (!shapes_the_page(dest->options[i].name))
            options.set(dest->options[i].name, dest->options[i].value);
    options.set("media", media_name.c_str());
    options.set("print-scaling", "none");

    int job_id = 0;
    if (cancelled(cancel)) return false;
    if (!ipp_ok(cupsCreateDestJob(http.get(), dest, info.get(), &job_id, "Zuvela", options.count,
                                  options.options)) ||
        job_id <= 0)
        return false;

    if (cupsStartDestDocument(http.get(), dest, info.get(), job_id, "zuvela.pdf", CUPS_FORMAT_PDF, 0, nullptr,
                              1) != HTTP_STATUS_CONTINUE) {
        cupsCancelDestJob(http.get(), dest, job_id);
        return false;
    }
    bool sent = true;
    for (std::size_t offset = 0; sent && offset < pdf.size(); offset += k_write_chunk) {
        const std::size_t n = std::min(k_write_chunk, pdf.size() - offset);
        sent = cupsWriteRequestData(http.get(), reinterpret_cast<const char*>(pdf.data() + offset), n) ==
               HTTP_STATUS_CONTINUE;
    }
    // Finishing reads the server's answer; after a failed write it ends the request too.
    const bool finished = ipp_ok(cupsFinishDestDocument(http.get(), dest, info.get()));
    if (sent && finished) return true;
    cupsCancelDestJob(http.get(), dest, job_id);
    return false;
}

// A write to a server that went away raises SIGPIPE on this thread; blocked here, the write fails with EPIPE
// instead of ending the program. The pending signal is taken away after each page.
void block_sigpipe() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void drain_sigpipe() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    const timespec zero{0, 0};
    while (sigtimedwait(&set, nullptr, &zero) == SIGPIPE) {
    }
}

}  // namespace

PaperSheet PaperSheet::a4() {
    PaperSheet s;
    s.width = points_of(21000);
    s.length = points_of(29700);
    return s;
}

PaperSheet PaperSheet::letter() {
    PaperSheet s;
    s.width = 612;
    s.length = 792;
    return s;
}

std::vector<unsigned char> landscape_page_pdf(const Raster& picture, const PaperSheet& sheet) {
    std::vector<unsigned char> out;
    if (picture.width <= 0 || picture.height <= 0 || sheet.width <= 0 || sheet.length <= 0) return out;
    if (picture.pixels.size() < std::size_t(picture.width) * std::size_t(picture.height)) return out;

    SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return out;
    cairo_surface_flush(image.get());
    unsigned char* data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < picture.height; ++y) {
        auto* dst = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        const Color* src = picture.row(y);
        for (int x = 0; x < picture.width; ++x) {
            const Color c = src[x];
            dst[x] = (std::uint32_t(red_of(c)) << 16) | (std::uint32_t(green_of(c)) << 8) |
                     std::uint32_t(blue_of(c));
        }
    }
    cairo_surface_mark_dirty(image.get());

    // Landscape: the sheet turned +90°; its bottom margin is now on the left, its left margin at the top.
    const double page_width = sheet.length, page_height = sheet.width;
    SurfacePtr pdf(cairo_pdf_surface_create_for_stream(append_bytes, &out, page_width, page_height));
    if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) return {};
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_TITLE, "Zuvela");
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_CREATOR, "Zuvela");
    {
        ContextPtr cr(cairo_create(pdf.get()));
        cairo_translate(cr.get(), sheet.bottom, sheet.left);
        cairo_scale(cr.get(), k_points_per_pixel, k_points_per_pixel);
        cairo_set_source_surface(cr.get(), image.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr.get(), 0, 0, picture.width, picture.height);
        cairo_fill(cr.get());
        cairo_show_page(cr.get());
        if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return {};
    }
    cairo_surface_finish(pdf.get());
    if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) return {};
    return out;
}

CupsPrinter::CupsPrinter() : m_state(std::make_shared<State>()) {
    try {
        m_worker = std::thread(&CupsPrinter::run_worker, m_state);
    } catch (const std::system_error&) {
        // No thread, no printing: every page is dropped.
    }
}

CupsPrinter::~CupsPrinter() {
    if (!m_worker.joinable()) return;
    {
        std::unique_lock lock(m_state->mutex);
        m_state->leaving = true;
        m_state->changed.notify_all();
        if (!m_state->changed.wait_for(lock, k_leave_grace,
                                       [&] { return m_state->waiting.empty() && !m_state->busy; })) {
            raise_cancel(m_state->cancel);
            m_state->dropped += int(m_state->waiting.size());
            m_state->waiting.clear();
            // libcups waits up to a second for a silent server before it looks at the cancel flag, and
            // reconnects by itself after a broken connection: the connection in hand is cut until the worker
            // has given up.
            const auto give_up_by = std::chrono::steady_clock::now() + k_cut_for;
            while (!m_state->changed.wait_for(lock, k_cut_every, [&] { return !m_state->busy; }) &&
                   std::chrono::steady_clock::now() < give_up_by)
                cut_connection(*m_state);
        }
    }
    m_worker.join();
}

void CupsPrinter::cut_connection(State& state) {
    auto* http = static_cast<http_t*>(state.connection);
    if (!http) return;
    // The connection may be between two sockets while libcups reconnects: only a socket that still leads
    // to the print server is shut, never a descriptor that meanwhile went to someone else.
    const int fd = httpGetFd(http);
    http_addr_t peer{};
    socklen_t length = sizeof peer;
    if (fd < 0 || ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return;
    const http_addr_t* server = httpGetAddress(http);
    if (!server || !httpAddrEqual(&peer, server) ||
        (peer.addr.sa_family != AF_LOCAL &&
         httpAddrPort(&peer) != httpAddrPort(const_cast<http_addr_t*>(server))))
        return;
    ::shutdown(fd, SHUT_RDWR);
}

void CupsPrinter::print_landscape(const Raster& picture) {
    if (!m_worker.joinable()) {
        ++m_state->dropped;
        return;
    }
    std::shared_ptr<const Raster> copy;
    try {
        copy = std::make_shared<const Raster>(picture);
    } catch (const std::bad_alloc&) {
        ++m_state->dropped;
        return;
    }
    std::lock_guard lock(m_state->mutex);
    if (m_state->waiting.size() >= k_max_waiting) {
        ++m_state->dropped;
        return;
    }
    m_state->waiting.push_back(std::move(copy));
    m_state->changed.notify_all();
}

CupsPrinter::Counts CupsPrinter::counts() const {
    return {m_state->submitted.load(), m_state->dropped.load()};
}

bool CupsPrinter::wait_until_idle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, timeout,
                                     [&] { return m_state->waiting.empty() && !m_state->busy; });
}

void CupsPrinter::run_worker(std::shared_ptr<State> state) {
    block_sigpipe();
    cupsSetPasswordCB2(no_password, nullptr);  // libcups keeps it per thread
    for (;;) {
        std::shared_ptr<const Raster> page;
        {
            std::unique_lock lock(state->mutex);
            state->changed.wait(lock, [&] { return !state->waiting.empty() || state->leaving; });
            if (state->waiting.empty() || cancelled(state->cancel)) return;
            page = std::move(state->waiting.front());
            state->waiting.pop_front();
            state->busy = true;
        }
        bool accepted = false;
        try {
            accepted = submit(*page, state->cancel, [&](http_t* http) {
                std::lock_guard hold(state->mutex);
                state->connection = http;
            });
        } catch (...) {
            accepted = false;
        }
        drain_sigpipe();
        page.reset();
        {
            std::lock_guard lock(state->mutex);
            ++(accepted ? state->submitted : state->dropped);
            state->busy = false;
            state->changed.notify_all();
        }
    }
}

}  // namespace zuvela
