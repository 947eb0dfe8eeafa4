// One sound channel: a single audio output that we write ourselves, so starting a sound hands its
// first samples to the sound server at once and cuts off whatever was playing. Nothing here ever
// waits for the audio system; without an output device every sound is silent and play goes on.
#pragma once

#include <QAudioFormat>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAudioSink;
class QIODevice;

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

    void openOutput();
    bool startStream();
    // Tops the stream up to its target length: the sound, then silence. Stops itself once the
    // sound has ended and enough silence follows it, so an idle player never wakes.
    void feed();
    // The sound at `path` converted for the output; null when it cannot be played. Both are
    // remembered, so a file is read at most once.
    std::shared_ptr<const Samples> decoded(const std::string& path);
    // Forgets the sounds played longest ago until `samples` more fit the cache's budget.
    void makeRoom(std::size_t samples);

    bool triedOutput_ = false;
    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* stream_ = nullptr;  // owned by sink_
    QTimer feeder_;
    std::shared_ptr<const Samples> sound_;
    std::size_t position_ = 0;        // in samples
    std::size_t silenceWritten_ = 0;  // in bytes, since the sound ended
    std::vector<char> chunk_;
    struct Cached {
        std::shared_ptr<const Samples> samples;  // null: the file cannot be played
        std::uint64_t lastUse = 0;
    };
    std::map<std::string, Cached> cache_;
    std::size_t cachedSamples_ = 0;
    std::uint64_t uses_ = 0;
};

}  // namespace gombocok
