#include "base/wav.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace gombocok {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xff));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, static_cast<int>(v & 0xffff));
    put16(b, static_cast<int>(v >> 16));
}
void putTag(Bytes& b, const char* tag) {
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(tag[k]));
}

struct WavLayout {
    int formatTag = 1, channels = 1, rate = 22050, bits = 16;
    Bytes data;
    bool extraChunk = false;          // a LIST chunk of odd size between fmt and data
    std::uint32_t dataSizeBonus = 0;  // claims more data than the file holds
};

Bytes wav(const WavLayout& s) {
    Bytes b;
    putTag(b, "RIFF");
    put32(b, 0);
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, s.formatTag);
    put16(b, s.channels);
    put32(b, static_cast<std::uint32_t>(s.rate));
    put32(b, static_cast<std::uint32_t>(s.rate * s.channels * s.bits / 8));
    put16(b, s.channels * s.bits / 8);
    put16(b, s.bits);
    if (s.extraChunk) {
        putTag(b, "LIST");
        put32(b, 3);
        b.insert(b.end(), {'a', 'b', 'c', 0});  // odd size plus its pad byte
    }
    putTag(b, "data");
    put32(b, static_cast<std::uint32_t>(s.data.size()) + s.dataSizeBonus);
    b.insert(b.end(), s.data.begin(), s.data.end());
    const auto riffSize = static_cast<std::uint32_t>(b.size() - 8);
    for (int k = 0; k < 4; ++k) b[4 + k] = static_cast<std::uint8_t>(riffSize >> (8 * k));
    return b;
}

Bytes samples16(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values) put16(b, v);
    return b;
}

TEST(WavReader, DecodesEveryAcceptedLayoutToSigned16Bit) {
    struct Case {
        const char* name;
        WavLayout layout;
        int channels;
        std::vector<std::int16_t> expected;
    };
    const std::vector<Case> cases = {
        {"16-bit mono",
         {1, 1, 22050, 16, samples16({0, 1000, -1000, 32767, -32768})},
         1,
         {0, 1000, -1000, 32767, -32768}},
        {"16-bit stereo",
         {1, 2, 44100, 16, samples16({100, -100, 200, -200})},
         2,
         {100, -100, 200, -200}},
        {"8-bit mono is unsigned around 128",
         {1, 1, 11025, 8, {128, 255, 0, 192}},
         1,
         {0, 127 * 256, -128 * 256, 64 * 256}},
        {"8-bit stereo", {1, 2, 8000, 8, {128, 0, 255, 128}}, 2, {0, -32768, 32512, 0}},
        {"chunks before data are skipped with their pad byte",
         {1, 1, 22050, 16, samples16({7, 8}), true},
         1,
         {7, 8}},
        {"a trailing half frame is dropped", {1, 2, 22050, 16, {1, 0, 2, 0, 3, 0}}, 2, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sound = parseWav(wav(c.layout));
        ASSERT_TRUE(sound.has_value());
        EXPECT_EQ(sound->sampleRate, c.layout.rate);
        EXPECT_EQ(sound->channels, c.channels);
        EXPECT_EQ(sound->samples, c.expected);
    }
}

TEST(WavReader, RefusesWhatItCannotPlaySafely) {
    const Bytes good = wav({1, 1, 22050, 16, samples16({1, 2, 3, 4})});
    Bytes notRiff = good;
    notRiff[0] = 'X';
    Bytes notWave = good;
    notWave[8] = 'A';
    Bytes truncated(good.begin(), good.end() - 3);
    Bytes noData(good.begin(), good.begin() + 36);
    Bytes dataBeforeFormat;
    putTag(dataBeforeFormat, "RIFF");
    put32(dataBeforeFormat, 12);
    putTag(dataBeforeFormat, "WAVE");
    putTag(dataBeforeFormat, "data");
    put32(dataBeforeFormat, 0);

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 11)},
        {"not RIFF", notRiff},
        {"RIFF but not WAVE", notWave},
        {"truncated data", truncated},
        {"no data chunk", noData},
        {"data chunk before format", dataBeforeFormat},
        {"data chunk larger than the file",
         wav({1, 1, 22050, 16, samples16({1}), false, 1u << 30})},
        {"data size near 4 GiB", wav({1, 1, 22050, 16, samples16({1}), false, 0xfffffff0u})},
        {"compressed (ADPCM)", wav({2, 1, 22050, 16, samples16({1, 2})})},
        {"24-bit", wav({1, 1, 22050, 24, {1, 2, 3}})},
        {"three channels", wav({1, 3, 22050, 16, samples16({1, 2, 3})})},
        {"absurd sample rate", wav({1, 1, 5, 16, samples16({1, 2})})},
        {"a picture", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(parseWav(bytes).has_value());
    }
}

