// What the card game shows the player, as the rules see it. The main form implements
// this over its real controls; the rules never touch a window themselves.
#pragma once

#include <string>

#include "pelvo/Cards.h"

namespace pelvo {

// Labels of the score panel and the warning label on the form.
enum class TGameLabel {
    CountPC, // the computer's round points
    CountUS, // the user's round points
    KolKrt,  // cards left in the deck
    GlCount, // the game score, computer first ("4:2")
    Label1   // the warning shown while the opponent's cards are in view
};

enum class TGameButton {
    BRUN, // "Ход сделан", the move-done button
    INV   // "Мухлевать", view the opponent's cards
};

// The three rows of card slots.
enum class TSlotRow {
    ComputerTable, // StolPC1..StolPC4
    UserTable,     // StolUS1..StolUS4
    UserHand       // US1..US4
};

class TGameView {
public:
    virtual ~TGameView() = default;
    virtual void SetLabel(TGameLabel label, const std::string& text) = 0;
    virtual void SetButtonEnabled(TGameButton button, bool enabled) = 0;
    // Shows the icon of the trump suit 1..4 in KozImg; 0 clears it to an empty picture.
    virtual void ShowTrump(int suit) = 0;
    // Slot 1..4 of a row shows the card (its face picture is FacePicture(*card)), or
    // is blanked when card is null; the slot is repainted at once.
    virtual void SetSlot(TSlotRow row, int slot, const TCard* card) = 0;
    // Switches the form to the Game page.
    virtual void ShowGamePage() = 0;
    // Information dialog with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // Information dialog with Yes and No; true on Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // The one-second pause has ended: clicks and keys made while it held the program
    // are thrown away, since they were aimed at a table that has changed since.
    virtual void DiscardInput() {}
};

// A view that shows nothing and answers every question with No.
class TNullGameView : public TGameView {
public:
    void SetLabel(TGameLabel, const std::string&) override {}
    void SetButtonEnabled(TGameButton, bool) override {}
    void ShowTrump(int) override {}
    void SetSlot(TSlotRow, int, const TCard*) override {}
    void ShowGamePage() override {}
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
};

// The texts of the game's dialogs and labels.
inline constexpr const char* TextConfirmNewGame = "Вы уверены, что хотите начать игру заново?";
inline constexpr const char* TextComputerOutOfTurn =
    "У меня на руках все карты одной масти, поэтому я хожу вне очереди";
inline constexpr const char* TextUserOutOfTurn =
    "У вас на руках 4 карты одной масти. Вы можете ими походить вне очереди";
inline constexpr const char* TextYouLost = "Вы проиграли!";
inline constexpr const char* TextYouWon = "Вы выиграли!";
inline constexpr const char* TextOpponentCards = "Это чужие карты !!!";

} // namespace pelvo
