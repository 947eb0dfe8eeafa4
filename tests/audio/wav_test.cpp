#include "audio/wav.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace gombocok {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;

struct WavLayout {
    int formatTag = 1, channels = 1, rate = 22050, bits = 16;
    Bytes data;
    bool extraChunk = false;          // a LIST chunk of odd size between fmt and data
    std::uint32_t dataSizeBonus = 0;  // claims more data than the file holds
};

Bytes wav(const WavLayout& s) {
    Bytes b = wavHeader(s.formatTag, s.channels, s.rate, s.bits,
                        static_cast<std::uint32_t>(s.data.size()) + s.dataSizeBonus);
    if (s.extraChunk) {
        // Before the data chunk's head: a LIST chunk of odd size plus its pad byte.
        const Bytes list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
        b.insert(b.end() - 8, list.begin(), list.end());
    }
    b.insert(b.end(), s.data.begin(), s.data.end());
    const auto riffSize = static_cast<std::uint32_t>(b.size() - 8);
    for (int k = 0; k < 4; ++k) b[4 + k] = static_cast<std::uint8_t>(riffSize >> (8 * k));
    return b;
}

Bytes samples16(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values) {
        b.push_back(static_cast<std::uint8_t>(v));
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
    }
    return b;
}

void writeBytes(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

TEST(WavReader, DecodesEveryAcceptedLayoutToSigned16Bit) {
    struct Case {
        WavLayout layout;
        std::vector<std::int16_t> expected;
    };
    const std::vector<Case> cases = {
        {{1, 1, 22050, 16, samples16({0, 1000, -1000, 32767, -32768})},
         {0, 1000, -1000, 32767, -32768}},
        {{1, 2, 44100, 16, samples16({100, -100, 200, -200})}, {100, -100, 200, -200}},
        // 8-bit is unsigned around 128.
        {{1, 1, 11025, 8, {128, 255, 0, 192}}, {0, 127 * 256, -128 * 256, 64 * 256}},
        {{1, 2, 8000, 8, {128, 0, 255, 128}}, {0, -32768, 32512, 0}},
        // Chunks before the data are skipped with their pad byte; a trailing half frame is dropped.
        {{1, 1, 22050, 16, samples16({7, 8}), true}, {7, 8}},
        {{1, 2, 22050, 16, {1, 0, 2, 0, 3, 0}}, {1, 2}},
    };
    for (const auto& c : cases) {
        const auto sound = parseWav(wav(c.layout));
        ASSERT_TRUE(sound.has_value()) << c.layout.bits;
        EXPECT_EQ(sound->sampleRate, c.layout.rate);
        EXPECT_EQ(sound->channels, c.layout.channels);
        EXPECT_EQ(sound->samples, c.expected);
    }
}

TEST(WavReader, RefusesWhatItCannotPlaySafely) {
    const Bytes good = wav({1, 1, 22050, 16, samples16({1, 2, 3, 4})});
    Bytes notRiff = good, notWave = good;
    notRiff[0] = 'X';
    notWave[8] = 'A';
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 11)},
        {"not RIFF", notRiff},
        {"RIFF but not WAVE", notWave},
        {"truncated data", Bytes(good.begin(), good.end() - 3)},
        {"no data chunk", Bytes(good.begin(), good.begin() + 36)},
        {"data before format",
         {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 0, 0, 0, 0}},
        {"data larger than the file", wav({1, 1, 22050, 16, samples16({1}), false, 1u << 30})},
        {"data size near 4 GiB", wav({1, 1, 22050, 16, samples16({1}), false, 0xfffffff0u})},
        {"compressed (ADPCM)", wav({2, 1, 22050, 16, samples16({1, 2})})},
        {"24-bit", wav({1, 1, 22050, 24, {1, 2, 3}})},
        {"three channels", wav({1, 3, 22050, 16, samples16({1, 2, 3})})},
        {"absurd sample rate", wav({1, 1, 5, 16, samples16({1, 2})})},
        {"a picture", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& [name, bytes] : cases) EXPECT_FALSE(parseWav(bytes).has_value()) << name;
}

