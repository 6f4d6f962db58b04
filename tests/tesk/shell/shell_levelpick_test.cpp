#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/TestHooks.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "platform/Files.h"
#include "tesk/shell/ClearProgressDialogs.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/ImgBtn.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/QuibComponents.h"
#include "tesk/toolkit/Random.h"
#include "tests/tesk/shell/ShellHarness.h"
#include "tests/tesk/shell/ShellTestSupport.h"

namespace {

// The program started over a scratch program folder; the engine's level set is then
// replaced by `entries` entries of the placeholder levels, titled "Level <n>".
struct LevelPick : ShellTest {
    tDib16* Frame = nullptr;

    void SetUp() override
    {
        ShellTest::SetUp();
        StartGame();
    }
    void StartGame()
    {
        WriteFirstSteps();
        Start();
        ASSERT_NE(Engine, nullptr);
        Frame = CurrentDib;
        SetEntries(63);
    }
    static void SetEntries(int count, int titles = -1)
    {
        Engine->LevelSet.Clear();
        Engine->LevelTitles.Clear();
        for (int i = 0; i < count; ++i)
            Engine->LevelSet.Add("Level Levels\\First.map");
        for (int i = 0; i < (titles < 0 ? count : titles); ++i)
            Engine->LevelTitles.Add("Level " + std::to_string(i + 1));
    }
    static TColorButton* Button(int entry)
    {
        return entry < 54 ? Form1->LevelPickButtons[entry] : Form1->BonusLevelPickButtons[entry - 54];
    }
    static void Resize(int w, int h)
    {
        Form1->SetClientWidth(w);
        Form1->SetClientHeight(h);
        Form1->LayoutLevelPickButtons();
    }
};

} // namespace

TEST_F(LevelPick, SixtyThreeButtonsOnAHiddenPanel)
{
    ASSERT_NE(Form1->LevelPickScreen, nullptr);
    EXPECT_FALSE(Form1->LevelPickScreen->Visible());
    EXPECT_EQ(Form1->LevelPickScreen->Align(), alClient);
    EXPECT_EQ(Form1->LevelPickScreen->Color(), clMaroon);
    EXPECT_EQ(Form1->PickLevelCaptionImage->Align(), alTop);
    EXPECT_EQ(Form1->PickLevelCaptionImage->Height(), 40);
    EXPECT_TRUE(Form1->PickLevelCaptionImage->Stretch());
    EXPECT_EQ(Form1->BackToMenuButton->BoundsRect(), Bounds(8, 8, 140, 24));
    EXPECT_EQ(Form1->ClearProgressButton->BoundsRect(), Bounds(492, 8, 140, 24));
    for (TImgBtn* b : {Form1->BackToMenuButton, Form1->ClearProgressButton}) {
        EXPECT_NE(b->Pic().Graphic(), nullptr);
        EXPECT_NE(b->PicUp().Graphic(), nullptr);
        EXPECT_NE(b->PicDown().Graphic(), nullptr);
    }
    for (int i = 0; i < 63; ++i) {
        TColorButton* b = Button(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Tag(), i + 1);
        EXPECT_EQ(b->Parent(), Form1->LevelPickScreen);
        EXPECT_EQ(b->Owner(), Form1);
        EXPECT_EQ(b->BorderSize(), 0);
        EXPECT_FALSE(b->DrawFace);
    }
}

TEST_F(LevelPick, NineEqualColumnsOverlappingByAPixelAndABonusRowAtTheBottom)
{
    struct Case {
        int W, H, Column, Row;
    };
    for (const Case& c : std::vector<Case>{{640, 480, 71, 70}, {1000, 700, 111, 106}, {641, 481, 71, 70}, {300, 100, 33, 6}}) {
        Resize(c.W, c.H);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(Button(y * 9 + x)->BoundsRect(), Bounds(x * c.Column, 40 + y * c.Row, c.Column + 1, c.Row))
                    << c.W << " x " << c.H << " button " << y * 9 + x;
        for (int x = 0; x < 9; ++x) {
            EXPECT_TRUE(Button(54 + x)->Visible());
            EXPECT_EQ(Button(54 + x)->BoundsRect(), Bounds(x * c.Column, c.H - 20, c.Column + 1, 20));
        }
    }
}

