// The computer opponent: its beating test, its cheapest card, the suit it leads at each
// skill level and the cards it puts in defence.
#include <gtest/gtest.h>

#include "CardsTestSupport.h"

using namespace cardtest;

namespace {

std::string Describe(const TAssignment& a, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += Cat(i ? " " : "", a[static_cast<std::size_t>(i)].Suit, ".", a[static_cast<std::size_t>(i)].Index);
    return s;
}

} // namespace

TEST(CanBeatAll, GreedyByRankWithTheHighestCards)
{
    struct Case {
        const char* hand;
        const char* attack;
        int trump;
        bool result;
        const char* assignment; // suit.index for each attack position
    };
    const Case cases[] = {
        {"81 A1 63", "71 K1", 2, true, "1.1 1.2"}, // the ace against the king, the 8 against the 7
        {"71 A3", "K1", 3, true, "3.1"},           // cannot follow high enough: a trump
        {"63 93 K3", "81 T1", 3, true, "3.2 3.3"}, // the highest trumps, the highest against the 10
        {"A1 62", "Q1 K1", 2, true, "2.1 1.1"},    // the ace against the king, a trump for the queen
        {"T2 A2 61", "K2", 2, true, "2.2"},        // a trump lead answered in trumps
        {"92 A1", "K2", 2, false, ""},             // no higher trump
        {"81 A1", "71 61", 3, true, "1.2 1.1"},
        {"81", "71 61", 3, false, ""},             // one card for two
        {"64 74", "", 1, true, ""},                // an empty attack counts as beaten
        {"", "61", 1, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cat(c.hand, " against ", c.attack));
        TAssignment assignment;
        const TTableCards attack = Row(c.attack);
        EXPECT_EQ(CanBeatAll(Hand(c.hand), attack, c.trump, assignment), c.result);
        if (c.result) {
            EXPECT_EQ(Describe(assignment, attack.Count), c.assignment);
        }
    }
}

TEST(PickLowestCard, TrumpsAgainstATrumpLeadElseTheLowestWeightedRank)
{
    struct Case {
        const char* hand;
        int trump;
        bool trumpLead;
        const char* card; // empty: none
    };
    const Case cases[] = {
        {"A1 62 K3", 2, true, "62"},
        {"A1 62 K3", 2, false, "K3"}, // non-trumps go first
        {"A1 91 73 K3", 3, true, "73"},
        {"A1 91", 3, true, "91"},     // no trump to answer with
        {"71 72", 3, false, "71"},    // equal ranks: the first
        {"63 73", 3, false, "63"},
        {"", 1, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cat(c.hand, " trump ", c.trump));
        const THand hand = Hand(c.hand);
        TCardPlace place;
        const bool found = PickLowestCard(hand, c.trump, c.trumpLead, place);
        EXPECT_EQ(found, *c.card != 0);
        if (found) {
            EXPECT_EQ(Name(hand[place.Suit].Card(place.Index)), c.card);
        }
    }
}

namespace {

struct Attack {
    const char* name;
    int level;
    int draw; // the draw of random(5 - level); 0 means foresight
    int trump;
    const char* computer;
    const char* user;
    const char* led;
};

void PrintTo(const Attack& a, std::ostream* os) { *os << a.name; }

class ComputerAttack : public ::testing::TestWithParam<Attack> {};

} // namespace

TEST_P(ComputerAttack, LeadsTheExpectedSuit)
{
    const Attack& c = GetParam();
    TScriptedRandom random({c.draw});
    TGame game(nullptr, &random);
    game.SkillLevel = static_cast<std::uint8_t>(c.level);
    game.Trump = static_cast<std::uint8_t>(c.trump);
    game.ComputerHand = Hand(c.computer);
    game.UserHand = Hand(c.user);
    game.ComputerLeads = true;
    game.ComputerMove();
    EXPECT_EQ(random.Bounds, std::vector<int>{5 - c.level});
    EXPECT_EQ(Names(game.ComputerTable), c.led);
    // The whole suit goes down: none of it stays in the hand.
    const int suit = game.ComputerTable.Card(1).Suit;
    EXPECT_EQ(game.ComputerHand[suit].Count, 0);
    EXPECT_EQ(game.ComputerCardCount() + game.ComputerTable.Count, HandSize);
}

