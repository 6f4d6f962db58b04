// Cards, the 36-card deck and the hands of Pelvo.
//
// A card in the deck is an id 1..36: suit (id - 1) mod 4 + 1, rank (id - 1) div 4 + 1.
// Ranks, lowest first: 1 = 6, 2 = 7, 3 = 8, 4 = 9, 5 = jack, 6 = queen, 7 = king,
// 8 = 10, 9 = ace (the 10 stands between the king and the ace).
//
// Suits are numbered 1..4 everywhere. Positions within a suit group, a table row or
// the deck are numbered from 1, as the player counts them; the containers below
// translate to their zero-based storage.
#pragma once

#include <cstdint>
#include <string>

namespace pelvo {

class TRandomSource;

constexpr int SuitCount = 4;
constexpr int RankCount = 9;
constexpr int DeckSize = 36;
constexpr int HandSize = 4;
constexpr int PointsInDeck = 120;

// Rank numbers with names.
enum : std::uint8_t {
    RankSix = 1, RankSeven, RankEight, RankNine, RankJack, RankQueen, RankKing, RankTen, RankAce
};

struct TCard {
    std::uint8_t Rank = 0;   // 1..9
    std::uint8_t Points = 0; // CardPoints(Rank), stored when the card is dealt
    std::uint8_t Spare = 0;  // always 0
    std::uint8_t Suit = 0;   // 1..4
};
static_assert(sizeof(TCard) == 4);

// Two cards are the same card when rank and suit agree.
inline bool SameCard(const TCard& a, const TCard& b) { return a.Rank == b.Rank && a.Suit == b.Suit; }

// A row of up to four cards: the cards of one suit in a hand (kept sorted by rank),
// or the cards one player has put on the table in the current trick (in the order
// they were played; a defence may mix suits).
struct TSuitGroup {
    std::uint8_t Count = 0;
    TCard Cards[HandSize]{};

    // Card at position i, 1..Count.
    TCard& Card(int i) { return Cards[i - 1]; }
    const TCard& Card(int i) const { return Cards[i - 1]; }
    // Puts a card after the last one; a full row is left unchanged.
    void Append(const TCard& card);
};
using TTableCards = TSuitGroup;

// Four suit groups, indexed by suit 1..4; group s holds only cards of suit s, and the
// hand never holds more than four cards in all.
struct THand {
    TSuitGroup Groups[SuitCount]{};

    TSuitGroup& operator[](int suit) { return Groups[suit - 1]; }
    const TSuitGroup& operator[](int suit) const { return Groups[suit - 1]; }
};

// The undealt cards: ids at positions 1..Count; the top of the deck is position Count.
struct TDeck {
    std::uint8_t Count = 0;
    std::uint8_t Ids[DeckSize]{};

    std::uint8_t& Id(int i) { return Ids[i - 1]; }
    std::uint8_t Id(int i) const { return Ids[i - 1]; }
};

// Where a card sits in a hand: suit group 1..4 and position 1..Count within it.
struct TCardPlace {
    int Suit = 0;
    int Index = 0;
};

// Card numbering.
inline int SuitOfId(int id) { return (id - 1) % SuitCount + 1; }
inline int RankOfId(int id) { return (id - 1) / SuitCount + 1; }
// The face picture of a card: (suit - 1) * 9 + rank, 1..36.
inline int FacePicture(int suit, int rank) { return (suit - 1) * RankCount + rank; }
inline int FacePicture(const TCard& card) { return FacePicture(card.Suit, card.Rank); }
// The small trump-suit icon of a suit: pictures 37..40.
inline int TrumpIconPicture(int suit) { return DeckSize + suit; }
// The bitmap resource holding a picture: "Card1".."Card40".
std::string CardResourceName(int picture);

// Points of a rank: 6..9 nothing, jack 2, queen 3, king 4, 10 ten, ace eleven.
std::uint8_t CardPoints(int rank);
// The rank, raised by 10 for a trump, so that any trump outranks any other card.
std::uint8_t WeightedRank(const TCard& card, int trump);
// The card of a deck id as it is dealt into a hand.
TCard CardOfId(int id);

// Fills the deck with ids 1..36 in order.
void FillDeck(TDeck& deck);
// Fills the deck, then 250 times draws two positions p and q (p first) and exchanges
// their ids.
void ShuffleDeck(TDeck& deck, TRandomSource& random);

int HandCardCount(const THand& hand);
// Sorts every suit group by rank, lowest first.
void SortHand(THand& hand);
// Empties every suit group.
void ClearHand(THand& hand);
// Adds a card to the group of its suit (at the end; sort afterwards).
void AddHandCard(THand& hand, const TCard& card);
// Removes the card at (suit, index); the cards after it move down one place.
void RemoveHandCard(THand& hand, int suit, int index);
// The n-th card (1..4) of the hand read suit 1..4 and, within a suit, in stored order:
// the order of the hand slots on screen. False when the hand holds fewer than n cards.
bool LocateHandCard(const THand& hand, int n, TCardPlace& place);
// The first suit, 1..4, whose group holds four cards; 0 when there is none.
int FindFourOfSuit(const THand& hand);
// Sum of the points of the cards of a row.
int RowPoints(const TTableCards& row);

} // namespace pelvo
