#include "audio_smf.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace artgen {

namespace {

enum Order { k_meta = 0, k_control = 1, k_note_off = 2, k_note_on = 3 };

void put_variable_length(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7f;
        value >>= 7;
    } while (value != 0);
    while (count > 1) out.push_back(groups[--count] | 0x80);
    out.push_back(groups[0]);
}

void put_be32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint8_t data_byte(int value) {
    if (value < 0 || value > 127) throw std::invalid_argument("MIDI data byte out of range");
    return static_cast<std::uint8_t>(value);
}

std::uint8_t status(int kind, int channel) {
    if (channel < 0 || channel > 15) throw std::invalid_argument("MIDI channel out of range");
    return static_cast<std::uint8_t>(kind | channel);
}

}  // namespace

void SmfTrack::add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes) {
    m_events.push_back({tick, order, static_cast<std::uint32_t>(m_events.size()), std::move(bytes)});
}

void SmfTrack::name(std::uint32_t tick, const std::string& text) {
    std::vector<std::uint8_t> bytes = {0xff, 0x03};
    put_variable_length(bytes, static_cast<std::uint32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    add(tick, k_meta, std::move(bytes));
}

void SmfTrack::tempo(std::uint32_t tick, double beats_per_minute) {
    const auto micros = static_cast<std::uint32_t>(std::lround(60'000'000.0 / beats_per_minute));
    add(tick, k_meta,
        {0xff, 0x51, 0x03, static_cast<std::uint8_t>(micros >> 16), static_cast<std::uint8_t>(micros >> 8),
         static_cast<std::uint8_t>(micros)});
}

void SmfTrack::time_signature(std::uint32_t tick, int numerator, int denominator_power_of_two) {
    add(tick, k_meta, {0xff, 0x58, 0x04, data_byte(numerator), data_byte(denominator_power_of_two), 24, 8});
}

void SmfTrack::key_signature(std::uint32_t tick, int sharps, bool minor) {
    add(tick, k_meta,
        {0xff, 0x59, 0x02, static_cast<std::uint8_t>(static_cast<std::int8_t>(sharps)),
         static_cast<std::uint8_t>(minor ? 1 : 0)});
}

void SmfTrack::program(std::uint32_t tick, int channel, int program) {
    add(tick, k_control, {status(0xc0, channel), data_byte(program)});
}

void SmfTrack::control(std::uint32_t tick, int channel, int controller, int value) {
    add(tick, k_control, {status(0xb0, channel), data_byte(controller), data_byte(value)});
}

void SmfTrack::note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity) {
    if (length == 0 || velocity < 1) throw std::invalid_argument("empty MIDI note");
    add(tick, k_note_on, {status(0x90, channel), data_byte(key), data_byte(velocity)});
    add(tick + length, k_note_off, {status(0x80, channel), data_byte(key), 64});
}

std::vector<std::uint8_t> SmfTrack::chunk(std::uint32_t end_tick) const {
    std::vector<Event> events = m_events;
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.order != b.order) return a.order < b.order;
        return a.sequence < b.sequence;
    });
    if (!events.empty() && events.back().tick > end_tick) {
        throw std::invalid_argument("MIDI event after the end of its track");
    }

    std::vector<std::uint8_t> body;
    std::uint32_t now = 0;
    for (const auto& event : events) {
        put_variable_length(body, event.tick - now);
        body.insert(body.end(), event.bytes.begin(), event.bytes.end());
        now = event.tick;
    }
    put_variable_length(body, end_tick - now);
    body.insert(body.end(), {0xff, 0x2f, 0x00});

    std::vector<std::uint8_t> out = {'M', 'T', 'r', 'k'};
    put_be32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void write_smf(const std::filesystem::path& path, int ticks_per_quarter, const std::vector<SmfTrack>& tracks,
               std::uint32_t end_tick) {
    std::vector<std::uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    bytes.push_back(static_cast<std::uint8_t>(tracks.size() >> 8));
    bytes.push_back(static_cast<std::uint8_t>(tracks.size()));
    bytes.push_back(static_cast<std::uint8_t>(ticks_per_quarter >> 8));
    bytes.push_back(static_cast<std::uint8_t>(ticks_per_quarter));
    for (const auto& track : tracks) {
        const auto chunk = track.chunk(end_tick);
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace artgen
