// The one sound channel's rules, apart from any sound server: what is queued, what a new sound
// cuts and how the cut is faded, when the stream may pause, and how much may be on its way to a
// server that has not answered. A transport tells it what the server asks for and carries out
// what it decides through ServerLink; the tests do the same with a model server on a virtual
// clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gombocok {

class PcmConverter;
class WavStream;

using Samples = std::vector<std::int16_t>;

// What the stream carries: signed 16-bit samples, interleaved.
struct OutputFormat {
    int rate = 0;
    int channels = 0;  // 1 or 2
    bool operator==(const OutputFormat&) const = default;
};

// A sound as it plays, in the output format.
class SoundSource {
public:
    virtual ~SoundSource() = default;
    // The next samples (whole frames) into `out`; how many. Fewer than asked: the sound has ended.
    virtual std::size_t take(std::span<std::int16_t> out) = 0;
};

// Samples converted beforehand, shared by every play of the sound; null plays nothing.
class HeldSound : public SoundSource {
public:
    explicit HeldSound(std::shared_ptr<const Samples> samples) : samples_(std::move(samples)) {}
    std::size_t take(std::span<std::int16_t> out) override;

private:
    std::shared_ptr<const Samples> samples_;
    std::size_t position_ = 0;
};

// A file read and converted as it plays, so a long sound never lies whole in memory.
class StreamedSound : public SoundSource {
public:
    // Nothing when the file is not a sound the reader accepts.
    static std::unique_ptr<StreamedSound> open(const std::string& path, OutputFormat format);
    ~StreamedSound() override;
    std::size_t take(std::span<std::int16_t> out) override;

private:
    StreamedSound(std::unique_ptr<WavStream> file, std::unique_ptr<PcmConverter> converter);
    std::unique_ptr<WavStream> file_;
    std::unique_ptr<PcmConverter> converter_;
    Samples converted_, raw_;
    std::size_t position_ = 0;
};

// What the channel asks of the server.
class ServerLink {
public:
    virtual ~ServerLink() = default;
    // Drops whatever is queued and not yet played, and queues `samples` in its place: the
    // server plays them next. The channel sends nothing else of this kind until `confirmed`.
    virtual void replace(std::span<const std::int16_t> samples) = 0;
    // Queues `samples` after what is queued: only ever what the server asked for.
    virtual void append(std::span<const std::int16_t> samples) = 0;
    virtual void pause(bool paused) = 0;
};

class SoundChannel {
public:
    // `queueFrames`: what the server keeps queued; `fadeFrames`: the crossfade at a cut.
    SoundChannel(OutputFormat format, std::size_t queueFrames, std::size_t fadeFrames);

    const OutputFormat& format() const { return format_; }
    std::size_t queueFrames() const { return queueFrames_; }

    // A new sound cuts the one that plays at once: the queue is replaced, fading from the old
    // sound where the server is about to play it (`queuedFrames` ahead of what it played) into
    // the new one. While the server has not taken the last replacement, the sound waits for it
    // (only the latest one: those it replaced would be cut before they were heard).
    void play(std::unique_ptr<SoundSource> sound, std::size_t queuedFrames, ServerLink& server);
    // The server asks for `frames` more.
    void requested(std::size_t frames, ServerLink& server);
    // The server has taken the last replacement.
    void confirmed(std::size_t queuedFrames, ServerLink& server);
    // The server has played everything it had: once the sound has ended the stream pauses, and
    // the server does nothing for it until the next sound.
    void ranDry(ServerLink& server);

    bool paused() const { return paused_; }
    bool awaitingServer() const { return awaiting_; }

private:
    void cut(std::size_t queuedFrames, ServerLink& server);
    void remember(std::span<const std::int16_t> written);

    OutputFormat format_;
    std::size_t queueFrames_, fadeFrames_;
    std::unique_ptr<SoundSource> playing_;
    std::unique_ptr<SoundSource> waiting_;  // the next sound, until the server answers
    bool hasWaiting_ = false;
    bool ended_ = true;   // the sound has been handed over whole
    bool paused_ = true;  // the stream starts paused
    bool awaiting_ = false;
    Samples block_;
    Samples recent_;  // the last samples handed over, at most a queue's worth
};

}  // namespace gombocok
