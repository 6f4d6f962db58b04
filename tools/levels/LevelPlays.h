#pragma once
// Plays of a level of the session's level set through the whole engine: a key script
// played as a player's keys while the solution recorder records (as the "glimmerhound"
// hot-word starts it), or the level's solution file replayed through the engine's
// solution playback (as "brackle" starts it). The frame is drawn only where drawing moves
// the game on (the transitions); the rules of play never look at it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

class tLevelSession;

struct tPlayOutcome {
    enum tEnd { Ended, Killed, Running };
    tEnd End = Running;
    bool Started = false;   // play began (false: the level never came to play)
    std::string Failure;    // why it did not, when the game said so
    std::string Killer;     // the class that killed the hero (tSnake, tSpider, tCherryBomb)
    int32_t Keys = 0, KeysTaken = 0, Jewels = 0, JewelsTaken = 0;
    int32_t Turns = 0;      // turns played while the hero was active
    // The hero's cell at the start and after every turn, with the turn's key.
    TPoint Start;
    std::vector<std::pair<char, TPoint>> Trail;
    // The record file the play wrote (script plays that ended the level only).
    std::string Record;

    bool SolvedFully() const { return End == Ended && KeysTaken == Keys && JewelsTaken == Jewels; }
    // "solved fully", "solved with jewels left" or "not solved".
    std::string Verdict() const;
    // "level end", "killed by a snake" (spider, cherry bomb), "still running".
    std::string EndText() const;
    // The trail as "(2,7) R(3,7) R(4,7) ...", wrapped every width turns.
    std::string TrailText(size_t width = 12) const;
};

struct tPlayPictures {
    // PNG files of the frame when play starts and when it ends (empty: none).
    std::string First;
    std::string Last;
};

// Turns the play goes on standing still after a script, for the door to open.
constexpr int32_t TurnsAfterScript = 10;

// Plays the script's turns on the entry, recording; stops at the level's end or the
// hero's death, else TurnsAfterScript turns after the script.
tPlayOutcome PlayKeyScript(tLevelSession& session, int32_t entry, const std::string& turns,
                           const tPlayPictures& pictures = {});
// Replays the entry's solution file (found as the game finds it) until the level ends,
// the hero dies, or the record's turns and 100 more have passed. Started is false when
// the level has no solution file.
tPlayOutcome ReplaySolution(tLevelSession& session, int32_t entry);

// The values of a record file; empty when it is no record file.
std::vector<int32_t> RecordValues(const std::string& bytes);
std::string RecordBytes(const std::vector<int32_t>& values);
