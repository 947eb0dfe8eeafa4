#include "ui/qt/sound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

#include "ui/wav.h"

namespace gombocok {
namespace {

// Small enough that a new sound cuts in at once, large enough not to starve between ticks.
constexpr int kBufferMs = 30;

}  // namespace

void SoundPlayer::Source::setSound(std::shared_ptr<const Samples> samples) {
    std::lock_guard lock(mutex_);
    sound_ = std::move(samples);
    position_ = 0;
}

qint64 SoundPlayer::Source::bytesAvailable() const {
    // Silence follows every sound, so the stream never runs dry.
    return 1 << 16;
}

qint64 SoundPlayer::Source::readData(char* data, qint64 maxSize) {
    std::lock_guard lock(mutex_);
    const auto wanted = static_cast<std::size_t>(maxSize) / sizeof(std::int16_t);
    std::size_t copied = 0;
    if (sound_ && position_ < sound_->size()) {
        copied = std::min(wanted, sound_->size() - position_);
        std::memcpy(data, sound_->data() + position_, copied * sizeof(std::int16_t));
        position_ += copied;
    }
    std::memset(data + copied * sizeof(std::int16_t), 0, (wanted - copied) * sizeof(std::int16_t));
    return static_cast<qint64>(wanted * sizeof(std::int16_t));
}

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer() {
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
    source_.open(QIODevice::ReadOnly);
    sink_->start(&source_);
    if (sink_->error() != QAudio::NoError) {
        sink_.reset();
        source_.close();
    }
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
    source_.setSound(decoded(path));
    // An output that stopped (the device went away and came back) is started again.
    if (sink_->state() == QAudio::StoppedState) sink_->start(&source_);
}

}  // namespace gombocok
