#include <gtest/gtest.h>

#include "GLAppGPUTest.h"

namespace {

int argcStore = 1;
char argv0[] = "gputest_tests";
char* argvStore[] = {argv0, nullptr};

class CountingTest : public GLAppGPUTest {
public:
    CountingTest() : GLAppGPUTest(&argcStore, argvStore, "state", 512, 512, 58) {}
    void postRedisplay() override { ++redisplays; }
    int redisplays = 0;
};

TEST(GLAppGPUTestState, ConstructorMakesItTheCurrentAndTestApplication) {
    Vellumar::currentApp = nullptr;
    testAppInstance = nullptr;
    CountingTest app;
    EXPECT_EQ(Vellumar::currentApp, &app);
    EXPECT_EQ(testAppInstance, &app);
    EXPECT_FALSE(app.leftButtonDown);
    EXPECT_FALSE(app.middleButtonDown);
    EXPECT_FALSE(app.rightButtonDown);
    EXPECT_EQ(app.displayMode, 58u);
    EXPECT_EQ(app.windowWidth, 512);
    Vellumar::currentApp = nullptr;
    testAppInstance = nullptr;
}

TEST(GLAppGPUTestState, IdleAsksForTheNextFrame) {
    CountingTest app;
    app.idle();
    app.idle();
    EXPECT_EQ(app.redisplays, 2);
    Vellumar::currentApp = nullptr;
    testAppInstance = nullptr;
}

} // namespace
