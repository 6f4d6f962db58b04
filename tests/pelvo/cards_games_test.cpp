// Whole games of the computer against a simple legal player, thousands of them from
// fixed seeds. A checker written from the rules, independently of the game's own code,
// watches every step: every card the user puts is accepted exactly when the rules
// allow it, every attack and defence of the computer is legal, every trick goes to the
// side the rules give it with its points, the deal refills from the top of the deck,
// no card is lost or doubled, a round holds 120 points, rounds are scored as the rules
// say and every game ends with one side at 12 or more.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>

#include "CardsTestSupport.h"

using namespace cardtest;

namespace {

// ---- The rules, written again for the checker ---------------------------------------

// The defence takes the trick when each of its cards, by position, is a trump or of the
// attack card's suit and not lower in weight.
bool DefenceTakes(const TTableCards& attack, const TTableCards& defence, int trump)
{
    if (attack.Count != defence.Count)
        return false;
    for (int i = 1; i <= attack.Count; ++i) {
        const TCard& a = attack.Card(i);
        const TCard& d = defence.Card(i);
        if (d.Suit != trump && d.Suit != a.Suit)
            return false;
        if (Weight(d, trump) < Weight(a, trump))
            return false;
    }
    return true;
}

int Points(const TTableCards& row)
{
    static const int byRank[] = {0, 0, 0, 0, 0, 2, 3, 4, 10, 11};
    int sum = 0;
    for (int i = 1; i <= row.Count; ++i)
        sum += byRank[row.Card(i).Rank];
    return sum;
}

int Award(int loserPoints) { return loserPoints == 0 ? 6 : loserPoints < 32 ? 4 : loserPoints < 60 ? 2 : 0; }

// A few cards without allocation.
struct CardList {
    TCard Items[8]{};
    std::size_t N = 0;
    std::size_t size() const { return N; }
    const TCard& operator[](std::size_t i) const { return Items[i]; }
    const TCard* begin() const { return Items; }
    const TCard* end() const { return Items + N; }
    void push_back(const TCard& c)
    {
        if (N < 8)
            Items[N++] = c;
    }
};

CardList Flatten(const THand& hand)
{
    CardList out;
    for (int s = 1; s <= 4; ++s)
        for (int i = 1; i <= hand[s].Count; ++i)
            out.push_back(hand[s].Card(i));
    return out;
}

CardList Flatten(const TTableCards& row)
{
    CardList out;
    for (int i = 1; i <= row.Count; ++i)
        out.push_back(row.Card(i));
    return out;
}

// One bit per card of the deck.
std::uint64_t Bit(const TCard& c) { return std::uint64_t{1} << ((c.Suit - 1) * 9 + (c.Rank - 1)); }

std::uint64_t Mask(const THand& hand)
{
    std::uint64_t m = 0;
    for (int s = 1; s <= 4; ++s)
        for (int i = 1; i <= hand[s].Count; ++i)
            m |= Bit(hand[s].Card(i));
    return m;
}

std::uint64_t Mask(const TTableCards& row)
{
    std::uint64_t m = 0;
    for (int i = 1; i <= row.Count; ++i)
        m |= Bit(row.Card(i));
    return m;
}

int FourOfSuit(const THand& hand)
{
    for (int s = 1; s <= 4; ++s)
        if (hand[s].Count == 4)
            return s;
    return 0;
}

bool MoveDoneExpected(const TGame& g)
{
    return g.ComputerTable.Count > 0 ? g.UserTable.Count == g.ComputerTable.Count : g.UserTable.Count > 0;
}

struct Snap {
    THand User, Computer;
    TTableCards UserTable, ComputerTable;
    TDeck Deck;
    int UserPoints = 0, ComputerPoints = 0, UserScore = 0, ComputerScore = 0, Trump = 0;
    bool ComputerLeads = false;
};

Snap Take(const TGame& g)
{
    Snap s;
    s.User = g.UserHand;
    s.Computer = g.ComputerHand;
    s.UserTable = g.UserTable;
    s.ComputerTable = g.ComputerTable;
    s.Deck = g.Deck;
    s.UserPoints = g.UserRoundPoints;
    s.ComputerPoints = g.ComputerRoundPoints;
    s.UserScore = g.UserScore;
    s.ComputerScore = g.ComputerScore;
    s.Trump = g.Trump;
    s.ComputerLeads = g.ComputerLeads;
    return s;
}

bool SameState(const Snap& a, const Snap& b)
{
    return Names(a.User) == Names(b.User) && Names(a.Computer) == Names(b.Computer) &&
           Names(a.UserTable) == Names(b.UserTable) && Names(a.ComputerTable) == Names(b.ComputerTable) &&
           a.Deck.Count == b.Deck.Count && a.UserPoints == b.UserPoints && a.ComputerPoints == b.ComputerPoints &&
           a.UserScore == b.UserScore && a.ComputerScore == b.ComputerScore && a.ComputerLeads == b.ComputerLeads &&
           a.Trump == b.Trump;
}

int HandCount(const THand& h)
{
    int n = 0;
    for (int s = 1; s <= 4; ++s)
        n += h[s].Count;
    return n;
}

// ---- The checker ------------------------------------------------------------------

class Checker;

// The hand read suit 1..4 as the hand slots show it.
TTableCards HandRow(const THand& hand)
{
    TTableCards row;
    for (int s = 1; s <= 4; ++s)
        for (int i = 1; i <= hand[s].Count; ++i)
            row.Append(hand[s].Card(i));
    return row;
}

class CheckingView : public TRecordingView {
public:
    Checker* Check = nullptr;
    void SetSlot(TSlotRow row, int slot, const TCard* card) override
    {
        SlotCards[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot - 1)] = card ? *card : TCard{};
    }
    // The slots of the row show exactly these cards, the rest blank.
    bool Shows(TSlotRow row, const TTableCards& cards) const
    {
        const auto& slots = SlotCards[static_cast<std::size_t>(row)];
        for (int k = 1; k <= 4; ++k) {
            const TCard& shown = slots[static_cast<std::size_t>(k - 1)];
            if (k <= cards.Count ? !SameCard(shown, cards.Card(k)) : shown.Rank != 0)
                return false;
        }
        return true;
    }
    std::array<std::array<TCard, 4>, 3> SlotCards{};
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
};

