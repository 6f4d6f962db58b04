// Rounds, tricks and scoring: the rules of play.
#include <string>
#include <utility>

#include "pelvo/Game.h"

namespace pelvo {

bool DefenceBeatsAll(const TTableCards& attack, const TTableCards& defence, int trump)
{
    if (defence.Count < attack.Count)
        return false;
    bool result = true;
    for (int i = 1; i <= attack.Count; ++i) {
        const TCard& a = attack.Card(i);
        const TCard& d = defence.Card(i);
        if (WeightedRank(a, trump) > WeightedRank(d, trump))
            result = false;
        if (d.Suit != trump && d.Suit != a.Suit)
            result = false;
    }
    return result;
}

TGame::TGame(TGameView* view, TRandomSource* random, TClock* clock)
{
    SetView(view);
    SetRandom(random);
    SetClock(clock);
}

void TGame::SetView(TGameView* view) { View = view ? view : &NullView; }
void TGame::SetRandom(TRandomSource* random) { Rand = random ? random : &OwnRandom; }
void TGame::SetClock(TClock* clock) { Clock = clock ? clock : &OwnClock; }

void TGame::SetBrun(bool enabled)
{
    BrunEnabled = enabled;
    View->SetButtonEnabled(TGameButton::BRUN, enabled);
}

void TGame::SetInv(bool enabled)
{
    InvEnabled = enabled;
    View->SetButtonEnabled(TGameButton::INV, enabled);
}

void TGame::ShowPoints(TGameLabel label, int points)
{
    View->SetLabel(label, std::to_string(points));
}

bool TGame::GameUnderWay() const
{
    return UserCardCount() > 0 || ComputerCardCount() > 0 || UserTable.Count > 0 || ComputerTable.Count > 0;
}

void TGame::StartUp()
{
    Rand->Randomize();
    SkillLevel = 1;
    ComputerScore = 0;
    UserScore = 0;
    OutOfTurnAllowed = false;
    ComputerLeads = true;
    SetBrun(false);
    SetInv(false);
    FillDeck(Deck);
}

bool TGame::NewGame()
{
    // The question stands whenever cards are in play, also when the user has just put
    // the last of his hand on the table.
    if (GameUnderWay() && !View->AskYesNo(TextConfirmNewGame))
        return false;
    View->ShowGamePage();
    if (ShowOpponentCards) {
        // The new deal replaces both hands, so they need not be exchanged back; the
        // warning goes with the view.
        ShowOpponentCards = false;
        View->SetLabel(TGameLabel::Label1, "");
    }
    ComputerLeads = Rand->Random(2) == 0;
    View->SetLabel(TGameLabel::GlCount, "0:0");
    ComputerScore = 0;
    UserScore = 0;
    StartRound();
    SetBrun(false);
    SetInv(true);
    return true;
}

void TGame::ShuffleDeck()
{
    pelvo::ShuffleDeck(Deck, *Rand);
    ClearHand(UserHand);
    ClearHand(ComputerHand);
    UserTable.Count = 0;
    ComputerTable.Count = 0;
    ClearRedrawMemory();
}

void TGame::StartRound()
{
    UserRoundPoints = 0;
    ComputerRoundPoints = 0;
    // The trump is drawn on its own, before and independently of the shuffle.
    Trump = static_cast<std::uint8_t>(Rand->Random(SuitCount) + 1);
    View->ShowTrump(Trump);
    View->SetLabel(TGameLabel::CountUS, "0");
    View->SetLabel(TGameLabel::CountPC, "0");
    ShuffleDeck();
    DealOrScoreRound();
    if (ComputerLeads)
        ComputerMove();
    RedrawCards();
}

bool TGame::DealOrScoreRound()
{
    UserTable.Count = 0;
    ComputerTable.Count = 0;
    if (ComputerCardCount() == 0 && UserCardCount() == 0 && Deck.Count == 0) {
        ScoreRound();
        return false;
    }
    // Both sides play as many cards in every trick, so the computer holds as many
    // cards as the user here.
    const int n = HandSize - UserCardCount();
    for (int k = 0; k < n; ++k) {
        if (Deck.Count == 0) {
            View->SetLabel(TGameLabel::KolKrt, "0");
            break;
        }
        AddHandCard(UserHand, CardOfId(Deck.Id(Deck.Count)));
        --Deck.Count;
        if (Deck.Count == 0)
            break; // the deck holds an even number of cards; kept safe all the same
        AddHandCard(ComputerHand, CardOfId(Deck.Id(Deck.Count)));
        --Deck.Count;
    }
    SortComputerHand();
    SortUserHand();
    ShowPoints(TGameLabel::KolKrt, Deck.Count);
    return true;
}

void TGame::ScoreRound()
{
    auto award = [](int points) { return points == 0 ? 6 : points <= 31 ? 4 : points <= 59 ? 2 : 0; };
    if (ComputerRoundPoints < 60)
        UserScore = static_cast<std::uint8_t>(UserScore + award(ComputerRoundPoints));
    else
        ComputerScore = static_cast<std::uint8_t>(ComputerScore + award(UserRoundPoints)); // 60 : 60 scores nothing

    // The board shows the new total first, also the final one while the end of the game is
    // announced.
    View->SetLabel(TGameLabel::GlCount, std::to_string(ComputerScore) + ":" + std::to_string(UserScore));
    // The computer's total is tested first.
    if (ComputerScore >= 12) {
        View->ShowMessage(TextYouLost);
        EndGame();
    } else if (UserScore >= 12) {
        View->ShowMessage(TextYouWon);
        EndGame();
    } else {
        StartRound();
    }
}

void TGame::EndGame()
{
    // Only New game plays on; the score label then shows the final score.
    ClearHand(UserHand);
    ClearHand(ComputerHand);
    UserTable.Count = 0;
    ComputerTable.Count = 0;
    SetBrun(false);
    View->ShowTrump(0);
    RedrawCards();
    SetInv(false);
}

void TGame::PlayUserCard(int n)
{
    if (ShowOpponentCards)
        return;
    TCardPlace place;
    if (n >= 1 && n <= UserCardCount() && LocateHandCard(UserHand, n, place)) {
        const TCard card = UserHand[place.Suit].Card(place.Index);
        bool allowed = false;
        if (ComputerTable.Count > 0 && UserTable.Count < ComputerTable.Count) {
            // Defence: against a trump lead only trumps, while the user holds any.
            allowed = ComputerTable.Card(1).Suit != Trump || card.Suit == Trump || UserHand[Trump].Count == 0;
        } else if (ComputerTable.Count == 0) {
            // Attack: one to four cards of one suit.
            allowed = UserTable.Count == 0 || card.Suit == UserTable.Card(1).Suit;
        }
        if (allowed && UserTable.Count < HandSize) {
            UserTable.Append(card);
            RemoveHandCard(UserHand, place.Suit, place.Index);
            RedrawCards();
        }
    }
    if ((ComputerTable.Count > 0 && UserTable.Count == ComputerTable.Count) ||
        (ComputerTable.Count == 0 && UserTable.Count > 0))
        SetBrun(true);
}

void TGame::TakeBackTableCard(int n)
{
    if (ShowOpponentCards || n < 1 || n > UserTable.Count)
        return;
    AddHandCard(UserHand, UserTable.Card(n));
    for (int i = n; i < UserTable.Count; ++i)
        UserTable.Card(i) = UserTable.Card(i + 1);
    --UserTable.Count;
    // A defence is no longer complete; an attack taken back entirely leaves nothing to
    // decide, so the button goes off then too.
    if (ComputerLeads || UserTable.Count == 0)
        SetBrun(false);
    SortUserHand();
    RedrawCards();
}

void TGame::MoveDone()
{
    // While the hands are exchanged for viewing, the computer's hand is the user's:
    // nothing is played until they are exchanged back.
    if (!BrunEnabled || ShowOpponentCards)
        return;
    if (!ComputerLeads && UserTable.Count > 0) {
        ComputerMove();
        RedrawCards();
        PauseOneSecond();
        ResolveTrick();
    } else if (UserTable.Count == ComputerTable.Count && UserTable.Count > 0) {
        ResolveTrick();
    }
}

void TGame::ResolveTrick()
{
    SetBrun(false);
    const int points = TablePoints();
    if (ComputerLeads) {
        if (DefenceBeatsAll(ComputerTable, UserTable, Trump)) {
            ComputerLeads = false;
            UserRoundPoints = static_cast<std::uint8_t>(UserRoundPoints + points);
            ShowPoints(TGameLabel::CountUS, UserRoundPoints);
            if (DealOrScoreRound()) {
                RedrawCards();
                ComputerOutOfTurnCheck();
            }
        } else {
            ComputerLeads = true;
            ComputerRoundPoints = static_cast<std::uint8_t>(ComputerRoundPoints + points);
            ShowPoints(TGameLabel::CountPC, ComputerRoundPoints);
            if (DealOrScoreRound())
                UserOutOfTurnCheck();
        }
    } else {
        if (DefenceBeatsAll(UserTable, ComputerTable, Trump)) {
            ComputerRoundPoints = static_cast<std::uint8_t>(ComputerRoundPoints + points);
            ShowPoints(TGameLabel::CountPC, ComputerRoundPoints);
            ComputerLeads = true;
            if (DealOrScoreRound())
                UserOutOfTurnCheck();
        } else {
            UserRoundPoints = static_cast<std::uint8_t>(UserRoundPoints + points);
            ShowPoints(TGameLabel::CountUS, UserRoundPoints);
            ComputerLeads = false;
            if (DealOrScoreRound()) {
                RedrawCards();
                ComputerOutOfTurnCheck();
            }
        }
    }
}

void TGame::ComputerOutOfTurnCheck()
{
    if (!OutOfTurnAllowed)
        return;
    const int suit = FindFourOfSuit(ComputerHand);
    if (suit == 0)
        return;
    View->ShowMessage(TextComputerOutOfTurn);
    ComputerLeads = true;
    ComputerTable = ComputerHand[suit];
    ComputerHand[suit].Count = 0;
    RedrawCards();
}

bool TGame::AskPlayOutOfTurn()
{
    RedrawCards();
    return View->AskYesNo(TextUserOutOfTurn);
}

void TGame::UserOutOfTurnCheck()
{
    if (OutOfTurnAllowed) {
        const int suit = FindFourOfSuit(UserHand);
        if (suit != 0 && AskPlayOutOfTurn()) {
            UserTable = UserHand[suit];
            UserHand[suit].Count = 0;
            ComputerLeads = false;
            ComputerMove();
            RedrawCards();
            PauseOneSecond();
            ResolveTrick();
            return;
        }
    }
    ComputerMove();
    RedrawCards();
}

void TGame::PauseOneSecond()
{
    pelvo::PauseOneSecond(*Clock);
    View->DiscardInput();
}

void TGame::ToggleOpponentCards()
{
    if (!InvEnabled)
        return;
    ShowOpponentCards = !ShowOpponentCards;
    View->SetLabel(TGameLabel::Label1, ShowOpponentCards ? TextOpponentCards : "");
    std::swap(UserHand, ComputerHand);
    RedrawCards();
}

void TGame::SetTestPosition()
{
    SetInv(true);
    Trump = 3;
    auto card = [](int suit, int rank) {
        TCard c;
        c.Rank = static_cast<std::uint8_t>(rank);
        c.Points = CardPoints(rank);
        c.Suit = static_cast<std::uint8_t>(suit);
        return c;
    };
    ClearHand(UserHand);
    ClearHand(ComputerHand);
    AddHandCard(UserHand, card(1, RankTen));
    AddHandCard(UserHand, card(3, RankKing));
    AddHandCard(UserHand, card(4, RankNine));
    AddHandCard(UserHand, card(4, RankTen));
    AddHandCard(ComputerHand, card(1, RankSix));
    AddHandCard(ComputerHand, card(2, RankTen));
    AddHandCard(ComputerHand, card(4, RankSix));
    AddHandCard(ComputerHand, card(4, RankEight));
    ComputerMove();
    RedrawCards();
}

void TGame::ClearRedrawMemory()
{
    SlotMemory = {};
}

void TGame::RedrawRow(TSlotRow row, TSlotMemory& memory, const TCard* cards, int count)
{
    for (int k = 1; k <= count; ++k) {
        const TCard& card = cards[k - 1];
        TCard& drawn = memory.Cards[static_cast<std::size_t>(k - 1)];
        if (k > memory.Count || !SameCard(card, drawn))
            View->SetSlot(row, k, &card);
        drawn = card;
    }
    memory.Count = count;
    for (int k = count + 1; k <= HandSize; ++k)
        View->SetSlot(row, k, nullptr);
}

void TGame::RedrawCards()
{
    RedrawRow(TSlotRow::ComputerTable, SlotMemory[0], ComputerTable.Cards, ComputerTable.Count);
    RedrawRow(TSlotRow::UserTable, SlotMemory[1], UserTable.Cards, UserTable.Count);
    std::array<TCard, HandSize> hand{};
    int n = 0;
    for (int s = 1; s <= SuitCount; ++s)
        for (int i = 1; i <= UserHand[s].Count && n < HandSize; ++i)
            hand[static_cast<std::size_t>(n++)] = UserHand[s].Card(i);
    RedrawRow(TSlotRow::UserHand, SlotMemory[2], hand.data(), n);
}

} // namespace pelvo
