#include "platform/StringList.h"

#include <gtest/gtest.h>

#include "platform/Streams.h"
#include "tests/support/ScratchDir.h"

namespace {

std::vector<std::string> Lines(const TStringList& l)
{
    std::vector<std::string> out;
    for (int i = 0; i < l.Count(); ++i)
        out.push_back(l[i]);
    return out;
}

TEST(StringList, ReadsAnyLineEndAndWritesCrLf)
{
    using V = std::vector<std::string>;
    struct Case {
        std::string text;
        V lines;
    };
    const Case cases[] = {
        {"", V{}},
        {"one", V{"one"}},
        {"one\r\ntwo\r\n", V{"one", "two"}},
        {"one\ntwo\rthree\r\nfour", V{"one", "two", "three", "four"}},
        {"\r\n", V{""}},
        {"a\n\nb\r\r\n", V{"a", "", "b", ""}},
        {"a\n\r", V{"a", ""}}, // LF then a lone CR: two line ends
        {std::string("nul\0inside\n", 11), V{std::string("nul\0inside", 10)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TStringList l;
        l.SetText(c.text);
        EXPECT_EQ(Lines(l), c.lines);
        TMemoryStream m;
        m.WriteBuffer(c.text.data(), static_cast<int32_t>(c.text.size()));
        m.SetPosition(0);
        TStringList fromStream;
        fromStream.LoadFromStream(m);
        EXPECT_EQ(Lines(fromStream), c.lines);
    }
    TStringList l;
    l.Add("a");
    l.Add("");
    l.Add("b");
    EXPECT_EQ(l.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, LoadsFromTheStreamPositionAndSavesToFiles)
{
    TMemoryStream m;
    m.WriteBuffer("skip\nkeep\n", 10);
    m.SetPosition(5);
    TStringList l;
    l.Add("old");
    l.LoadFromStream(m);
    EXPECT_EQ(Lines(l), std::vector<std::string>{"keep"});

    ScratchDir dir;
    l.Add("second");
    l.SaveToFile(dir.Path() + "\\Out.txt");
    EXPECT_EQ(ScratchDir::Read(dir / "Out.txt"), "keep\r\nsecond\r\n");
    TStringList back;
    back.LoadFromFile(dir.Path() + "\\OUT.TXT");
    EXPECT_EQ(Lines(back), Lines(l));
    EXPECT_THROW(back.LoadFromFile(dir / "missing.txt"), EFOpenError);
}

TEST(StringList, NamesAndValues)
{
    TStringList l;
    l.SetText("Sound=True\nVolume=80\nnoequals\nEmpty=\nkey=a=b\n");
    EXPECT_EQ(l.Names(0), "Sound");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.Values("sound"), "True");
    EXPECT_EQ(l.Values("KEY"), "a=b");
    EXPECT_EQ(l.Values("Empty"), "");
    EXPECT_EQ(l.Values("missing"), "");
    EXPECT_EQ(l.IndexOfName("noequals"), -1);
    EXPECT_EQ(l.ValueFromIndex(1), "80");
    l.SetValues("VOLUME", "60"); // replaces in place, with the name as given
    EXPECT_EQ(l[1], "VOLUME=60");
    l.SetValues("New", "1");
    EXPECT_EQ(l[l.Count() - 1], "New=1");
    l.SetValues("sound", ""); // an empty value deletes the line
    EXPECT_EQ(l.IndexOfName("Sound"), -1);
    EXPECT_EQ(l.Count(), 5);
}

TEST(StringList, IndexingObjectsAndErrors)
{
    TStringList l;
    EXPECT_EQ(l.Add("Level1.map"), 0);
    EXPECT_EQ(l.AddObject("Level2.map", 2), 1);
    l.Insert(0, "Intro.avi");
    EXPECT_EQ(l.IndexOf("LEVEL2.MAP"), 2);
    EXPECT_EQ(l.IndexOf("nothing"), -1);
    EXPECT_EQ(l.Objects(2), 2);
    l.SetObjects(0, 1);
    EXPECT_EQ(l.IndexOfObject(1), 0);
    l.Exchange(0, 2);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"Level2.map", "Level1.map", "Intro.avi"}));
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("LEVEL2.MAP"), -1);
    l.Delete(1);
    EXPECT_EQ(l.Count(), 2);
    for (int bad : {-1, 2}) {
        try {
            l.Strings(bad);
            ADD_FAILURE();
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
        }
        EXPECT_THROW(l.Delete(bad), EStringListError);
        EXPECT_THROW(l.SetObjects(bad, 0), EStringListError);
    }
    EXPECT_THROW(l.Insert(3, "x"), EStringListError);
    l.Insert(2, "end");
    EXPECT_EQ(l[2], "end");
    l.AddStrings(l);
    EXPECT_EQ(l.Count(), 6);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates)
{
    TStringList l;
    l.SetText("pear\nApple\nbanana\napple\n");
    l.SetSorted(true);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"Apple", "apple", "banana", "pear"}));
    EXPECT_EQ(l.Add("APPLE"), 0); // dupIgnore: the index already there
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l.Add("cherry"), 3);
    EXPECT_EQ(l.IndexOf("PEAR"), 4);
    int index = -1;
    EXPECT_FALSE(l.Find("blueberry", index));
    EXPECT_EQ(index, 3);
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.SetStrings(0, "x"), EStringListError);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.Add("banana"), EStringListError);
    l.SetDuplicates(dupAccept);
    l.Add("banana");
    EXPECT_EQ(l.Count(), 6);
}

} // namespace
