// Key scripts: the turns a script spells out (counts, Space, waits, comments, the note on
// its first line), the record values the hero records for them, and the faults refused
// with the script's name and line.
#include <gtest/gtest.h>

#include "tools/levels/KeyScripts.h"
#include "tools/levels/LevelSession.h"

namespace {

TEST(KeyScripts, TurnsCountsAndTheNote)
{
    struct Case {
        const char* Text;
        const char* Note;
        const char* Turns;
    };
    for (const Case& c : {
             Case{"# Push it in, then wait.\nRRR.7R\n", "Push it in, then wait.", "RRR.RRRRRRR"},
             Case{"#\tTabbed note\r\n3U 2l *\r\n# a later comment\r\n10.", "Tabbed note", "UUUll*.........."},
             Case{"RR\n# not a note: the first line is no comment\n", "", "RR"},
             Case{"# only a note", "only a note", ""},
             Case{"", "", ""},
             Case{"  \t\n12D d u\n", "", "DDDDDDDDDDDDdu"},
         }) {
        SCOPED_TRACE(c.Text);
        const tKeyScript s = ReadKeyScript(c.Text, "x.keys");
        EXPECT_EQ(s.Note, c.Note);
        EXPECT_EQ(s.Turns, c.Turns);
    }
}

TEST(KeyScripts, TheValuesTheHeroRecords)
{
    // Action * 2 + drop: up 2, down 3, left 4, right 5, Space alone 6.
    for (const auto& [turn, value] : std::vector<std::pair<char, int32_t>>{
             {'U', 4}, {'D', 6}, {'L', 8}, {'R', 10}, {'u', 5}, {'d', 7}, {'l', 9}, {'r', 11}, {'*', 13}, {'.', 0}}) {
        SCOPED_TRACE(std::string(1, turn));
        EXPECT_EQ(TurnValue(turn), value);
        EXPECT_EQ(TurnOfValue(value), turn);
        EXPECT_EQ(TurnHoldsSpace(turn), turn == '*' || (turn >= 'a' && turn <= 'z'));
        EXPECT_EQ(TurnArrowKey(turn) != 0, turn != '*' && turn != '.');
    }
    EXPECT_EQ(TurnOfValue(18), '?');
}

TEST(KeyScripts, FaultsNameTheLine)
{
    struct Case {
        const char* Text;
        const char* Message;
    };
    for (const Case& c : {
             Case{"# note\nRR\nRxR\n", "walk.keys:3: 'x' is not a turn of a key script"},
             Case{"RR 7\n", "walk.keys:1: the count 7 has no turn after it"},
             Case{"# note\n3 R\n", "walk.keys:2: the count 3 has no turn after it"},
             Case{"0R\n", "walk.keys:1: a count of 0"},
             Case{"\n\n99999R\n", "walk.keys:3: a count above 9999"},
             Case{"r\nh\n", "walk.keys:2: 'h' is not a turn"},
         }) {
        SCOPED_TRACE(c.Text);
        try {
            ReadKeyScript(c.Text, "walk.keys");
            ADD_FAILURE() << "read without a fault";
        } catch (const EToolError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}

} // namespace
