// The state and rules of one game of Pelvo: the user against the computer.
//
// The main form owns one TGame and forwards its clicks to it; everything the player
// sees goes out through the TGameView the game is given. The game keeps its own copy
// of the move-done and view-opponent buttons' enabled state and ignores their clicks
// while they are disabled, exactly as a disabled button would.
//
// How the form drives it:
//   first activation          StartUp()
//   NewGame button            NewGame() (asks first; switches pages through the view)
//   hand slots US1..US4       PlayUserCard(1..4)
//   table slots StolUS1..4    TakeBackTableCard(1..4)
//   BRUN ("Ход сделан")       MoveDone()
//   INV ("Мухлевать")         ToggleOpponentCards()
//   hidden Button1            SetTestPosition()
//   RadioButton1..4 entered   SkillLevel = 1..4
//   CheckBox1 clicked         OutOfTurnAllowed = its state
// The view's SetSlot receives each card to draw; its face picture is FacePicture(card)
// and the trump icon TrumpIconPicture(suit) (Cards.h).
#pragma once

#include <array>
#include <cstdint>

#include "pelvo/Cards.h"
#include "pelvo/GameView.h"
#include "pelvo/Random.h"

namespace pelvo {

// For each attack position 1..4, the card of the defending hand that beats it.
using TAssignment = std::array<TCardPlace, HandSize>;

// True when every defence card beats the attack card in the same position: it must
// be a trump or of the attack card's suit, and not of lower weighted rank. Cards are
// matched strictly by position; an empty attack counts as beaten.
bool DefenceBeatsAll(const TTableCards& attack, const TTableCards& defence, int trump);

// Greedy test whether the hand can beat every attack card, and with which cards. The
// attack positions are taken by plain rank, highest first; each gets the highest
// remaining card of the attack's suit when that outranks it, else (unless the attack
// is in trumps) the highest remaining trump.
bool CanBeatAll(const THand& hand, const TTableCards& attack, int trump, TAssignment& assignment);

// The cheapest card to give up: against a trump lead the lowest trump while there is
// one, else the first card of lowest weighted rank over suits 1..4. False for an empty
// hand.
bool PickLowestCard(const THand& hand, int trump, bool trumpLead, TCardPlace& place);

class TGame {
public:
    // Null arguments select a view that shows nothing, the program's generator and
    // the local clock.
    explicit TGame(TGameView* view = nullptr, TRandomSource* random = nullptr, TClock* clock = nullptr);
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    void SetView(TGameView* view);
    void SetRandom(TRandomSource* random);
    void SetClock(TClock* clock);
    TRandomSource& RandomSource() { return *Rand; }

    // Start-up of the program: seeds the generator, skill level 1, scores 0, the
    // out-of-turn option off, both buttons disabled, the deck in order. No game is dealt.
    void StartUp();

    // --- The player's actions --------------------------------------------------------
    // "Новая игра": asks first while a game is under way; false when the user declined.
    bool NewGame();
    // A click on hand slot n (1..4).
    void PlayUserCard(int n);
    // A click on the user's table slot n (1..4): takes that card back into the hand.
    void TakeBackTableCard(int n);
    // "Ход сделан".
    void MoveDone();
    // "Мухлевать": exchanges the hands for viewing, and back.
    void ToggleOpponentCards();
    // The hidden test button: a fixed position with trumps in suit 3, then the
    // computer's move.
    void SetTestPosition();

    // --- Rules (public so that the form and tests can reach every step) ---------------
    void StartRound();
    // Deals the hands up to four cards; when the deck and both hands are empty, scores
    // the round instead. True while the round goes on.
    bool DealOrScoreRound();
    void ResolveTrick();
    void ComputerMove();
    void RedrawCards();
    // Forgets what the slots show, so that the next redraw repaints every slot.
    void ClearRedrawMemory();
    // Fills and shuffles the deck, empties both hands and tables and forgets what the
    // slots show.
    void ShuffleDeck();
    void SortUserHand() { SortHand(UserHand); }
    void SortComputerHand() { SortHand(ComputerHand); }
    void PauseOneSecond();

    int UserCardCount() const { return HandCardCount(UserHand); }
    int ComputerCardCount() const { return HandCardCount(ComputerHand); }
    int TablePoints() const { return RowPoints(ComputerTable) + RowPoints(UserTable); }
    bool MoveDoneEnabled() const { return BrunEnabled; }
    bool ViewOpponentEnabled() const { return InvEnabled; }
    // A game is under way while any card is in a hand or on the table.
    bool GameUnderWay() const;

    // --- Game variables ---------------------------------------------------------------
    THand UserHand{}, ComputerHand{};
    TTableCards UserTable{}, ComputerTable{};
    TDeck Deck{};
    std::uint8_t Trump = 1;
    std::uint8_t SkillLevel = 1;
    bool ComputerLeads = true;
    bool ShowOpponentCards = false;
    bool OutOfTurnAllowed = false;
    std::uint8_t UserRoundPoints = 0, ComputerRoundPoints = 0;
    std::uint8_t UserScore = 0, ComputerScore = 0;

private:
    struct TSlotMemory {
        int Count = 0;
        std::array<TCard, HandSize> Cards{};
    };

    void SetBrun(bool enabled);
    void SetInv(bool enabled);
    void ShowPoints(TGameLabel label, int points);
    void RedrawRow(TSlotRow row, TSlotMemory& memory, const TCard* cards, int count);
    void ScoreRound();
    void EndGame();
    void ComputerAttack();
    void ComputerDefend();
    void ComputerOutOfTurnCheck();
    void UserOutOfTurnCheck();
    bool AskPlayOutOfTurn();

    TNullGameView NullView;
    TRandomGenerator OwnRandom;
    TLocalClock OwnClock;
    TGameView* View = &NullView;
    TRandomSource* Rand = &OwnRandom;
    TClock* Clock = &OwnClock;
    bool BrunEnabled = false;
    bool InvEnabled = false;
    std::array<TSlotMemory, 3> SlotMemory{};
};

} // namespace pelvo
