#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TestHooks.h"
#include "tesk/game/Fonts.h"
#include "tesk/shell/ClearProgressDialogs.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"
#include "tests/tesk/shell/ShellTestSupport.h"

namespace {

TModalResult Show(TClearProgressDialog& d, const std::function<void(TClearProgressDialog&)>& script)
{
    return ShowModalWith<TClearProgressDialog>(d, [&](TClearProgressDialog& dialog) {
        dialog.MMTimer1->SetEnabled(false); // the script delivers the timer calls
        script(dialog);
    });
}

} // namespace

TEST(ClearProgressDialog, LayoutAndTheChoiceKeptFromCreation)
{
    auto d = MakeForm<TClearProgressDialog>();
    EXPECT_EQ(d->BorderStyle(), bsNone);
    EXPECT_EQ(d->FormStyle(), fsStayOnTop);
    EXPECT_TRUE(d->KeyPreview());
    EXPECT_EQ(d->ClientWidth(), 402);
    EXPECT_EQ(d->ClientHeight(), 304);
    EXPECT_EQ(d->PaintBox->Align(), alClient);
    EXPECT_FALSE(d->MMTimer1->Enabled());
    EXPECT_EQ(d->MMTimer1->Interval(), 20);
    EXPECT_TRUE(d->CoolForm1->Mask().Assigned) << "shaped from the stored outline";
    EXPECT_EQ(d->Choice, 0);
    EXPECT_EQ(d->Picture, nullptr);
}

TEST(ClearProgressDialog, KeysChooseAndDecide)
{
    ScratchGame game;
    auto d = MakeForm<TClearProgressDialog>();
    struct Case {
        std::vector<WORD> Keys;
        TModalResult Result;
        uint8_t ChoiceAfter;
    };
    const std::vector<Case> cases = {
        {{VK_RETURN}, mrClearProgress, 0},
        {{VK_SPACE}, mrClearProgress, 0},
        {{VK_ESCAPE}, mrLeaveProgress, 0},
        {{VK_DOWN, VK_RETURN}, mrLeaveProgress, 1},
        // The choice is kept from the last showing: Up toggles back.
        {{VK_UP, VK_SPACE}, mrClearProgress, 0},
        {{VK_UP, VK_UP, VK_ESCAPE}, mrLeaveProgress, 0},
        {{'A', VK_LEFT, VK_TAB, VK_DOWN}, -1, 1},
    };
    for (const Case& c : cases) {
        const TModalResult result = Show(*d, [&](TClearProgressDialog& dialog) {
            for (WORD key : c.Keys)
                TestHooks::KeyStroke(&dialog, key);
        });
        EXPECT_EQ(result, c.Result);
        EXPECT_EQ(d->Choice, c.ChoiceAfter);
        EXPECT_EQ(d->Picture, nullptr) << "freed on close";
        EXPECT_FALSE(d->MMTimer1->Enabled());
    }
}

TEST(ClearProgressDialog, ReopenedAfterLeavingByKeysItStartsOnLeave)
{
    ScratchGame game;
    auto d = MakeForm<TClearProgressDialog>();
    ASSERT_EQ(Show(*d, [](TClearProgressDialog& dialog) {
                  TestHooks::KeyStroke(&dialog, VK_DOWN);
                  TestHooks::KeyStroke(&dialog, VK_RETURN);
              }),
              mrLeaveProgress);
    Show(*d, [](TClearProgressDialog& dialog) {
        EXPECT_EQ(dialog.Choice, 1);
        EXPECT_NE(dialog.Picture, nullptr);
        dialog.MMTimer1Timer(dialog.MMTimer1, 4);
        EXPECT_GT(dialog.ChoiceGlow[1], dialog.ChoiceGlow[0]) << "LEAVE IT ALONE! lights up";
        TestHooks::KeyStroke(&dialog, VK_RETURN);
    });
    EXPECT_EQ(d->ModalResult(), mrLeaveProgress);
}

TEST(ClearProgressDialog, OneTimerEventOfThreeTicksRampsThreeTimes)
{
    ScratchGame game;
    auto d = MakeForm<TClearProgressDialog>();
    Show(*d, [](TClearProgressDialog& dialog) {
        dialog.ChoiceGlow = {0.5f, 0.5f};
        dialog.MMTimer1Timer(dialog.MMTimer1, 3);
        EXPECT_FLOAT_EQ(dialog.ChoiceGlow[0], 0.65f);
        EXPECT_FLOAT_EQ(dialog.ChoiceGlow[1], 0.41f);
        // The ramps stop at 1 and 0.
        dialog.MMTimer1Timer(dialog.MMTimer1, 40);
        EXPECT_FLOAT_EQ(dialog.ChoiceGlow[0], 1.0f);
        EXPECT_FLOAT_EQ(dialog.ChoiceGlow[1], 0.0f);
        dialog.MMTimer1Timer(dialog.MMTimer1, 0);
        EXPECT_FLOAT_EQ(dialog.ChoiceGlow[0], 1.0f);
    });
}

