#pragma once
// Levels played through the whole engine with the game's own kinds: the harness with
// RealKinds, a fixture level of tests/tesk/game/files/replays as the one entry of a set,
// keys given turn by turn, and the engine's modes noted as they change. Pop-ups of
// information signs are recorded, never shown.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tesk/game/Levels.h"
#include "tesk/game/PopUpForm.h"
#include "tests/support/ScratchDir.h"
#include "tests/tesk/game/EngineHarness.h"

namespace played {

inline std::string FixtureFile(const std::string& name)
{
    return std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/replays/" + name;
}

// The record value of one turn: action * 2 + drop. Space alone is the last action pressed
// then, so its turn records action 6 (no direction) with the drop bit.
constexpr int32_t vUp = 4, vDown = 6, vLeft = 8, vRight = 10, vDrop = 13;

// A turn of a key script: U, D, L, R an arrow (u, d, l, r: with Space), * Space, . nothing.
inline int32_t ScriptValue(char c)
{
    if (c >= 'a' && c <= 'z')
        return ScriptValue(static_cast<char>(c - 'a' + 'A')) + 1;
    switch (c) {
    case 'U': return vUp;
    case 'D': return vDown;
    case 'L': return vLeft;
    case 'R': return vRight;
    case '*': return vDrop;
    default: return 0;
    }
}
inline uint16_t ScriptKey(char c)
{
    if (c >= 'a' && c <= 'z')
        return ScriptKey(static_cast<char>(c - 'a' + 'A'));
    switch (c) {
    case 'U': return 38;
    case 'D': return 40;
    case 'L': return 37;
    case 'R': return 39;
    case '*': return 32;
    default: return 0;
    }
}

struct tPlayedPopUp {
    std::string Image;
    TPoint Anchor;
    std::string Caption;
    int32_t Turn = 0;
};

class tPlayedLevel {
public:
    // levelName: the entry's level file ("Levels\X.map"); fixture: the file of
    // tests/tesk/game/files/replays written loose under that name.
    tPlayedLevel(const std::string& levelName, const std::string& fixture) : LevelName(levelName)
    {
        tHarnessOptions options;
        options.RealKinds = true;
        H = std::make_unique<tEngineHarness>(options);
        H->WriteLoose(Slashed(levelName), ScratchDir::Read(FixtureFile(fixture)));
        H->WriteSet("Played.set", {"Level " + levelName});
        H->E().LoadLevelSet("Played.set");
        PopUpShowHook = [this](const std::string& image, TPoint anchor, const std::string& caption) {
            PopUps.push_back({image, anchor, caption, H->E().TurnCount});
        };
    }
    ~tPlayedLevel()
    {
        PopUpShowHook = nullptr;
        H.reset();
    }
    tPlayedLevel(const tPlayedLevel&) = delete;
    tPlayedLevel& operator=(const tPlayedLevel&) = delete;

    tGameEngine& E() { return H->E(); }
    tActualPlayer* Hero() { return dynamic_cast<tActualPlayer*>(E().Level.Player); }
    // "Solutions/<folder>/<name>.Solution" of the level, "/" separated.
    std::string SolutionName() const { return Slashed(SolutionFileName(LevelName)); }

    // Starts the entry and runs to the start of play.
    void Start()
    {
        E().GoToSetEntry(0);
        Note();
        RunUntil(gmPlaying, 400);
    }
    // One tick with its frame, noting a new mode and whether an early move runs.
    void Tick()
    {
        H->Tick(1);
        Note();
        SawEarlyMove = SawEarlyMove || E().LookAheadActive;
    }
    // Ticks until the hero is active (true) or the limit passed.
    bool UntilHeroActive(int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            if (E().GameMode == gmPlaying && Hero() && Hero()->PlayerState == psActive)
                return true;
            Tick();
        }
        return false;
    }
    // The key of c held down up to and including the next turn boundary.
    void Turn(char c)
    {
        const uint16_t key = ScriptKey(c);
        const bool space = c >= 'a' && c <= 'z';
        if (key)
            H->KeyDown(key);
        if (space)
            H->KeyDown(32);
        const int32_t turns = E().TurnCount;
        for (int i = 0; i < 100 && E().TurnCount == turns; ++i)
            Tick();
        if (key)
            H->KeyUp(key);
        if (space)
            H->KeyUp(32);
        if (tActualPlayer* hero = Hero())
            Trail += std::string(1, c) + "(" + std::to_string(hero->CellX) + "," + std::to_string(hero->CellY) + ")" +
                     (E().GameMode == gmPlaying ? "" : "m" + std::to_string(E().GameMode)) + " ";
    }
    void Script(const std::string& turns)
    {
        for (char c : turns)
            Turn(c);
    }
    // Turns of standing still until the test holds (true) or the limit passed.
    template <class P>
    bool WaitUntil(P holds, int turns)
    {
        for (int i = 0; i < turns; ++i) {
            if (holds())
                return true;
            Turn('.');
        }
        return holds();
    }
    bool RunUntil(uint8_t mode, int limit)
    {
        for (int i = 0; i < limit; ++i) {
            if (E().GameMode == mode)
                return true;
            Tick();
        }
        return E().GameMode == mode;
    }

    static std::string Slashed(std::string name)
    {
        for (char& c : name)
            if (c == '\\')
                c = '/';
        return name;
    }

    std::string LevelName;
    std::unique_ptr<tEngineHarness> H;
    std::vector<uint8_t> Modes;
    std::vector<tPlayedPopUp> PopUps;
    // The hero's cell after each scripted turn, for messages.
    std::string Trail;
    bool SawEarlyMove = false;

private:
    void Note()
    {
        if (Modes.empty() || Modes.back() != E().GameMode)
            Modes.push_back(E().GameMode);
    }
};

}  // namespace played
