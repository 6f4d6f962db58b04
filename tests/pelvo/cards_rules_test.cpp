// The rules of play: which cards may be put, how a trick is decided, who leads next,
// playing a four-card suit out of turn, round scoring and the end of the game.
#include <gtest/gtest.h>

#include "CardsTestSupport.h"

using namespace cardtest;

namespace {

class Rules : public ::testing::Test {
protected:
    Rules() : game(&view, &random, &clock) {}

    // A trick in progress: the deck, both hands, the attack on the table.
    void Position(int trump, const std::string& user, const std::string& computer, bool computerLeads,
                  const std::string& computerTable = "", const std::string& deck = "")
    {
        game.Trump = static_cast<std::uint8_t>(trump);
        game.UserHand = Hand(user);
        game.ComputerHand = Hand(computer);
        game.ComputerLeads = computerLeads;
        game.ComputerTable = Row(computerTable);
        game.UserTable = Row("");
        game.Deck = DeckDealing(deck);
        game.RedrawCards();
    }

    // Clicks the hand slot holding the named card.
    void Play(const std::string& card)
    {
        const TCard c = C(card);
        int n = 0;
        for (int s = 1; s <= 4 && n == 0; ++s)
            for (int i = 1; i <= game.UserHand[s].Count; ++i)
                if (SameCard(game.UserHand[s].Card(i), c))
                    n = LocatePosition(s, i);
        ASSERT_NE(n, 0) << card << " is not in the hand";
        game.PlayUserCard(n);
    }

    int LocatePosition(int suit, int index) const
    {
        int n = index;
        for (int s = 1; s < suit; ++s)
            n += game.UserHand[s].Count;
        return n;
    }

    TRecordingView view;
    TScriptedRandom random;
    TFakeClock clock;
    TGame game;
};

} // namespace

TEST_F(Rules, DefenceAgainstATrumpLeadNeedsTrumpsWhileTheUserHoldsAny)
{
    // Trump lead of two cards, the user holds exactly one trump.
    Position(2, "71 A1 Q2 93", "K4 A4", true, "62 72");
    Play("A1");
    EXPECT_EQ(game.UserTable.Count, 0) << "a non-trump may not go first";
    EXPECT_FALSE(game.MoveDoneEnabled());
    Play("Q2");
    EXPECT_EQ(Names(game.UserTable), "Q2");
    EXPECT_FALSE(game.MoveDoneEnabled()) << "one card against two";
    Play("A1"); // no trump left: any card may follow
    EXPECT_EQ(Names(game.UserTable), "Q2 A1");
    EXPECT_TRUE(game.MoveDoneEnabled());
    EXPECT_TRUE(view.Enabled(TGameButton::BRUN));
    Play("71");
    EXPECT_EQ(game.UserTable.Count, 2) << "no more cards than the attack";
    EXPECT_EQ(view.Shown(TSlotRow::UserTable), "Q2 A1");
    EXPECT_EQ(view.Shown(TSlotRow::UserHand), "71 93");

    // Q2 beats 62, but A1 is neither a trump nor of the attack's suit: the computer
    // takes the trick and leads again.
    game.MoveDone();
    EXPECT_EQ(game.ComputerRoundPoints, 3 + 11);
    EXPECT_EQ(view.Label(TGameLabel::CountPC), "14");
    EXPECT_TRUE(game.ComputerLeads);
}

TEST_F(Rules, AgainstAPlainLeadAnyCardMayBePut)
{
    Position(3, "61 A2 74 84", "K4 T4 A4", true, "91");
    Play("A2");
    EXPECT_EQ(Names(game.UserTable), "A2");
    game.MoveDone();
    // An off-suit card loses: the computer takes the 9 and the ace.
    EXPECT_EQ(game.ComputerRoundPoints, 11);
    EXPECT_EQ(game.UserRoundPoints, 0);
    EXPECT_TRUE(game.ComputerLeads);
}

