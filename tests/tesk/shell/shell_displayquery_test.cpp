#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TestHooks.h"
#include "tesk/shell/DisplayModeQuery.h"
#include "tests/tesk/shell/ShellTestSupport.h"

TEST(DisplayQuestion, TheDialogAsLaidOut)
{
    auto f = MakeForm<TQueryDisplayForm>();
    EXPECT_EQ(f->Caption(), "Hmmm Interesting");
    EXPECT_EQ(f->BorderStyle(), bsDialog);
    EXPECT_EQ(f->FormStyle(), fsStayOnTop);
    EXPECT_EQ(f->Font().Name, "Arial");
    EXPECT_EQ(f->ClientWidth(), 312);
    EXPECT_EQ(f->ClientHeight(), 162);
    EXPECT_EQ(f->Label1->Caption(),
              "Your desktop is not running in a 16 bit per pixel display mode.\r\n"
              "\r\n"
              "This game is designed to run in 16 bits per pixel.   Although the\r\n"
              "game can run in other modes, it may may not perfom as well.\r\n"
              "\r\n"
              "If you play the game Full-Screen, the Screen will be \r\n"
              "changed to the appropriate mode.");
    EXPECT_EQ(f->Label1->Alignment(), taCenter);
    EXPECT_EQ(f->FullScreenButton->Caption(), "Run Full-Screen");
    EXPECT_EQ(f->FullScreenButton->Hint(), "For higher perfomance");
    EXPECT_EQ(f->FullScreenButton->ModalResult(), 100);
    EXPECT_EQ(f->WindowedButton->Caption(), "Run Windowed");
    EXPECT_EQ(f->WindowedButton->Hint(), "Possibly slower");
    EXPECT_EQ(f->WindowedButton->ModalResult(), 101);
    EXPECT_TRUE(f->FullScreenButton->ShowHint());
    // Side by side below the label, inside the client area.
    EXPECT_EQ(f->FullScreenButton->Top(), f->WindowedButton->Top());
    EXPECT_LT(f->FullScreenButton->BoundsRect().Right, f->WindowedButton->Left());
    EXPECT_GE(f->FullScreenButton->Top(), f->Label1->BoundsRect().Bottom);
    EXPECT_LE(f->WindowedButton->BoundsRect().Bottom, 162);
}

TEST(DisplayQuestion, AnswersAreTheButtonsResultsAndClosingMeansFullScreen)
{
    QueryDisplayForm = MakeForm<TQueryDisplayForm>().release();
    struct Case {
        const char* What;
        std::function<void(TQueryDisplayForm&)> Act;
        TModalResult Result;
    };
    auto click = [](TQueryDisplayForm& f, TControl* button) {
        const TPoint at = TestHooks::ControlToForm(button, Point(10, 10));
        TestHooks::MouseMove(&f, at);
        TestHooks::MouseDown(&f, mbLeft, at);
        TestHooks::MouseUp(&f, mbLeft, at);
    };
    const std::vector<Case> cases = {
        {"Run Windowed", [&](TQueryDisplayForm& f) { click(f, f.WindowedButton); }, mrRunWindowed},
        {"Run Full-Screen", [&](TQueryDisplayForm& f) { click(f, f.FullScreenButton); }, mrRunFullScreen},
        {"the title bar's close", [](TQueryDisplayForm& f) { f.Close(); }, mrCancel},
    };
    for (const Case& c : cases) {
        TestHooks::SetModalStarted([&](TForm*) { c.Act(*QueryDisplayForm); });
        EXPECT_EQ(AskDisplayQuestion(), c.Result) << c.What;
        EXPECT_FALSE(QueryDisplayForm->Visible());
    }
    QueryDisplayForm->Free();
    QueryDisplayForm = nullptr;
}
