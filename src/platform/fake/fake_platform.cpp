#include "platform/fake/fake_platform.h"

#include <algorithm>

#include "platform/errors.h"

namespace zuvela {

PictureRef FakePictureFiles::load_picture(const std::string& path) {
    m_log.push_back("load " + path);
    if (failing.count(path)) throw PlatformError("cannot load " + path);
    loads.push_back(path);
    auto it = contents.find(path);
    const Raster decoded = it != contents.end() ? it->second : Raster(2, 2, 0xFFFFFFFF);
    // Like the real cache: an unchanged file gives the same picture again.
    if (auto kept = m_kept.find(path); kept != m_kept.end()) {
        const Raster& before = *kept->second;
        if (before.width == decoded.width && before.height == decoded.height &&
            before.pixels == decoded.pixels)
            return kept->second;
    }
    auto picture = std::make_shared<const Raster>(decoded);
    m_origin[picture.get()] = path;
    m_kept[path] = picture;
    m_keep.push_back(picture);
    return picture;
}

PictureRef FakePictureFiles::decode_picture(std::span<const std::byte> bytes) {
    m_log.push_back("decode " + std::to_string(bytes.size()) + " bytes");
    return std::make_shared<const Raster>(2, 2, 0xFF808080);
}

void FakePictureFiles::save_bitmap(const Raster& picture, const std::string& path) {
    m_log.push_back("save " + path);
    if (failing.count(path)) throw PlatformError("cannot save " + path);
    saved[path] = picture;
    contents[path] = picture;  // reads back as written
}

std::uint64_t FakePictureFiles::file_length(const std::string& path) {
    m_log.push_back("length " + path);
    auto it = lengths.find(path);
    if (it == lengths.end() || failing.count(path)) throw PlatformError("no such file " + path);
    return it->second;
}

void FakePictureFiles::change_directory(const std::string& path) {
    m_log.push_back("chdir " + path);
}

std::string FakePictureFiles::path_of(const PictureRef& picture) const {
    auto it = m_origin.find(picture.get());
    return it == m_origin.end() ? std::string() : it->second;
}

std::vector<std::string> FakePictureFiles::loads_since(std::size_t mark) const {
    return {loads.begin() + std::ptrdiff_t(std::min(mark, loads.size())), loads.end()};
}

void FakeDisplay::show_splash(const Raster&, int width, int height) {
    m_log.push_back("show_splash " + std::to_string(width) + "x" + std::to_string(height));
    if (fail_splash) throw PlatformError("no splash window");
}

void FakeDisplay::show_main(const std::string& text, const Raster&) {
    m_log.push_back("show_main");
    if (fail_main) throw PlatformError("no main window");
    caption = text;
}

void FakeDisplay::enter_fullscreen() {
    m_log.push_back("enter_fullscreen");
    if (fail_fullscreen) throw PlatformError("cannot take the screen");
}

void FakeDisplay::leave_fullscreen() {
    m_log.push_back("leave_fullscreen");
    if (fail_leave_fullscreen) throw PlatformError("cannot give the screen back");
}

void FakeDisplay::present(const Raster& scene, const Rect& dirty) {
    ++presents;
    last_dirty = dirty;
    last_frame = &scene;
    probed.emplace_back(m_clock.now, scene.at(probe.x, probe.y));
}

PointerId FakeDisplay::make_pointer(const Raster&, Point hot_spot) {
    if (!cursors_supported) return 0;
    pointer_hot_spots[m_next_pointer] = hot_spot;
    return m_next_pointer++;
}

PointerId FakeDisplay::system_pointer(SystemPointer) {
    return cursors_supported ? m_next_pointer++ : 0;
}

std::optional<InputEvent> FakeDisplay::wait_event(double timeout_seconds) {
    if (!m_events.empty() && m_events.front().at <= m_clock.now) {
        InputEvent e = m_events.front().event;
        m_events.pop_front();
        return e;
    }
    const double next_event = m_events.empty() ? -1 : m_events.front().at;
    if (timeout_seconds < 0 && next_event < 0) throw ScriptFinished{};
    double wake = m_clock.now + timeout_seconds;
    if (timeout_seconds < 0 || (next_event >= 0 && next_event < wake)) wake = next_event;
    m_clock.now = std::max(m_clock.now, wake);
    return std::nullopt;
}

int FakeDisplay::end_requested() {
    for (const Pending& p : m_events) {
        if (p.at > m_clock.now) break;
        if (const auto* end = std::get_if<EndRequest>(&p.event)) return end->signal_number;
    }
    return 0;
}

void FakeDisplay::post(InputEvent event, double at) {
    Pending p{at, std::move(event)};
    auto pos = std::upper_bound(m_events.begin(), m_events.end(), p.at,
                                [](double t, const Pending& q) { return t < q.at; });
    m_events.insert(pos, std::move(p));
}

void FakeDisplay::post_click(int x, int y, double at) {
    post(MouseEvent{MouseAction::Down, k_left_button, k_left_button, 0, double(x), double(y)}, at);
    post(MouseEvent{MouseAction::Up, k_left_button, 0, 0, double(x), double(y)}, at);
}

void FakeDisplay::post_move(int x, int y, int buttons, double at) {
    post(MouseEvent{MouseAction::Move, 0, buttons, 0, double(x), double(y)}, at);
}

void FakeMusic::create_performance() {
    m_log.push_back("music_create_performance");
    if (fail_create) throw PlatformError("no music");
}

void FakeMusic::set_master_volume(std::int32_t level) {
    m_log.push_back("music_volume " + std::to_string(level));
}

int FakeMusic::load_segment(const std::string& path) {
    m_log.push_back("music_load " + path);
    if (missing.count(path)) throw PlatformError("cannot read " + path);
    return 1;
}

int FakeMusic::play_segment(int segment) {
    m_log.push_back("music_play " + std::to_string(segment));
    playing = true;
    return ++playbacks;
}

bool FakeMusic::is_playing(int segment, int playback) {
    m_log.push_back("music_is_playing " + std::to_string(segment) + " " + std::to_string(playback));
    return playing;
}

void FakeMusic::stop(int segment, int playback) {
    m_log.push_back("music_stop " + std::to_string(segment) + " " + std::to_string(playback));
    playing = false;
}

void FakeMusic::close_down() {
    m_log.push_back("music_close_down");
    if (fail_close_down) throw PlatformError("music will not close");
}

int FakeKeyLock::install(std::function<bool(const LockedKey&)> swallow) {
    m_log.push_back("lock_install");
    if (fail_install) return 0;
    installed = true;
    callback = std::move(swallow);
    return 7;
}

void FakeKeyLock::release(int handle) {
    m_log.push_back("lock_release " + std::to_string(handle));
    installed = false;
}

float FakeRandom::next_uniform() {
    const float v = values[std::min(next, values.size() - 1)];
    ++next;
    return v;
}

bool FakePlatform::logged(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

int FakePlatform::position_of(const std::string& prefix) const {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].rfind(prefix, 0) == 0) return int(i);
    }
    return -1;
}

}  // namespace zuvela
