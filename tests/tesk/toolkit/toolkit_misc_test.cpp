#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/Params.h"
#include "tesk/toolkit/Misc.h"

TEST(HexToInt, ReadsTheTrailingRunOfDigits)
{
    EXPECT_EQ(HexToInt("  ff  "), 255);
    EXPECT_EQ(HexToInt("12G4"), 4);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("$1F"), 31);
    EXPECT_EQ(HexToInt("0x1F"), 31);
    EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(HexToInt("1FFFFFFFF"), -1); // 32-bit arithmetic wraps
}

TEST(IntToHexStr, UnsignedUpperCaseWithoutLeadingZeros)
{
    EXPECT_EQ(IntToHexStr(-1), "FFFFFFFF");
    EXPECT_EQ(IntToHexStr(255), "FF");
    EXPECT_EQ(IntToHexStr(0), "0");
    EXPECT_EQ(IntToHexStr(0x1000), "1000");
}

TEST(Strings, BitsPaddingAndEnds)
{
    EXPECT_EQ(CountBits(0), 0);
    EXPECT_EQ(CountBits(0xFFFFFFFFu), 32);
    EXPECT_EQ(ZeroPad("7", 3), "007");
    EXPECT_EQ(ZeroPad("1234", 3), "1234");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(" a b "), "a b");
    EXPECT_EQ(TrimBlanks("\ta "), "\ta"); // only the space is a blank
    EXPECT_EQ(LeftChars("abc", 5), "abc");
    EXPECT_EQ(LeftChars("abc", 0), "");
    EXPECT_EQ(LeftChars("abc", -2), "");
    EXPECT_EQ(RightChars("abc", 2), "bc");
    EXPECT_EQ(RightChars("abc", -1), "");
    EXPECT_EQ(LastChar(""), '\0');
    EXPECT_EQ(FirstChar("xy"), 'x');
    EXPECT_EQ(DropFirstChars("abc", 5), "");
    EXPECT_EQ(DropFirstChars("abc", -1), "abc");
    EXPECT_EQ(DropLastChars("abc", 1), "ab");
    EXPECT_EQ(DropLastChars("abc", 3), "");
    EXPECT_TRUE(SameTrimmedText("  Music\\A.xm ", "music\\a.XM"));
    EXPECT_FALSE(SameTrimmedText("a", "b"));
}

TEST(Strings, CaseIsAsciiOnly)
{
    std::string s = "aZ\xe9\xc9";
    MakeUpper(s);
    EXPECT_EQ(s, "AZ\xe9\xc9");
    MakeLower(s);
    EXPECT_EQ(s, "az\xe9\xc9");
    std::string b = " a b  c ";
    RemoveBlanks(b);
    EXPECT_EQ(b, "abc");
}

TEST(Strings, InsertThousandsCommas)
{
    EXPECT_EQ(InsertThousandsCommas("1234567"), "1,234,567");
    EXPECT_EQ(InsertThousandsCommas("abc1234"), "abc1,234");
    EXPECT_EQ(InsertThousandsCommas("123"), "123");
    EXPECT_EQ(InsertThousandsCommas("1234x"), "1234x");
    EXPECT_EQ(InsertThousandsCommas(""), "");
}