TEST(ClearProgressDialog, TheMouseAnswersOnlyInsideTheBands)
{
    ScratchGame game;
    auto d = MakeForm<TClearProgressDialog>();
    struct Case {
        int X, Y;
        int Band; // -1: nothing
    };
    const std::vector<Case> cases = {
        {200, 195, -1}, {200, 196, 0}, {200, 229, 0}, {200, 230, -1}, {200, 235, -1}, {200, 236, 1},
        {200, 269, 1},  {200, 270, -1}, {60, 210, -1}, {61, 210, 0},  {342, 250, 1},  {343, 250, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClearProgressBandAt(c.X, c.Y), c.Band) << c.X << ", " << c.Y;
        // A move sets the choice; a press of any button decides at once.
        for (TMouseButton button : {mbLeft, mbRight}) {
            const uint8_t before = c.Band == 0 ? 1 : 0;
            const TModalResult result = Show(*d, [&](TClearProgressDialog& dialog) {
                dialog.Choice = before;
                TestHooks::MouseMove(&dialog, Point(c.X, c.Y));
                EXPECT_EQ(dialog.Choice, c.Band < 0 ? before : c.Band);
                TestHooks::MouseDown(&dialog, button, Point(c.X, c.Y));
                EXPECT_EQ(dialog.ModalResult(), c.Band < 0 ? mrNone : c.Band == 0 ? mrClearProgress : mrLeaveProgress)
                    << "decided on the press";
                TestHooks::MouseUp(&dialog, button, Point(c.X, c.Y));
            });
            EXPECT_EQ(result, c.Band < 0 ? -1 : c.Band == 0 ? mrClearProgress : mrLeaveProgress);
        }
    }
}

TEST(ClearProgressDialog, BadPicturesDrawWhatTheyHaveAndTheDialogStillAnswers)
{
    struct Case {
        const char* What;
        bool Package;
        std::string Loose; // "Popup_ConfirmCP.jpg" beside the program; empty: none
        bool Loaded;
    };
    const std::vector<Case> cases = {
        {"missing", false, "", false},
        {"damaged", false, "not a picture", false},
        {"10 x 10", true, SolidJpeg(10, 10), true},
        {"2000 x 2000", true, SolidJpeg(2000, 2000), true},
    };
    for (const Case& c : cases) {
        ScratchGame game(c.Package);
        if (!c.Loose.empty())
            game.Dir.Write("Popup_ConfirmCP.jpg", c.Loose);
        ForgetReportedProblems();
        auto d = MakeForm<TClearProgressDialog>();
        tDib16 frame(640, 480);
        CurrentDib = &frame;
        const TModalResult result = Show(*d, [&](TClearProgressDialog& dialog) {
            EXPECT_EQ(dialog.Picture != nullptr, c.Loaded) << c.What;
            if (dialog.Picture) {
                EXPECT_EQ(dialog.WorkDib->Width, dialog.Picture->Width);
                EXPECT_EQ(dialog.WorkDib->Height, dialog.Picture->Height);
            }
            dialog.MMTimer1Timer(dialog.MMTimer1, 2);
            dialog.PaintBox->Repaint();
            EXPECT_EQ(CurrentDib, &frame) << "the drawing target comes back";
            TestHooks::MouseDown(&dialog, mbLeft, Point(100, 250));
        });
        EXPECT_EQ(result, mrLeaveProgress) << c.What;
        EXPECT_EQ(TakeReportedProblems().size(), c.Loaded ? 0u : 1u) << c.What;
        CurrentDib = nullptr;
    }
}

// The dialog over the built art, with the menu font, "CLEAR PROGRESS" lit; the keyed
// corners of its picture lie outside the window's shape.
TEST(ClearProgressDialog, ThePictureAsRecorded)
{
    ScratchGame game;
    DisplayBrightness = 1.1f;
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    LoadFontGraphicsData();
    auto d = MakeForm<TClearProgressDialog>();
    tDib16 frame(640, 480);
    CurrentDib = &frame;
    Show(*d, [&](TClearProgressDialog& dialog) {
        dialog.MMTimer1Timer(dialog.MMTimer1, 40);
        ExpectAsRecorded(DrawControlPicture(dialog), "clear_progress");
        EXPECT_EQ(CurrentDib, &frame);
        dialog.SetModalResult(mrLeaveProgress);
    });
    CurrentDib = nullptr;
    FreeFontGraphicsData();
    FreeAllDibs();
}