TEST_F(LevelPick, HintsAreTheTitlesOfTheEntriesThereAre)
{
    struct Case {
        int Entries, Titles;
    };
    for (const Case& c : std::vector<Case>{{63, 63}, {10, 10}, {100, 100}, {20, 5}, {0, 0}}) {
        SetEntries(c.Entries, c.Titles);
        Form1->LayoutLevelPickButtons();
        for (int i = 0; i < 63; ++i) {
            const std::string expected = i < c.Entries && i < c.Titles ? "Level " + std::to_string(i + 1) : "";
            EXPECT_EQ(Button(i)->Hint(), expected) << c.Entries << " entries, button " << i + 1;
            EXPECT_TRUE(Button(i)->ShowHint());
        }
    }
    // A long title and one in the single-byte code page pass through as they are.
    SetEntries(2);
    Engine->LevelTitles.SetStrings(0, std::string(1024, 'x'));
    Engine->LevelTitles.SetStrings(1, "Caf\xE9 Gr\xF6mble");
    Form1->LayoutLevelPickButtons();
    EXPECT_EQ(Button(0)->Hint(), std::string(1024, 'x'));
    EXPECT_EQ(Button(1)->Hint(), "Caf\xE9 Gr\xF6mble");
}

TEST_F(LevelPick, ArrowsMoveTheSelectionAndStopAtTheEnds)
{
    Form1->ShowLevelPickScreen();
    struct Case {
        int From;
        WORD Key;
        int To;
    };
    const std::vector<Case> cases = {
        {0, VK_LEFT, 0},    {0, VK_UP, 0},      {4, VK_UP, 4},      {8, VK_UP, 8},     {8, VK_RIGHT, 9},
        {9, VK_LEFT, 8},    {17, VK_RIGHT, 18}, {10, VK_DOWN, 19},  {45, VK_DOWN, 54}, {53, VK_DOWN, 62},
        {54, VK_UP, 45},    {54, VK_DOWN, 54},  {62, VK_RIGHT, 62}, {53, VK_RIGHT, 54}, {30, 'A', 30},
    };
    for (const Case& c : cases) {
        Form1->SelectedLevel = c.From;
        WORD key = c.Key;
        Form1->LevelPickKeyDown(key, {});
        EXPECT_EQ(Form1->SelectedLevel, c.To) << c.From << " key " << c.Key;
    }
    // Showing selects the engine's entry.
    Form1->HideLevelPickScreen();
    Engine->EntryIndex = 40;
    Form1->ShowLevelPickScreen();
    EXPECT_EQ(Form1->SelectedLevel, 40);
    Form1->HideLevelPickScreen();
}

TEST_F(LevelPick, EscAndTheBackButtonReturnToTheMainMenu)
{
    for (bool byKey : {true, false}) {
        Engine->GameMode = gmLevelPick;
        Form1->ShowLevelPickScreen();
        ASSERT_TRUE(Form1->LevelPickScreen->Visible());
        if (byKey) {
            WORD key = VK_ESCAPE;
            Form1->LevelPickKeyDown(key, {});
        } else {
            Form1->BackToMenuButton->Click();
        }
        EXPECT_FALSE(Form1->LevelPickScreen->Visible());
        EXPECT_EQ(Engine->GameMode, gmMainMenu);
        EXPECT_EQ(Form1->LevelPickWorkDib, nullptr);
    }
}

