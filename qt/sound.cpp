#include "qt/sound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>
#include <optional>

#include "base/wav.h"

namespace gombocok {
namespace {

// What the sound server keeps queued ahead of the speaker: a sound that cuts another waits this
// long at most. It must outlast the feeding period with room for a late tick.
constexpr int kBufferMs = 30;
constexpr int kFeedMs = 10;
// Silence written after a sound, so even the shortest sound fills the server's prebuffer and
// starts at once, before the stream is left to run dry.
constexpr int kTailMs = 2 * kBufferMs;
// Converted sounds kept at once (48 MiB): all of the game's own (11.4 M samples at 48 kHz
// stereo) with room to spare, or two of the longest a file may hold. Beyond it the sounds played
// longest ago are forgotten, so files that are all as long as allowed cannot add up.
constexpr std::size_t kCacheSamples = 2 * kMaxConvertedSamples;

}  // namespace

SoundPlayer::SoundPlayer() {
    feeder_.setTimerType(Qt::PreciseTimer);
    feeder_.setInterval(kFeedMs);
    QObject::connect(&feeder_, &QTimer::timeout, [this] { feed(); });
}

SoundPlayer::~SoundPlayer() {
    feeder_.stop();
    if (sink_) sink_->stop();
}

bool SoundPlayer::hasOutput() {
    openOutput();
    return sink_ != nullptr;
}

void SoundPlayer::openOutput() {
    if (triedOutput_) return;
    triedOutput_ = true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    for (int rate : {44100, 48000, 22050}) {
        QAudioFormat f;
        f.setSampleRate(rate);
        f.setChannelCount(2);
        f.setSampleFormat(QAudioFormat::Int16);
        if (device.isFormatSupported(f)) {
            format_ = f;
            break;
        }
    }
    if (!format_.isValid()) return;
    sink_ = std::make_unique<QAudioSink>(device, format_);
    sink_->setBufferSize(format_.bytesForDuration(kBufferMs * 1000));
    if (!startStream()) sink_.reset();
}

bool SoundPlayer::startStream() {
    stream_ = sink_->start();
    return stream_ != nullptr;
}

std::shared_ptr<const SoundPlayer::Samples> SoundPlayer::decoded(const std::string& path) {
    if (auto it = cache_.find(path); it != cache_.end()) {
        it->second.lastUse = ++uses_;
        return it->second.samples;
    }
    std::optional<Samples> converted;
    if (auto wav = readWavFile(path))
        converted = convertPcm(*wav, format_.sampleRate(), format_.channelCount());
    // A file that failed stays silent until the program ends: reading it again at every play
    // would cost the same each time (a shot fires many times a second).
    if (!converted) {
        cache_[path] = {nullptr, ++uses_};
        return nullptr;
    }
    makeRoom(converted->size());
    auto samples = std::make_shared<const Samples>(std::move(*converted));
    cache_[path] = {samples, ++uses_};
    cachedSamples_ += samples->size();
    return samples;
}

void SoundPlayer::makeRoom(std::size_t samples) {
    while (cachedSamples_ + samples > kCacheSamples) {
        auto oldest = cache_.end();
        for (auto it = cache_.begin(); it != cache_.end(); ++it) {
            if (it->second.samples &&
                (oldest == cache_.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (oldest == cache_.end()) return;
        cachedSamples_ -= oldest->second.samples->size();
        cache_.erase(oldest);
    }
}

void SoundPlayer::play(const std::string& path) {
    openOutput();
    if (!sink_) return;
    // An output that stopped (the sound server went away and came back) is started again.
    if (sink_->state() == QAudio::StoppedState && !startStream()) {
        stream_ = nullptr;
        feeder_.stop();
        return;
    }
    sound_ = decoded(path);
    position_ = 0;
    silenceWritten_ = 0;
    feed();
    if (!feeder_.isActive()) feeder_.start();
}

void SoundPlayer::feed() {
    // A stopped output has deleted its stream.
    if (!stream_ || sink_->state() == QAudio::StoppedState) {
        feeder_.stop();
        return;
    }
    const int frame = format_.bytesPerFrame();
    const auto room = static_cast<std::size_t>(sink_->bytesFree() / frame * frame);
    if (room == 0) return;
    chunk_.resize(room);
    std::size_t filled = 0;
    if (sound_ && position_ < sound_->size()) {
        const std::size_t samples =
            std::min(room / sizeof(std::int16_t), sound_->size() - position_);
        std::memcpy(chunk_.data(), sound_->data() + position_, samples * sizeof(std::int16_t));
        position_ += samples;
        filled = samples * sizeof(std::int16_t);
    }
    std::memset(chunk_.data() + filled, 0, room - filled);
    silenceWritten_ += room - filled;
    stream_->write(chunk_.data(), static_cast<qint64>(room));
    if (silenceWritten_ >= static_cast<std::size_t>(format_.bytesForDuration(kTailMs * 1000)))
        feeder_.stop();
}

}  // namespace gombocok
