// The game's sounds made ready to play on a thread of their own: each file read and checked
// once, short sounds converted for the output ahead of their first play, long ones left to be
// streamed from their files. Neither the game's thread nor the one that feeds the sound server
// reads, decodes or converts a whole file.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/channel.h"
#include "audio/wav.h"

namespace gombocok {

// Sounds longer than this are streamed from their files as they play (about 11 s at 48 kHz
// stereo once converted); shorter ones are converted once and kept.
constexpr std::uint64_t kStreamSamples = std::uint64_t{1} << 20;
// Converted samples kept at once, over all sounds; a sound past it is streamed instead.
constexpr std::size_t kHeldSamples = std::size_t{8} << 20;

class SoundLibrary {
public:
    // `ready` is called on the library's thread whenever a sound has become ready.
    explicit SoundLibrary(std::function<void()> ready);
    ~SoundLibrary();
    SoundLibrary(const SoundLibrary&) = delete;
    SoundLibrary& operator=(const SoundLibrary&) = delete;

    // Starts reading these files; returns at once.
    void prepare(const std::vector<std::string>& paths);
    // The output the sounds are converted for; a change converts them again.
    void setFormat(OutputFormat format);

    struct Ready {
        enum Kind { held, streamed } kind = held;
        std::shared_ptr<const Samples> samples;  // held: null for a file that cannot be played
    };
    // The sound at `path` for `format`, or nothing while it is being made ready (a path not
    // prepared before is taken up now).
    std::optional<Ready> find(const std::string& path, OutputFormat format);

private:
    struct Entry {
        bool read = false;
        bool streamed = false;
        std::shared_ptr<const WavSound> source;  // null: cannot be played
        OutputFormat convertedFor;
        std::shared_ptr<const Samples> converted;
    };
    void run();
    bool hasWork() const;

    std::function<void()> ready_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::map<std::string, Entry> entries_;
    OutputFormat format_;
    std::size_t heldSamples_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace gombocok