TEST_F(Rules, AttackIsOneToFourCardsOfOneSuit)
{
    Position(1, "62 82 T2 93", "61 71 64 74", false);
    Play("T2");
    EXPECT_TRUE(game.MoveDoneEnabled());
    Play("93");
    EXPECT_EQ(Names(game.UserTable), "T2") << "a second suit may not join the attack";
    Play("62");
    Play("82");
    EXPECT_EQ(Names(game.UserTable), "T2 62 82");
    EXPECT_EQ(Names(game.UserHand), "93");
    game.PlayUserCard(2); // a slot beyond the hand: ignored
    EXPECT_EQ(game.UserTable.Count, 3);
}

TEST_F(Rules, DefenceIsMatchedByPosition)
{
    struct Case {
        const char* defence; // in the order the user puts the cards
        bool userWins;
    };
    const Case cases[] = {
        {"81 A1", true},  // the 8 against the 7, the ace against the king
        {"A1 81", false}, // the 8 stands against the king
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defence);
        Position(2, "81 A1 63 64", "93 94", true, "71 K1", "J3 J4");
        for (const TCard& card : Cards(c.defence))
            Play(Name(card));
        ASSERT_TRUE(game.MoveDoneEnabled());
        game.MoveDone();
        const int points = 4 + 11; // king and ace
        EXPECT_EQ(game.UserRoundPoints, c.userWins ? points : 0);
        EXPECT_EQ(game.ComputerRoundPoints, c.userWins ? 0 : points);
        // The winner of the trick attacks next.
        EXPECT_EQ(game.ComputerLeads, !c.userWins);
        game.UserRoundPoints = game.ComputerRoundPoints = 0;
    }
}

TEST_F(Rules, WhoTakesTheTrickAndLeadsNext)
{
    // Each trick is played on a fresh position with cards left in the deck.
    struct Case {
        const char* name;
        bool computerLeads;
        const char* user;
        const char* computer;
        const char* computerTable; // the computer's attack when it leads
        const char* play;          // the user's cards
        bool userTakes;
        int points;
    };
    const Case cases[] = {
        {"user beats the attack", true, "T1 A2 63 64", "71 K3 94", "Q2", "A2", true, 14},
        {"user cannot beat it", true, "T1 62 63 64", "71 K3 94", "Q2", "T1", false, 13},
        {"trump beats a plain card", true, "T1 62 63 64", "71 K3 94", "Q2", "63", true, 3},
        {"computer beats the user", false, "T1 62 63 64", "Q1 A1 K3 94", "", "T1", false, 21},
        {"computer cannot beat it", false, "A1 62 63 64", "Q1 T1 92 94", "", "A1", true, 11}, // it gives up the 9
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        random.Push({1}); // without foresight, should the computer attack next
        Position(3, c.user, c.computer, c.computerLeads, c.computerTable, "J2 J4 72 74");
        Play(c.play);
        game.MoveDone();
        EXPECT_EQ(game.UserRoundPoints, c.userTakes ? c.points : 0);
        EXPECT_EQ(game.ComputerRoundPoints, c.userTakes ? 0 : c.points);
        EXPECT_EQ(game.ComputerLeads, !c.userTakes);
        EXPECT_EQ(game.UserTable.Count, 0);
        // Both hands are refilled; the computer's next attack, if any, is on the table.
        EXPECT_EQ(game.UserCardCount(), 4);
        EXPECT_EQ(game.ComputerCardCount() + game.ComputerTable.Count, 4);
        EXPECT_EQ(game.ComputerTable.Count > 0, !c.userTakes);
        EXPECT_EQ(game.Deck.Count, 2);
        EXPECT_FALSE(game.MoveDoneEnabled());
        game.UserRoundPoints = game.ComputerRoundPoints = 0;
    }
    // The user's attack was shown for a second before it was decided.
    EXPECT_GT(clock.Readings, 0);
}

TEST_F(Rules, PauseAfterTheComputerDefendsLastsOneSecondAcrossMidnight)
{
    struct Case {
        std::uint32_t start, step;
        int readings; // clock readings until the pause ends
    };
    const Case cases[] = {
        {12 * 3600 * 1000, 250, 5},   // 0, 250, 500, 750, 1000
        {MillisecondsPerDay - 300, 100, 11}, // the day changes after three readings
        {MillisecondsPerDay - 1, 999, 3},
        {0, 1000, 2},
    };
    for (const Case& c : cases) {
        TFakeClock fake(c.start, c.step);
        PauseOneSecond(fake);
        EXPECT_EQ(fake.Readings, c.readings) << c.start;
    }
}

