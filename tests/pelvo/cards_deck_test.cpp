// Card numbering, points, the shuffle, the deal and the hand operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "CardsTestSupport.h"

using namespace cardtest;

TEST(CardNumbering, IdGivesSuitRankAndFacePicture)
{
    struct Case {
        int id, suit, rank;
        const char* face;
    };
    const Case cases[] = {
        {1, 1, 1, "Card1"},   // the 6 of suit 1
        {2, 2, 1, "Card10"},  // same rank, next suit: a different picture
        {5, 1, 2, "Card2"},   // the 7 of suit 1
        {33, 1, 9, "Card9"},  // the ace of suit 1
        {28, 4, 7, "Card34"}, // the king of suit 4
        {36, 4, 9, "Card36"}, // the ace of suit 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(SuitOfId(c.id), c.suit);
        EXPECT_EQ(RankOfId(c.id), c.rank);
        const TCard card = CardOfId(c.id);
        EXPECT_EQ(card.Suit, c.suit);
        EXPECT_EQ(card.Rank, c.rank);
        EXPECT_EQ(card.Spare, 0);
        EXPECT_EQ(CardResourceName(FacePicture(card)), c.face);
    }
    // Every id has its own face picture 1..36; the trump icons follow as 37..40.
    std::vector<int> faces;
    for (int id = 1; id <= 36; ++id)
        faces.push_back(FacePicture(CardOfId(id)));
    std::sort(faces.begin(), faces.end());
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(faces[static_cast<std::size_t>(i)], i + 1);
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(CardResourceName(TrumpIconPicture(s)), Cat("Card", 36 + s));
}

TEST(CardNumbering, PointsAndTheTenBetweenKingAndAce)
{
    const int points[] = {0, 0, 0, 0, 2, 3, 4, 10, 11}; // 6 7 8 9 J Q K 10 A
    for (int rank = 1; rank <= 9; ++rank)
        EXPECT_EQ(CardPoints(rank), points[rank - 1]) << "rank " << rank;
    int total = 0;
    for (int id = 1; id <= 36; ++id)
        total += CardOfId(id).Points;
    EXPECT_EQ(total, 120);

    // The 10 ranks above the king and below the ace, and so it beats the king.
    EXPECT_LT(C("K1").Rank, C("T1").Rank);
    EXPECT_LT(C("T1").Rank, C("A1").Rank);
    EXPECT_TRUE(DefenceBeatsAll(Row("K1"), Row("T1"), 2));
    EXPECT_FALSE(DefenceBeatsAll(Row("A1"), Row("T1"), 2));

    // Any trump outranks any other card.
    EXPECT_EQ(WeightedRank(C("63"), 3), 11);
    EXPECT_EQ(WeightedRank(C("A1"), 3), 9);
    EXPECT_EQ(WeightedRank(C("A3"), 3), 19);
}

TEST(Shuffle, TwoHundredFiftySwapsInDrawOrder)
{
    // Positions 1 and 2 swapped, then 2 and 3; all further draws swap position 36
    // with itself.
    std::vector<int> script = {0, 1, 1, 2};
    script.resize(500, 35);
    TScriptedRandom random(script);
    TDeck deck;
    ShuffleDeck(deck, random);
    EXPECT_EQ(random.Bounds, std::vector<int>(500, 36));
    EXPECT_EQ(deck.Count, 36);
    EXPECT_EQ(deck.Id(1), 2);
    EXPECT_EQ(deck.Id(2), 3);
    EXPECT_EQ(deck.Id(3), 1);
    for (int i = 4; i <= 36; ++i)
        EXPECT_EQ(deck.Id(i), i);

    // A real generator gives a permutation of the 36 ids.
    TRandomGenerator gen(77);
    ShuffleDeck(deck, gen);
    std::vector<int> ids(std::begin(deck.Ids), std::end(deck.Ids));
    std::sort(ids.begin(), ids.end());
    std::vector<int> expected(36);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(ids, expected);
}

TEST(Shuffle, RoundDrawsTheTrumpBeforeAndApartFromTheCards)
{
    TRecordingView view;
    TScriptedRandom random({2}); // trump 3, then the shuffle draws from the generator
    TFakeClock clock;
    TGame game(&view, &random, &clock);
    game.ComputerLeads = false;
    game.StartRound();
    ASSERT_GE(random.Bounds.size(), 501u);
    EXPECT_EQ(random.Bounds[0], 4);
    EXPECT_TRUE(std::all_of(random.Bounds.begin() + 1, random.Bounds.begin() + 501, [](int n) { return n == 36; }));
    EXPECT_EQ(random.Bounds.size(), 501u); // the user leads: the computer draws nothing
    EXPECT_EQ(game.Trump, 3);
    EXPECT_EQ(view.TrumpShown, 3);
}