TEST_F(LevelPick, EntriesBeyondTheSetStartNothing)
{
    SetEntries(10);
    Form1->ShowLevelPickScreen();
    for (int entry : {10, 30, 62}) {
        Button(entry)->Click();
        EXPECT_TRUE(Form1->LevelPickScreen->Visible()) << entry;
        Form1->SelectedLevel = entry;
        char enter = 13;
        Form1->LevelPickKeyPress(enter);
        EXPECT_TRUE(Form1->LevelPickScreen->Visible()) << entry;
    }
    Button(9)->Click();
    EXPECT_FALSE(Form1->LevelPickScreen->Visible()) << "the last entry starts";

    SetEntries(0);
    Form1->ShowLevelPickScreen();
    Button(0)->Click();
    char enter = 13;
    Form1->LevelPickKeyPress(enter);
    EXPECT_TRUE(Form1->LevelPickScreen->Visible()) << "an empty set starts nothing";
    Form1->HideLevelPickScreen();
}

TEST_F(LevelPick, ShowingAndHidingKeepsThePicturesOnlyWhileShown)
{
    Form1->ShowLevelPickScreen();
    Form1->HideLevelPickScreen();
    const size_t registered = DibRegistry().size();
    for (int i = 0; i < 50; ++i) {
        Form1->ShowLevelPickScreen();
        ASSERT_NE(Form1->LevelPickWorkDib, nullptr);
        EXPECT_EQ(Form1->LevelPickWorkDib->Width, Form1->LevelPickButtonDib->Width / 2);
        EXPECT_EQ(Form1->LevelPickWorkDib->Height, Form1->LevelPickButtonDib->Height);
        EXPECT_NE(Form1->PickLevelCaptionImage->Picture().Graphic(), nullptr);
        for (int n = 1; n <= 9; ++n)
            EXPECT_TRUE(FindDib("Bonus" + std::to_string(n) + "Button.jpg")->Loaded);
        for (int b = 0; b < 63; b += 7)
            Form1->RepaintLevelButton(b);
        Form1->HideLevelPickScreen();
        EXPECT_EQ(Form1->LevelPickWorkDib, nullptr);
        EXPECT_EQ(Form1->BonusWorkDib, nullptr);
        EXPECT_EQ(Form1->PickLevelCaptionImage->Picture().Graphic(), nullptr);
        for (int n = 1; n <= 9; ++n)
            EXPECT_FALSE(FindDib("Bonus" + std::to_string(n) + "Button.jpg")->Loaded);
    }
    EXPECT_EQ(DibRegistry().size(), registered);
    EXPECT_EQ(CurrentDib, Frame);
}

TEST_F(LevelPick, PicturesOfAnySizeOrNoneLeaveAWorkingScreen)
{
    struct Case {
        const char* What;
        std::string Face;   // "LevelPickButton.jpg"
        std::string Bonus;  // "Bonus1Button.jpg"
        std::string Caption; // "PickALevelCaption.jpg"
        int Problems;
        // A bonus face lies at rows 0..79 of its sheet: a 10 x 10 sheet leaves it black.
        TColor Bonus1;
    };
    const std::string missing = "";
    const std::vector<Case> cases = {
        {"10 x 10 faces", SolidJpeg(10, 10, clRed), SolidJpeg(10, 10, clLime), missing, 0, clBlack},
        {"1000 x 1000 faces", SolidJpeg(1000, 1000, clRed), SolidJpeg(1000, 1000, clLime), missing, 0, clLime},
        {"damaged pictures", "damaged", "damaged", "damaged", 1, clBlack},
    };
    for (const Case& c : cases) {
        FreeForms();
        ForgetReportedProblems();
        Dir.Write("LevelPickButton.jpg", c.Face);
        Dir.Write("Bonus1Button.jpg", c.Bonus);
        if (!c.Caption.empty())
            Dir.Write("PickALevelCaption.jpg", c.Caption);
        StartGame();
        // The numbers in the menu font would cover the whole of a tiny face: this test
        // looks at the faces alone.
        FreeFontGraphicsData();
        Form1->ShowLevelPickScreen();
        for (int i = 0; i < 63; ++i)
            Form1->RepaintLevelButton(i);
        Button(3)->SetDown(true);
        Button(3)->Repaint();
        EXPECT_EQ(CurrentDib, Frame) << c.What;
        if (c.Problems == 0) {
            EXPECT_TRUE(NearColour(TestHooks::ControlPixel(Button(5), 1, 1), clRed)) << c.What;
            EXPECT_TRUE(NearColour(TestHooks::ControlPixel(Button(54), 1, 1), c.Bonus1)) << c.What;
        } else {
            EXPECT_EQ(TestHooks::ControlPixel(Button(5), 1, 1), clBlack) << c.What;
            EXPECT_EQ(TestHooks::ControlPixel(Button(54), 1, 1), clBlack) << c.What;
        }
        const std::vector<std::string> problems = TakeReportedProblems();
        EXPECT_EQ(problems.size() > 0, c.Problems > 0) << c.What;
        WORD esc = VK_ESCAPE;
        Form1->LevelPickKeyDown(esc, {});
        EXPECT_FALSE(Form1->LevelPickScreen->Visible()) << c.What;
        Button(3)->SetDown(false);
        for (const char* name : {"LevelPickButton.jpg", "Bonus1Button.jpg", "PickALevelCaption.jpg"})
            std::remove((Dir / name).c_str());
    }
}