// A sound file is read whole up to its bound, one byte past it stays silent, as does a missing
// one (what else the program directory may hold is the bounded reader's matrix).
TEST(WavReader, ReadsFilesUpToTheirBoundAndThrowsNothing) {
    testing::TempProgramDir dir("");
    for (const std::size_t data : {kMaxWavFileBytes - 44, kMaxWavFileBytes - 43}) {
        const Bytes b = wav({1, 1, 44100, 16, Bytes(data, 0)});
        writeBytes(dir.file("s.wav"), b);
        std::optional<WavSound> sound;
        EXPECT_NO_THROW(sound = readWavFile(dir.file("s.wav")));
        EXPECT_EQ(sound.has_value(), b.size() <= kMaxWavFileBytes) << b.size();
    }
    EXPECT_FALSE(readWavFile(dir.file("nincs.wav")).has_value());
}

// A sound read in chunks as it plays comes out exactly as the whole sound converted at once,
// whatever the chunk size; what is no regular file is refused at once.
TEST(WavStream, ChunksConvertAsTheWholeSound) {
    testing::TempProgramDir dir("");
    Bytes noise;
    for (int k = 0; k < 3001; ++k) noise.push_back(static_cast<std::uint8_t>(k * 7919 >> 3));
    struct Case {
        WavLayout layout;
        int rate, channels;
        std::size_t chunk;
    };
    const std::vector<Case> cases = {
        {{1, 1, 22050, 16, noise}, 48000, 2, 4096},      {{1, 2, 44100, 16, noise}, 48000, 1, 7},
        {{1, 1, 11025, 8, noise}, 44100, 2, 1},          {{1, 2, 48000, 8, noise}, 22050, 2, 64},
        {{1, 1, 22050, 16, noise, true}, 22050, 1, 100},
    };
    for (const auto& c : cases) {
        const Bytes bytes = wav(c.layout);
        writeBytes(dir.file("s.wav"), bytes);
        const auto whole = convertPcm(parseWav(bytes).value(), c.rate, c.channels).value();
        auto stream = WavStream::open(dir.file("s.wav"));
        ASSERT_NE(stream, nullptr);
        const auto& l = stream->layout();
        PcmConverter converter(l.sampleRate, l.channels, l.frames(), c.rate, c.channels);
        std::vector<std::int16_t> out, chunk;
        do {
            chunk.resize(c.chunk * l.channels);
            chunk.resize(stream->read(chunk));
            converter.feed(chunk, out);
        } while (!chunk.empty());
        EXPECT_TRUE(converter.done());
        EXPECT_EQ(out, whole) << c.chunk;
    }
    ASSERT_EQ(::mkfifo(dir.file("fifo.wav").c_str(), 0600), 0);
    for (const char* name : {"fifo.wav", "nincs.wav", ""})
        EXPECT_EQ(WavStream::open(dir.file(name)), nullptr) << name;
}

// Rows: the sound, the output's rate and channels, a sample limit, how many samples come out
// (nullopt: refused). At the sound's own rate only the channels change: mono is doubled, stereo
// averaged.
TEST(WavConversion, RemixesAndRefusesWhatWouldGrowPastTheLimit) {
    const WavSound mono{22050, 1, {0, 1000, 2000, 3000}};
    const WavSound stereo{44100, 2, {100, 300, 0, 0, -100, -300, 0, 0}};
    EXPECT_EQ(convertPcm(mono, 22050, 2), (Samples{0, 0, 1000, 1000, 2000, 2000, 3000, 3000}));
    EXPECT_EQ(convertPcm(stereo, 44100, 1), (Samples{200, 0, -200, 0}));
    const WavSound brief{24000, 1, Samples(100, 1000)};
    struct Case {
        WavSound sound;
        int rate, channels;
        std::size_t maxSamples;
        std::optional<std::size_t> size;
    };
    const std::vector<Case> cases = {
        {WavSound{22050, 1, {}}, 44100, 2, kMaxConvertedSamples, 0},
        {mono, 44100, 1, kMaxConvertedSamples, 8},
        {brief, 48000, 2, 400, 400},
        {brief, 48000, 2, 399, std::nullopt},
        {brief, 48000, 1, 200, 200},
        {brief, 44100, 1, 200, 183},
    };
    for (const auto& c : cases) {
        const auto out = convertPcm(c.sound, c.rate, c.channels, c.maxSamples);
        EXPECT_EQ(out.has_value(), c.size.has_value()) << c.rate << " " << c.maxSamples;
        if (out && c.size) {
            EXPECT_EQ(out->size(), *c.size) << c.rate << " " << c.maxSamples;
        }
    }
    // 12 MB of 8-bit mono at 1,000 Hz: 3 h 20 min, 2.3 GB once converted for 48 kHz stereo.
    const auto bomb = parseWav(wav({1, 1, 1000, 8, Bytes(12'000'000, 128)}));
    ASSERT_TRUE(bomb.has_value());
    EXPECT_FALSE(convertPcm(*bomb, 48000, 2).has_value());
    EXPECT_FALSE(convertPcm(*bomb, 22050, 1).has_value());
    // The game's own longest sounds, at the highest rate an output is opened with.
    for (const char* name : {"/urzaj.wav", "/beallit.wav"})
        EXPECT_TRUE(
            convertPcm(readWavFile(GOMBOCOK_ASSETS_DIR + std::string(name)).value(), 48000, 2))
            << name;
}