// A sound file is read whole up to its bound, and one byte past it stays silent, its header that of
// a valid sound; so does a missing one (directories, FIFOs, devices and the rest of what the
// program directory may hold are the bounded reader's own tests).
TEST(WavReader, ReadsFilesUpToTheirBoundAndThrowsNothing) {
    testing::TempProgramDir dir("");
    for (const std::size_t data : {kMaxWavFileBytes - 44, kMaxWavFileBytes - 43}) {
        const Bytes b = wav({1, 1, 44100, 16, Bytes(data, 0)});
        std::ofstream(dir.file("s.wav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
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
        SCOPED_TRACE(c.chunk);
        const Bytes bytes = wav(c.layout);
        std::ofstream(dir.file("s.wav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
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
        EXPECT_EQ(out, whole);
    }
    ASSERT_EQ(::mkfifo(dir.file("fifo.wav").c_str(), 0600), 0);
    for (const char* name : {"fifo.wav", "nincs.wav", ""})
        EXPECT_EQ(WavStream::open(dir.file(name)), nullptr) << name;
}

TEST(WavConversion, ResamplesAndRemixes) {
    WavSound mono{22050, 1, {0, 1000, 2000, 3000}};
    // Doubling the rate interpolates between neighbours; the last frame repeats itself.
    EXPECT_EQ(convertPcm(mono, 44100, 1),
              (std::vector<std::int16_t>{0, 500, 1000, 1500, 2000, 2500, 3000, 3000}));
    // Mono to stereo copies each sample to both channels.
    EXPECT_EQ(convertPcm(mono, 22050, 2),
              (std::vector<std::int16_t>{0, 0, 1000, 1000, 2000, 2000, 3000, 3000}));
    // Stereo to mono averages the channels; halving the rate keeps every other frame.
    WavSound stereo{44100, 2, {100, 300, 0, 0, -100, -300, 0, 0}};
    EXPECT_EQ(convertPcm(stereo, 22050, 1), (std::vector<std::int16_t>{200, -200}));
    // A sound's length in time survives the conversion.
    WavSound second{11025, 1, std::vector<std::int16_t>(11025, 5)};
    EXPECT_EQ(convertPcm(second, 44100, 2).value().size(), 44100u * 2);
    EXPECT_TRUE(convertPcm(WavSound{22050, 1, {}}, 44100, 2).value().empty());
}

TEST(WavConversion, RefusesWhatWouldGrowPastTheLimit) {
    // 12 MB of 8-bit mono at 1,000 Hz: 3 h 20 min, 2.3 GB once converted for 48 kHz stereo.
    Bytes lowRate = wav({1, 1, 1000, 8, Bytes(12'000'000, 128)});
    const auto bomb = parseWav(lowRate);
    ASSERT_TRUE(bomb.has_value());
    lowRate.clear();
    struct Case {
        const char* what;
        WavSound sound;
        int rate, channels;
        std::size_t maxSamples;
        bool accepted;
    };
    // 100 frames at 24 kHz: 200 frames, 400 samples for 48 kHz stereo.
    const WavSound brief{24000, 1, std::vector<std::int16_t>(100, 1)};
    const std::vector<Case> cases = {
        {"the low-rate file for 48 kHz stereo", *bomb, 48000, 2, kMaxConvertedSamples, false},
        {"the low-rate file for 22,050 Hz mono", *bomb, 22050, 1, kMaxConvertedSamples, false},
        {"exactly the limit", brief, 48000, 2, 400, true},
        {"one sample past the limit", brief, 48000, 2, 399, false},
        {"mono needs half of it", brief, 48000, 1, 200, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto out = convertPcm(c.sound, c.rate, c.channels, c.maxSamples);
        EXPECT_EQ(out.has_value(), c.accepted);
        if (out) {
            EXPECT_LE(out->size(), c.maxSamples);
        }
    }
    // The game's own longest sounds, at the highest rate an output is opened with.
    testing::TempProgramDir dir;
    for (const char* name : {"urzaj.wav", "beallit.wav"}) {
        const auto sound = readWavFile(dir.file(name));
        ASSERT_TRUE(sound.has_value()) << name;
        EXPECT_TRUE(convertPcm(*sound, 48000, 2).has_value()) << name;
    }
}

}  // namespace
}  // namespace gombocok