// Every pause reads the clock twice: the first reading is where the checker looks at
// the computer's defence, the second ends the pause.
class CheckingClock : public TClock {
public:
    Checker* Check = nullptr;
    std::uint32_t MillisecondsOfDay() override;
    std::uint32_t Now = 0;
    bool InPause = false;
};

class Checker {
public:
    Checker(TGame& game, CheckingView& view, TRandomGenerator& player, int yesPercent)
        : Game(game), View(view), Player(player), YesPercent(yesPercent)
    {
        Taken.reserve(36);
        TakenByUser.reserve(36);
    }

    void Fail(const std::string& what)
    {
        if (Failures++ < 5)
            ADD_FAILURE() << what << " (game seed " << Seed << ", step " << Steps << ")";
    }
    void Expect(bool ok, const char* what)
    {
        if (!ok)
            Fail(what);
    }

    // A new game has just been started.
    void GameStarted()
    {
        Taken.clear();
        TakenByUser.clear();
        GameOverExpected = false;
        Expect(Game.UserScore == 0 && Game.ComputerScore == 0, "scores start at 0");
        Expect(View.Label(TGameLabel::GlCount) == "0:0", "score label starts at 0:0");
        Expect(View.Enabled(TGameButton::INV), "view-opponent button enabled");
        CheckRoundStart(Game.ComputerLeads);
        Stable();
    }

    // The user presses the move-done button with the trick as it stands.
    void BeforeMoveDone()
    {
        const Snap s = Take(Game);
        if (Game.ComputerLeads) {
            Pending = true;
            PendingSnap = s;
            PendingComputerAttacked = true;
        } else {
            DefenceExpected = true;
            DefenceBase = s;
        }
    }

