// The one reader of whole files, and the three decoders that read through it: what is no regular file, or
// is too large, is refused before anything is decoded, and without waiting for a writer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

#include "platform/desktop/bounded_file.h"
#include "platform/errors.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_pictures.h"
#include "platform/sdl/sdl_sound_effects.h"
#include "support/bytes.h"
#include "support/midi_writer.h"
#include "support/scratch_dir.h"
#include "support/wav_writer.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

class FileReaders : public ::testing::Test {
  protected:
    void SetUp() override { dir = test::fresh_scratch_dir("zuvela-readers"); }
    void TearDown() override {
        for (int fd : m_pipes) ::close(fd);
        fs::remove_all(dir);
    }

    // A pipe holding `bytes` with its writer closed, by a name that opens it again.
    std::string pipe_holding(const Bytes& bytes) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        EXPECT_EQ(::write(ends[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(ends[1]);
        m_pipes.push_back(ends[0]);
        return "/proc/self/fd/" + std::to_string(ends[0]);
    }

    // A FIFO nobody writes to.
    std::string fifo(const std::string& name) const {
        const std::string path = (dir / name).string();
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }

    fs::path dir;

  private:
    std::vector<int> m_pipes;
};

// Whether `read` was refused with a PlatformError. It runs on a thread of its own: should it still be
// waiting for the FIFO's writer after a generous ceiling, a writer comes and goes to let it return, and the
// test fails.
bool refused_without_waiting(const std::string& fifo, const std::function<void()>& read) {
    std::promise<bool> refused;
    std::future<bool> answer = refused.get_future();
    std::thread reader([&] {
        try {
            read();
            refused.set_value(false);
        } catch (const PlatformError&) {
            refused.set_value(true);
        } catch (...) {
            refused.set_value(false);
        }
    });
    if (answer.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
        ADD_FAILURE() << "still waiting for a writer to " << fifo;
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        if (writer >= 0) ::close(writer);
    }
    reader.join();
    return answer.get();
}

TEST_F(FileReaders, OnlyARegularFileWithinItsLimitIsRead) {
    const Bytes some = {'s', 'o', 'm', 'e', 0, 1, 2};
    test::write_bytes(dir / "some", some);
    EXPECT_EQ(read_bounded_file((dir / "some").string(), 7), some);
    EXPECT_THROW(read_bounded_file((dir / "some").string(), 6), PlatformError);

    test::write_bytes(dir / "large", some);
    fs::resize_file(dir / "large", std::uintmax_t(3) << 20);  // sparse
    EXPECT_EQ(read_bounded_file((dir / "large").string(), std::uint64_t(3) << 20).size(), std::size_t(3)
                                                                                              << 20);
    EXPECT_THROW(read_bounded_file((dir / "large").string(), (std::uint64_t(3) << 20) - 1), PlatformError);

    EXPECT_THROW(read_bounded_file((dir / "missing").string(), 100), PlatformError);
    EXPECT_THROW(read_bounded_file(dir.string(), 100), PlatformError) << "a folder";
    EXPECT_THROW(read_bounded_file("/dev/null", 100), PlatformError) << "a device that reads as empty";
    EXPECT_THROW(read_bounded_file(pipe_holding(some), 100), PlatformError) << "a pipe";
    const std::string waiting = fifo("fifo");
    EXPECT_TRUE(refused_without_waiting(waiting, [&] { read_bounded_file(waiting, 100); })) << "a FIFO";
}

// Each file below decodes when it is a regular file; in a pipe or a FIFO it is refused.
TEST_F(FileReaders, PicturesSoundsAndTunesAreNeverReadFromAPipe) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudio audio;
    ASSERT_TRUE(audio.hold()) << "sounds decode only for an open device";

    const fs::path assets(ZUVELA_ASSET_DIR);
    const Bytes picture = test::read_bytes(assets / "PICTURE/01.GIF");
    const Bytes sound = test::tone_wav(440, 0.1);
    const Bytes tune = test::read_bytes(assets / "MUSIC/001.MID");
    test::write_bytes(dir / "01.GIF", picture);
    test::write_bytes(dir / "A.WAV", sound);
    test::write_bytes(dir / "001.MID", tune);

    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> readers = {
        {"picture", [](const std::string& path) { SdlPictureFiles::decode_file(path); }},
        {"sound", [](const std::string& path) { SdlSoundEffects::decode_file(path); }},
        {"tune", [](const std::string& path) { SdlMusic::read_piece(path); }},
    };
    const std::vector<std::pair<std::string, Bytes>> files = {{(dir / "01.GIF").string(), picture},
                                                              {(dir / "A.WAV").string(), sound},
                                                              {(dir / "001.MID").string(), tune}};
    for (std::size_t i = 0; i < readers.size(); ++i) {
        const char* what = readers[i].first;
        const auto& read = readers[i].second;
        const auto& [path, bytes] = files[i];
        EXPECT_NO_THROW(read(path)) << what;
        EXPECT_THROW(read(pipe_holding(bytes)), PlatformError) << what << " in a pipe";
        const std::string waiting = fifo(std::string(what) + ".fifo");
        EXPECT_TRUE(refused_without_waiting(waiting, [&] { read(waiting); })) << what << " in a FIFO";
    }
    audio.release();
}

}  // namespace
}  // namespace zuvela
