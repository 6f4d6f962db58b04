#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/support/ScratchDir.h"

TEST(FileMatch, FirstMatchingNameTakesTheFirstEntryInByteOrder)
{
    ScratchDir dir;
    dir.Write("b.txt", "");
    dir.Write("A.TXT", "");
    dir.Write("abc", "");
    dir.Write("aXc.dat", "");
    dir.Write("Long Name With Spaces.Map", "");
    const std::string d = dir.Path() + "/";
    struct Case {
        std::string pattern;
        std::string want;
    };
    const Case cases[] = {
        {d + "*.TXT", "A.TXT"},           // "A.TXT" sorts before "b.txt"
        {d + "a?c", "abc"},
        {d + "*.*", "A.TXT"},
        {d + "ab*", "abc"},               // a name without a dot
        {d + "*.map", "Long Name With Spaces.Map"},
        {d + "long name with spaces.map", "Long Name With Spaces.Map"}, // no wildcard: the entry as on disk
        {d + "missing.txt", ""},
        {d + "missing/*", ""},
        {d + "*.none", ""},
        {"", ""},
        {d, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstMatchingName(c.pattern), c.want) << c.pattern;
    // "\\" separators and a folder in another letter case work too.
    dir.Write("Sub/Deep.Lev", "");
    std::string windows = d + "sub\\*.lev";
    EXPECT_EQ(FirstMatchingName(windows), "Deep.Lev");
}

TEST(FileMatch, MasksIgnoreAsciiCase)
{
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    };
    const Case cases[] = {{"LEVEL.MAP", "*.map", true}, {"level", "*.*", true},   {"a.b.c", "*.c", true},
                          {"abc", "a?", false},         {"ab", "a?", true},       {"", "*", true},
                          {"x.jpg", "*.jpeg", false},   {"aaaaaaaaab", "*a*b", true}, {"ab", "a**b", true},
                          {"Ä.txt", "?.txt", false}};
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}
