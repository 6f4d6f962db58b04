#include <benchmark/benchmark.h>

#include "pelvo/Game.h"

namespace {

using namespace pelvo;

// A clock on which every one-second pause is over at the second reading.
class JumpingClock : public TClock {
public:
    std::uint32_t MillisecondsOfDay() override { return Now = (Now + 1000) % MillisecondsPerDay; }
    std::uint32_t Now = 0;
};

// Takes every chance to play out of turn.
class EagerView : public TNullGameView {
public:
    bool AskYesNo(const std::string&) override { return true; }
};

bool MayPut(const TGame& g, const TCard& c)
{
    if (g.ComputerTable.Count > 0)
        return g.ComputerTable.Card(1).Suit != g.Trump || c.Suit == g.Trump || g.UserHand[g.Trump].Count == 0;
    return g.UserTable.Count == 0 || c.Suit == g.UserTable.Card(1).Suit;
}

// The user's side: defends position by position with the cheapest card that beats,
// else the cheapest card allowed; attacks with its longest suit.
void UserTurn(TGame& g)
{
    if (g.ComputerTable.Count > 0) {
        while (g.UserTable.Count < g.ComputerTable.Count) {
            const TCard& a = g.ComputerTable.Card(g.UserTable.Count + 1);
            int n = 0, best = 0, bestWeight = 100, cheapest = 0, cheapestWeight = 100;
            for (int s = 1; s <= SuitCount; ++s)
                for (int i = 1; i <= g.UserHand[s].Count; ++i) {
                    ++n;
                    const TCard& c = g.UserHand[s].Card(i);
                    if (!MayPut(g, c))
                        continue;
                    const int w = WeightedRank(c, g.Trump);
                    if ((c.Suit == a.Suit || c.Suit == g.Trump) && w > WeightedRank(a, g.Trump) && w < bestWeight)
                        best = n, bestWeight = w;
                    if (w < cheapestWeight)
                        cheapest = n, cheapestWeight = w;
                }
            const int before = g.UserTable.Count;
            g.PlayUserCard(best ? best : cheapest);
            if (g.UserTable.Count == before)
                break; // refused: cannot happen with the rules above
        }
    } else {
        int suit = 1;
        for (int s = 2; s <= SuitCount; ++s)
            if (g.UserHand[s].Count > g.UserHand[suit].Count)
                suit = s;
        int first = 1;
        for (int s = 1; s < suit; ++s)
            first += g.UserHand[s].Count;
        for (int k = g.UserHand[suit].Count; k > 0; --k)
            g.PlayUserCard(first);
    }
    g.MoveDone();
}

// One whole game, from the deal to 12 points, with the pause stubbed out.
void BM_WholeGame(benchmark::State& state)
{
    EagerView view;
    JumpingClock clock;
    TRandomGenerator random;
    TGame game(&view, &random, &clock);
    std::uint64_t seed = 1;
    std::int64_t tricks = 0;
    for (auto _ : state) {
        random.Seed(seed++);
        game.SkillLevel = static_cast<std::uint8_t>(state.range(0));
        game.OutOfTurnAllowed = true;
        game.NewGame();
        for (int turns = 0; game.GameUnderWay() && turns < 10000; ++turns) {
            UserTurn(game);
            ++tricks;
        }
        benchmark::DoNotOptimize(game.ComputerScore);
    }
    state.counters["tricks/game"] = benchmark::Counter(static_cast<double>(tricks) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_WholeGame)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

} // namespace
