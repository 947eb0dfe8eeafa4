// A reader for RIFF/WAVE files holding plain PCM, and the conversion of their samples to the
// format an audio output asks for. Anything it does not understand is refused rather than
// guessed at, so a damaged sound file stays silent instead of playing noise.
#pragma once

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

// Accepts PCM with 8 or 16 bits per sample and 1 or 2 channels whose data chunk lies wholly
// within the bytes given. Returns nothing for any other content.
std::optional<WavSound> parseWav(std::span<const std::uint8_t> bytes);
std::optional<WavSound> readWavFile(const std::string& path);

// Resamples (linear interpolation) and remixes `sound` to `sampleRate` and `channels` (1 or 2).
std::vector<std::int16_t> convertPcm(const WavSound& sound, int sampleRate, int channels);

}  // namespace gombocok
