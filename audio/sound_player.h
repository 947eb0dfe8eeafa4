// One sound channel on the sound server (PulseAudio, or PipeWire through its PulseAudio service):
// a single stream that we write ourselves at the output's own rate, paused while nothing sounds.
// SoundChannel decides what is written; this is its transport, on libpulse's own thread. The
// game's thread only leaves a note and wakes that thread: it never waits for the server, and
// never reads or converts a sound (SoundLibrary does, on a thread of its own). An output that
// goes away (the server, its sink) is found again by the server's own reports and at the next
// sound; without one every sound is silent and play goes on.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace gombocok {

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts reading and converting these sound files beside the game; returns at once.
    void prepare(const std::vector<std::string>& paths);
    // Starts connecting to the sound server, whose mixer shows the stream as `name`; returns at
    // once. The first play connects under the game's Hungarian name when this was not called.
    void open(const std::string& name);
    // Starts the sound at `path`, cutting off the one that plays; returns at once.
    void play(const std::string& path);
    // Whether the stream to the sound server is ready now.
    bool hasOutput() const;

private:
    struct Output;
    std::unique_ptr<Output> out_;
};

}  // namespace gombocok
