// The main form played through its controls: clicks injected at the controls' places,
// message boxes answered by the test hooks, the one-second pause on a simulated clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "CardsTestSupport.h"
#include "pelvo/Unit1.h"
#include "platform/Application.h"
#include "platform/TestHooks.h"
#include "tests/support/FormPictures.h"

using namespace cardtest;

namespace {

// The cards a row of slots shows, by comparing each slot's picture with the faces.
std::string SlotCards(TForm1& form, TSlotRow row)
{
    std::string shown;
    for (int n = 1; n <= 4; ++n) {
        const TChannel& glyph = form.Slot(row, n)->Glyph();
        if (!glyph.Active())
            continue;
        std::string name = "??";
        for (int suit = 1; suit <= 4; ++suit)
            for (int rank = 1; rank <= 9; ++rank) {
                const TChannel& face = form.Images.CardGlyphs[size_t(FacePicture(suit, rank))];
                if (face.Width() == glyph.Width() && face.Height() == glyph.Height() &&
                    std::equal(face.PixelAddress(0, 0), face.PixelAddress(0, 0) + face.Width(), glyph.PixelAddress(0, 0)) &&
                    std::equal(face.PixelAddress(0, face.Height() / 2),
                               face.PixelAddress(0, face.Height() / 2) + face.Width(),
                               glyph.PixelAddress(0, glyph.Height() / 2))) {
                    TCard c;
                    c.Suit = uint8_t(suit);
                    c.Rank = uint8_t(rank);
                    name = Name(c);
                }
            }
        shown += (shown.empty() ? "" : " ") + name;
    }
    return shown;
}

std::string HandRow(const THand& hand) { return Names(hand); }

class PelvoForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHooks::SetMessageBoxAnswer([this](const TMessageBoxRequest& box) {
            Boxes.push_back(box.Text);
            ScoresAtBoxes.push_back(Form.GlCount->Caption());
            if (box.Buttons.Contains(mbYes))
                return AnswerYes ? mrYes : mrNo;
            return mrOk;
        });
        Form.Show();
        TestHooks::SetActiveForm(&Form);
        TestHooks::RunPostedMessages();
        Game().SetRandom(&Random);
        Game().SetClock(&Clock);
    }

    void TearDown() override
    {
        TestHooks::SetActiveForm(nullptr);
        Form.Hide();
    }

    TGame& Game() { return Form.GameState; }

    void ClickAt(TControl* control, TPoint at)
    {
        const TPoint p = TestHooks::ControlToForm(control, at);
        TestHooks::MouseMove(&Form, p);
        TestHooks::MouseDown(&Form, mbLeft, p);
        TestHooks::MouseUp(&Form, mbLeft, p);
    }
    void Click(TControl* control) { ClickAt(control, TPoint{control->Width() / 2, control->Height() / 2}); }
    void ClickSlot(TSlotRow row, int n) { Click(Form.Slot(row, n)); }

    // What the slots show against what the game holds.
    void ExpectSlotsShowTheGame()
    {
        EXPECT_EQ(SlotCards(Form, TSlotRow::ComputerTable), Names(Game().ComputerTable));
        EXPECT_EQ(SlotCards(Form, TSlotRow::UserTable), Names(Game().UserTable));
        EXPECT_EQ(SlotCards(Form, TSlotRow::UserHand), HandRow(Game().UserHand));
    }

    // The hand position (1..4) of the card the simple player puts next, or 0.
    int ChooseCard()
    {
        std::vector<TCard> hand;
        for (int s = 1; s <= 4; ++s)
            for (int i = 1; i <= Game().UserHand[s].Count; ++i)
                hand.push_back(Game().UserHand[s].Card(i));
        const TGame& g = Game();
        if (g.ComputerTable.Count == 0) {
            // Attack: the whole of the first card's suit.
            for (size_t i = 0; i < hand.size(); ++i)
                if (UserMayPut(g, hand[i]))
                    return int(i) + 1;
            return 0;
        }
        // Defence: the cheapest card that beats, else the cheapest allowed.
        const TCard& a = g.ComputerTable.Card(g.UserTable.Count + 1);
        int best = 0, bestWeight = 100, any = 0, anyWeight = 100;
        for (size_t i = 0; i < hand.size(); ++i) {
            if (!UserMayPut(g, hand[i]))
                continue;
            const int w = Weight(hand[i], g.Trump);
            if ((hand[i].Suit == a.Suit || hand[i].Suit == g.Trump) && w > Weight(a, g.Trump) && w < bestWeight)
                best = int(i) + 1, bestWeight = w;
            if (w < anyWeight)
                any = int(i) + 1, anyWeight = w;
        }
        return best ? best : any;
    }

    // Puts cards by clicking the hand until the move is complete, then presses
    // "Ход сделан". False when nothing could be put.
    bool PlayTurn()
    {
        for (int guard = 0; guard < 8; ++guard) {
            const TGame& g = Game();
            const bool defending = g.ComputerTable.Count > 0;
            if (defending && g.UserTable.Count == g.ComputerTable.Count)
                break;
            const int n = ChooseCard();
            if (n == 0 || (!defending && g.UserTable.Count == 4))
                break;
            const int before = g.UserTable.Count;
            ClickSlot(TSlotRow::UserHand, n);
            if (g.UserTable.Count != before + 1)
                return false;
        }
        if (!Form.BRUN->Enabled())
            return false;
        Click(Form.BRUN);
        return true;
    }

    TForm1 Form;
    TScriptedRandom Random{{}, 7};
    TFakeClock Clock;
    std::vector<std::string> Boxes;
    // The score board's caption as each box opened.
    std::vector<std::string> ScoresAtBoxes;
    bool AnswerYes = true;
};

} // namespace