TEST_F(Rules, MoveDoneButtonFollowsTheTableCounts)
{
    // Defending: taking a card back disables the button even when counts were equal.
    Position(4, "81 A1 63 64", "93 94", true, "71 K1");
    Play("81");
    Play("A1");
    EXPECT_TRUE(game.MoveDoneEnabled());
    game.TakeBackTableCard(1);
    EXPECT_FALSE(game.MoveDoneEnabled());
    EXPECT_FALSE(view.Enabled(TGameButton::BRUN));
    EXPECT_EQ(Names(game.UserTable), "A1");
    EXPECT_EQ(Names(game.UserHand), "81 63 64");
    game.TakeBackTableCard(2); // no such table card: ignored
    EXPECT_EQ(game.UserTable.Count, 1);
    game.MoveDone(); // disabled: nothing happens
    EXPECT_EQ(game.UserTable.Count, 1);
    Play("81");
    EXPECT_TRUE(game.MoveDoneEnabled());
    EXPECT_EQ(Names(game.UserTable), "A1 81");
}

TEST_F(Rules, AttackTakenBackEntirelyLeavesNothingToDecide)
{
    Position(4, "81 A1 63 64", "71 K1 93 94", false);
    Play("A1");
    Play("81");
    game.TakeBackTableCard(1);
    EXPECT_TRUE(game.MoveDoneEnabled()) << "an attack card is still on the table";
    game.TakeBackTableCard(1);
    EXPECT_EQ(game.UserTable.Count, 0);
    EXPECT_FALSE(game.MoveDoneEnabled());
    EXPECT_FALSE(view.Enabled(TGameButton::BRUN));
    // Even a stray click decides no empty trick: the user still attacks.
    game.MoveDone();
    EXPECT_FALSE(game.ComputerLeads);
    EXPECT_EQ(game.ComputerTable.Count, 0);
    EXPECT_EQ(game.UserCardCount(), 4);
    EXPECT_EQ(game.ComputerCardCount(), 4);
    EXPECT_EQ(clock.Readings, 0);
}

TEST_F(Rules, OpponentCardsInViewFreezePlay)
{
    ASSERT_TRUE(game.NewGame()); // no game under way: no question
    EXPECT_TRUE(view.Questions.empty());
    Position(4, "81 A1 63 64", "71 K1 93 94", false);
    Play("A1");
    ASSERT_TRUE(game.MoveDoneEnabled());
    game.ToggleOpponentCards();
    EXPECT_TRUE(game.ShowOpponentCards);
    EXPECT_EQ(view.Label(TGameLabel::Label1), TextOpponentCards);
    EXPECT_EQ(view.Shown(TSlotRow::UserHand), "71 K1 93 94");

    // Nothing is played from the exchanged hands.
    game.MoveDone();
    game.PlayUserCard(1);
    game.TakeBackTableCard(1);
    EXPECT_EQ(Names(game.UserTable), "A1");
    EXPECT_EQ(game.ComputerTable.Count, 0);
    EXPECT_EQ(Names(game.UserHand), "71 K1 93 94");

    game.ToggleOpponentCards();
    EXPECT_FALSE(game.ShowOpponentCards);
    EXPECT_EQ(view.Label(TGameLabel::Label1), "");
    EXPECT_EQ(view.Shown(TSlotRow::UserHand), "81 63 64");
    random.Push({1}); // the computer's next attack, without foresight
    game.MoveDone();
    // The computer cannot follow the ace in suit and beats it with its trump.
    EXPECT_EQ(game.ComputerRoundPoints, 11);
    EXPECT_TRUE(game.ComputerLeads);
}