TEST_F(LevelPick, HintsTellTheProgressBelowTheTitle)
{
    SetEntries(6);
    Engine->LevelTitles.SetStrings(3, "");
    Engine->LevelTitles.SetStrings(4, "");
    Engine->LevelTitles.SetStrings(5, "");
    const int32_t statuses[6] = {0, 1, 2, 0, 1, 2};
    for (int i = 0; i < 6; ++i)
        Engine->SetLevelStatus(i, statuses[i]);
    Form1->LayoutLevelPickButtons();
    const std::vector<std::string> expected = {"Level 1", "Level 2\r\n(Partially Solved)", "Level 3\r\n(Solved)",
                                               "",        "(Partially Solved)",            "(Solved)"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Button(i)->Hint(), expected[i]) << i;
}

TEST_F(LevelPick, FacesTellTheProgressAndOtherStatusesPaintAsUnsolved)
{
    // Level faces: the normal half red, the pressed or solved half lime.
    Dir.Write("LevelPickButton.jpg", RegionsJpeg(144, 70, {{Rect(0, 0, 72, 70), clRed}, {Rect(72, 0, 144, 70), clLime}}));
    // Bonus faces: rows solved, partially solved, unsolved, alternate; the pressed column
    // darker.
    const TColor rows[4] = {clBlue, clYellow, clRed, clWhite};
    const TColor pressed[4] = {clNavy, clGreen, clMaroon, clGray};
    std::vector<TColouredRect> sheet;
    for (int r = 0; r < 4; ++r) {
        sheet.push_back({Rect(0, r * 20, 72, r * 20 + 20), rows[r]});
        sheet.push_back({Rect(72, r * 20, 144, r * 20 + 20), pressed[r]});
    }
    for (int n = 1; n <= 9; ++n)
        Dir.Write("Bonus" + std::to_string(n) + "Button.jpg", RegionsJpeg(144, 80, sheet));
    struct Case {
        int32_t Status;
        TColor Level, Bonus;
    };
    const std::vector<Case> cases = {
        {0, clRed, clRed}, {1, clRed, clYellow}, {2, clLime, clNavy},
        {3, clRed, clRed}, {-1, clRed, clRed},   {0x7FFFFFFF, clRed, clRed},
    };
    Form1->SelectedLevel = 62;
    Engine->EntryIndex = 62;
    Form1->ShowLevelPickScreen();
    for (const Case& c : cases) {
        for (int i = 0; i < 61; ++i)
            Engine->SetLevelStatus(i, c.Status);
        Form1->RepaintLevelButton(10);
        Form1->RepaintLevelButton(55);
        EXPECT_TRUE(NearColour(TestHooks::ControlPixel(Button(10), 2, 2), c.Level)) << c.Status;
        EXPECT_TRUE(NearColour(TestHooks::ControlPixel(Button(55), 2, 2), c.Bonus)) << c.Status;
    }
    // A pressed button shows the pressed face whatever its status.
    Engine->SetLevelStatus(10, 0);
    Engine->SetLevelStatus(55, 0);
    Button(10)->SetDown(true);
    Button(55)->SetDown(true);
    EXPECT_TRUE(NearColour(TestHooks::ControlPixel(Button(10), 2, 2), clLime));
    EXPECT_TRUE(NearColour(TestHooks::ControlPixel(Button(55), 2, 2), clMaroon));
    Button(10)->SetDown(false);
    Button(55)->SetDown(false);
    // The selected bonus button flickers between its unsolved and alternate faces.
    std::set<TColor> seen;
    for (int i = 0; i < 40; ++i) {
        Form1->RepaintLevelButton(62);
        const TColor shown = TestHooks::ControlPixel(Button(62), 2, 2);
        seen.insert(NearColour(shown, clRed) ? clRed : NearColour(shown, clWhite) ? clWhite : shown);
    }
    EXPECT_EQ(seen, (std::set<TColor>{clRed, clWhite}));
    Form1->HideLevelPickScreen();
}

