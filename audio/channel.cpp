#include "audio/channel.h"

#include <algorithm>

#include "audio/wav.h"

namespace gombocok {
namespace {

// Samples read from a streamed file at a time.
constexpr std::size_t kReadSamples = 4096;

}  // namespace

std::size_t HeldSound::take(std::span<std::int16_t> out) {
    if (!samples_) return 0;
    const std::size_t k = std::min(out.size(), samples_->size() - position_);
    std::copy_n(samples_->data() + position_, k, out.data());
    position_ += k;
    return k;
}

StreamedSound::StreamedSound(std::unique_ptr<WavStream> file,
                             std::unique_ptr<PcmConverter> converter)
    : file_(std::move(file)), converter_(std::move(converter)) {}

StreamedSound::~StreamedSound() = default;

std::unique_ptr<StreamedSound> StreamedSound::open(const std::string& path, OutputFormat format) {
    auto file = WavStream::open(path);
    if (!file) return nullptr;
    const WavLayout& l = file->layout();
    auto converter = std::make_unique<PcmConverter>(l.sampleRate, l.channels, l.frames(),
                                                    format.rate, format.channels);
    return std::unique_ptr<StreamedSound>(new StreamedSound(std::move(file), std::move(converter)));
}

std::size_t StreamedSound::take(std::span<std::int16_t> out) {
    while (converted_.size() - position_ < out.size() && !converter_->done()) {
        converted_.erase(converted_.begin(),
                         converted_.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ = 0;
        raw_.resize(kReadSamples);
        raw_.resize(file_->read(raw_));
        if (raw_.empty()) break;
        converter_->feed(raw_, converted_);
    }
    const std::size_t k = std::min(out.size(), converted_.size() - position_);
    std::copy_n(converted_.data() + position_, k, out.data());
    position_ += k;
    return k;
}

SoundChannel::SoundChannel(OutputFormat format, std::size_t queueFrames, std::size_t fadeFrames)
    : format_(format), queueFrames_(queueFrames), fadeFrames_(std::min(fadeFrames, queueFrames)) {}

void SoundChannel::play(std::unique_ptr<SoundSource> sound, std::size_t queuedFrames,
                        ServerLink& server) {
    if (awaiting_) {
        waiting_ = std::move(sound);
        hasWaiting_ = true;
        return;
    }
    playing_ = std::move(sound);
    cut(queuedFrames, server);
}

void SoundChannel::confirmed(std::size_t queuedFrames, ServerLink& server) {
    awaiting_ = false;
    if (!hasWaiting_) return;
    hasWaiting_ = false;
    playing_ = std::move(waiting_);
    cut(queuedFrames, server);
}

void SoundChannel::cut(std::size_t queuedFrames, ServerLink& server) {
    const auto channels = static_cast<std::size_t>(format_.channels);
    const std::size_t n = queueFrames_ * channels;
    const std::size_t fade = fadeFrames_ * channels;
    block_.resize(n);
    std::size_t got = playing_ ? playing_->take(block_) : 0;
    ended_ = got < n;
    // The fade is written even when the new sound has less: the old one fades out over it.
    std::fill(block_.begin() + static_cast<std::ptrdiff_t>(std::min(got, fade)),
              block_.begin() + static_cast<std::ptrdiff_t>(fade), std::int16_t{0});
    got = std::max(got, fade);
    const std::size_t queued = paused_ ? 0 : std::min(queuedFrames, queueFrames_) * channels;
    if (queued > 0 && queued <= recent_.size()) {
        const std::size_t from = recent_.size() - queued;
        for (std::size_t k = 0; k < fade && from + k < recent_.size(); ++k) {
            const double w = static_cast<double>(k / channels + 1) / (fadeFrames_ + 1);
            block_[k] = static_cast<std::int16_t>(recent_[from + k] * (1 - w) + block_[k] * w);
        }
    }
    recent_.clear();
    const std::span<const std::int16_t> written(block_.data(), got);
    server.replace(written);
    awaiting_ = true;
    remember(written);
    if (paused_) {
        paused_ = false;
        server.pause(false);
    }
}

void SoundChannel::requested(std::size_t frames, ServerLink& server) {
    if (ended_ || !playing_) return;
    const std::size_t n = frames * format_.channels;
    block_.resize(n);
    const std::size_t got = playing_->take(block_);
    ended_ = got < n;
    if (got == 0) return;
    const std::span<const std::int16_t> written(block_.data(), got);
    server.append(written);
    remember(written);
}

void SoundChannel::ranDry(ServerLink& server) {
    if (!ended_ || paused_ || awaiting_) return;
    paused_ = true;
    recent_.clear();
    playing_.reset();
    server.pause(true);
}

void SoundChannel::remember(std::span<const std::int16_t> written) {
    recent_.insert(recent_.end(), written.begin(), written.end());
    const std::size_t keep = queueFrames_ * format_.channels;
    if (recent_.size() > keep)
        recent_.erase(recent_.begin(), recent_.end() - static_cast<std::ptrdiff_t>(keep));
}

}  // namespace gombocok