TEST_F(Rules, NewGameAsksWhileAGameIsUnderWay)
{
    random.Push({0}); // the computer opens
    ASSERT_TRUE(game.NewGame());
    EXPECT_EQ(view.GamePageShown, 1);
    EXPECT_TRUE(view.Questions.empty());
    EXPECT_TRUE(game.ComputerLeads);
    EXPECT_GT(game.ComputerTable.Count, 0);
    EXPECT_EQ(view.Label(TGameLabel::GlCount), "0:0");
    EXPECT_FALSE(view.Enabled(TGameButton::BRUN));
    EXPECT_TRUE(view.Enabled(TGameButton::INV));

    // Mid-trick, with a defence card down and the opponent's cards in view.
    const TCard attack = game.ComputerTable.Card(1);
    game.PlayUserCard(1);
    game.ToggleOpponentCards();
    const THand before = game.UserHand;
    view.Answers = {false};
    EXPECT_FALSE(game.NewGame());
    EXPECT_EQ(view.Questions, std::vector<std::string>{TextConfirmNewGame});
    EXPECT_EQ(view.GamePageShown, 1) << "declining changes nothing, the page neither";
    EXPECT_TRUE(game.ShowOpponentCards);
    EXPECT_EQ(Names(game.UserHand), Names(before));
    EXPECT_TRUE(SameCard(game.ComputerTable.Card(1), attack));

    game.UserScore = 4;
    view.Answers = {true};
    view.Repaints = 0;
    random.Push({1}); // the user opens
    ASSERT_TRUE(game.NewGame());
    EXPECT_EQ(view.GamePageShown, 2);
    EXPECT_FALSE(game.ShowOpponentCards);
    EXPECT_EQ(view.Label(TGameLabel::Label1), "");
    EXPECT_FALSE(game.ComputerLeads);
    EXPECT_EQ(game.UserTable.Count, 0);
    EXPECT_EQ(game.ComputerTable.Count, 0);
    EXPECT_EQ(game.UserCardCount(), 4);
    EXPECT_EQ(game.ComputerCardCount(), 4);
    EXPECT_EQ(game.Deck.Count, 28);
    EXPECT_EQ(game.UserScore, 0);
    EXPECT_EQ(view.Repaints, 4) << "the new hand is painted in full";
    EXPECT_EQ(view.Shown(TSlotRow::UserTable), "");
    EXPECT_EQ(view.Shown(TSlotRow::ComputerTable), "");
}

TEST_F(Rules, RoundScoring)
{
    struct Case {
        int computerPoints, userPoints, computerBefore, userBefore;
        int computerAfter, userAfter;
        const char* message; // null when the game goes on
    };
    const Case cases[] = {
        {59, 61, 0, 0, 0, 2, nullptr},
        {60, 60, 4, 6, 4, 6, nullptr}, // nobody scores
        {0, 120, 0, 0, 0, 6, nullptr},
        {120, 0, 0, 0, 6, 0, nullptr},
        {31, 89, 2, 2, 2, 6, nullptr},
        {32, 88, 0, 0, 0, 2, nullptr},
        {89, 31, 0, 0, 4, 0, nullptr},
        {88, 32, 0, 0, 2, 0, nullptr},
        {61, 59, 0, 0, 2, 0, nullptr},
        {100, 20, 8, 10, 12, 10, TextYouLost},
        {20, 100, 10, 8, 10, 12, TextYouWon},
        {0, 120, 10, 10, 10, 16, TextYouWon},
        // The computer's total is tested first.
        {20, 100, 12, 8, 12, 12, TextYouLost},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cat(c.computerPoints, ":", c.userPoints));
        view = TRecordingView();
        view.Labels[TGameLabel::GlCount] = "before";
        game.ComputerScore = static_cast<std::uint8_t>(c.computerBefore);
        game.UserScore = static_cast<std::uint8_t>(c.userBefore);
        game.ComputerRoundPoints = static_cast<std::uint8_t>(c.computerPoints);
        game.UserRoundPoints = static_cast<std::uint8_t>(c.userPoints);
        game.ComputerLeads = false;
        Position(1, "", "", false);
        EXPECT_FALSE(game.DealOrScoreRound()) << "the round is over";
        EXPECT_EQ(game.ComputerScore, c.computerAfter);
        EXPECT_EQ(game.UserScore, c.userAfter);
        if (c.message) {
            EXPECT_EQ(view.Messages, std::vector<std::string>{c.message});
            // The final score is on the board before the message opens.
            EXPECT_EQ(view.ScoresAtMessages, std::vector<std::string>{Cat(c.computerAfter, ":", c.userAfter)});
            // The game is over: the score label shows the final score, every slot and
            // the trump icon are blank and only New game plays on.
            EXPECT_EQ(view.Label(TGameLabel::GlCount), Cat(c.computerAfter, ":", c.userAfter));
            EXPECT_EQ(view.TrumpShown, 0);
            EXPECT_EQ(game.UserCardCount() + game.ComputerCardCount(), 0);
            for (TSlotRow row : {TSlotRow::ComputerTable, TSlotRow::UserTable, TSlotRow::UserHand})
                EXPECT_EQ(view.Shown(row), "");
            EXPECT_FALSE(view.Enabled(TGameButton::INV));
            EXPECT_FALSE(view.Enabled(TGameButton::BRUN));
            EXPECT_FALSE(game.GameUnderWay());
        } else {
            EXPECT_TRUE(view.Messages.empty());
            EXPECT_EQ(view.Label(TGameLabel::GlCount),
                      Cat(c.computerAfter, ":", c.userAfter));
            // The next round is dealt at once.
            EXPECT_EQ(game.UserRoundPoints + game.ComputerRoundPoints, 0);
            EXPECT_EQ(view.Label(TGameLabel::CountPC), "0");
            EXPECT_EQ(game.UserCardCount(), 4);
            EXPECT_EQ(game.Deck.Count, 28);
        }
    }
}

