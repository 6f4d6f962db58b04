#pragma once
// Key scripts: the keys a player presses on a level, one turn after another, kept as
// text beside the level. Lines that begin with "#" are comments; the first line of the
// file, a comment, is the designer's note (how the level is meant to be solved). Every
// other character is a turn or belongs to a count:
//   U D L R   the arrow held for the turn (up, down, left, right)
//   u d l r   the arrow with Space (the oldest carried bomb is dropped as the hero moves)
//   *         Space alone (drop a bomb where the hero stands)
//   .         no key: the hero waits a turn
//   a number  before a turn repeats it: "7R" is seven turns to the right, "20." a wait
// Spaces, tabs and line ends only separate.
#include <cstdint>
#include <string>

struct tKeyScript {
    std::string Note;   // the first line without its "#" (empty when it is no comment)
    std::string Turns;  // one character per turn, counts spelt out
};

// Reads a script; EToolError "<name>:<line>: ..." for a character that is no key, a
// count with no turn after it, or a count of 0 or above 9999.
tKeyScript ReadKeyScript(const std::string& text, const std::string& name);

// The record value of a turn as the hero records it: action * 2 + drop (0 for a wait).
int32_t TurnValue(char turn);
// The key codes held for a turn: an arrow (0 when none) and whether Space is held too.
uint16_t TurnArrowKey(char turn);
bool TurnHoldsSpace(char turn);
// The turn a record value stands for ("?" when no key script turn makes it).
char TurnOfValue(int32_t value);