TEST_F(PelvoForm, StartsWithTheLayoutAndNoGameDealt)
{
    EXPECT_EQ(Form.Caption(), "Pelvo");
    EXPECT_EQ(Form.ClientWidth(), 604);
    EXPECT_EQ(Form.ClientHeight(), 419);
    EXPECT_TRUE(Form.Started);
    EXPECT_EQ(Form.Page(), TPage::Game);
    EXPECT_TRUE(Form.Flags[0]->Checked());
    EXPECT_FALSE(Form.Game->Enabled());
    EXPECT_FALSE(Form.BRUN->Enabled());
    EXPECT_FALSE(Form.INV->Enabled());
    EXPECT_TRUE(Form.NewGame->Enabled());
    EXPECT_FALSE(Form.Button1->Visible());
    EXPECT_FALSE(Form.Layer1->Enabled());
    EXPECT_EQ(Form.Memo1->Caption(), Form.Images.Chaynik);
    EXPECT_EQ(Form.KolKrt->Caption(), "28");
    EXPECT_EQ(Form.GlCount->Caption(), "0:0");
    EXPECT_EQ(SlotCards(Form, TSlotRow::UserHand), "");

    struct Place {
        TControl* control;
        int left, top, width, height;
        const char* caption;
    };
    const Place places[] = {
        {Form.GamePanel, 24, 8, 345, 249, ""},      {Form.Panel1, 24, 288, 345, 113, ""},
        {Form.Panel3, 392, 296, 201, 105, ""},      {Form.NewGame, 408, 24, 161, 25, "Новая игра"},
        {Form.Game, 408, 56, 161, 25, "Игра"},      {Form.Options, 408, 88, 161, 25, "Настройки"},
        {Form.Help, 408, 120, 161, 25, "Помощь"},   {Form.About, 408, 152, 161, 25, "О программе"},
        {Form.Exit, 408, 184, 161, 25, "Выход"},    {Form.BRUN, 408, 264, 89, 25, "Ход сделан"},
        {Form.INV, 504, 264, 65, 25, "Мухлевать"},  {Form.Flags[3], 576, 156, 17, 17, ""},
        {Form.StolPC[0], 16, 14, 73, 99, ""},       {Form.StolUS[3], 256, 126, 73, 99, ""},
        {Form.US[1], 96, 6, 73, 99, ""},            {Form.Memo1, 24, 144, 297, 81, nullptr},
        {Form.SkillButtons[3], 16, 72, 97, 17, "Студент"},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.caption ? p.caption : "memo");
        EXPECT_EQ(p.control->Left(), p.left);
        EXPECT_EQ(p.control->Top(), p.top);
        EXPECT_EQ(p.control->Width(), p.width);
        EXPECT_EQ(p.control->Height(), p.height);
        if (p.caption) {
            EXPECT_EQ(p.control->Caption(), p.caption);
        }
    }
}

