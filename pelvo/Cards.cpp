#include "pelvo/Cards.h"

#include <utility>

#include "pelvo/Random.h"

namespace pelvo {

void TSuitGroup::Append(const TCard& card)
{
    if (Count >= HandSize)
        return;
    ++Count;
    Card(Count) = card;
}

std::string CardResourceName(int picture)
{
    return "Card" + std::to_string(picture);
}

std::uint8_t CardPoints(int rank)
{
    if (rank >= RankJack && rank <= RankKing)
        return static_cast<std::uint8_t>(rank - 3);
    if (rank >= RankTen && rank <= RankAce)
        return static_cast<std::uint8_t>(rank + 2);
    return 0;
}

std::uint8_t WeightedRank(const TCard& card, int trump)
{
    return static_cast<std::uint8_t>(card.Suit == trump ? card.Rank + 10 : card.Rank);
}

TCard CardOfId(int id)
{
    TCard card;
    card.Rank = static_cast<std::uint8_t>(RankOfId(id));
    card.Points = CardPoints(card.Rank);
    card.Spare = 0;
    card.Suit = static_cast<std::uint8_t>(SuitOfId(id));
    return card;
}

void FillDeck(TDeck& deck)
{
    deck.Count = DeckSize;
    for (int i = 1; i <= DeckSize; ++i)
        deck.Id(i) = static_cast<std::uint8_t>(i);
}

void ShuffleDeck(TDeck& deck, TRandomSource& random)
{
    FillDeck(deck);
    for (int k = 0; k < 250; ++k) {
        const int p = random.Random(DeckSize) + 1;
        const int q = random.Random(DeckSize) + 1;
        if (p < 1 || p > DeckSize || q < 1 || q > DeckSize)
            continue; // a source that breaks its range leaves the deck as it is
        std::swap(deck.Id(p), deck.Id(q));
    }
}

int HandCardCount(const THand& hand)
{
    int n = 0;
    for (const TSuitGroup& g : hand.Groups)
        n += g.Count;
    return n;
}

void SortHand(THand& hand)
{
    for (TSuitGroup& g : hand.Groups)
        for (int i = 1; i < g.Count; ++i)
            for (int j = i + 1; j <= g.Count; ++j)
                if (g.Card(j).Rank < g.Card(i).Rank)
                    std::swap(g.Card(i), g.Card(j));
}

void ClearHand(THand& hand)
{
    for (TSuitGroup& g : hand.Groups)
        g.Count = 0;
}

void AddHandCard(THand& hand, const TCard& card)
{
    if (card.Suit < 1 || card.Suit > SuitCount)
        return;
    hand[card.Suit].Append(card);
}

void RemoveHandCard(THand& hand, int suit, int index)
{
    if (suit < 1 || suit > SuitCount)
        return;
    TSuitGroup& g = hand[suit];
    if (index < 1 || index > g.Count)
        return;
    for (int i = index; i < g.Count; ++i)
        g.Card(i) = g.Card(i + 1);
    --g.Count;
}

bool LocateHandCard(const THand& hand, int n, TCardPlace& place)
{
    for (int s = 1; s <= SuitCount; ++s) {
        const int count = hand[s].Count;
        if (n <= count && n >= 1) {
            place.Suit = s;
            place.Index = n;
            return true;
        }
        n -= count;
    }
    return false;
}

int FindFourOfSuit(const THand& hand)
{
    for (int s = 1; s <= SuitCount; ++s)
        if (hand[s].Count == HandSize)
            return s;
    return 0;
}

int RowPoints(const TTableCards& row)
{
    int sum = 0;
    for (int i = 1; i <= row.Count; ++i)
        sum += row.Card(i).Points;
    return sum;
}

} // namespace pelvo
