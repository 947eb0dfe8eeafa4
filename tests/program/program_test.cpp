#include <gtest/gtest.h>

#include "program/headless.h"

namespace gombocok {
namespace {

TEST(Dispatch, RefusesAnEventInsideAnother) {
    HeadlessPlatform platform(GOMBOCOK_ASSETS_DIR);
    VirtualHost host(platform);
    bool innerRan = false;
    host.run([&] { innerRan = host.program.dispatch([] {}); });
    EXPECT_FALSE(innerRan);
    EXPECT_EQ(host.program.refusedEvents(), 1);
}

TEST(Dispatch, ProgramEndStopsEveryLaterEvent) {
    HeadlessPlatform platform(GOMBOCOK_ASSETS_DIR);
    VirtualHost host(platform);
    int after = 0;
    host.run([&] {
        host.program.endProgram();
        ++after;
    });
    EXPECT_TRUE(host.program.ended());
    EXPECT_EQ(after, 0);
    EXPECT_FALSE(host.run([&] { ++after; }));
    EXPECT_EQ(after, 0);
}

}  // namespace
}  // namespace gombocok