TEST_F(PelvoForm, PageButtonsShowOnePageWithItsMarker)
{
    struct Case {
        TButton* button;
        TPage page;
    };
    const Case cases[] = {{Form.Options, TPage::Options}, {Form.Help, TPage::Help},
                          {Form.About, TPage::About},     {Form.Game, TPage::Game},
                          {Form.About, TPage::About},     {Form.Options, TPage::Options}};
    TControl* pages[4] = {Form.GamePanel, Form.OptionsPanel, Form.HelpTxt, Form.AboutPanel};
    TButton* buttons[4] = {Form.Game, Form.Options, Form.Help, Form.About};
    for (const Case& c : cases) {
        Click(c.button);
        const int shown = int(c.page);
        SCOPED_TRACE(shown);
        EXPECT_EQ(Form.Page(), c.page);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(pages[k]->Visible(), k == shown);
            EXPECT_EQ(buttons[k]->Enabled(), k != shown);
            EXPECT_EQ(Form.Flags[size_t(k)]->Checked(), k == shown);
        }
    }
    Click(Form.Help);
    EXPECT_EQ(Form.HelpTxt->Caption(), Form.Images.Help);
    EXPECT_NE(Form.HelpTxt->Caption().find("козыр"), std::string::npos);
}

TEST_F(PelvoForm, OptionsSetTheLevelOnFocusAndTheOutOfTurnRule)
{
    Click(Form.Options);
    // By the mouse: the strongest opponent.
    Click(Form.SkillButtons[3]);
    EXPECT_EQ(Game().SkillLevel, 4);
    EXPECT_EQ(Form.Memo1->Caption(), Form.Images.Student);
    EXPECT_TRUE(Form.SkillButtons[3]->Checked());
    // By the keyboard: up from "Студент" to "Профессионал", then round to "Чайник".
    TestHooks::KeyStroke(&Form, VK_UP);
    EXPECT_EQ(Game().SkillLevel, 3);
    EXPECT_EQ(Form.Memo1->Caption(), Form.Images.Professional);
    TestHooks::KeyStroke(&Form, VK_DOWN);
    TestHooks::KeyStroke(&Form, VK_DOWN);
    EXPECT_EQ(Game().SkillLevel, 1);
    EXPECT_TRUE(Form.SkillButtons[0]->Checked());
    EXPECT_EQ(Form.Memo1->Caption(), Form.Images.Chaynik);
    Click(Form.SkillButtons[1]);
    EXPECT_EQ(Game().SkillLevel, 2);
    EXPECT_EQ(Form.Memo1->Caption(), Form.Images.Prodvin);

    Click(Form.CheckBox1);
    EXPECT_TRUE(Game().OutOfTurnAllowed);
    // The automatic scoring box shows its state and changes nothing in play.
    Click(Form.CheckBox2);
    EXPECT_TRUE(Form.CheckBox2->Checked());

    // A dialog closing reactivates the form: nothing is reset.
    TestHooks::SetActiveForm(nullptr);
    TestHooks::SetActiveForm(&Form);
    EXPECT_EQ(Game().SkillLevel, 2);
    EXPECT_TRUE(Game().OutOfTurnAllowed);
    Click(Form.CheckBox1);
    EXPECT_FALSE(Game().OutOfTurnAllowed);
}

