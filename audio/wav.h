// A reader for RIFF/WAVE files holding plain PCM, and the conversion of their samples to the
// format an audio output asks for. Anything it does not understand is refused rather than
// guessed at, so a damaged sound file stays silent instead of playing noise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct SpeexResamplerState_;

namespace gombocok {

struct WavSound {
    int sampleRate = 0;
    int channels = 0;                   // 1 or 2
    std::vector<std::int16_t> samples;  // interleaved, signed 16-bit whatever the file held
};

// The game's longest sound is 72 s of 16-bit mono at 22,050 Hz: 3.2 MB in its file, 13.9 MB
// once converted for a 48 kHz stereo output. A file past 16 MiB, or a sound whose converted
// samples would pass 24 MiB (2 min 11 s at 48 kHz stereo), is refused like a damaged file: a
// valid but long sound at a low rate would otherwise grow many times over in the conversion.
constexpr std::size_t kMaxWavFileBytes = std::size_t{16} << 20;
constexpr std::size_t kMaxConvertedSamples = std::size_t{12} << 20;

// A streamed file's header is looked for in its first 64 KiB.
constexpr std::size_t kWavHeadBytes = 64 * 1024;

// Where a file's samples lie and how they are laid out.
struct WavLayout {
    int sampleRate = 0;
    int channels = 0;  // 1 or 2
    int bits = 0;      // 8 or 16
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;
    std::uint64_t frames() const {
        return dataBytes / (static_cast<std::uint64_t>(channels) * bits / 8);
    }
};

// The layout told by `head`, the first bytes of a file of `fileSize` bytes: the chunks before
// the samples must lie within `head`, the samples within the file. Same rules as parseWav.
std::optional<WavLayout> parseWavLayout(std::span<const std::uint8_t> head, std::uint64_t fileSize);

// Accepts PCM with 8 or 16 bits per sample and 1 or 2 channels whose data chunk lies wholly
// within the bytes given. Returns nothing for any other content.
std::optional<WavSound> parseWav(std::span<const std::uint8_t> bytes);
// Nothing for a file that is missing, not a regular file, larger than kMaxWavFileBytes,
// unreadable, or not a sound parseWav accepts.
std::optional<WavSound> readWavFile(const std::string& path);

// A sound read from its file in chunks as it plays, so a long one never lies whole in memory.
// Opens only a regular file (never waits on a FIFO or acts on a device) and reads only its
// header at once.
class WavStream {
public:
    static std::unique_ptr<WavStream> open(const std::string& path);
    ~WavStream();
    WavStream(const WavStream&) = delete;
    WavStream& operator=(const WavStream&) = delete;

    const WavLayout& layout() const { return layout_; }
    // The next samples (whole frames, interleaved, signed 16-bit) into `out`; how many were
    // read, 0 at the end or when the file can no longer be read.
    std::size_t read(std::span<std::int16_t> out);

private:
    WavStream(int fd, const WavLayout& layout) : fd_(fd), layout_(layout) {}
    int fd_;
    WavLayout layout_;
    std::uint64_t done_ = 0;  // bytes of the data chunk read
    std::vector<std::uint8_t> raw_;
};

// Resamples (speexdsp, the resampler the sound servers use themselves) and remixes samples as
// they arrive, chunk by chunk, with the same result as converting the whole sound at once. The
// output is as long as the source in time, rounded down to a whole frame.
class PcmConverter {
public:
    PcmConverter(int fromRate, int fromChannels, std::uint64_t fromFrames, int toRate,
                 int toChannels);
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    std::uint64_t outFrames() const { return outFrames_; }
    bool done() const { return made_ >= outFrames_; }
    // Takes the next source samples (whole frames) and appends the output samples they complete.
    // Samples past the source's frames are ignored.
    void feed(std::span<const std::int16_t> in, std::vector<std::int16_t>& out);

private:
    void resample(std::span<const float> in, std::vector<std::int16_t>& out);
    void deliver(const float* frames, std::size_t count, std::vector<std::int16_t>& out);
    int fromChannels_, toChannels_, workChannels_;
    std::uint64_t fromFrames_, outFrames_;
    std::uint64_t fed_ = 0, made_ = 0;           // source frames taken, output frames made
    SpeexResamplerState_* resampler_ = nullptr;  // none when the rates are the same
    std::vector<float> work_, resampled_;
};

// Converts `sound` whole to `sampleRate` and `channels` (1 or 2), as PcmConverter does.
// Nothing when the result would hold more than `maxSamples` samples.
std::optional<std::vector<std::int16_t>> convertPcm(const WavSound& sound, int sampleRate,
                                                    int channels,
                                                    std::size_t maxSamples = kMaxConvertedSamples);

}  // namespace gombocok

namespace gombocok {

// The one writer of the format the reader above takes: the 44 bytes that open a RIFF/WAVE file,
// a fmt chunk of `formatTag` (1 PCM, 3 IEEE float), `channels`, `sampleRate` and `bits`, then the
// head of a data chunk of `dataBytes` bytes, which the caller appends. Any field may be one the
// reader refuses, so tests can make the files it must turn away.
std::vector<std::uint8_t> wavHeader(int formatTag, int channels, int sampleRate, int bits,
                                    std::uint32_t dataBytes);
// A whole 16-bit PCM file of `samples` (interleaved when `channels` is 2).
std::vector<std::uint8_t> encodeWav(std::span<const std::int16_t> samples, int sampleRate,
                                    int channels);

}  // namespace gombocok
