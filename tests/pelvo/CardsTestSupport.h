// Helpers shared by the card game's tests: a card notation, a scripted source of
// chance, a simulated clock and a view that records what the player would see.
//
// Notation: a card is its rank character "6789JQKTA" (T is the 10) followed by its
// suit digit 1..4, so "K1" is the king of suit 1 and "T3" the 10 of suit 3. A list is
// cards separated by blanks: "K1 T3 93".
#pragma once

#include <deque>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "pelvo/Cards.h"
#include "pelvo/Game.h"
#include "pelvo/GameView.h"
#include "pelvo/Random.h"

namespace cardtest {

using namespace pelvo;

// Joins texts and numbers into one string.
inline void AppendPart(std::string& s, const std::string& part) { s += part; }
inline void AppendPart(std::string& s, const char* part) { s += part; }
inline void AppendPart(std::string& s, char part) { s += part; }
inline void AppendPart(std::string& s, int part) { s += std::to_string(part); }
template <class... Parts>
std::string Cat(const Parts&... parts)
{
    std::string s;
    (AppendPart(s, parts), ...);
    return s;
}

inline TCard C(const std::string& text)
{
    static const std::string ranks = "6789JQKTA";
    const auto r = ranks.find(text.at(0));
    const int s = text.at(1) - '0';
    if (text.size() != 2 || r == std::string::npos || s < 1 || s > 4)
        throw std::invalid_argument("bad card " + text);
    TCard card;
    card.Rank = static_cast<std::uint8_t>(r + 1);
    card.Points = CardPoints(card.Rank);
    card.Suit = static_cast<std::uint8_t>(s);
    return card;
}

inline std::vector<TCard> Cards(const std::string& list)
{
    std::vector<TCard> out;
    std::istringstream in(list);
    std::string word;
    while (in >> word)
        out.push_back(C(word));
    return out;
}

inline std::string Name(const TCard& card)
{
    static const std::string ranks = "6789JQKTA";
    if (card.Rank < 1 || card.Rank > 9)
        return "??";
    std::string s(1, ranks[card.Rank - 1u]);
    AppendPart(s, card.Suit);
    return s;
}

inline THand Hand(const std::string& list)
{
    THand hand;
    for (const TCard& c : Cards(list))
        AddHandCard(hand, c);
    SortHand(hand);
    return hand;
}

inline TTableCards Row(const std::string& list)
{
    TTableCards row;
    for (const TCard& c : Cards(list))
        row.Append(c);
    return row;
}

inline std::string Names(const TTableCards& row)
{
    std::string s;
    for (int i = 1; i <= row.Count; ++i)
        AppendPart(s, i > 1 ? " " : ""), AppendPart(s, Name(row.Card(i)));
    return s;
}

// The hand read suit 1..4, each suit in stored order.
inline std::string Names(const THand& hand)
{
    std::string s;
    for (int suit = 1; suit <= 4; ++suit)
        for (int i = 1; i <= hand[suit].Count; ++i)
            AppendPart(s, s.empty() ? "" : " "), AppendPart(s, Name(hand[suit].Card(i)));
    return s;
}

// Deck whose cards are dealt in the order given: the first card goes to the user,
// the second to the computer, and so on.
inline TDeck DeckDealing(const std::string& list)
{
    const std::vector<TCard> cards = Cards(list);
    TDeck deck;
    deck.Count = static_cast<std::uint8_t>(cards.size());
    for (std::size_t k = 0; k < cards.size(); ++k) {
        const TCard& c = cards[k];
        deck.Id(deck.Count - static_cast<int>(k)) = static_cast<std::uint8_t>((c.Rank - 1) * 4 + c.Suit);
    }
    return deck;
}

// ---- The rules, written again for the tests -----------------------------------------

// A card's weight: trumps rank above every other suit.
inline int Weight(const TCard& c, int trump) { return c.Suit == trump ? c.Rank + 10 : c.Rank; }

inline bool HoldsSuit(const THand& hand, int suit) { return hand[suit].Count > 0; }

// Whether the user may put the card on the table now.
inline bool UserMayPut(const TGame& g, const TCard& card)
{
    if (g.ComputerTable.Count > 0) {
        if (g.UserTable.Count >= g.ComputerTable.Count)
            return false;
        const bool trumpLead = g.ComputerTable.Card(1).Suit == g.Trump;
        return !trumpLead || card.Suit == g.Trump || !HoldsSuit(g.UserHand, g.Trump);
    }
    return g.UserTable.Count == 0 || card.Suit == g.UserTable.Card(1).Suit;
}

// Hands out the scripted values first, then the values of a seeded generator; keeps
// the bound of every draw.
class TScriptedRandom : public TRandomSource {
public:
    explicit TScriptedRandom(std::vector<int> script = {}, std::uint64_t seed = 1)
        : Script(script.begin(), script.end()), Fallback(seed) {}
    int Random(int n) override
    {
        Bounds.push_back(n);
        if (!Script.empty()) {
            const int v = Script.front();
            Script.pop_front();
            return v;
        }
        return Fallback.Random(n);
    }
    void Push(std::vector<int> values) { Script.insert(Script.end(), values.begin(), values.end()); }
    std::deque<int> Script;
    std::vector<int> Bounds;
    TRandomGenerator Fallback;
};

// A clock that moves on by Step milliseconds at every reading.
class TFakeClock : public TClock {
public:
    explicit TFakeClock(std::uint32_t start = 12 * 3600 * 1000, std::uint32_t step = 250) : Now(start), Step(step) {}
    std::uint32_t MillisecondsOfDay() override
    {
        ++Readings;
        const std::uint32_t t = Now;
        Now = (Now + Step) % MillisecondsPerDay;
        return t;
    }
    std::uint32_t Now;
    std::uint32_t Step;
    int Readings = 0;
};

// Records the state of everything the player would see.
class TRecordingView : public TGameView {
public:
    void SetLabel(TGameLabel label, const std::string& text) override { Labels[label] = text; }
    void SetButtonEnabled(TGameButton button, bool enabled) override { Buttons[button] = enabled; }
    void ShowTrump(int suit) override { TrumpShown = suit; }
    void SetSlot(TSlotRow row, int slot, const TCard* card) override
    {
        Slots[row][slot - 1] = card ? Name(*card) : "";
        if (card)
            ++Repaints;
    }
    void ShowGamePage() override { ++GamePageShown; }
    void ShowMessage(const std::string& text) override
    {
        Messages.push_back(text);
        ScoresAtMessages.push_back(Label(TGameLabel::GlCount));
    }
    bool AskYesNo(const std::string& text) override
    {
        Questions.push_back(text);
        if (Answers.empty())
            return false;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    std::string Label(TGameLabel label) const
    {
        auto it = Labels.find(label);
        return it == Labels.end() ? "" : it->second;
    }
    bool Enabled(TGameButton button) const
    {
        auto it = Buttons.find(button);
        return it != Buttons.end() && it->second;
    }
    // The cards a row of slots shows, blank slots left out.
    std::string Shown(TSlotRow row) const
    {
        std::string s;
        auto it = Slots.find(row);
        if (it == Slots.end())
            return s;
        for (const std::string& c : it->second)
            if (!c.empty())
                AppendPart(s, s.empty() ? "" : " "), AppendPart(s, c);
        return s;
    }

    std::map<TGameLabel, std::string> Labels;
    std::map<TGameButton, bool> Buttons;
    std::map<TSlotRow, std::array<std::string, 4>> Slots;
    int TrumpShown = -1;
    int Repaints = 0;
    int GamePageShown = 0;
    std::vector<std::string> Messages;
    // The score label as each message came.
    std::vector<std::string> ScoresAtMessages;
    std::vector<std::string> Questions;
    std::deque<bool> Answers;
};

} // namespace cardtest