TEST_F(PelvoForm, AWholeGameIsPlayedWithTheMouse)
{
    Click(Form.Options);
    Click(Form.SkillButtons[1]);
    Click(Form.CheckBox1);  // four-card suits may be played out of turn
    Click(Form.NewGame);
    EXPECT_EQ(Form.Page(), TPage::Game) << "a new game shows the Game page";
    EXPECT_TRUE(Form.INV->Enabled());
    ASSERT_EQ(Game().UserCardCount(), 4);
    ExpectSlotsShowTheGame();

    const int readingsBefore = Clock.Readings;
    int turns = 0;
    bool ended = false;
    while (!ended && turns < 2000) {
        ++turns;
        ASSERT_TRUE(PlayTurn()) << "turn " << turns << ": the hand " << Names(Game().UserHand)
                                << " could not answer " << Names(Game().ComputerTable);
        ended = std::find(Boxes.begin(), Boxes.end(), TextYouWon) != Boxes.end() ||
                std::find(Boxes.begin(), Boxes.end(), TextYouLost) != Boxes.end();
        if (ended)
            break;
        SCOPED_TRACE(turns);
        ExpectSlotsShowTheGame();
        EXPECT_EQ(Form.CountPC->Caption(), std::to_string(Game().ComputerRoundPoints));
        EXPECT_EQ(Form.CountUS->Caption(), std::to_string(Game().UserRoundPoints));
        EXPECT_EQ(Form.KolKrt->Caption(), std::to_string(Game().Deck.Count));
        EXPECT_EQ(Form.GlCount->Caption(),
                  std::to_string(Game().ComputerScore) + ":" + std::to_string(Game().UserScore));
        EXPECT_NE(Form.KozImg->Picture().Graphic(), nullptr);
    }
    ASSERT_TRUE(ended) << "the game did not end in " << turns << " turns";
    EXPECT_TRUE(Game().ComputerScore >= 12 || Game().UserScore >= 12);
    EXPECT_GT(Clock.Readings, readingsBefore) << "the user saw the computer's defences for a second";
    // Game over: the slots are blank, the buttons off, the trump gone.
    EXPECT_EQ(SlotCards(Form, TSlotRow::UserHand), "");
    EXPECT_EQ(SlotCards(Form, TSlotRow::ComputerTable), "");
    EXPECT_FALSE(Form.BRUN->Enabled());
    EXPECT_FALSE(Form.INV->Enabled());
    EXPECT_EQ(Form.KozImg->Picture().Graphic(), nullptr);
    // The score board shows the final score, and the end message stays as it was.
    EXPECT_EQ(Form.GlCount->Caption(),
              std::to_string(Game().ComputerScore) + ":" + std::to_string(Game().UserScore));
    EXPECT_EQ(std::count_if(Boxes.begin(), Boxes.end(),
                            [](const std::string& b) { return b == TextYouWon || b == TextYouLost; }),
              1);
    // The board showed that final score as the end box opened.
    const auto endBox = std::find_if(Boxes.begin(), Boxes.end(),
                                     [](const std::string& b) { return b == TextYouWon || b == TextYouLost; });
    EXPECT_EQ(ScoresAtBoxes[static_cast<size_t>(endBox - Boxes.begin())], Form.GlCount->Caption());
}