TEST_F(LevelPick, ClearingProgressRemovesTheNotesAtOnceAndZeroesTheFile)
{
    Engine->LevelSetName = "Picked.set";
    for (int i = 0; i < 63; ++i)
        Engine->SetLevelStatus(i, i % 3);
    Engine->SaveProgress();
    const std::string progress = Dir / "Picked.Progress";
    ASSERT_EQ(FileSizeOf(progress), 4 * 63);
    Form1->ShowLevelPickScreen();
    EXPECT_NE(Button(2)->Hint().find("(Solved)"), std::string::npos);

    // "LEAVE IT ALONE!" changes nothing.
    TestHooks::SetModalStarted([](TForm* f) { TestHooks::KeyStroke(f, VK_ESCAPE); });
    Form1->ClearProgressButton->Click();
    EXPECT_EQ(Engine->GetLevelStatus(2), 2);
    EXPECT_NE(Button(2)->Hint().find("(Solved)"), std::string::npos);

    TForm* shown = nullptr;
    TestHooks::SetModalStarted([&](TForm* f) {
        shown = f;
        EXPECT_EQ(f->Left() + f->Width() / 2, Form1->Left() + Form1->Width() / 2) << "centred over the main window";
        TestHooks::KeyStroke(f, VK_RETURN);
    });
    Form1->ClearProgressButton->Click();
    EXPECT_EQ(shown, ClearProgressDialog);
    for (int i = 0; i < 63; ++i) {
        EXPECT_EQ(Button(i)->Hint(), "Level " + std::to_string(i + 1));
        EXPECT_EQ(Engine->GetLevelStatus(i), 0);
    }
    EXPECT_TRUE(Form1->LevelPickScreenVisible());
    EXPECT_EQ(ScratchDir::Read(progress), std::string(4 * 63, '\0'));

    // A progress file that cannot be written: reported once, the notes still go.
    std::filesystem::remove(progress);
    std::filesystem::create_directory(progress);
    for (int i = 0; i < 63; ++i)
        Engine->SetLevelStatus(i, 2);
    Form1->LayoutLevelPickButtons();
    ForgetReportedProblems();
    TestHooks::SetModalStarted([](TForm* f) { TestHooks::KeyStroke(f, VK_SPACE); });
    Form1->ClearProgressButton->Click();
    EXPECT_EQ(TakeReportedProblems().size(), 1u);
    EXPECT_EQ(Button(5)->Hint(), "Level 6");
    Form1->HideLevelPickScreen();
}

TEST_F(LevelPick, TheScreenGoesWhenTheGameLeavesItsModeAnotherWay)
{
    Engine->SetGameMode(gmLevelPick);
    Form1->ShowLevelPickScreen();
    // A rebuild while the screen shows opens the main menu.
    PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
    TestHooks::RunPostedMessages();
    ASSERT_NE(Engine->GameMode, gmLevelPick);
    Tick();
    EXPECT_FALSE(Form1->LevelPickScreenVisible());
    EXPECT_EQ(Form1->LevelPickWorkDib, nullptr);
}

