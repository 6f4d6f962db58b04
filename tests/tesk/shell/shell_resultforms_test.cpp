#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/TestHooks.h"
#include "tesk/shell/LevelResultForms.h"
#include "tesk/toolkit/Dib16.h"
#include "tests/tesk/shell/ShellTestSupport.h"

namespace {

// A main window at a known place of the screen, for the forms to stay inside.
struct MainWindow {
    TForm Form;
    MainWindow()
    {
        Form.SetBorderStyle(bsNone);
        Form.SetBounds(100, 100, 640, 480);
        MainFormRef = &Form;
    }
    ~MainWindow() { MainFormRef = nullptr; }
};

// Shows the form modally from the anchor and runs the script inside its modal loop with
// the form's own timer stopped, so that the script delivers every timer call itself.
// Returns the modal result (-1 when the script left none).
TModalResult ShowWith(TLevelResultForm& form, TPoint anchor, const std::function<void(TLevelResultForm&)>& script)
{
    form.AnchorX = anchor.X;
    form.AnchorY = anchor.Y;
    return ShowModalWith<TLevelResultForm>(form, [&](TLevelResultForm& f) {
        f.MMTimer1->SetEnabled(false);
        // The real timer may have ticked before it was stopped on a busy machine: the
        // zoom starts over, so the script alone drives it.
        f.FormShow(&f);
        f.MMTimer1->SetEnabled(false);
        script(f);
    });
}

TRect BoundsOf(const TForm& f)
{
    return Bounds(f.Left(), f.Top(), f.Width(), f.Height());
}

bool AnyButtonVisible(const TLevelResultForm& f)
{
    for (TMultiImageButton* b : f.Buttons())
        if (b->Visible())
            return true;
    return false;
}

void Grow(TLevelResultForm& f)
{
    for (int i = 0; i < 6; ++i)
        f.MMTimer1Timer(f.MMTimer1, 5);
}

struct Forms {
    FormPtr<TLevelFailureForm> Failure = MakeForm<TLevelFailureForm>();
    FormPtr<TLevelSuccessForm> Success = MakeForm<TLevelSuccessForm>();
    FormPtr<TLevelPartialSuccessForm> Partial = MakeForm<TLevelPartialSuccessForm>();
    std::vector<TLevelResultForm*> All() { return {Failure.get(), Success.get(), Partial.get()}; }
};

} // namespace

TEST(ResultForms, LayoutButtonsAndTheirResults)
{
    Forms f;
    struct Expect {
        TLevelResultForm* Form;
        std::vector<std::string> Names;
        std::vector<int> Lefts;
        std::vector<int> Widths;
        std::vector<TModalResult> Results;
    };
    const std::vector<Expect> table = {
        {f.Failure.get(), {"ReplayLevelButton", "PickALevelButton", "MainMenuButton"}, {31, 157, 283}, {86, 86, 86}, {4, 5, 3}},
        {f.Success.get(), {"NextLevelButton", "PickALevelButton", "MainMenuButton"}, {31, 156, 283}, {86, 86, 86}, {9, 5, 3}},
        {f.Partial.get(),
         {"ReplayLevelButton", "NextLevelButton", "PickLevelButton", "MainMenuButton"},
         {21, 115, 210, 304},
         {86, 86, 86, 75},
         {4, 9, 5, 3}},
    };
    for (const Expect& e : table) {
        TLevelResultForm& form = *e.Form;
        EXPECT_EQ(form.BorderStyle(), bsNone);
        EXPECT_EQ(form.BorderIcons(), 0);
        EXPECT_EQ(form.FormStyle(), fsStayOnTop);
        EXPECT_EQ(form.ClientWidth(), 400);
        EXPECT_EQ(form.ClientHeight(), 243);
        EXPECT_EQ(form.GrowTicks, 25);
        EXPECT_EQ(form.MMTimer1->Interval(), 16);
        EXPECT_EQ(form.MMTimer1->Resolution(), 1);
        EXPECT_EQ(form.Image1->Align(), alClient);
        EXPECT_TRUE(form.Image1->Stretch());
        ASSERT_EQ(form.Buttons().size(), e.Names.size());
        for (size_t i = 0; i < e.Names.size(); ++i) {
            TMultiImageButton* b = form.Buttons()[i];
            EXPECT_EQ(b->Name(), e.Names[i]);
            EXPECT_EQ(b->TabOrder(), static_cast<int>(i));
            EXPECT_EQ(b->BoundsRect(), Bounds(e.Lefts[i], 168, e.Widths[i], 44)) << e.Names[i];
            EXPECT_EQ(b->ModalResult(), e.Results[i]);
            EXPECT_EQ(b->Cancel(), e.Results[i] == mrMainMenu);
            EXPECT_NE(b->DefaultUpImage().Graphic(), nullptr) << e.Names[i] << " has its stored picture";
            EXPECT_NE(b->MouseOverUpImage().Graphic(), nullptr);
        }
    }
}

