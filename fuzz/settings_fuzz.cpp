// libFuzzer target for the settings loader: every input is parsed on its own, then written as
// settings.txt and loaded by a full program start on the headless host. Any state outside the
// ranges the dialog allows aborts, as do the sanitizers' findings.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "tests/settings/settings_fixture.h"

namespace {

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "settings_fuzz: %s\n", what);
        std::abort();
    }
}

gombocok::testing::TempProgramDir& programDir() {
    static gombocok::testing::TempProgramDir dir;
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gombocok;
    const std::string_view content(reinterpret_cast<const char*>(data), size);

    const bool complete = size <= kSettingsReadLimit;
    const StoredSettings s = parseSettings(content.substr(0, kSettingsReadLimit), complete);
    for (int c : s.checkBoxes) require(c == 0 || c == 1, "check box digit");
    require(s.damageLevel >= 1 && s.damageLevel <= 9, "damage level");
    require(!s.ammunition.empty() && s.ammunition.size() <= 3 && allDigits(s.ammunition) &&
                numericValue(s.ammunition) <= 200,
            "ammunition");
    require(s.spacecraftType >= 0 && s.spacecraftType <= 2, "spacecraft type");

    testing::TempProgramDir& dir = programDir();
    testing::replaceSettings(dir, std::string(content));
    testing::Started p(dir);
    const std::string problem = testing::loadProblem(p);
    require(problem.empty(), problem.c_str());
    return 0;
}
