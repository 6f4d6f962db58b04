// The computer player: which suit it leads and which cards it puts in defence.
#include <algorithm>
#include <cstdlib>

#include "pelvo/Game.h"

namespace pelvo {

bool CanBeatAll(const THand& hand, const TTableCards& attack, int trump, TAssignment& assignment)
{
    assignment = TAssignment{};
    if (attack.Count == 0)
        return true;

    // Attack positions by plain rank, highest first; equal ranks keep table order.
    std::array<int, HandSize> order{};
    std::array<bool, HandSize + 1> taken{};
    for (int place = 0; place < attack.Count; ++place) {
        int best = 0;
        for (int pos = 1; pos <= attack.Count; ++pos)
            if (!taken[static_cast<std::size_t>(pos)] && (best == 0 || attack.Card(pos).Rank > attack.Card(best).Rank))
                best = pos;
        taken[static_cast<std::size_t>(best)] = true;
        order[static_cast<std::size_t>(place)] = best;
    }

    const int s = attack.Card(1).Suit;
    if (s < 1 || s > SuitCount || trump < 1 || trump > SuitCount)
        return false;
    int ns = hand[s].Count;
    int nt = hand[trump].Count;
    for (int place = 0; place < attack.Count; ++place) {
        const int pos = order[static_cast<std::size_t>(place)];
        TCardPlace& chosen = assignment[static_cast<std::size_t>(pos - 1)];
        // The group is sorted, so its highest remaining card is the only one that can
        // outrank this attack card if any can.
        if (ns >= 1 && hand[s].Card(ns).Rank > attack.Card(pos).Rank) {
            chosen = {s, ns};
            --ns;
        } else if (s != trump && nt >= 1) {
            chosen = {trump, nt};
            --nt;
        } else {
            return false;
        }
    }
    return true;
}

bool PickLowestCard(const THand& hand, int trump, bool trumpLead, TCardPlace& place)
{
    if (trumpLead && trump >= 1 && trump <= SuitCount && hand[trump].Count > 0) {
        const TSuitGroup& g = hand[trump];
        int best = 1;
        for (int i = 2; i <= g.Count; ++i)
            if (g.Card(i).Rank < g.Card(best).Rank)
                best = i;
        place = {trump, best};
        return true;
    }
    bool found = false;
    int bestRank = 0;
    for (int s = 1; s <= SuitCount; ++s)
        for (int i = 1; i <= hand[s].Count; ++i) {
            const int w = WeightedRank(hand[s].Card(i), trump);
            if (!found || w < bestRank) {
                found = true;
                bestRank = w;
                place = {s, i};
            }
        }
    return found;
}

void TGame::ComputerMove()
{
    if (ComputerLeads)
        ComputerAttack();
    else
        ComputerDefend();
}

void TGame::ComputerAttack()
{
    const int level = std::clamp<int>(SkillLevel, 1, 4);
    const bool foresight = Rand->Random(5 - level) == 0;

    int choice = 0;
    int bestCount = 0;
    TAssignment assignment{};
    for (int s = 1; s <= SuitCount; ++s) {
        const int count = ComputerHand[s].Count;
        if (foresight) {
            // Lead the longest suit the user cannot beat.
            if (count > 0 && !CanBeatAll(UserHand, ComputerHand[s], Trump, assignment) && count > bestCount) {
                bestCount = count;
                choice = s;
            }
        } else if (count > bestCount || (count == bestCount && s == Trump)) {
            // The longest suit, trumps winning a tie. An empty trump suit can be chosen
            // here while nothing better has been seen; it counts as no choice.
            bestCount = count;
            choice = s;
        }
    }

    if (choice == 0 || ComputerHand[choice].Count == 0) {
        // The user can beat every suit: give away the fewest points, and among nearly
        // equally cheap attacks the one that costs the user the strongest cards.
        int bestLoss = 255;
        float bestRatio = 0.0f;
        choice = 0;
        for (int s = 1; s <= SuitCount; ++s) {
            const TSuitGroup& group = ComputerHand[s];
            if (group.Count == 0)
                continue;
            CanBeatAll(UserHand, group, Trump, assignment);
            int loss = 0;
            int userWeight = 0;
            int groupWeight = 0;
            for (int i = 1; i <= group.Count; ++i) {
                loss += group.Card(i).Points;
                groupWeight += WeightedRank(group.Card(i), Trump);
                const TCardPlace& answer = assignment[static_cast<std::size_t>(i - 1)];
                if (answer.Suit != 0) {
                    const TCard& userCard = UserHand[answer.Suit].Card(answer.Index);
                    loss += userCard.Points;
                    userWeight += WeightedRank(userCard, Trump);
                }
            }
            if (std::abs(bestLoss - loss) <= 2)
                loss = bestLoss;
            const float ratio = static_cast<float>(userWeight) / static_cast<float>(groupWeight);
            if (loss < bestLoss) {
                bestLoss = loss;
                bestRatio = ratio;
                choice = s;
            } else if (loss == bestLoss && ratio > bestRatio) {
                bestRatio = ratio;
                choice = s;
            }
        }
    }

    if (choice == 0)
        return; // an empty hand has nothing to lead
    ComputerTable = ComputerHand[choice];
    ComputerHand[choice].Count = 0;
}

void TGame::ComputerDefend()
{
    const int count = UserTable.Count;
    ComputerTable.Count = 0;
    if (count == 0)
        return;

    TAssignment assignment{};
    if (CanBeatAll(ComputerHand, UserTable, Trump, assignment)) {
        for (int i = 1; i <= count; ++i) {
            const TCardPlace& p = assignment[static_cast<std::size_t>(i - 1)];
            ComputerTable.Card(i) = ComputerHand[p.Suit].Card(p.Index);
        }
        ComputerTable.Count = static_cast<std::uint8_t>(count);
        // Remove from the highest index down within each group, so that the places
        // still to be removed keep naming the same cards.
        std::array<TCardPlace, HandSize> used{};
        std::copy_n(assignment.begin(), count, used.begin());
        std::sort(used.begin(), used.begin() + count, [](const TCardPlace& a, const TCardPlace& b) {
            return a.Suit != b.Suit ? a.Suit < b.Suit : a.Index > b.Index;
        });
        for (int i = 0; i < count; ++i)
            RemoveHandCard(ComputerHand, used[static_cast<std::size_t>(i)].Suit, used[static_cast<std::size_t>(i)].Index);
        return;
    }

    // It cannot beat the attack: give up the cheapest cards, answering a trump lead
    // with trumps while it holds any.
    const bool trumpLead = UserTable.Card(1).Suit == Trump;
    for (int i = 1; i <= count; ++i) {
        TCardPlace p;
        if (!PickLowestCard(ComputerHand, Trump, trumpLead, p))
            break;
        ComputerTable.Append(ComputerHand[p.Suit].Card(p.Index));
        RemoveHandCard(ComputerHand, p.Suit, p.Index);
    }
}

} // namespace pelvo
