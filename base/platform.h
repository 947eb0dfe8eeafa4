// The one door between the rules and the outside world. The program implements it with Qt;
// tests implement it headlessly (recorded sounds, scripted message-box answers, seeded random).
#pragma once

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>

namespace gombocok {

enum class MsgIcon { exclamation, critical };
enum class MsgButtons { ok, yesNo };
enum class MsgAnswer { ok, yes, no };
// The language of a message box's own text, chosen by the rule that chose the text: the box's
// buttons speak it too.
enum class MsgLanguage { hungarian, english };

// A picture or cursor file that cannot be loaded. Nothing recovers from it: the host reports it
// and ends the program with a non-zero exit code.
class MissingPicture : public std::runtime_error {
public:
    explicit MissingPicture(const std::string& path)
        : std::runtime_error("cannot load picture file: " + path), path_(path) {}
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct ScreenSize {
    float width = 0, height = 0;  // twips
};

class Platform {
public:
    virtual ~Platform() = default;

    // Starts the wave file and returns at once; one channel, so it cuts off whatever plays.
    // A file that is missing or cannot be played is silent and reports nothing.
    virtual void playSound(const std::string& path) = 0;

    // Makes sure the picture (GIF, JPEG) or cursor (.cur) at `path` can be shown; throws
    // MissingPicture when it cannot.
    virtual void loadPicture(const std::string& path) = 0;
    virtual void loadCursor(const std::string& path) = 0;

    // A modal message box; `text` may hold "\r" line breaks. Returns the button pressed.
    virtual MsgAnswer messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                                 MsgButtons buttons, MsgLanguage language) = 0;

    // The directory that holds the executable, without a trailing separator.
    virtual std::string programDirectory() = 0;
    // The player's own folder for this program's settings, without a trailing separator; it
    // need not exist yet. Empty when the player has none.
    virtual std::string configDirectory() = 0;
    virtual ScreenSize screenSize() = 0;

    // Seeds the generator once from the clock (a headless platform keeps its fixed seed).
    virtual void randomize() = 0;
    // A uniform random number in [0, 1).
    virtual double random() = 0;
};

// The generator behind Platform::random on every platform: uniform in [0, 1), the same numbers
// from the same seed.
class UniformRandom {
public:
    UniformRandom() = default;
    explicit UniformRandom(std::uint64_t seed) : engine_(seed) {}
    void seed(std::uint64_t seed) { engine_.seed(seed); }
    double next() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

private:
    std::mt19937_64 engine_;
};

// The full path of a file in the program directory, joined with the platform's separator.
std::string programFile(Platform& platform, const std::string& name);

}  // namespace gombocok