    // The computer has put its defence and the game pauses.
    void OnPause()
    {
        ++Pauses;
        if (!DefenceExpected) {
            Fail("a pause without a defence to show");
            return;
        }
        DefenceExpected = false;
        const Snap now = Take(Game);
        Expect(!now.ComputerLeads, "the user attacks during the pause");
        if (now.UserTable.Count == 0 || now.ComputerTable.Count != now.UserTable.Count)
            Fail(Cat("the computer puts as many cards as the attack: ", Names(now.UserTable), " / ",
                     Names(now.ComputerTable)));
        // The defence comes out of the computer's hand.
        Expect((Mask(now.Computer) | Mask(now.ComputerTable)) == Mask(DefenceBase.Computer) &&
                   (Mask(now.Computer) & Mask(now.ComputerTable)) == 0,
               "the defence comes from the computer's hand");
        // A trump lead is answered with trumps while the computer holds any.
        if (now.UserTable.Card(1).Suit == now.Trump) {
            bool offSuit = false;
            for (const TCard& c : Flatten(now.ComputerTable))
                offSuit |= c.Suit != now.Trump;
            Expect(!offSuit || !HoldsSuit(now.Computer, now.Trump), "a trump lead answered with trumps");
        }
        Pending = true;
        PendingSnap = now;
        PendingComputerAttacked = false;
    }

    void OnMessage(const std::string& text)
    {
        Resolve(text == TextComputerOutOfTurn ? Event::ComputerOutOfTurn : Event::GameOver, text);
        Invariants();
    }

    bool OnQuestion(const std::string& text)
    {
        if (text == TextConfirmNewGame) {
            Expect(Game.GameUnderWay(), "the new-game question only during a game");
            return AcceptNewGame;
        }
        if (text != TextUserOutOfTurn)
            Fail(Cat("unknown question ", text));
        Resolve(Event::UserOutOfTurn, text);
        Invariants();
        const bool yes = Player.Random(100) < YesPercent;
        if (yes) {
            ++OutOfTurnPlays;
            DefenceExpected = true;
            DefenceBase = Take(Game);
        }
        return yes;
    }

    // The game waits for the user again.
    void Stable()
    {
        if (Pending)
            Resolve(Event::Stable, "");
        Expect(!DefenceExpected, "the user attacked but the computer did not defend");
        Invariants();
        const Snap s = Take(Game);
        Expect(!View.Enabled(TGameButton::BRUN) && !Game.MoveDoneEnabled(), "move-done disabled at the start of a turn");
        if (GameOverExpected) {
            Expect(!Game.GameUnderWay(), "the game is over");
            Expect(std::max(s.UserScore, s.ComputerScore) >= 12, "a side has 12");
            Expect(!View.Enabled(TGameButton::INV), "view-opponent button disabled at the end");
            Expect(View.TrumpShown == 0, "trump icon cleared at the end");
            Expect(View.Label(TGameLabel::GlCount) == Cat(int(s.ComputerScore), ":", int(s.UserScore)),
                   "the score label shows the final score");
            for (TSlotRow row : {TSlotRow::ComputerTable, TSlotRow::UserTable, TSlotRow::UserHand})
                Expect(View.Shows(row, TTableCards{}), "slots blank at the end");
            Over = true;
            return;
        }
        Expect(s.UserTable.Count == 0, "the user's table is empty at the start of a turn");
        Expect(HandCount(s.User) == HandCount(s.Computer) + s.ComputerTable.Count, "both sides hold as many cards");
        Expect(HandCount(s.User) > 0, "the user holds cards during a round");
        if (s.ComputerLeads) {
            // The computer leads a whole suit: one to four cards, ascending, and none of
            // that suit left in its hand.
            const TTableCards& t = s.ComputerTable;
            Expect(t.Count >= 1, "the computer leads at least one card");
            for (int i = 1; i <= t.Count; ++i) {
                Expect(t.Card(i).Suit == t.Card(1).Suit, "the computer leads one suit");
                Expect(i == 1 || t.Card(i - 1).Rank < t.Card(i).Rank, "the lead is in ascending order");
            }
            if (t.Count >= 1)
                Expect(s.Computer[t.Card(1).Suit].Count == 0, "the computer leads every card of the suit");
        } else {
            Expect(s.ComputerTable.Count == 0, "nothing on the computer's table when the user leads");
        }
        Expect(View.Shows(TSlotRow::ComputerTable, s.ComputerTable), "computer's table slots");
        Expect(View.Shows(TSlotRow::UserTable, s.UserTable), "user's table slots");
        Expect(View.Shows(TSlotRow::UserHand, HandRow(s.User)), "hand slots");
        Expect(View.Label(TGameLabel::CountUS) == std::to_string(s.UserPoints), "user's points label");
        Expect(View.Label(TGameLabel::CountPC) == std::to_string(s.ComputerPoints), "computer's points label");
        Expect(View.Label(TGameLabel::KolKrt) == std::to_string(s.Deck.Count), "cards-left label");
        Expect(View.TrumpShown == s.Trump, "trump icon");
    }