// The writer's header against the format's own arithmetic (byte rate = rate x channels x bits/8,
// block = channels x bits/8, RIFF size = 36 + data), and a whole file read back as written.
TEST(WavWriter, HeaderFieldsFollowTheFormatAndAFileReadsBack) {
    const struct {
        int tag, channels, rate, bits;
        std::uint32_t data, byteRate, block;
    } rows[] = {
        {1, 1, 22050, 16, 6, 44100, 2},
        {1, 2, 44100, 8, 0, 88200, 2},
        {3, 2, 44100, 32, 15000000, 352800, 8},
    };
    auto u32 = [](const Bytes& b, int at) {
        return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
               std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24;
    };
    auto u16 = [](const Bytes& b, int at) {
        return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
    };
    for (const auto& r : rows) {
        const Bytes h = wavHeader(r.tag, r.channels, r.rate, r.bits, r.data);
        ASSERT_EQ(h.size(), 44u);
        EXPECT_EQ(std::string(h.begin(), h.begin() + 4) +
                      std::string(h.begin() + 8, h.begin() + 16) +
                      std::string(h.begin() + 36, h.begin() + 40),
                  "RIFFWAVEfmt data");
        EXPECT_EQ(u32(h, 4), 36 + r.data);
        EXPECT_EQ(u32(h, 16), 16u);
        EXPECT_EQ((std::vector<std::uint32_t>{u16(h, 20), u16(h, 22), u32(h, 24), u32(h, 28),
                                              u16(h, 32), u16(h, 34), u32(h, 40)}),
                  (std::vector<std::uint32_t>{std::uint32_t(r.tag), std::uint32_t(r.channels),
                                              std::uint32_t(r.rate), r.byteRate, r.block,
                                              std::uint32_t(r.bits), r.data}))
            << r.rate << " " << r.bits;
    }
    const std::vector<std::int16_t> samples = {0, -1, 32767, -32768, 1234, -4321};
    const auto back = parseWav(encodeWav(samples, 22050, 2));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->sampleRate, 22050);
    EXPECT_EQ(back->channels, 2);
    EXPECT_EQ(back->samples, samples);
}

// A tone keeps its pitch, level and timing through the conversion: at the output's rate it is
// the same tone sampled there (away from the ends, where the filter sees the silence around
// the sound), and nothing of it lands above the source's own Nyquist frequency.
TEST(WavConversion, ResamplesATuneToTheSameTuneAtTheOutputsRate) {
    constexpr double kPi = 3.14159265358979;
    for (const double hz : {440.0, 3000.0, 8000.0}) {
        WavSound tone{22050, 1, Samples(22050)};
        for (std::size_t k = 0; k < tone.samples.size(); ++k)
            tone.samples[k] = static_cast<std::int16_t>(std::lrint(
                16000 * std::sin(2 * kPi * hz * static_cast<double>(k) / tone.sampleRate)));
        for (const int rate : {44100, 48000}) {
            const auto out = convertPcm(tone, rate, 1).value();
            ASSERT_EQ(out.size(), static_cast<std::size_t>(rate)) << hz << " " << rate;
            double worst = 0;
            for (std::size_t k = rate / 10; k < out.size() - rate / 10; ++k) {
                const double expected =
                    16000 * std::sin(2 * kPi * hz * static_cast<double>(k) / rate);
                worst = std::max(worst, std::fabs(out[k] - expected));
            }
            EXPECT_LT(worst, 16000 * 0.01) << hz << " Hz at " << rate;
        }
    }
}

}  // namespace
}  // namespace gombocok