TEST(Strings, MakeRelativePathStripsTheBaseFolderOnlyAndKeepsTheLetters)
{
    const struct {
        const char* Path;
        const char* Base;
        const char* Relative;
    } cases[] = {
        {"C:\\Game\\Levels\\A.lev", "c:\\game", "Levels\\A.lev"},
        {"C:\\Game\\Levels\\A.lev", "d:\\other", "C:\\Game\\Levels\\A.lev"},
        {"C:\\Game", "c:\\game", ""},
        // Only a whole folder: "c:\gamedata" is not inside "c:\game".
        {"c:\\gamedata\\x.map", "c:\\game", "c:\\gamedata\\x.map"},
        {"c:\\game\\x.map", "c:\\game\\", "x.map"},
        // A base ending in a separator, such as the root a launcher starts programs in.
        {"/home/Ann/Levels/x.map", "/", "home/Ann/Levels/x.map"},
        {"/home/Ann/Levels/x.map", "/home/ann", "Levels/x.map"},
        {"/home/Ann/Levels/x.map", "/home/ann/", "Levels/x.map"},
        {"/home/Ann/x.map", "/home/Ann/Levels", "/home/Ann/x.map"},
        {"/home/Ann/x.map", "", "/home/Ann/x.map"},
        {"Levels\\x.map", "/home", "Levels\\x.map"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeRelativePath(c.Path, c.Base), c.Relative) << c.Path << " against " << c.Base;
}

TEST(Strings, SetSplitting)
{
    const TCharSet slash = CharSet("\\");
    EXPECT_EQ(TextAfterLast("Level data\\x.lev", slash), "x.lev");
    EXPECT_EQ(TextBeforeLast("Level data\\x.lev", slash), "Level data");
    EXPECT_EQ(TextBeforeLast("abc", slash), "");
    EXPECT_EQ(TextAfterLast("abc", slash), "abc");
    EXPECT_EQ(TextBeforeFirst("abc", slash), "abc");
    EXPECT_EQ(TextAfterFirst("abc", slash), "");
    EXPECT_EQ(TextBeforeFirst("a\\b\\c", slash), "a");
    EXPECT_EQ(TextAfterFirst("a\\b\\c", slash), "b\\c");
    EXPECT_EQ(LastField("Kind file  ", CharSet(" ")), "file");
    EXPECT_EQ(LastField("   ", CharSet(" ")), "");
    // Bytes above 127 are members like any other.
    EXPECT_EQ(TextAfterFirst("a\xff" "b", CharSet("\xff")), "b");
}

struct ParamCase {
    const char* label; // names the case in the test list
    std::vector<std::string> args;
    std::string name;
    std::string value;
};
void PrintTo(const ParamCase& c, std::ostream* os) { *os << c.label; }

class ParamValueTest : public ::testing::TestWithParam<ParamCase> {};

TEST_P(ParamValueTest, FindsTheOptionsValue)
{
    std::vector<std::string> args{"tesk"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    SetCommandLine(args);
    EXPECT_EQ(ParamValue(GetParam().name), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, ParamValueTest, ::testing::Values(
    ParamCase{"AfterAColon", {"-set:Mine.set"}, "Set", "MINE.SET"},
    ParamCase{"InTheNextArgument", {"/SET", "Mine.set"}, "Set", "Mine.set"},
    ParamCase{"TheRestOfALongerWord", {"-Settings"}, "Set", "TINGS"},
    ParamCase{"AfterAnEqualsSign", {"-set=a.set"}, "Set", "A.SET"},
    ParamCase{"LastWithoutAValue", {"-set"}, "Set", ""},
    ParamCase{"TheFirstOfTwo", {"-set", "-set", "x"}, "Set", "-set"},
    ParamCase{"NotGiven", {"nothing"}, "Set", ""},
    ParamCase{"NoArguments", {}, "Set", ""}),
    [](const ::testing::TestParamInfo<ParamCase>& info) { return std::string(info.param.label); });

TEST(ParamSwitch, OneLeadingDashOrSlash)
{
    SetCommandLine({"tesk", "/bitblt"});
    EXPECT_TRUE(ParamSwitch("BitBlt"));
    SetCommandLine({"tesk", "--bitblt"});
    EXPECT_FALSE(ParamSwitch("BitBlt"));
    SetCommandLine({"tesk", "NoVideo", "-fullscreen"});
    EXPECT_TRUE(ParamSwitch("NOVIDEO"));
    EXPECT_TRUE(ParamSwitch("FullScreen"));
    EXPECT_FALSE(ParamSwitch("Full"));
    SetCommandLine({"tesk"});
}

TEST(Folders, ApplicationDirIsTheExecutablesFolder)
{
    const std::string dir = ApplicationDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_EQ(StartupDir(), GetCurrentDir());
}
