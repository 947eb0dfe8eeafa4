#include "audio/wav.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

std::optional<WavLayout> parseWavLayout(std::span<const std::uint8_t> bytes,
                                        std::uint64_t fileSize) {
    if (bytes.size() < 12 || !tagIs(bytes.data(), "RIFF") || !tagIs(bytes.data() + 8, "WAVE"))
        return std::nullopt;
    std::optional<WavLayout> layout;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::uint64_t size = le32(chunk + 4);
        const std::size_t body = pos + 8;
        if (tagIs(chunk, "data")) {
            if (!layout || size > fileSize - std::min<std::uint64_t>(body, fileSize))
                return std::nullopt;  // no format, or a truncated file
            layout->dataOffset = body;
            layout->dataBytes = size;
            return layout;
        }
        if (size > bytes.size() - body) return std::nullopt;  // truncated file
        if (tagIs(chunk, "fmt ")) {
            if (size < 16) return std::nullopt;
            const std::uint8_t* f = bytes.data() + body;
            const int formatTag = le16(f);
            const int channels = le16(f + 2);
            const std::uint32_t rate = le32(f + 4);
            const int blockAlign = le16(f + 12);
            const int bits = le16(f + 14);
            if (formatTag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
                rate < kMinRate || rate > kMaxRate || blockAlign != channels * bits / 8)
                return std::nullopt;
            layout = WavLayout{static_cast<int>(rate), channels, bits};
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

namespace {

void decodeSamples(const std::uint8_t* d, std::size_t count, int bits, std::int16_t* out) {
    for (std::size_t k = 0; k < count; ++k) {
        out[k] = bits == 8 ? static_cast<std::int16_t>((int(d[k]) - 128) * 256)
                           : static_cast<std::int16_t>(le16(d + 2 * k));
    }
}

}  // namespace

std::optional<WavSound> parseWav(std::span<const std::uint8_t> bytes) {
    const auto layout = parseWavLayout(bytes, bytes.size());
    if (!layout) return std::nullopt;
    WavSound out;
    out.sampleRate = layout->sampleRate;
    out.channels = layout->channels;
    out.samples.resize(layout->frames() * layout->channels);
    decodeSamples(bytes.data() + layout->dataOffset, out.samples.size(), layout->bits,
                  out.samples.data());
    return out;
}

std::unique_ptr<WavStream> WavStream::open(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::vector<std::uint8_t> head;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        head.resize(std::min<std::uint64_t>(kWavHeadBytes, st.st_size));
        const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
        head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        if (auto layout = parseWavLayout(head, static_cast<std::uint64_t>(st.st_size)))
            return std::unique_ptr<WavStream>(new WavStream(fd, *layout));
    }
    ::close(fd);
    return nullptr;
}

WavStream::~WavStream() {
    ::close(fd_);
}

std::size_t WavStream::read(std::span<std::int16_t> out) {
    const std::size_t frameBytes = static_cast<std::size_t>(layout_.channels) * layout_.bits / 8;
    const std::uint64_t want = std::min<std::uint64_t>(out.size() / layout_.channels * frameBytes,
                                                       layout_.dataBytes - done_);
    raw_.resize(want);
    ssize_t got;
    do {
        got = ::pread(fd_, raw_.data(), raw_.size(), layout_.dataOffset + done_);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        done_ = layout_.dataBytes;  // a file cut short since it was opened ends the sound
        return 0;
    }
    const std::size_t frames = static_cast<std::size_t>(got) / frameBytes;
    done_ += frames * frameBytes;
    if (frames == 0) done_ = layout_.dataBytes;
    const std::size_t samples = frames * layout_.channels;
    decodeSamples(raw_.data(), samples, layout_.bits, out.data());
    return samples;
}

PcmConverter::PcmConverter(int fromRate, int fromChannels, std::uint64_t fromFrames, int toRate,
                           int toChannels)
    : fromChannels_(fromChannels),
      toChannels_(toChannels),
      fromFrames_(fromFrames),
      step_(static_cast<double>(fromRate) / toRate) {
    outFrames_ = fromFrames == 0 ? 0 : static_cast<std::uint64_t>(fromFrames / step_);
}

double PcmConverter::sourceAt(std::uint64_t frame, int channel) const {
    const std::size_t at = (frame - base_) * fromChannels_;
    if (toChannels_ == 1 && fromChannels_ == 2) return (window_[at] + window_[at + 1]) / 2.0;
    return window_[at + (channel < fromChannels_ ? channel : fromChannels_ - 1)];
}

void PcmConverter::feed(std::span<const std::int16_t> in, std::vector<std::int16_t>& out) {
    window_.insert(window_.end(), in.begin(), in.end());
    const std::uint64_t have = base_ + window_.size() / fromChannels_;
    for (; next_ < outFrames_; ++next_) {
        const double at = next_ * step_;
        const auto i = static_cast<std::uint64_t>(at);
        const std::uint64_t j = i + 1 < fromFrames_ ? i + 1 : i;
        if (j >= have) break;
        const double frac = at - static_cast<double>(i);
        for (int c = 0; c < toChannels_; ++c) {
            const double v = sourceAt(i, c) * (1.0 - frac) + sourceAt(j, c) * frac;
            out.push_back(static_cast<std::int16_t>(v));
        }
    }
    // Frames before the next output's first are no longer needed.
    const auto first = std::min(static_cast<std::uint64_t>(next_ * step_), have);
    if (first > base_) {
        window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(
                                                             (first - base_) * fromChannels_));
        base_ = first;
    }
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
    const double step = static_cast<double>(sound.sampleRate) / sampleRate;
    // Decided before anything is allocated.
    if (static_cast<double>(frames) / step > static_cast<double>(maxSamples)) return std::nullopt;
    PcmConverter converter(sound.sampleRate, sound.channels, frames, sampleRate, channels);
    if (converter.outFrames() * static_cast<std::size_t>(channels) > maxSamples)
        return std::nullopt;
    std::vector<std::int16_t> out;
    out.reserve(converter.outFrames() * channels);
    converter.feed({sound.samples.data(), frames * sound.channels}, out);
    return out;
}

}  // namespace gombocok

namespace gombocok {

std::vector<std::uint8_t> wavHeader(int formatTag, int channels, int sampleRate, int bits,
                                    std::uint32_t dataBytes) {
    std::vector<std::uint8_t> b;
    b.reserve(44);
    auto tag = [&](const char* name) { b.insert(b.end(), name, name + 4); };
    auto put = [&](std::uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    };
    const auto blockAlign = static_cast<std::uint32_t>(channels * bits / 8);
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(static_cast<std::uint32_t>(formatTag), 2);
    put(static_cast<std::uint32_t>(channels), 2);
    put(static_cast<std::uint32_t>(sampleRate), 4);
    put(static_cast<std::uint32_t>(sampleRate) * blockAlign, 4);
    put(blockAlign, 2);
    put(static_cast<std::uint32_t>(bits), 2);
    tag("data");
    put(dataBytes, 4);
    return b;
}

std::vector<std::uint8_t> encodeWav(std::span<const std::int16_t> samples, int sampleRate,
                                    int channels) {
    std::vector<std::uint8_t> b =
        wavHeader(1, channels, sampleRate, 16, static_cast<std::uint32_t>(samples.size() * 2));
    for (const std::int16_t s : samples) {
        const auto u = static_cast<std::uint16_t>(s);
        b.push_back(static_cast<std::uint8_t>(u));
        b.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return b;
}

}  // namespace gombocok
