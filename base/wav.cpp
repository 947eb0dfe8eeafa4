#include "base/wav.h"

#include <cstring>

#include "base/bounded_read.h"

namespace gombocok {
namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

bool tagIs(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

// Sample rates outside this range are taken as a damaged header.
constexpr std::uint32_t kMinRate = 1000, kMaxRate = 192000;

}  // namespace

std::optional<WavSound> parseWav(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !tagIs(bytes.data(), "RIFF") || !tagIs(bytes.data() + 8, "WAVE"))
        return std::nullopt;
    bool haveFormat = false;
    int channels = 0, bits = 0;
    std::uint32_t rate = 0;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::size_t size = le32(chunk + 4);
        const std::size_t body = pos + 8;
        if (size > bytes.size() - body) return std::nullopt;  // truncated file
        if (tagIs(chunk, "fmt ")) {
            if (size < 16) return std::nullopt;
            const std::uint8_t* f = bytes.data() + body;
            const int formatTag = le16(f);
            channels = le16(f + 2);
            rate = le32(f + 4);
            const int blockAlign = le16(f + 12);
            bits = le16(f + 14);
            if (formatTag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
                rate < kMinRate || rate > kMaxRate || blockAlign != channels * bits / 8)
                return std::nullopt;
            haveFormat = true;
        } else if (tagIs(chunk, "data")) {
            if (!haveFormat) return std::nullopt;
            WavSound out;
            out.sampleRate = static_cast<int>(rate);
            out.channels = channels;
            const std::size_t frameBytes = static_cast<std::size_t>(channels) * bits / 8;
            const std::size_t count = size / frameBytes * channels;
            out.samples.resize(count);
            const std::uint8_t* d = bytes.data() + body;
            for (std::size_t k = 0; k < count; ++k) {
                out.samples[k] = bits == 8 ? static_cast<std::int16_t>((int(d[k]) - 128) * 256)
                                           : static_cast<std::int16_t>(le16(d + 2 * k));
            }
            return out;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<WavSound> readWavFile(const std::string& path) {
    const FileBytes file = readRegularFile(path, kMaxWavFileBytes);
    if (file.status != ReadStatus::ok) return std::nullopt;
    return parseWav(file.bytes);
}

std::optional<std::vector<std::int16_t>> convertPcm(const WavSound& sound, int sampleRate,
                                                    int channels, std::size_t maxSamples) {
    const std::size_t frames = sound.channels > 0 ? sound.samples.size() / sound.channels : 0;
    if (frames == 0 || sound.sampleRate <= 0 || sampleRate <= 0 || channels < 1 || channels > 2)
        return std::vector<std::int16_t>{};
    auto sourceAt = [&](std::size_t frame, int channel) -> double {
        const int c = channel < sound.channels ? channel : sound.channels - 1;
        if (channels == 1 && sound.channels == 2)
            return (sound.samples[2 * frame] + sound.samples[2 * frame + 1]) / 2.0;
        return sound.samples[frame * sound.channels + c];
    };
    const double step = static_cast<double>(sound.sampleRate) / sampleRate;
    const double outFramesExact = static_cast<double>(frames) / step;
    // Decided before anything is allocated.
    if (outFramesExact > static_cast<double>(maxSamples)) return std::nullopt;
    const auto outFrames = static_cast<std::size_t>(outFramesExact);
    if (outFrames * static_cast<std::size_t>(channels) > maxSamples) return std::nullopt;
    std::vector<std::int16_t> out;
    out.reserve(outFrames * channels);
    for (std::size_t n = 0; n < outFrames; ++n) {
        const double at = n * step;
        const auto i = static_cast<std::size_t>(at);
        const double frac = at - static_cast<double>(i);
        const std::size_t j = i + 1 < frames ? i + 1 : i;
        for (int c = 0; c < channels; ++c) {
            const double v = sourceAt(i, c) * (1.0 - frac) + sourceAt(j, c) * frac;
            out.push_back(static_cast<std::int16_t>(v));
        }
    }
    return out;
}

}  // namespace gombocok
