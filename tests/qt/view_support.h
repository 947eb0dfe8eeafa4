// The real Qt platform and host over a private program directory. Message boxes are recorded
// and answered OK instead of opening (a modal box would wait for a player), sounds are recorded.
#pragma once

#include <string>
#include <vector>

#include "program/program.h"
#include "qt/qt_host.h"
#include "qt/qt_platform.h"
#include "tests/test_support.h"

namespace gombocok::testing {

// The real Qt platform (real message boxes, real sound) in a private program directory, so
// nothing the program writes lands beside the test executable.
class DirPlatform : public QtPlatform {
public:
    explicit DirPlatform(std::string dir) : dir_(std::move(dir)) {}
    std::string programDirectory() override { return dir_; }

private:
    std::string dir_;
};

class RecordingQtPlatform : public QtPlatform {
public:
    explicit RecordingQtPlatform(std::string directory) : directory_(std::move(directory)) {}

    std::vector<std::string> boxes, sounds;

    std::string programDirectory() override { return directory_; }
    MsgAnswer messageBox(const std::string& text, const std::string&, MsgIcon, MsgButtons,
                         MsgLanguage) override {
        boxes.push_back(text);
        return MsgAnswer::ok;
    }
    void playSound(const std::string& path) override { sounds.push_back(path); }

private:
    std::string directory_;
};

struct QtProgram {
    TempProgramDir dir;
    RecordingQtPlatform platform{dir.path()};
    Program program{platform};
    QtHost host{program, platform};
};

}  // namespace gombocok::testing
