#include "audio/channel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>

#include "audio/sound_library.h"
#include "audio/wav.h"
#include "tests/support/test_support.h"

namespace gombocok {
namespace {

// A sound server as the channel sees it, on a virtual clock of one quantum a step: what it is
// sent arrives in order and is handled at its next step (a stalled server handles nothing); it
// plays a quantum from its queue (silence where the queue runs short, and then it reports that
// it ran dry) and asks for what it misses once that is at least `request` frames.
struct ModelServer : ServerLink {
    std::size_t quantum, request, queueFrames, channels;  // frames, but channels
    std::deque<std::int16_t> queue;                       // samples
    Samples heard;                                        // everything played while not paused
    bool paused = true;
    bool stalled = false;
    struct Message {
        enum { replace, append, pause, resume } kind;
        Samples samples;
    };
    std::deque<Message> inbox;
    std::size_t mostQueued = 0, mostInFlight = 0;

    ModelServer(std::size_t quantum, std::size_t request, std::size_t queueFrames,
                std::size_t channels = 1)
        : quantum(quantum), request(request), queueFrames(queueFrames), channels(channels) {}
    std::size_t queued() const { return queue.size() / channels; }
    // What was written and is not played yet: the queue and what is on its way to it.
    std::size_t unplayed() const { return queued() + inFlight() / channels; }

    std::size_t inFlight() const {
        std::size_t n = 0;
        for (const auto& m : inbox) n += m.samples.size();
        return n;
    }
    void send(Message m) {
        inbox.push_back(std::move(m));
        mostInFlight = std::max(mostInFlight, inFlight());
    }
    void replace(std::span<const std::int16_t> s) override {
        send({Message::replace, Samples(s.begin(), s.end())});
    }
    void append(std::span<const std::int16_t> s) override {
        send({Message::append, Samples(s.begin(), s.end())});
    }
    void pause(bool p) override { send({p ? Message::pause : Message::resume, {}}); }

