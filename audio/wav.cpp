#include "audio/wav.h"

#include <fcntl.h>
#include <speex/speex_resampler.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
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

namespace {

// Speex's quality 3 (a 48-tap filter) leaves the images of the game's 22,050 Hz sounds 80 dB or
// more below them at 44.1 and 48 kHz (bench/run measures it per sound) for 0.34 % of a core
// while the music streams at 48 kHz; quality 2 left the shot at -75 dB, quality 4 gains nothing
// and costs 15 % more.
constexpr int kResampleQuality = 3;

std::int16_t toSample(float v) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(v, -32768.0F, 32767.0F)));
}

}  // namespace

PcmConverter::PcmConverter(int fromRate, int fromChannels, std::uint64_t fromFrames, int toRate,
                           int toChannels)
    : fromChannels_(fromChannels),
      toChannels_(toChannels),
      workChannels_(fromChannels == 2 && toChannels == 2 ? 2 : 1),
      fromFrames_(fromFrames) {
    outFrames_ =
        fromFrames * static_cast<std::uint64_t>(toRate) / static_cast<std::uint64_t>(fromRate);
    if (fromRate != toRate && outFrames_ > 0) {
        resampler_ = speex_resampler_init(
            static_cast<spx_uint32_t>(workChannels_), static_cast<spx_uint32_t>(fromRate),
            static_cast<spx_uint32_t>(toRate), kResampleQuality, nullptr);
        // The output starts with the first source sample, not with the filter's delay.
        if (resampler_) speex_resampler_skip_zeros(resampler_);
    }
}

PcmConverter::~PcmConverter() {
    if (resampler_) speex_resampler_destroy(resampler_);
}

void PcmConverter::deliver(const float* frames, std::size_t count, std::vector<std::int16_t>& out) {
    count = std::min<std::uint64_t>(count, outFrames_ - made_);
    for (std::size_t f = 0; f < count; ++f) {
        for (int c = 0; c < toChannels_; ++c)
            out.push_back(toSample(frames[f * workChannels_ + (c < workChannels_ ? c : 0)]));
    }
    made_ += count;
}

void PcmConverter::resample(std::span<const float> in, std::vector<std::int16_t>& out) {
    const auto channels = static_cast<std::size_t>(workChannels_);
    std::size_t at = 0;
    while (at < in.size() && !done()) {
        auto inFrames = static_cast<spx_uint32_t>((in.size() - at) / channels);
        resampled_.resize(std::size_t{4096} * channels);
        auto outLen = static_cast<spx_uint32_t>(resampled_.size() / channels);
        speex_resampler_process_interleaved_float(resampler_, in.data() + at, &inFrames,
                                                  resampled_.data(), &outLen);
        deliver(resampled_.data(), outLen, out);
        at += inFrames * channels;
        if (inFrames == 0 && outLen == 0) break;
    }
}

void PcmConverter::feed(std::span<const std::int16_t> in, std::vector<std::int16_t>& out) {
    const std::uint64_t frames =
        std::min<std::uint64_t>(in.size() / fromChannels_, fromFrames_ - fed_);
    work_.resize(frames * workChannels_);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::int16_t* s = in.data() + f * fromChannels_;
        if (workChannels_ == 2) {
            work_[2 * f] = s[0];
            work_[2 * f + 1] = s[1];
        } else {
            work_[f] = fromChannels_ == 2 ? (s[0] + s[1]) / 2.0F : s[0];
        }
    }
    fed_ += frames;
    if (!resampler_) {
        deliver(work_.data(), frames, out);
        return;
    }
    resample(work_, out);
    if (fed_ == fromFrames_ && frames > 0) {
        // The source has ended: silence pushes its last samples through the filter.
        const std::size_t tail = speex_resampler_get_input_latency(resampler_) + 1;
        work_.assign(tail * workChannels_, 0.0F);
        resample(work_, out);
        work_.assign(std::size_t{1} * workChannels_, 0.0F);
        for (int k = 0; k < 64 && !done(); ++k) resample(work_, out);
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
    // Decided before anything is allocated.
    const std::uint64_t outFrames = std::uint64_t{frames} * static_cast<std::uint64_t>(sampleRate) /
                                    static_cast<std::uint64_t>(sound.sampleRate);
    if (outFrames * static_cast<std::uint64_t>(channels) > maxSamples) return std::nullopt;
    PcmConverter converter(sound.sampleRate, sound.channels, frames, sampleRate, channels);
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
