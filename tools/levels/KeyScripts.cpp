#include "tools/levels/KeyScripts.h"

#include "platform/Keys.h"
#include "tools/levels/LevelSession.h"

namespace {

// The hero's actions (as the engine binds them): 2 up, 3 down, 4 left, 5 right, 6 Space.
struct tTurnKind {
    char Turn;
    uint16_t Arrow;
    bool Space;
    int32_t Value;
};
constexpr tTurnKind TurnKinds[] = {
    {'U', VK_UP, false, 4},    {'D', VK_DOWN, false, 6},  {'L', VK_LEFT, false, 8},  {'R', VK_RIGHT, false, 10},
    {'u', VK_UP, true, 5},     {'d', VK_DOWN, true, 7},   {'l', VK_LEFT, true, 9},   {'r', VK_RIGHT, true, 11},
    {'*', 0, true, 13},        {'.', 0, false, 0},
};

const tTurnKind* KindOf(char turn)
{
    for (const tTurnKind& k : TurnKinds)
        if (k.Turn == turn)
            return &k;
    return nullptr;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

} // namespace

tKeyScript ReadKeyScript(const std::string& text, const std::string& name)
{
    tKeyScript script;
    const std::vector<std::string> lines = TextLines(text);
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::string where = name + ":" + std::to_string(n + 1) + ": ";
        if (!line.empty() && line[0] == '#') {
            if (n == 0) {
                size_t from = 1;
                while (from < line.size() && Blank(line[from]))
                    ++from;
                script.Note = line.substr(from);
            }
            continue;
        }
        int32_t count = 0;
        bool counting = false;
        for (const char c : line) {
            if (c >= '0' && c <= '9') {
                count = count * 10 + (c - '0');
                counting = true;
                if (count > 9999)
                    throw EToolError(where + "a count above 9999");
                continue;
            }
            if (Blank(c)) {
                if (counting)
                    throw EToolError(where + "the count " + std::to_string(count) + " has no turn after it");
                continue;
            }
            if (!KindOf(c))
                throw EToolError(where + "'" + std::string(1, c) +
                                 "' is not a turn of a key script (U D L R, u d l r with Space, * Space, . wait)");
            if (counting && count == 0)
                throw EToolError(where + "a count of 0");
            script.Turns.append(static_cast<size_t>(counting ? count : 1), c);
            count = 0;
            counting = false;
        }
        if (counting)
            throw EToolError(where + "the count " + std::to_string(count) + " has no turn after it");
    }
    return script;
}

int32_t TurnValue(char turn)
{
    const tTurnKind* k = KindOf(turn);
    return k ? k->Value : 0;
}

uint16_t TurnArrowKey(char turn)
{
    const tTurnKind* k = KindOf(turn);
    return k ? k->Arrow : 0;
}

bool TurnHoldsSpace(char turn)
{
    const tTurnKind* k = KindOf(turn);
    return k && k->Space;
}

char TurnOfValue(int32_t value)
{
    for (const tTurnKind& k : TurnKinds)
        if (k.Value == value)
            return k.Turn;
    return '?';
}