TEST_F(Rules, ComputerPlaysAFourCardSuitOutOfTurn)
{
    game.OutOfTurnAllowed = true;
    // The user beats the computer's attack; the deal then gives the computer four
    // cards of suit 4.
    Position(1, "A2 63 73 83", "64 74 84", true, "Q2", "J1 94");
    Play("A2");
    game.MoveDone();
    EXPECT_EQ(view.Messages, std::vector<std::string>{TextComputerOutOfTurn});
    EXPECT_TRUE(game.ComputerLeads);
    EXPECT_EQ(Names(game.ComputerTable), "64 74 84 94");
    EXPECT_EQ(game.ComputerCardCount(), 0);
    EXPECT_EQ(view.Shown(TSlotRow::ComputerTable), "64 74 84 94");
    EXPECT_EQ(game.UserRoundPoints, 14);
}

TEST_F(Rules, UserMayPlayAFourCardSuitOutOfTurn)
{
    struct Case {
        bool option, answer;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(std::to_string(c.option) + std::to_string(c.answer));
        view = TRecordingView();
        view.Answers = {c.answer};
        game.OutOfTurnAllowed = c.option;
        game.UserRoundPoints = game.ComputerRoundPoints = 0;
        random.Push({1, 1}); // the computer attacks without foresight
        // The computer beats the user's 6; the deal then gives the user four cards of
        // suit 3 and the computer leads next.
        Position(1, "62 73 83", "K2 A4 T4", false, "", "63 94 93 84 J2 J4");
        Play("62");
        game.MoveDone();
        if (c.option) {
            EXPECT_EQ(view.Questions, std::vector<std::string>{TextUserOutOfTurn});
        } else {
            EXPECT_TRUE(view.Questions.empty());
        }
        EXPECT_EQ(game.ComputerRoundPoints, 4);
        if (c.option && c.answer) {
            // The user's four cards went down at once, the computer could not beat
            // them and gave up its cheapest cards; the user attacks again.
            EXPECT_EQ(game.UserRoundPoints, 10 + 11);
            EXPECT_FALSE(game.ComputerLeads);
            EXPECT_EQ(game.ComputerTable.Count, 0);
            EXPECT_EQ(Names(game.UserHand), "J2");
            EXPECT_EQ(Names(game.ComputerHand), "J4");
            EXPECT_EQ(game.Deck.Count, 0);
        } else {
            // The computer attacks with its longest suit.
            EXPECT_TRUE(game.ComputerLeads);
            EXPECT_EQ(Names(game.ComputerTable), "84 94 T4 A4");
            EXPECT_EQ(Names(game.UserHand), "63 73 83 93");
        }
    }
}