TEST(Deal, FreshDealGivesFourEachTopCardToTheUserFirst)
{
    TRecordingView view;
    TGame game(&view);
    FillDeck(game.Deck); // top of the deck: ids 36, 35, 34, ...
    ASSERT_TRUE(game.DealOrScoreRound());
    // The user gets ids 36, 34, 32, 30 (the aces and the 10s of suits 4 and 2), the
    // computer ids 35, 33, 31, 29.
    EXPECT_EQ(Names(game.UserHand), "T2 A2 T4 A4");
    EXPECT_EQ(Names(game.ComputerHand), "T1 A1 T3 A3");
    EXPECT_EQ(game.Deck.Count, 28);
    EXPECT_EQ(view.Label(TGameLabel::KolKrt), "28");

    // Refill after a trick of two cards each: two more cards each, each group sorted.
    game.Deck = DeckDealing("61 A1 71 62");
    game.UserHand = Hand("T1 K3");
    game.ComputerHand = Hand("Q4 94");
    game.UserTable = Row("J2");
    ASSERT_TRUE(game.DealOrScoreRound());
    EXPECT_EQ(game.UserTable.Count, 0);
    EXPECT_EQ(Names(game.UserHand), "61 71 T1 K3");
    EXPECT_EQ(Names(game.ComputerHand), "A1 62 94 Q4");
    EXPECT_EQ(view.Label(TGameLabel::KolKrt), "0");
}

TEST(Deal, DeckRunningOutStopsTheDeal)
{
    TRecordingView view;
    TGame game(&view);
    game.Deck = DeckDealing("61 62");
    game.UserHand = Hand("T1 K3");
    game.ComputerHand = Hand("Q4 94");
    ASSERT_TRUE(game.DealOrScoreRound());
    EXPECT_EQ(game.UserCardCount(), 3);
    EXPECT_EQ(game.ComputerCardCount(), 3);
    EXPECT_EQ(game.Deck.Count, 0);
    EXPECT_EQ(view.Label(TGameLabel::KolKrt), "0");

    // With the deck empty, tricks go on with what the hands hold.
    game.UserHand = Hand("T1");
    game.ComputerHand = Hand("94");
    ASSERT_TRUE(game.DealOrScoreRound());
    EXPECT_EQ(game.UserCardCount(), 1);
    EXPECT_EQ(game.ComputerCardCount(), 1);
}

TEST(HandOperations, SortRemoveLocateAndFindFour)
{
    THand hand;
    for (const TCard& c : Cards("A1 61 K1 T1 Q3"))
        AddHandCard(hand, c);
    SortHand(hand);
    EXPECT_EQ(Names(hand), "61 K1 T1 A1 Q3");
    EXPECT_EQ(FindFourOfSuit(hand), 1);

    // Removing closes the gap and keeps the order.
    RemoveHandCard(hand, 1, 2);
    EXPECT_EQ(Names(hand), "61 T1 A1 Q3");
    EXPECT_EQ(FindFourOfSuit(hand), 0);
    RemoveHandCard(hand, 1, 3);
    EXPECT_EQ(Names(hand), "61 T1 Q3");

    struct Case {
        const char* hand;
        int n, suit, index;
    };
    const Case cases[] = {
        {"71 73 A3", 3, 3, 2}, // one card of suit 1, none of suit 2, two of suit 3
        {"71 73 A3", 1, 1, 1},
        {"71 73 A3", 4, 0, 0}, // fewer cards than n
        {"64 74 84 94", 4, 4, 4},
        {"", 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cat(c.hand, " n=", c.n));
        TCardPlace place;
        EXPECT_EQ(LocateHandCard(Hand(c.hand), c.n, place), c.suit != 0);
        if (c.suit != 0) {
            EXPECT_EQ(place.Suit, c.suit);
            EXPECT_EQ(place.Index, c.index);
        }
    }
    EXPECT_EQ(FindFourOfSuit(Hand("62 72 J2 A2")), 2);
    EXPECT_EQ(FindFourOfSuit(Hand("62 72 J2 A3")), 0);
}

TEST(Random, GeneratorStaysInRangeAndRepeatsFromASeed)
{
    TRandomGenerator a(5), b(5);
    std::vector<int> seen(7);
    for (int i = 0; i < 2000; ++i) {
        const int v = a.Random(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
        ++seen[static_cast<std::size_t>(v)];
        EXPECT_EQ(v, b.Random(7));
    }
    for (int count : seen)
        EXPECT_GT(count, 200); // every value turns up about 1/7 of the time
    EXPECT_EQ(a.Random(0), 0);
    EXPECT_EQ(a.Random(1), 0);
}