// The user can beat suit 1 (9 and 10 against 7 and 8) but not the lone king of suit 2:
// foresight leads the king, without it the longer suit goes.
INSTANTIATE_TEST_SUITE_P(
    Levels, ComputerAttack,
    ::testing::Values(
        Attack{"level1_foresight", 1, 0, 3, "71 81 K2 64", "91 T1 74 84", "K2"},
        Attack{"level1_plain", 1, 3, 3, "71 81 K2 64", "91 T1 74 84", "71 81"},
        Attack{"level2_foresight", 2, 0, 3, "71 81 K2 64", "91 T1 74 84", "K2"},
        Attack{"level2_plain", 2, 2, 3, "71 81 K2 64", "91 T1 74 84", "71 81"},
        Attack{"level3_foresight", 3, 0, 3, "71 81 K2 64", "91 T1 74 84", "K2"},
        Attack{"level3_plain", 3, 1, 3, "71 81 K2 64", "91 T1 74 84", "71 81"},
        Attack{"level4_always_foresight", 4, 0, 3, "71 81 K2 64", "91 T1 74 84", "K2"},
        // A king the user's ace beats, and two small cards the user cannot beat.
        Attack{"level4_small_pair", 4, 0, 3, "K1 62 72 J4", "A1 91 Q4 T4", "62 72"},
        // Without foresight: equal lengths go to the trump suit, else the lower suit.
        Attack{"tie_trump", 1, 1, 2, "61 71 62 72", "A1 A2 A3 A4", "62 72"},
        Attack{"tie_lower_suit", 1, 1, 4, "61 71 62 72", "A1 A2 A3 A4", "61 71"},
        Attack{"tie_trump_first", 1, 1, 1, "61 71 62 72", "A1 A2 A3 A4", "61 71"},
        // With foresight, equally long unbeatable suits: the lower suit.
        Attack{"foresight_tie", 4, 0, 3, "K1 K2 64 74", "61 62 A4 94", "K1"},
        // The user beats everything: the cheapest attack; nearly equal losses (within
        // 2 points of the best so far) are decided by the user's strength spent.
        Attack{"cheapest", 4, 0, 4, "61 62 63 93", "71 T2 T3 A3", "61"},
        Attack{"tolerance_higher_ratio", 4, 0, 4, "61 62 63 73", "71 J2 A3 K3", "62"},
        Attack{"tolerance_lower_ratio", 4, 0, 4, "61 62 63 73", "J1 72 A3 K3", "61"}),
    [](const ::testing::TestParamInfo<Attack>& info) { return std::string(info.param.name); });

TEST(ComputerAttackEdge, EmptyHandLeadsNothing)
{
    // An empty trump suit can be the choice of a plain attack while nothing longer has
    // been seen; with nothing in the hand at all, nothing is led.
    for (int draw : {0, 1}) {
        TScriptedRandom random({draw});
        TGame game(nullptr, &random);
        game.Trump = 1;
        game.UserHand = Hand("61 71");
        game.ComputerLeads = true;
        game.ComputerMove();
        EXPECT_EQ(game.ComputerTable.Count, 0);
        EXPECT_EQ(random.Bounds, std::vector<int>{4});
    }
}

TEST(ComputerDefence, BeatsWhenItCanElseGivesUpItsCheapestCards)
{
    struct Case {
        const char* name;
        int trump;
        const char* computer;
        const char* attack;
        const char* defence; // in table order
        const char* left;
        bool beaten;
    };
    const Case cases[] = {
        {"7 and king against 8 and ace", 2, "81 A1 63 64", "71 K1", "81 A1", "63 64", true},
        {"highest trumps when it cannot follow", 3, "63 73 K3 A3", "61", "A3", "63 73 K3", true},
        {"cannot beat a plain card", 3, "Q1 T1 92 94", "A1", "92", "Q1 T1 94", false},
        {"trump lead: the trump first", 2, "62 61 63 64", "K2 A2", "62 61", "63 64", false},
        {"partly beatable gives up", 3, "A1 62 64 74", "K1 T1", "62 64", "A1 74", false},
        {"four of a suit", 1, "63 73 J3 A3", "64 74 84 94", "63 73 J3 A3", "", false},
        {"four of a suit beaten", 1, "71 81 91 T1", "62 72 82 92", "71 81 91 T1", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedRandom random;
        TGame game(nullptr, &random);
        game.Trump = static_cast<std::uint8_t>(c.trump);
        game.ComputerHand = Hand(c.computer);
        game.UserTable = Row(c.attack);
        game.ComputerLeads = false;
        game.ComputerMove();
        EXPECT_TRUE(random.Bounds.empty()) << "defence draws nothing";
        EXPECT_EQ(Names(game.ComputerTable), c.defence);
        EXPECT_EQ(Names(game.ComputerHand), c.left);
        EXPECT_EQ(DefenceBeatsAll(game.UserTable, game.ComputerTable, c.trump), c.beaten);
    }
}