TEST_F(Rules, OutOfTurnChainWithFourCardSuitsOnBothSides)
{
    game.OutOfTurnAllowed = true;
    view.Answers = {true};
    // The computer takes the user's 6 with its king; the deal then gives each side
    // four cards of one suit. The user plays suit 3 out of turn, the computer cannot
    // beat it, and the next deal gives the computer four trumps, which it plays out of
    // turn at once.
    Position(1, "62 73 83 93", "64 74 84", true, "K2", "63 94 J2 71 Q2 81 K3 91 A2 T1");
    Play("62");
    game.MoveDone();
    EXPECT_EQ(view.Questions, std::vector<std::string>{TextUserOutOfTurn});
    EXPECT_EQ(view.Messages, std::vector<std::string>{TextComputerOutOfTurn});
    EXPECT_EQ(clock.Readings, 5) << "one pause, for the computer's defence";
    EXPECT_EQ(game.ComputerRoundPoints, 4);
    EXPECT_EQ(game.UserRoundPoints, 0);
    EXPECT_TRUE(game.ComputerLeads);
    EXPECT_EQ(Names(game.ComputerTable), "71 81 91 T1");
    EXPECT_EQ(game.ComputerCardCount(), 0);
    EXPECT_EQ(Names(game.UserHand), "J2 Q2 A2 K3");
    EXPECT_EQ(game.Deck.Count, 0);
    EXPECT_EQ(view.Shown(TSlotRow::ComputerTable), "71 81 91 T1");
    EXPECT_EQ(view.Shown(TSlotRow::UserTable), "");
    EXPECT_FALSE(game.MoveDoneEnabled());

    // The user answers four trumps without a trump: any four cards, and the trick is
    // the computer's. That was the last trick: the computer's 34 points of this short
    // deal give the user 2, and the next round is dealt.
    for (int k = 0; k < 4; ++k)
        game.PlayUserCard(1);
    ASSERT_TRUE(game.MoveDoneEnabled());
    game.MoveDone();
    EXPECT_EQ(game.UserScore, 2);
    EXPECT_EQ(game.ComputerScore, 0);
    EXPECT_EQ(view.Label(TGameLabel::GlCount), "0:2");
    EXPECT_EQ(game.Deck.Count, 28);
    EXPECT_EQ(view.Questions.size(), 1u) << "no out-of-turn play at the start of a round";
    EXPECT_EQ(view.Messages.size(), 1u);
}

TEST_F(Rules, HiddenTestButtonSetsAFixedPosition)
{
    struct Case {
        bool computerLeads;
        int draw; // 0: the computer looks ahead
        const char* computerTable;
    };
    const Case cases[] = {
        {true, 0, "61"},    // the user can beat every suit: the cheapest attack
        {true, 1, "64 84"}, // the longest suit
        {false, 0, ""},     // nothing to defend against
    };
    for (const Case& c : cases) {
        game.ComputerLeads = c.computerLeads;
        game.UserTable.Count = 0;
        game.ComputerTable.Count = 0;
        random.Push({c.draw});
        game.SetTestPosition();
        EXPECT_EQ(game.Trump, 3);
        EXPECT_TRUE(view.Enabled(TGameButton::INV));
        EXPECT_EQ(Names(game.UserHand), "T1 K3 94 T4");
        EXPECT_EQ(Names(game.ComputerTable), c.computerTable);
        EXPECT_EQ(view.Shown(TSlotRow::ComputerTable), c.computerTable);
    }
}

TEST_F(Rules, StartUpAndRedrawMemory)
{
    game.SkillLevel = 3;
    game.OutOfTurnAllowed = true;
    game.UserScore = 5;
    game.StartUp();
    EXPECT_EQ(game.SkillLevel, 1);
    EXPECT_FALSE(game.OutOfTurnAllowed);
    EXPECT_EQ(game.UserScore, 0);
    EXPECT_TRUE(game.ComputerLeads);
    EXPECT_FALSE(view.Enabled(TGameButton::BRUN));
    EXPECT_FALSE(view.Enabled(TGameButton::INV));
    EXPECT_FALSE(game.GameUnderWay());

    Position(1, "61 71 62 63", "", false);
    EXPECT_EQ(view.Shown(TSlotRow::UserHand), "61 71 62 63");
    // Unchanged slots are not repainted; blank slots are, every time.
    view.Repaints = 0;
    game.RedrawCards();
    EXPECT_EQ(view.Repaints, 0);
    Play("71");
    EXPECT_EQ(view.Shown(TSlotRow::UserHand), "61 62 63");
    EXPECT_EQ(view.Repaints, 3) << "the table card and the two hand slots that moved";
}
