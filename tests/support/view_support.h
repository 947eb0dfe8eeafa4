// The real Qt platform and host over a private program directory, so nothing the program writes
// lands beside the test executable.
#pragma once

#include <string>
#include <vector>

#include "program/program.h"
#include "qt/qt_host.h"
#include "qt/qt_platform.h"
#include "tests/support/test_support.h"

namespace gombocok::testing {

// Unless the boxes are real, a message box is recorded and answered OK instead of opening (a
// modal box would wait for a player).
class TestQtPlatform : public QtPlatform {
public:
    TestQtPlatform(std::string directory, bool realBoxes)
        : directory_(std::move(directory)), realBoxes_(realBoxes) {}

    std::vector<std::string> boxes;

    std::string programDirectory() override { return directory_; }
    MsgAnswer messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons, MsgLanguage language) override {
        if (realBoxes_) return QtPlatform::messageBox(text, title, icon, buttons, language);
        boxes.push_back(text);
        return MsgAnswer::ok;
    }

private:
    std::string directory_;
    bool realBoxes_;
};

struct QtProgram {
    explicit QtProgram(bool realBoxes = false) : platform(dir.path(), realBoxes) {}
    TempProgramDir dir;
    TestQtPlatform platform;
    Program program{platform};
    QtHost host{program, platform};
};

}  // namespace gombocok::testing