    TGame& Game;
    CheckingView& View;
    TRandomGenerator& Player;
    int YesPercent;
    std::uint64_t Seed = 0;
    int Steps = 0;
    int Failures = 0;
    int Pauses = 0, OutOfTurnPlays = 0, ComputerOutOfTurn = 0, Rounds = 0, Restarts = 0;
    bool Over = false;
    bool AcceptNewGame = false;

private:
    enum class Event { Stable, ComputerOutOfTurn, UserOutOfTurn, GameOver };

    void CheckRoundStart(bool computerLeads)
    {
        Taken.clear();
        TakenByUser.clear();
        ++Rounds;
        Expect(Game.UserRoundPoints == 0 && Game.ComputerRoundPoints == 0, "round points start at 0");
        Expect(Game.Deck.Count == 28, "28 cards left after the first deal");
        Expect(HandCount(Game.UserHand) == 4, "four cards for the user");
        Expect(HandCount(Game.ComputerHand) + Game.ComputerTable.Count == 4, "four cards for the computer");
        Expect(Game.ComputerLeads == computerLeads, "the attacker of the new round");
        Expect((Game.ComputerTable.Count > 0) == computerLeads, "the computer's opening attack");
    }

    // Settles the trick last put on the table, seen from the first event after it.
    void Resolve(Event event, const std::string& text)
    {
        if (!Pending) {
            if (event != Event::Stable)
                Fail(Cat("a dialog without a trick before it: ", text));
            return;
        }
        Pending = false;
        const Snap& b = PendingSnap;
        const Snap now = Take(Game);
        const TTableCards& attack = PendingComputerAttacked ? b.ComputerTable : b.UserTable;
        const TTableCards& defence = PendingComputerAttacked ? b.UserTable : b.ComputerTable;
        const bool defenderTakes = DefenceTakes(attack, defence, b.Trump);
        const bool computerTakes = PendingComputerAttacked != defenderTakes;
        const int points = Points(attack) + Points(defence);
        for (const TCard& c : Flatten(attack))
            Taken.push_back(c), TakenByUser.push_back(!computerTakes);
        for (const TCard& c : Flatten(defence))
            Taken.push_back(c), TakenByUser.push_back(!computerTakes);
        const int userPoints = b.UserPoints + (computerTakes ? 0 : points);
        const int computerPoints = b.ComputerPoints + (computerTakes ? points : 0);
        const bool roundEnds = HandCount(b.User) == 0 && HandCount(b.Computer) == 0 && b.Deck.Count == 0;

        if (!roundEnds) {
            Expect(now.UserPoints == userPoints && now.ComputerPoints == computerPoints,
                   "trick points go to the side that takes it");
            // The deal: from the top of the deck, the user first, up to four cards.
            const int k = std::min(4 - HandCount(b.User), b.Deck.Count / 2);
            std::uint64_t user = Mask(b.User), computer = Mask(b.Computer);
            for (int i = 0; i < k; ++i) {
                user |= Bit(CardOfId(b.Deck.Id(b.Deck.Count - 2 * i)));
                computer |= Bit(CardOfId(b.Deck.Id(b.Deck.Count - 2 * i - 1)));
            }
            Expect(Mask(now.User) == user, "the user's hand after the deal");
            Expect((Mask(now.Computer) | Mask(now.ComputerTable)) == computer, "the computer's hand after the deal");
            Expect(now.Deck.Count == b.Deck.Count - 2 * k, "cards taken from the deck");
            switch (event) {
            case Event::Stable:
                Expect(now.ComputerLeads == computerTakes, "the side that takes the trick leads next");
                break;
            case Event::ComputerOutOfTurn:
                ++ComputerOutOfTurn;
                Expect(Game.OutOfTurnAllowed, "out-of-turn play only with the option on");
                Expect(!computerTakes, "the computer plays out of turn only when the user would lead");
                Expect(FourOfSuit(now.Computer) != 0, "the computer holds four of a suit");
                break;
            case Event::UserOutOfTurn:
                Expect(Game.OutOfTurnAllowed, "out-of-turn question only with the option on");
                Expect(computerTakes, "the user is asked only when the computer would lead");
                Expect(FourOfSuit(now.User) != 0, "the user holds four of a suit");
                Expect(now.ComputerTable.Count == 0, "the question comes before the computer's attack");
                break;
            case Event::GameOver:
                Fail(Cat("the game ended in the middle of a round: ", text));
                break;
            }
            return;
        }

        // The round is over: 120 points, scored by the points of the side that lost it.
        Expect(userPoints + computerPoints == 120, "a round holds 120 points");
        Expect(Taken.size() == 36, "every card was played in the round");
        int userScore = b.UserScore, computerScore = b.ComputerScore;
        if (computerPoints < 60)
            userScore += Award(computerPoints);
        else
            computerScore += Award(userPoints);
        if (now.UserScore != userScore || now.ComputerScore != computerScore)
            Fail(Cat("round scoring ", computerPoints, ":", userPoints));
        const bool gameOver = userScore >= 12 || computerScore >= 12;
        if (event == Event::GameOver) {
            Expect(gameOver, "the game ends only at 12");
            Expect(text == (computerScore >= 12 ? TextYouLost : TextYouWon), "the end-of-game message");
            GameOverExpected = true;
            // The final score is on the board while the message is shown.
            Expect(View.Label(TGameLabel::GlCount) == Cat(computerScore, ":", userScore),
                   "the score label during the message");
            return;
        }
        Expect(event == Event::Stable, "no out-of-turn play at the start of a round");
        Expect(!gameOver, "the game goes on below 12");
        Expect(View.Label(TGameLabel::GlCount) == Cat(computerScore, ":", userScore),
               "the score label");
        CheckRoundStart(computerTakes);
    }

