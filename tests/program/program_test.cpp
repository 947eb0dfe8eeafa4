#include <gtest/gtest.h>

#include "program/headless.h"

namespace gombocok {
namespace {

// An event inside another is refused; after the program's end no event runs.
TEST(Dispatch, RefusesAnEventInsideAnotherAndAllAfterTheEnd) {
    HeadlessPlatform platform(GOMBOCOK_ASSETS_DIR);
    VirtualHost host(platform);
    bool innerRan = false;
    host.run([&] { innerRan = host.program.dispatch([] {}); });
    EXPECT_FALSE(innerRan);
    EXPECT_EQ(host.program.refusedEvents(), 1);
    int after = 0;
    host.run([&] {
        host.program.endProgram();
        ++after;
    });
    EXPECT_TRUE(host.program.ended());
    EXPECT_FALSE(host.run([&] { ++after; }));
    EXPECT_EQ(after, 0);
}

}  // namespace
}  // namespace gombocok