TEST(ResultForms, TheZoomFollowsThePopUpsGeometry)
{
    MainWindow main;
    Forms f;
    // Anchor (420, 340): the 400 x 243 target is (220, 219).
    for (TLevelResultForm* form : f.All()) {
        std::vector<TRect> seen;
        std::vector<bool> visible;
        ShowWith(*form, Point(420, 340), [&](TLevelResultForm& fm) {
            EXPECT_EQ(BoundsOf(fm), Bounds(420, 340, 1, 1));
            EXPECT_EQ(Bounds(fm.TargetLeft, fm.TargetTop, fm.TargetWidth, fm.TargetHeight), Bounds(220, 219, 400, 243));
            for (int ticks : {1, 5, 10, 0, 5, 5, 5, 5}) {
                fm.MMTimer1Timer(fm.MMTimer1, ticks);
                seen.push_back(BoundsOf(fm));
                visible.push_back(AnyButtonVisible(fm));
            }
            fm.SetModalResult(mrMainMenu);
        });
        // Elapsed after each call: 1, 6, 11 (10 counts as 5), 11, 16, 21, 26 -> 25, 30 -> 25.
        const std::vector<TRect> expected = {
            Bounds(412, 335, 16, 10),  // t = 0.04
            Bounds(372, 311, 96, 58),  // t = 0.24
            Bounds(332, 287, 176, 107), // t = 0.44
            Bounds(332, 287, 176, 107), // 0 ticks: nothing more
            Bounds(292, 263, 256, 156), // t = 0.64
            Bounds(252, 238, 336, 204), // t = 0.84
            Bounds(220, 219, 400, 243), // t = 1: the zoom ends with the full rectangle
            Bounds(220, 219, 400, 243), // after the zoom nothing changes
        };
        EXPECT_EQ(seen, expected) << typeid(*form).name();
        EXPECT_EQ(visible, (std::vector<bool>{false, false, false, false, false, false, true, true}));
        EXPECT_FALSE(form->Growing);
    }
}

TEST(ResultForms, TheTargetStaysInsideTheMainWindow)
{
    MainWindow window; // (100, 100) to (740, 580)
    Forms f;
    struct Case {
        const char* What;
        TPoint Anchor;
        TRect Target;
    };
    const std::vector<Case> cases = {
        {"top-left corner", Point(100, 100), Bounds(100, 100, 400, 243)},
        {"left edge", Point(100, 340), Bounds(100, 219, 400, 243)},
        {"top edge", Point(420, 100), Bounds(220, 100, 400, 243)},
        {"right edge", Point(740, 340), Bounds(340, 219, 400, 243)},
        {"bottom edge", Point(420, 580), Bounds(220, 337, 400, 243)},
        {"bottom-right corner", Point(739, 579), Bounds(340, 337, 400, 243)},
        {"outside, above left", Point(0, 0), Bounds(100, 100, 400, 243)},
        {"outside, below right", Point(2000, 1500), Bounds(340, 337, 400, 243)},
    };
    for (const Case& c : cases)
        ShowWith(*f.Partial, c.Anchor, [&](TLevelResultForm& fm) {
            EXPECT_EQ(Bounds(fm.TargetLeft, fm.TargetTop, fm.TargetWidth, fm.TargetHeight), c.Target) << c.What;
            Grow(fm);
            EXPECT_EQ(BoundsOf(fm), c.Target) << c.What;
        });

    // The form takes its picture's size; without one, its design size.
    TBitmap picture;
    picture.SetSize(300, 200);
    TPicture holder;
    holder.SetGraphic(&picture);
    f.Success->Image1->SetPicture(&holder);
    for (TLevelResultForm* form : {static_cast<TLevelResultForm*>(f.Success.get()), static_cast<TLevelResultForm*>(f.Failure.get())})
        ShowWith(*form, Point(739, 579), [](TLevelResultForm& fm) {
            const int w = fm.Image1->Picture().Width() ? 300 : 400;
            const int h = fm.Image1->Picture().Width() ? 200 : 243;
            EXPECT_EQ(Bounds(fm.TargetLeft, fm.TargetTop, fm.TargetWidth, fm.TargetHeight), Bounds(740 - w, 580 - h, w, h));
        });
}

