// A reader for RIFF/WAVE files holding plain PCM, and the conversion of their samples to the
// format an audio output asks for. Anything it does not understand is refused rather than
// guessed at, so a damaged sound file stays silent instead of playing noise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

// Accepts PCM with 8 or 16 bits per sample and 1 or 2 channels whose data chunk lies wholly
// within the bytes given. Returns nothing for any other content.
std::optional<WavSound> parseWav(std::span<const std::uint8_t> bytes);
// Nothing for a file that is missing, not a regular file, larger than kMaxWavFileBytes,
// unreadable, or not a sound parseWav accepts.
std::optional<WavSound> readWavFile(const std::string& path);

// Resamples (linear interpolation) and remixes `sound` to `sampleRate` and `channels` (1 or 2).
// Nothing when the result would hold more than `maxSamples` samples.
std::optional<std::vector<std::int16_t>> convertPcm(const WavSound& sound, int sampleRate,
                                                    int channels,
                                                    std::size_t maxSamples = kMaxConvertedSamples);

}  // namespace gombocok