TEST_F(PelvoForm, ViewingTheOpponentsCardsSwapsTheHandsAndBlocksPlay)
{
    Click(Form.NewGame);
    // Make it the user's move with cards on the table, so that the move-done button is on.
    while (Game().ComputerTable.Count == 0 || Game().UserTable.Count < Game().ComputerTable.Count) {
        if (Game().ComputerTable.Count == 0 && Game().UserTable.Count > 0)
            break;
        const int n = ChooseCard();
        ASSERT_NE(n, 0);
        ClickSlot(TSlotRow::UserHand, n);
    }
    ASSERT_TRUE(Form.BRUN->Enabled());
    const std::string mine = HandRow(Game().UserHand);
    const std::string theirs = HandRow(Game().ComputerHand);
    const std::string onTable = Names(Game().UserTable);

    Click(Form.INV);
    EXPECT_EQ(Form.Label1->Caption(), TextOpponentCards);
    EXPECT_EQ(SlotCards(Form, TSlotRow::UserHand), theirs);
    // Nothing can be played, taken back or finished while the other hand is shown.
    ClickSlot(TSlotRow::UserHand, 1);
    ClickSlot(TSlotRow::UserTable, 1);
    Click(Form.BRUN);
    EXPECT_EQ(Names(Game().UserTable), onTable);
    EXPECT_EQ(HandRow(Game().ComputerHand), mine);

    Click(Form.INV);
    EXPECT_EQ(Form.Label1->Caption(), "");
    EXPECT_EQ(SlotCards(Form, TSlotRow::UserHand), mine);
    EXPECT_EQ(HandRow(Game().ComputerHand), theirs);

    // A page visit in the middle of the trick shows the cards as they were.
    Click(Form.Help);
    Click(Form.Game);
    ExpectSlotsShowTheGame();

    // Taking a card back from the table returns it to the hand.
    ClickSlot(TSlotRow::UserTable, 1);
    EXPECT_EQ(Game().UserTable.Count, int(std::count(onTable.begin(), onTable.end(), ' ')));
    ExpectSlotsShowTheGame();
}

TEST_F(PelvoForm, NewGameAsksWhileCardsAreInPlay)
{
    Click(Form.NewGame);
    ASSERT_TRUE(Game().GameUnderWay());
    EXPECT_TRUE(Boxes.empty()) << "no question before the first game";
    Click(Form.INV);
    Click(Form.Help);
    const std::string hand = HandRow(Game().UserHand);

    AnswerYes = false;
    Click(Form.NewGame);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], TextConfirmNewGame);
    EXPECT_EQ(Form.Page(), TPage::Help) << "a declined new game changes nothing";
    EXPECT_EQ(HandRow(Game().UserHand), hand);

    AnswerYes = true;
    Click(Form.NewGame);
    EXPECT_EQ(Form.Page(), TPage::Game);
    EXPECT_FALSE(Game().ShowOpponentCards);
    EXPECT_EQ(Form.Label1->Caption(), "");
    ExpectSlotsShowTheGame();
}

// The page buttons and the move-done button are disabled while they have the focus;
// the keyboard must not land on the next button in the row ("Выход" after "О программе",
// "Мухлевать" after "Ход сделан").
TEST_F(PelvoForm, TheKeyboardNeverLandsOnAButtonThePlayerDidNotChoose)
{
    Click(Form.NewGame);
    const std::string hand = HandRow(Game().UserHand);
    Click(Form.About);
    ASSERT_EQ(Form.Page(), TPage::About);
    EXPECT_EQ(Form.ActiveControl(), nullptr);
    TestHooks::KeyStroke(&Form, VK_RETURN);
    TestHooks::KeyStroke(&Form, VK_SPACE);
    EXPECT_TRUE(Form.Visible()) << "Enter did not quit";
    EXPECT_EQ(Form.Page(), TPage::About);
    EXPECT_TRUE(Game().GameUnderWay());
    EXPECT_EQ(HandRow(Game().UserHand), hand);

    Click(Form.Game);
    EXPECT_EQ(Form.ActiveControl(), nullptr);
    ASSERT_TRUE(PlayTurn());
    EXPECT_NE(Form.ActiveControl(), Form.INV);
    TestHooks::KeyStroke(&Form, VK_SPACE);
    EXPECT_FALSE(Game().ShowOpponentCards) << "Space did not turn the opponent's cards up";
    EXPECT_EQ(Form.Label1->Caption(), "");
    EXPECT_TRUE(Form.Visible());
}