TEST(ResultForms, KeysGiveTheTableResultsDuringAndAfterTheZoom)
{
    MainWindow main;
    Forms f;
    struct Case {
        TLevelResultForm* Form;
        TModalResult Enter;
    };
    for (const Case& c : {Case{f.Failure.get(), mrPlayAgain}, Case{f.Success.get(), mrNextLevel}, Case{f.Partial.get(), mrNextLevel}}) {
        for (bool grown : {false, true}) {
            for (WORD key : {VK_RETURN, VK_SPACE, VK_ESCAPE}) {
                const TModalResult result = ShowWith(*c.Form, Point(420, 340), [&](TLevelResultForm& fm) {
                    fm.MMTimer1Timer(fm.MMTimer1, 3);
                    if (grown)
                        Grow(fm);
                    TestHooks::KeyStroke(&fm, key);
                });
                EXPECT_EQ(result, key == VK_ESCAPE ? mrMainMenu : c.Enter)
                    << typeid(*c.Form).name() << (grown ? " after" : " during") << " the zoom, key " << key;
            }
            // Other keys do nothing.
            const TModalResult result = ShowWith(*c.Form, Point(420, 340), [&](TLevelResultForm& fm) {
                if (grown)
                    Grow(fm);
                for (WORD key : {WORD('A'), WORD(VK_LEFT), WORD(VK_TAB), WORD('9')})
                    TestHooks::KeyStroke(&fm, key);
            });
            EXPECT_EQ(result, -1);
        }
    }
}

TEST(ResultForms, ButtonsAnswerOnlyAfterTheZoomAndTheFirstHasTheFocus)
{
    MainWindow main;
    Forms f;
    for (TLevelResultForm* form : f.All()) {
        for (size_t i = 0; i < form->Buttons().size(); ++i) {
            TMultiImageButton* button = form->Buttons()[i];
            const TPoint at = Point(button->Left() + 10, button->Top() + 10);
            // The main window is the active one before each showing, as in the game.
            main.Form.Show();
            main.Form.BringToFront();
            Application->ProcessMessages();
            const TModalResult result = ShowWith(*form, Point(420, 340), [&](TLevelResultForm& fm) {
                fm.BringToFront(); // as the window system activates a window that appears
                // During the zoom a click where the button will be does nothing.
                for (int k = 0; k < 5; ++k)
                    fm.MMTimer1Timer(fm.MMTimer1, 5);
                fm.SetBounds(fm.TargetLeft, fm.TargetTop, fm.TargetWidth, fm.TargetHeight);
                TestHooks::MouseDown(&fm, mbLeft, at);
                TestHooks::MouseUp(&fm, mbLeft, at);
                EXPECT_EQ(fm.ModalResult(), mrNone);
                fm.MMTimer1Timer(fm.MMTimer1, 5);
                Application->ProcessMessages(); // the window system hands the focus over
                EXPECT_TRUE(fm.Buttons().front()->Focused()) << typeid(fm).name();
                TestHooks::MouseMove(&fm, at);
                TestHooks::MouseDown(&fm, mbLeft, at);
                TestHooks::MouseUp(&fm, mbLeft, at);
            });
            EXPECT_EQ(result, button->ModalResult()) << typeid(*form).name() << " " << button->Name();
        }
    }
}
