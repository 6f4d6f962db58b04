// The screen as the programs see it: its depth (with the run's and the tests' overrides),
// the display-change message every form receives, and window states of a window that
// covers the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/FramePresenter.h"
#include "platform/TestHooks.h"
#include "tests/support/RunProgram.h"

namespace {

class DisplayChangeForm : public TForm {
public:
    struct Seen {
        WPARAM Depth;
        LPARAM Size;
    };
    std::vector<Seen> Log;
    DisplayChangeForm()
    {
        SetMessageHandler(WM_DISPLAYCHANGE, [this](TMessage& m) { Log.push_back({m.WParam, m.LParam}); });
    }
};

} // namespace

TEST(DesktopDepth, TheTestHookWinsOverTheRealDepthUntilReset)
{
    const int real = Screen->BitsPerPixel();
    EXPECT_GT(real, 0);
    for (int depth : {8, 15, 16, 24, 32}) {
        TestHooks::SetDesktopDepth(depth);
        EXPECT_EQ(Screen->BitsPerPixel(), depth);
    }
    TestHooks::Reset();
    EXPECT_EQ(Screen->BitsPerPixel(), real);
    TestHooks::SetDesktopDepth(16);
    TestHooks::SetDesktopDepth(std::nullopt);
    EXPECT_EQ(Screen->BitsPerPixel(), real);
}

// Run in a child with TP_DESKTOP_DEPTH set (see below); alone it checks nothing.
TEST(DesktopDepth, ChildReportsTheDepthOfTheEnvironment)
{
    const char* expected = std::getenv("TP_EXPECTED_DEPTH");
    if (!expected)
        GTEST_SKIP() << "runs as a child of EnvironmentOverridesForTheWholeRun";
    EXPECT_EQ(Screen->BitsPerPixel(), std::atoi(expected));
    TestHooks::SetDesktopDepth(24);
    EXPECT_EQ(Screen->BitsPerPixel(), 24);
    TestHooks::Reset();
    EXPECT_EQ(Screen->BitsPerPixel(), std::atoi(expected));
    std::fprintf(stderr, "[checked in child]\n");
}

TEST(DesktopDepth, EnvironmentOverridesForTheWholeRun)
{
    const int real = Screen->BitsPerPixel();
    for (const char* depth : {"16", "24", "32"}) {
        const ProgramRun run = RunTestInChild("DesktopDepth.ChildReportsTheDepthOfTheEnvironment",
                                              {std::string("TP_DESKTOP_DEPTH=") + depth,
                                               std::string("TP_EXPECTED_DEPTH=") + depth});
        EXPECT_EQ(UncleanStop(run), "") << depth << ": " << run.Stderr;
        EXPECT_NE(run.Stderr.find("[checked in child]"), std::string::npos) << run.Stderr;
    }
    // Other values are not depths the override offers: the real one stays.
    for (const char* depth : {"8", "0", "x", ""}) {
        const ProgramRun run =
            RunTestInChild("DesktopDepth.ChildReportsTheDepthOfTheEnvironment",
                           {std::string("TP_DESKTOP_DEPTH=") + depth, "TP_EXPECTED_DEPTH=" + std::to_string(real)});
        EXPECT_EQ(UncleanStop(run), "") << depth << ": " << run.Stderr;
        EXPECT_NE(run.Stderr.find("[checked in child]"), std::string::npos) << run.Stderr;
    }
}

TEST(DisplayChange, EveryFormHearsOneMessagePerChangeWithItsValues)
{
    DisplayChangeForm* first = nullptr;
    DisplayChangeForm* second = nullptr;
    Application->CreateForm(first);
    Application->CreateForm(second);
    TestHooks::TriggerDisplayChange(16, TSize{1024, 768});
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(Screen->BitsPerPixel(), 16);
    TestHooks::TriggerDisplayChange(32, TSize{640, 480});
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(Screen->BitsPerPixel(), 32);
    for (DisplayChangeForm* form : {first, second}) {
        ASSERT_EQ(form->Log.size(), 2u);
        EXPECT_EQ(form->Log[0].Depth, 16u);
        EXPECT_EQ(form->Log[0].Size, 1024 | (768 << 16));
        EXPECT_EQ(form->Log[1].Depth, 32u);
        EXPECT_EQ(form->Log[1].Size, 640 | (480 << 16));
    }
    second->Free();
    first->Free();
}

TEST(WindowState, AWindowThatCoversTheScreenCoversItAgainAfterMinimising)
{
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetBorderStyle(bsNone);
    form->Show();
    EXPECT_EQ(form->WindowState(), wsNormal);
    SetWindowFullScreen(PresentWindowOf(form), true);
    Application->ProcessMessages();
    const TRect screen{0, 0, Screen->Width(), Screen->Height()};
    auto covers = [&] {
        return form->Left() == 0 && form->Top() == 0 && form->ClientWidth() == screen.Right &&
               form->ClientHeight() == screen.Bottom;
    };
    ASSERT_TRUE(covers());
    for (TWindowState back : {wsNormal, wsMaximized}) {
        form->SetWindowState(wsMinimized);
        Application->ProcessMessages();
        EXPECT_EQ(form->WindowState(), wsMinimized);
        form->SetWindowState(back);
        Application->ProcessMessages();
        EXPECT_EQ(form->WindowState(), wsNormal) << back;
        EXPECT_TRUE(covers()) << back;
    }
    // A framed window is maximised and made normal again as usual.
    SetWindowFullScreen(PresentWindowOf(form), false);
    form->SetBorderStyle(bsSizeable);
    Application->ProcessMessages();
    form->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    Application->ProcessMessages();
    EXPECT_EQ(form->WindowState(), wsNormal);
    form->Free();
}