    // Structure and conservation of the cards at any moment.
    void Invariants()
    {
        const TGame& s = Game;
        std::uint64_t all = 0;
        int count = 0;
        auto add = [&](const TCard& c) {
            if (all & Bit(c))
                Fail(Cat("a card twice: ", Name(c)));
            all |= Bit(c);
            ++count;
        };
        for (const TCard& c : Taken)
            add(c);
        for (int i = 1; i <= s.Deck.Count; ++i)
            add(CardOfId(s.Deck.Id(i)));
        for (const THand* h : {&s.UserHand, &s.ComputerHand}) {
            Expect(HandCount(*h) <= 4, "a hand holds at most four cards");
            for (int suit = 1; suit <= 4; ++suit) {
                const TSuitGroup& g = (*h)[suit];
                for (int i = 1; i <= g.Count; ++i) {
                    const TCard& c = g.Card(i);
                    Expect(c.Suit == suit, "a group holds its own suit");
                    Expect(i == 1 || g.Card(i - 1).Rank < c.Rank, "a group is sorted");
                    Expect(c.Points == CardPoints(c.Rank) && c.Spare == 0, "card fields");
                    add(c);
                }
            }
        }
        for (const TTableCards* row : {&s.UserTable, &s.ComputerTable})
            for (int i = 1; i <= row->Count; ++i)
                add(row->Card(i));
        if (GameOverExpected) {
            Expect(s.Deck.Count == 0, "the deck is empty at the end");
            return;
        }
        if (count != 36)
            Fail(Cat("every card exactly once: ", count));
        int userTaken = 0, computerTaken = 0;
        for (std::size_t i = 0; i < Taken.size(); ++i)
            (TakenByUser[i] ? userTaken : computerTaken) += CardPoints(Taken[i].Rank);
        Expect(s.UserRoundPoints == userTaken && s.ComputerRoundPoints == computerTaken,
               "round points match the tricks taken");
    }

