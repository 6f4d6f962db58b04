#include "tools/levels/LevelPlays.h"

#include "platform/Keys.h"
#include "platform/Streams.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Players.h"
#include "tools/levels/FramePictures.h"
#include "tools/levels/KeyScripts.h"
#include "tools/levels/LevelSession.h"

namespace {

// Whether drawing the frame moves the game on in the mode (a transition runs in the
// frame painter); in the turn loop and the level's start the steps alone do.
bool FrameMovesTheGameOn(uint8_t mode)
{
    return mode != gmPlaying && mode != gmDying && mode != gmDead && mode != gmDeathChoiceMade &&
           mode != gmResetWarp && mode != gmLevelStart;
}

bool DeathMode(uint8_t mode) { return mode == gmDying || mode == gmDead; }

class tPlay {
public:
    tPlay(tLevelSession& session, tPlayOutcome& out) : S(session), E(session.E()), Out(out) {}

    void Tick()
    {
        E.Step();
        if (FrameMovesTheGameOn(E.GameMode))
            E.DrawFrame();
    }
    template <class P>
    bool TickUntil(P holds, int limit)
    {
        for (int i = 0; i < limit && !holds(); ++i)
            Tick();
        return holds();
    }
    tActualPlayer* Hero() { return dynamic_cast<tActualPlayer*>(E.Level.Player); }
    bool HeroActive()
    {
        return E.GameMode == gmPlaying && Hero() && Hero()->PlayerState == psActive;
    }
    // Starts the entry and runs to the start of play.
    bool Begin(int32_t entry)
    {
        E.GoToSetEntry(entry);
        return TickUntil([&] { return E.GameMode == gmPlaying; }, 2000);
    }
    // After the restart that recording or playback asks for: ticks until the hero acts
    // (true), or until he is killed while he appears (the play ends there).
    bool UntilHeroActive()
    {
        Tick();
        Out.Started = TickUntil([&] { return HeroActive() || DeathMode(E.GameMode); }, 2000);
        if (Out.Started && Hero())
            Out.Start = TPoint{Hero()->CellX, Hero()->CellY};
        if (Out.Started && DeathMode(E.GameMode)) {
            Finish();
            return false;
        }
        return Out.Started;
    }
    // One turn: the keys held from now up to and including the next turn boundary.
    void Turn(char turn)
    {
        const uint16_t arrow = TurnArrowKey(turn);
        const bool space = TurnHoldsSpace(turn);
        if (arrow)
            E.LiveInput.KeyDown(arrow);
        if (space)
            E.LiveInput.KeyDown(VK_SPACE);
        WaitTurn();
        if (arrow)
            E.LiveInput.KeyUp(arrow);
        if (space)
            E.LiveInput.KeyUp(VK_SPACE);
        Note(turn);
    }
    void WaitTurn()
    {
        const int32_t turns = E.TurnCount;
        TickUntil([&] { return E.TurnCount != turns || !HeroActive(); }, 100);
    }
    void Note(char turn)
    {
        ++Out.Turns;
        // Where the hero's move of the turn takes it.
        if (tActualPlayer* hero = Hero())
            Out.Trail.push_back({turn, TPoint{hero->TargetX, hero->TargetY}});
    }
    bool Playing() { return E.GameMode == gmPlaying; }
    // The outcome when play stopped: counters, and the killer once the hero has died.
    void Finish()
    {
        Out.Keys = LevelKeys;
        Out.KeysTaken = CollectedKeys;
        Out.Jewels = LevelGems;
        Out.JewelsTaken = CollectedGems;
        if (E.GameMode == gmLevelEnd) {
            Out.End = tPlayOutcome::Ended;
        } else if (DeathMode(E.GameMode)) {
            Out.End = tPlayOutcome::Killed;
            TickUntil([&] { return E.GameMode != gmDying; }, 2000);
            if (tActualPlayer* hero = Hero())
                Out.Killer = hero->Killer ? hero->Killer->ClassName : "";
        }
    }
    void Picture(const std::string& file)
    {
        if (file.empty())
            return;
        // Without the pointer.
        const bool input = E.InputAllowed;
        E.InputAllowed = false;
        E.FullRedraw = true;
        E.DrawFrame();
        E.InputAllowed = input;
        WriteFramePicture(S.Frame(), file);
    }