namespace {

// The level-pick screen at 640 x 480 as it shows after showing it, entry `selected`
// selected, with the random generator's flicker from a fixed seed.
TBitmap LevelPickPicture(int selected)
{
    Form1->SetClientWidth(640);
    Form1->SetClientHeight(480);
    Engine->EntryIndex = selected;
    Form1->ShowLevelPickScreen();
    SetRandomSeed(5);
    TBitmap picture = DrawControlPicture(*Form1->LevelPickScreen);
    Form1->HideLevelPickScreen();
    return picture;
}

} // namespace

TEST_F(LevelPick, TheScreenAsRecordedAndStatusesOutsideTheRangeAsUnsolved)
{
    for (int i = 0; i < 63; ++i)
        Engine->SetLevelStatus(i, (i + i / 9) % 3);
    ExpectAsRecorded(LevelPickPicture(20), "level_pick");
    EXPECT_EQ(CurrentDib, Frame);

    for (int i = 0; i < 63; ++i)
        Engine->SetLevelStatus(i, 0);
    const TBitmap unsolved = LevelPickPicture(20);
    ExpectAsRecorded(unsolved, "level_pick_unsolved");
    // Statuses no entry can have paint as unsolved, set directly or read from a file.
    const int32_t odd[3] = {3, -1, 0x7FFFFFFF};
    for (int i = 0; i < 63; ++i)
        Engine->SetLevelStatus(i, odd[i % 3]);
    EXPECT_EQ(ComparePictures(LevelPickPicture(20), unsolved, 0).Differing, 0);
    Engine->LevelSetName = "Odd.set";
    std::string progress;
    for (int i = 0; i < 63; ++i) {
        const uint32_t v = static_cast<uint32_t>(odd[i % 3]);
        for (int b = 0; b < 4; ++b)
            progress += static_cast<char>((v >> (8 * b)) & 0xFF);
    }
    Dir.Write("Odd.Progress", progress);
    Engine->LoadProgress();
    EXPECT_EQ(ComparePictures(LevelPickPicture(20), unsolved, 0).Differing, 0);
}

TEST_F(LevelPick, AGlowSheetFailingInThePaintersLeavesTheFrameTheTarget)
{
    // The menu font's glow sheet released and made unreadable: its next use fails.
    tDib16* glow = FindDib("MenuFontGlow.Jpg");
    ASSERT_NE(glow, nullptr);
    glow->Unload();
    Dir.Write("MenuFontGlow.Jpg", "not a picture");
    const int depth = DibStackDepthUsed();
    Form1->ShowLevelPickScreen();
    for (int i = 0; i < 63; i += 5)
        Form1->RepaintLevelButton(i);
    EXPECT_FALSE(glow->Loaded);
    EXPECT_EQ(CurrentDib, Frame);
    EXPECT_EQ(DibStackDepthUsed(), depth);
    bool shown = false;
    TestHooks::SetModalStarted([&](TForm* form) {
        if (form != ClearProgressDialog)
            return;
        shown = true;
        ClearProgressDialog->MMTimer1Timer(ClearProgressDialog->MMTimer1, 3);
        ClearProgressDialog->PaintBox->Repaint();
        EXPECT_EQ(CurrentDib, Frame);
        TestHooks::KeyStroke(ClearProgressDialog, VK_ESCAPE);
    });
    Form1->ClearProgressButtonClick(Form1->ClearProgressButton);
    TestHooks::SetModalStarted(nullptr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(CurrentDib, Frame);
    EXPECT_EQ(DibStackDepthUsed(), depth);

    // Played on with the sheet readable again: the game draws into the frame.
    std::filesystem::remove(std::filesystem::path(Dir.Path()) / "MenuFontGlow.Jpg");
    Form1->StartPickedLevel(0);
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 400));
    Frame->Fill(0x1234);
    Tick();
    Tick();
    EXPECT_EQ(CurrentDib, Frame);
    EXPECT_NE(Frame->ScanLine(240)[320], 0x1234) << "the frame is drawn";
}