    bool Pending = false;
    bool PendingComputerAttacked = false;
    Snap PendingSnap;
    bool DefenceExpected = false;
    Snap DefenceBase;
    bool GameOverExpected = false;
    std::vector<TCard> Taken;
    std::vector<bool> TakenByUser;
};

void CheckingView::ShowMessage(const std::string& text)
{
    TRecordingView::ShowMessage(text);
    Check->OnMessage(text);
}

bool CheckingView::AskYesNo(const std::string& text)
{
    Questions.push_back(text);
    return Check->OnQuestion(text);
}

std::uint32_t CheckingClock::MillisecondsOfDay()
{
    if (!InPause) {
        InPause = true;
        Check->OnPause();
        return Now;
    }
    InPause = false;
    Now = (Now + 1000) % MillisecondsPerDay;
    return Now;
}

// ---- The simple legal player ------------------------------------------------------

class SimplePlayer {
public:
    SimplePlayer(TGame& game, Checker& check, TRandomGenerator& rnd) : Game(game), Check(check), Rnd(rnd) {}

    // Plays the user's turn: puts cards, sometimes tries a card the rules refuse or
    // takes one back, then presses the move-done button.
    void Turn()
    {
        if (Rnd.Random(100) < 1)
            PeekAtOpponent();
        if (Rnd.Random(100) < 1)
            DeclineNewGame();
        int takeBacks = 0;
        for (;;) {
            ++Check.Steps;
            if (Check.Failures || Check.Steps > 100000)
                return;
            const bool defending = Game.ComputerTable.Count > 0;
            if (defending && Game.UserTable.Count == Game.ComputerTable.Count)
                break;
            if (!defending && Game.UserTable.Count > 0 && !WantsMore())
                break;
            if (Game.UserTable.Count > 0 && takeBacks < 2 && Rnd.Random(100) < 8) {
                ++takeBacks;
                TakeBack(Rnd.Random(Game.UserTable.Count) + 1);
                continue;
            }
            if (Rnd.Random(100) < 10)
                TryIllegal();
            const int n = Choose(defending);
            if (n == 0) {
                Check.Fail("no card to put");
                return;
            }
            Put(n);
        }
        Check.Expect(Game.MoveDoneEnabled() && Check.View.Enabled(TGameButton::BRUN), "move-done enabled");
        if (Rnd.Random(100) < 2)
            PeekAtOpponent();
        if (Rnd.Random(1000) < 3) {
            RestartMidTrick();
            return;
        }
        Check.BeforeMoveDone();
        Game.MoveDone();
        Check.Stable();
    }

private:
    CardList HandCards() const { return Flatten(Game.UserHand); }

    // The attack goes on while the chosen suit has cards left to add.
    bool WantsMore()
    {
        const int suit = Game.UserTable.Card(1).Suit;
        return Game.UserHand[suit].Count > 0 && Game.UserTable.Count < Target;
    }

    int Choose(bool defending)
    {
        const CardList hand = HandCards();
        if (!defending) {
            if (Game.UserTable.Count == 0) {
                // The longest suit, or now and then a random suit and count.
                int suit = 1;
                for (int s = 2; s <= 4; ++s)
                    if (Game.UserHand[s].Count > Game.UserHand[suit].Count)
                        suit = s;
                if (Rnd.Random(100) < 30) {
                    const TCard& c = hand[static_cast<std::size_t>(Rnd.Random(static_cast<int>(hand.size())))];
                    suit = c.Suit;
                    Target = Rnd.Random(Game.UserHand[suit].Count) + 1;
                } else {
                    Target = 4;
                }
                return Position(suit, 1);
            }
            return Position(Game.UserTable.Card(1).Suit, 1);
        }
        // Defence: the cheapest legal card that beats the attack card at this position,
        // else the cheapest legal card.
        const TCard& a = Game.ComputerTable.Card(Game.UserTable.Count + 1);
        int best = 0, bestWeight = 100;
        int fallback = 0, fallbackWeight = 100;
        for (std::size_t i = 0; i < hand.size(); ++i) {
            const TCard& c = hand[i];
            if (!UserMayPut(Game, c))
                continue;
            const int w = Weight(c, Game.Trump);
            const bool beats = (c.Suit == a.Suit || c.Suit == Game.Trump) && w > Weight(a, Game.Trump);
            if (beats && w < bestWeight)
                best = static_cast<int>(i) + 1, bestWeight = w;
            if (w < fallbackWeight)
                fallback = static_cast<int>(i) + 1, fallbackWeight = w;
        }
        return best ? best : fallback;
    }

