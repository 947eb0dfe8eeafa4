#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

// Every input kept in the fuzz corpus goes through the real start-up once more, built with the
// normal compiler, so a finding stays fixed.
TEST(SettingsCorpus, EveryCorpusFileLoadsIntoASoundState) {
    testing::TempProgramDir dir;
    int replayed = 0;
    for (const auto& e : std::filesystem::directory_iterator(GOMBOCOK_FUZZ_CORPUS)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        testing::replaceSettings(dir, std::string(std::istreambuf_iterator<char>(in), {}));
        testing::Started p(dir);
        EXPECT_EQ(testing::loadProblem(p), "") << e.path();
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}

}  // namespace
}  // namespace gombocok
