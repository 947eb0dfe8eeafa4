// One sound channel: a single stream to the sound server that we write ourselves, at the server's
// own rate and sample format, so starting a sound hands its first samples over at once and cuts
// off whatever was playing (what is queued of it is dropped). The stream is paused while nothing
// sounds. A server that goes away is looked for again at the next sound. Nothing here ever waits
// for the sound server; without one every sound is silent and play goes on.
#pragma once

#include <memory>
#include <string>

namespace gombocok {

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts connecting to the sound server, whose mixer shows the stream as `name`; returns at
    // once. The first play connects under the game's Hungarian name when this was not called.
    void open(const std::string& name);
    void play(const std::string& path);
    // Whether the stream to the sound server is ready now.
    bool hasOutput();

private:
    struct Output;
    std::unique_ptr<Output> out_;
};

}  // namespace gombocok