    int Position(int suit, int index) const
    {
        int n = index;
        for (int s = 1; s < suit; ++s)
            n += Game.UserHand[s].Count;
        return n;
    }

    void Put(int n)
    {
        const CardList hand = HandCards();
        const bool inHand = n >= 1 && n <= static_cast<int>(hand.size());
        const bool legal = inHand && UserMayPut(Game, hand[static_cast<std::size_t>(n - 1)]);
        const int before = Game.UserTable.Count;
        Game.PlayUserCard(n);
        const bool moved = Game.UserTable.Count == before + 1;
        if (moved != legal)
            Check.Fail(Cat("card ", inHand ? Name(hand[static_cast<std::size_t>(n - 1)]) : std::string("none"),
                           legal ? " refused" : " accepted against the rules"));
        if (moved)
            Check.Expect(SameCard(Game.UserTable.Card(Game.UserTable.Count), hand[static_cast<std::size_t>(n - 1)]),
                         "the clicked card goes to the table");
        Check.Expect(Check.View.Enabled(TGameButton::BRUN) == MoveDoneExpected(Game), "move-done button state");
        Check.Expect(Check.View.Shows(TSlotRow::UserTable, Game.UserTable), "user's table slots");
        Check.Expect(Check.View.Shows(TSlotRow::UserHand, HandRow(Game.UserHand)), "hand slots");
    }

    void TryIllegal()
    {
        const CardList hand = HandCards();
        std::vector<int> refused;
        for (std::size_t i = 0; i < hand.size(); ++i)
            if (!UserMayPut(Game, hand[i]))
                refused.push_back(static_cast<int>(i) + 1);
        refused.push_back(static_cast<int>(hand.size()) + 1); // an empty slot
        Put(refused[static_cast<std::size_t>(Rnd.Random(static_cast<int>(refused.size())))]);
    }

    void TakeBack(int n)
    {
        const TCard card = Game.UserTable.Card(n);
        const int before = Game.UserTable.Count;
        Game.TakeBackTableCard(n);
        Check.Expect(Game.UserTable.Count == before - 1, "a table card goes back");
        bool inHand = false;
        for (const TCard& c : HandCards())
            inHand |= SameCard(c, card);
        Check.Expect(inHand, "the card is back in the hand");
        Check.Expect(Check.View.Enabled(TGameButton::BRUN) == MoveDoneExpected(Game), "move-done after a take-back");
    }

    // Views the opponent's cards: nothing can be played meanwhile.
    void PeekAtOpponent()
    {
        const Snap before = Take(Game);
        Game.ToggleOpponentCards();
        Check.Expect(Game.ShowOpponentCards, "opponent's cards in view");
        Check.Expect(Check.View.Shows(TSlotRow::UserHand, HandRow(before.Computer)), "the hand slots show the other hand");
        Game.PlayUserCard(1);
        Game.MoveDone();
        Game.TakeBackTableCard(1);
        Game.ToggleOpponentCards();
        Check.Expect(!Game.ShowOpponentCards && Check.View.Label(TGameLabel::Label1).empty(), "view back to normal");
        Check.Expect(SameState(before, Take(Game)), "nothing is played while the opponent's cards are in view");
    }

    // New game, confirmed, with cards on the table.
    void RestartMidTrick()
    {
        Check.AcceptNewGame = true;
        Check.Expect(Game.NewGame(), "confirmed new game");
        Check.AcceptNewGame = false;
        ++Check.Restarts;
        Check.Expect(!Game.ShowOpponentCards && Check.View.Label(TGameLabel::Label1).empty(), "a new game shows the user's own cards");
        Check.GameStarted();
    }

