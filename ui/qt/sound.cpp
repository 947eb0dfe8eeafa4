#include "ui/qt/sound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

#include "ui/wav.h"

namespace gombocok {
namespace {

// What the sound server keeps queued ahead of the speaker: a sound that cuts another waits this
// long at most. It must outlast the feeding period with room for a late tick.
constexpr int kBufferMs = 30;
constexpr int kFeedMs = 10;
// Silence written after a sound, so even the shortest sound fills the server's prebuffer and
// starts at once, before the stream is left to run dry.
constexpr int kTailMs = 2 * kBufferMs;

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
    if (auto it = cache_.find(path); it != cache_.end()) return it->second;
    auto wav = readWavFile(path);
    // A file that is missing or unreadable is not remembered: it may be put right meanwhile.
    if (!wav) return nullptr;
    auto samples = std::make_shared<const Samples>(
        convertPcm(*wav, format_.sampleRate(), format_.channelCount()));
    cache_[path] = samples;
    return samples;
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