namespace {

// A clock that runs a step once, at the first wait of a pause.
class TActingClock : public TFakeClock {
public:
    std::function<void()> AtFirstWait;
    void Idle() override
    {
        if (auto act = std::move(AtFirstWait)) {
            AtFirstWait = nullptr;
            act();
        }
    }
};

} // namespace

// The pause after the computer's defence handles no input; a click made during it must
// not be replayed afterwards against the table as it has become.
TEST_F(PelvoForm, AClickDuringThePauseIsThrownAway)
{
    Click(Form.NewGame);
    for (int turn = 0; turn < 40 && (Game().ComputerLeads || Game().ComputerTable.Count > 0); ++turn)
        ASSERT_TRUE(PlayTurn());
    ASSERT_FALSE(Game().ComputerLeads) << "the user attacks";
    ClickSlot(TSlotRow::UserHand, ChooseCard());
    ASSERT_TRUE(Form.BRUN->Enabled());

    TActingClock clock;
    bool clicked = false;
    clock.AtFirstWait = [&] {
        TestHooks::QueueInput([&] {
            clicked = true;
            ClickSlot(TSlotRow::UserHand, 1);
        });
    };
    Game().SetClock(&clock);
    Click(Form.BRUN);
    // What the program's loop would do next: anything still queued is handled.
    Application->ProcessMessages();
    Game().SetClock(&Clock);
    EXPECT_TRUE(clicked) << "the click was made during the pause";
    EXPECT_GT(clock.Readings, 1);
    EXPECT_EQ(Game().UserTable.Count, 0) << "the click put no card on the new table";
    EXPECT_EQ(Game().UserCardCount(), Game().ComputerCardCount() + Game().ComputerTable.Count);
    ExpectSlotsShowTheGame();

    // The same click made after the pause plays as usual.
    TestHooks::QueueInput([&] { ClickSlot(TSlotRow::UserHand, ChooseCard()); });
    Application->ProcessMessages();
    EXPECT_EQ(Game().UserTable.Count, 1);
}

// The game's dialogs speak Russian whatever the desktop's language (the tests run with
// LANG=C or C.UTF-8).
TEST_F(PelvoForm, DialogsHaveRussianTitlesAndButtons)
{
    std::vector<TMessageBoxRequest> shown;
    TestHooks::SetMessageBoxAnswer([&](const TMessageBoxRequest& box) {
        shown.push_back(box);
        return box.Buttons.Contains(mbNo) ? mrNo : mrOk;
    });
    EXPECT_FALSE(Form.AskYesNo(TextUserOutOfTurn));
    Form.ShowMessage(TextComputerOutOfTurn);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Text, TextUserOutOfTurn);
    EXPECT_EQ(shown[0].Caption, "Информация");
    EXPECT_EQ(shown[0].ButtonCaptions, (std::vector<std::string>{"Да", "Нет"}));
    EXPECT_EQ(shown[1].Caption, "Информация");
    // "ОК" in Cyrillic letters (U+041E, U+041A), not the Latin "OK".
    EXPECT_EQ(shown[1].ButtonCaptions, std::vector<std::string>{"\xD0\x9E\xD0\x9A"});
}

TEST_F(PelvoForm, TheHiddenTestButtonSetsItsPosition)
{
    Form.Button1Click(Form.Button1);
    EXPECT_TRUE(Form.INV->Enabled());
    EXPECT_EQ(Game().Trump, 3);
    ExpectSlotsShowTheGame();
}

TEST_F(PelvoForm, LooksAsRecordedInPlay)
{
    // A fixed deal: the computer leads into the user's hand; the mouse rests away from
    // the slots so every card shows at its resting level.
    Click(Form.NewGame);
    TestHooks::MouseMove(&Form, TPoint{600, 2});
    TestHooks::RunPostedMessages();
    const TBitmap picture = DrawControlPicture(Form);
    // Text may render a little differently on another machine; the cards, panels and
    // textures may not.
    ExpectLikeReference(picture, "tests/pelvo/files", "mainform_in_play");
}