    void DeclineNewGame()
    {
        const Snap before = Take(Game);
        Check.Expect(!Game.NewGame(), "declined new game");
        Check.Expect(SameState(before, Take(Game)), "a declined new game changes nothing");
    }

    TGame& Game;
    Checker& Check;
    TRandomGenerator& Rnd;
    int Target = 4;
};

// ---- The games ----------------------------------------------------------------------

struct Config {
    const char* name;
    int level;
    bool outOfTurn;
    int yesPercent; // how often the player takes an out-of-turn chance
    int games;
    std::uint64_t seed;
};

struct Totals {
    int computerWins = 0, userWins = 0, rounds = 0, pauses = 0, outOfTurnPlays = 0, computerOutOfTurn = 0;
    int maxSteps = 0, restarts = 0;
};

Totals PlayGames(const Config& c)
{
    Totals t;
    for (int g = 0; g < c.games; ++g) {
        const std::uint64_t seed = c.seed * 1000003u + static_cast<std::uint64_t>(g);
        TRandomGenerator gameRandom(seed), playerRandom(seed ^ 0x5DEECE66Dull);
        CheckingView view;
        CheckingClock clock;
        TGame game(&view, &gameRandom, &clock);
        Checker check(game, view, playerRandom, c.yesPercent);
        check.Seed = seed;
        view.Check = &check;
        clock.Check = &check;
        SimplePlayer player(game, check, playerRandom);

        game.StartUp();
        gameRandom.Seed(seed); // start-up seeded it from the clock
        game.SkillLevel = static_cast<std::uint8_t>(c.level);
        game.OutOfTurnAllowed = c.outOfTurn;
        if (!game.NewGame()) {
            ADD_FAILURE() << "no game started";
            break;
        }
        check.GameStarted();
        while (!check.Over && !check.Failures && check.Steps <= 100000)
            player.Turn();
        EXPECT_TRUE(check.Over) << "game " << seed << " did not end";
        if (check.Failures) {
            ADD_FAILURE() << c.name << ": game " << seed << " broke the rules";
            break;
        }
        (game.ComputerScore >= 12 ? t.computerWins : t.userWins) += 1;
        t.rounds += check.Rounds;
        t.pauses += check.Pauses;
        t.outOfTurnPlays += check.OutOfTurnPlays;
        t.computerOutOfTurn += check.ComputerOutOfTurn;
        t.maxSteps = std::max(t.maxSteps, check.Steps);
        t.restarts += check.Restarts;
    }
    return t;
}

class WholeGames : public ::testing::TestWithParam<Config> {};

void PrintTo(const Config& c, std::ostream* os) { *os << c.name; }

} // namespace

TEST_P(WholeGames, FollowTheRules)
{
    const Config& c = GetParam();
    const Totals t = PlayGames(c);
    EXPECT_EQ(t.computerWins + t.userWins, c.games);
    EXPECT_GT(t.pauses, 0);
    EXPECT_GT(t.restarts, 0) << "some games are restarted in the middle of a trick";
    if (c.outOfTurn) {
        // Four-card suits turn up often enough for both sides to play out of turn.
        EXPECT_GT(t.computerOutOfTurn, 0);
        if (c.yesPercent > 0) {
            EXPECT_GT(t.outOfTurnPlays, 0);
        }
    } else {
        EXPECT_EQ(t.computerOutOfTurn + t.outOfTurnPlays, 0);
    }
    std::cout << c.name << ": computer won " << t.computerWins << " of " << c.games << " games ("
              << 100.0 * t.computerWins / c.games << "%), " << t.rounds << " rounds\n";
}

INSTANTIATE_TEST_SUITE_P(
    Seeded, WholeGames,
    ::testing::Values(Config{"level1", 1, false, 0, 250, 11}, Config{"level2", 2, false, 0, 250, 12},
                      Config{"level3", 3, false, 0, 250, 13}, Config{"level4", 4, false, 0, 250, 14},
                      Config{"level1_out_of_turn", 1, true, 50, 250, 21},
                      Config{"level2_out_of_turn", 2, true, 100, 250, 22},
                      Config{"level3_out_of_turn", 3, true, 0, 250, 23},
                      Config{"level4_out_of_turn", 4, true, 50, 250, 24}),
    [](const ::testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });
