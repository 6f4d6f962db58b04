// Shared main of every test executable: tests run headless, with no sound device, and
// with one application object for the whole run. The test hooks go back to their
// defaults after every test.
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/TestHooks.h"

namespace {
class ResetHooks : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { TestHooks::Reset(); }
};
} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetHooks);
    return RUN_ALL_TESTS();
}