    void step(SoundChannel& channel) {
        if (stalled) return;
        while (!inbox.empty()) {
            Message m = std::move(inbox.front());
            inbox.pop_front();
            if (m.kind == Message::replace) queue.assign(m.samples.begin(), m.samples.end());
            if (m.kind == Message::append)
                queue.insert(queue.end(), m.samples.begin(), m.samples.end());
            if (m.kind == Message::pause || m.kind == Message::resume)
                paused = m.kind == Message::pause;
            mostQueued = std::max(mostQueued, queued());
            if (m.kind == Message::replace) channel.confirmed(unplayed(), *this);
        }
        if (paused) return;
        const bool dry = queued() < quantum;
        for (std::size_t k = 0; k < quantum * channels; ++k) {
            heard.push_back(queue.empty() ? 0 : queue.front());
            if (!queue.empty()) queue.pop_front();
        }
        if (dry) channel.ranDry(*this);
        const std::size_t missing = queueFrames - std::min(queued(), queueFrames);
        if (!paused && missing >= request) channel.requested(missing, *this);
    }
};

Samples ramp(std::size_t n, int from, int step) {
    Samples s(n);
    for (std::size_t k = 0; k < n; ++k)
        s[k] = static_cast<std::int16_t>(from + step * int(k % 1000));
    return s;
}

std::unique_ptr<SoundSource> held(const Samples& s) {
    return std::make_unique<HeldSound>(std::make_shared<const Samples>(s));
}

constexpr OutputFormat kMono{48000, 1};
constexpr std::size_t kQuantum = 512, kRequest = 512, kQueue = 1536, kFade = 48;

// From silence, the sound's first sample is the first the server plays at its next step, the
// whole sound follows in order, the server never holds more than the queue, and once the sound
// has played out the stream is paused.
TEST(SoundChannel, StartsAtTheNextQuantumPlaysWholeAndPausesAfter) {
    SoundChannel channel(kMono, kQueue, kFade);
    ModelServer server(kQuantum, kRequest, kQueue);
    const Samples sound = ramp(10'000, 1, 3);
    channel.play(held(sound), 0, server);
    for (int k = 0; k < 40; ++k) server.step(channel);
    ASSERT_GE(server.heard.size(), sound.size());
    EXPECT_TRUE(std::equal(sound.begin(), sound.end(), server.heard.begin()));
    EXPECT_TRUE(std::all_of(server.heard.begin() + sound.size(), server.heard.end(),
                            [](std::int16_t v) { return v == 0; }));
    EXPECT_LE(server.mostQueued, kQueue);
    EXPECT_TRUE(channel.paused());
    EXPECT_TRUE(server.paused);
    const std::size_t heard = server.heard.size();
    server.step(channel);
    EXPECT_EQ(server.heard.size(), heard);
}

// A new sound cuts the one that plays at the server's next step: a short crossfade from the
// old sound where the server was about to play it, then the new one from its start, and
// nothing more of the old. A file that cannot be played still cuts: the old sound fades out.
TEST(SoundChannel, ACutFadesFromWhereTheServerIsIntoTheNewSoundAtOnce) {
    struct Case {
        const char* name;
        Samples next;
    };
    const Samples old = ramp(50'000, 1000, 7);
    for (const Case& c : {Case{"a sound", ramp(5000, -20000, 5)}, Case{"no sound", {}}}) {
        SoundChannel channel(kMono, kQueue, kFade);
        ModelServer server(kQuantum, kRequest, kQueue);
        channel.play(held(old), 0, server);
        for (int k = 0; k < 7; ++k) server.step(channel);
        const std::size_t at = server.heard.size();
        const std::int16_t oldNext = old[at];
        channel.play(c.next.empty() ? std::make_unique<HeldSound>(nullptr) : held(c.next),
                     server.unplayed(), server);
        server.step(channel);
        ASSERT_EQ(server.heard.size(), at + kQuantum) << c.name;
        // The first faded sample is near the old sound's next one: no click.
        const int jump = std::abs(int(c.next.empty() ? 0 : c.next[0]) - oldNext);
        EXPECT_LE(std::abs(server.heard[at] - oldNext), jump / int(kFade) + 2) << c.name;
        for (int k = 0; k < 10; ++k) server.step(channel);
        const Samples after(server.heard.begin() + static_cast<std::ptrdiff_t>(at + kFade),
                            server.heard.end());
        Samples expected(after.size(), 0);
        for (std::size_t k = kFade; k < c.next.size() && k - kFade < expected.size(); ++k)
            expected[k - kFade] = c.next[k];
        EXPECT_EQ(after, expected) << c.name;
        EXPECT_TRUE(channel.paused()) << c.name;
    }
}

// A server that has stopped reading is sent one queue at a cut and nothing more (beside what it
// had asked for), however many sounds follow; once it goes on, the last of them is heard from
// its start.
TEST(SoundChannel, AStalledServerIsSentOneQueueWhateverPlays) {
    SoundChannel channel(kMono, kQueue, kFade);
    ModelServer server(kQuantum, kRequest, kQueue);
    channel.play(held(ramp(100'000, 1, 1)), 0, server);
    server.step(channel);
    server.stalled = true;
    for (int k = 0; k < 5000; ++k) {
        channel.play(held(ramp(30'000, k, 1)), kQueue, server);
        server.step(channel);
    }
    EXPECT_LE(server.mostInFlight, 2 * kQueue);
    EXPECT_TRUE(channel.awaitingServer());
    server.stalled = false;
    const Samples last = ramp(30'000, 4999, 1);
    const std::size_t at = server.heard.size();
    // It takes what was sent before it stopped, confirms it, and is sent the last sound.
    server.step(channel);
    server.step(channel);
    ASSERT_GT(server.heard.size(), at + kFade);
    EXPECT_TRUE(std::equal(server.heard.begin() + static_cast<std::ptrdiff_t>(at + kFade),
                           server.heard.end(), last.begin() + kFade));
}

void writeWav(const std::string& path, int rate, int channels, const Samples& s) {
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(static_cast<std::uint32_t>(36 + 2 * s.size()));
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(static_cast<std::uint16_t>(channels));
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate * channels * 2));
    u16(static_cast<std::uint16_t>(channels * 2));
    u16(16);
    out.write("data", 4);
    u32(static_cast<std::uint32_t>(2 * s.size()));
    out.write(reinterpret_cast<const char*>(s.data()), static_cast<std::streamsize>(2 * s.size()));
}

// A sound streamed from its file reaches the server as the whole file converted at once.
TEST(SoundChannel, AStreamedFileSoundsAsItsWholeConversion) {
    testing::TempProgramDir dir("");
    Samples noise(2 * 22050);
    for (std::size_t k = 0; k < noise.size(); ++k)
        noise[k] = static_cast<std::int16_t>((k * 7919 % 20011) - 10005);
    writeWav(dir.file("n.wav"), 22050, 1, noise);
    const OutputFormat stereo{48000, 2};
    const auto whole = convertPcm(readWavFile(dir.file("n.wav")).value(), 48000, 2).value();
    SoundChannel channel(stereo, kQueue, kFade);
    ModelServer server(kQuantum, kRequest, kQueue, 2);
    channel.play(StreamedSound::open(dir.file("n.wav"), stereo), 0, server);
    for (int k = 0; k < 400 && !channel.paused(); ++k) server.step(channel);
    ASSERT_GE(server.heard.size(), whole.size());
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), server.heard.begin()));
    EXPECT_EQ(StreamedSound::open(dir.file("nincs.wav"), stereo), nullptr);
}

// The library reads each file once on its own thread and hands out the sound converted for
// the output asked for, a long one to be streamed, and a file it cannot play as silence; a
// FIFO in place of a sound does not hold it up.
TEST(SoundLibrary, PreparesEachSoundForTheOutputOffTheCallersThread) {
    testing::TempProgramDir dir("");
    ASSERT_EQ(::mkfifo(dir.file("fifo.wav").c_str(), 0600), 0);
    dir.write("broken.wav", "RIFF, but nothing more");
    std::mutex m;
    std::condition_variable cv;
    int readies = 0;
    SoundLibrary library([&] {
        std::lock_guard lock(m);
        ++readies;
        cv.notify_all();
    });
    const std::vector<std::string> names = {"fifo.wav", "broken.wav", "nincs.wav", "uloves.wav",
                                            "urzaj.wav"};
    std::vector<std::string> paths;
    for (const auto& n : names) paths.push_back(dir.file(n));
    library.prepare(paths);
    for (const OutputFormat format : {OutputFormat{48000, 2}, OutputFormat{44100, 1}}) {
        library.setFormat(format);
        auto ready = [&] {
            for (const auto& p : paths)
                if (!library.find(p, format)) return false;
            return true;
        };
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), ready));
        for (const char* silent : {"fifo.wav", "broken.wav", "nincs.wav"}) {
            const auto r = library.find(dir.file(silent), format);
            EXPECT_EQ(r->kind, SoundLibrary::Ready::held) << silent;
            EXPECT_EQ(r->samples, nullptr) << silent;
        }
        const auto shot = library.find(dir.file("uloves.wav"), format);
        ASSERT_NE(shot->samples, nullptr);
        EXPECT_EQ(*shot->samples, convertPcm(readWavFile(dir.file("uloves.wav")).value(),
                                             format.rate, format.channels));
        EXPECT_EQ(library.find(dir.file("urzaj.wav"), format)->kind, SoundLibrary::Ready::streamed);
    }
}

}  // namespace
}  // namespace gombocok