    tLevelSession& S;
    tGameEngine& E;
    tPlayOutcome& Out;
};

} // namespace

std::string tPlayOutcome::Verdict() const
{
    if (End != Ended || KeysTaken != Keys)
        return "not solved";
    return JewelsTaken == Jewels ? "solved fully" : "solved with jewels left";
}

std::string tPlayOutcome::EndText() const
{
    if (!Failure.empty())
        return "the game failed: " + Failure;
    if (!Started)
        return "no play";
    switch (End) {
    case Ended: return "level end";
    case Killed:
        if (Killer == "tSnake")
            return "killed by a snake";
        if (Killer == "tSpider")
            return "killed by a spider";
        if (Killer == "tCherryBomb")
            return "killed by a cherry bomb";
        return "killed" + (Killer.empty() ? std::string() : " by " + Killer);
    default: return "still running";
    }
}

std::string tPlayOutcome::TrailText(size_t width) const
{
    const auto cell = [](TPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; };
    std::string out = cell(Start);
    for (size_t i = 0; i < Trail.size(); ++i) {
        out += (width && i % width == width - 1) ? "\n" : " ";
        out += std::string(1, Trail[i].first) + cell(Trail[i].second);
    }
    return out;
}

namespace {

void PlayScript(tPlay& play, const std::string& turns, const tPlayPictures& pictures, int32_t entry)
{
    tPlayOutcome& out = play.Out;
    if (!play.Begin(entry))
        return;
    const std::string solution = SolutionFileName(play.E.LevelFileName);
    play.S.RemoveFile(solution);
    play.E.StartSolutionRecording();
    if (!play.UntilHeroActive())
        return;
    play.Picture(pictures.First);
    for (const char turn : turns) {
        if (!play.Playing())
            break;
        play.Turn(turn);
    }
    for (int32_t i = 0; i < TurnsAfterScript && play.Playing(); ++i)
        play.Turn('.');
    play.Finish();
    play.Picture(pictures.Last);
    if (out.End == tPlayOutcome::Ended) {
        // The level's end saves the record and restarts the level.
        play.Tick();
        out.Record = play.S.ReadFile(solution);
    }
}

void Replay(tPlay& play, int32_t entry)
{
    tPlayOutcome& out = play.Out;
    if (!play.Begin(entry))
        return;
    play.E.PlaySolution();
    if (Recorder.State() != rsPlaying)
        return;
    const int32_t limit = Recorder.Length() + 100;
    if (!play.UntilHeroActive())
        return;
    while (out.Turns < limit && play.Playing()) {
        play.WaitTurn();
        play.Note(TurnOfValue(Recorder.Value(Recorder.Position() - 1)));
    }
    play.Finish();
}

// Runs a play; a failure of the game on the way ends it, told in Failure.
template <class F>
tPlayOutcome Played(tLevelSession& session, F run)
{
    tPlayOutcome out;
    tPlay play(session, out);
    try {
        run(play);
    } catch (const std::exception& e) {
        out.Failure = e.what();
    }
    Recorder.Clear();
    return out;
}

} // namespace

tPlayOutcome PlayKeyScript(tLevelSession& session, int32_t entry, const std::string& turns, const tPlayPictures& pictures)
{
    return Played(session, [&](tPlay& play) { PlayScript(play, turns, pictures, entry); });
}

tPlayOutcome ReplaySolution(tLevelSession& session, int32_t entry)
{
    return Played(session, [&](tPlay& play) { Replay(play, entry); });
}

std::vector<int32_t> RecordValues(const std::string& bytes)
{
    // Read by the game's own recorder.
    tRecorder recorder;
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.Seek(0, soFromBeginning);
    try {
        recorder.LoadFromStream(stream);
    } catch (const std::exception&) {
        return {};
    }
    std::vector<int32_t> values;
    for (int32_t i = 0; i < recorder.Length(); ++i)
        values.push_back(recorder.Value(i));
    return values;
}

std::string RecordBytes(const std::vector<int32_t>& values)
{
    tRecorder recorder;
    recorder.StartRecording();
    for (int32_t v : values)
        recorder.RecordValue(v);
    TMemoryStream stream;
    recorder.SaveToStream(stream);
    return stream.DataString();
}
