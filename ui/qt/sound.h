// One sound channel: a single audio output pulls from our own source, so starting a sound only
// swaps the samples being read, and cuts off whatever was playing. Nothing here ever waits for
// the audio system; without an output device every sound is silent and play goes on.
#pragma once

#include <QAudioFormat>
#include <QIODevice>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QAudioSink;

namespace gombocok {

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    void play(const std::string& path);
    // Whether an output device was found (decided at the first play).
    bool hasOutput();

private:
    using Samples = std::vector<std::int16_t>;

    class Source : public QIODevice {
    public:
        void setSound(std::shared_ptr<const Samples> samples);
        bool isSequential() const override { return true; }
        qint64 bytesAvailable() const override;

    protected:
        qint64 readData(char* data, qint64 maxSize) override;
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        // The output may pull from its own thread.
        mutable std::mutex mutex_;
        std::shared_ptr<const Samples> sound_;
        std::size_t position_ = 0;  // in samples
    };

    void openOutput();
    std::shared_ptr<const Samples> decoded(const std::string& path);

    bool triedOutput_ = false;
    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    Source source_;
    std::map<std::string, std::shared_ptr<const Samples>> cache_;
};

}  // namespace gombocok
