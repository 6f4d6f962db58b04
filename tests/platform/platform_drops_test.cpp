#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"

namespace {

class Target : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<std::vector<std::string>> Drops;
    void FilesDropped(const std::vector<std::string>& names) override { Drops.push_back(names); }
};

} // namespace

TEST(FileDrops, LocalFilesArriveWholeAndInOrder)
{
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* target = PlaceControl<Target>(&form, 10, 10, 100, 80);
    form.Show();
    target->SetAcceptFiles(true);
    const std::string spaced = "/tmp/a folder/level one.map";
    const std::string longName = "/tmp/" + std::string(300, 'x') + ".map";
    const std::string accents = "/tmp/\xC3\xA9t\xC3\xA9/\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0.map";
    const std::string deep = "/tmp/" + std::string(4096, 'd');
    EXPECT_TRUE(TestHooks::DropFiles(target, {spaced, "http://example.invalid/x", longName, accents}, Point(5, 5)));
    ASSERT_EQ(target->Drops.size(), 1u);
    EXPECT_EQ(target->Drops[0], (std::vector<std::string>{spaced, longName, accents}));

    struct Case {
        const char* name;
        std::vector<std::string> items;
        bool delivered;
    };
    std::vector<std::string> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back("/tmp/file" + std::to_string(i));
    const Case cases[] = {
        {"no items", {}, false},
        {"non-local URLs only", {"http://example.invalid/x", "ftp://example.invalid/y"}, false},
        {"1000 items", many, true},
        {"a 4096-character path", {deep}, true},
        {"quotes and a line break", {"/tmp/\"q\"\n'x'"}, true},
        {"bytes that are not UTF-8", {"/tmp/\xE9t\xE9"}, true},
        {"a folder", {"/tmp"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        target->Drops.clear();
        EXPECT_EQ(TestHooks::DropFiles(target, c.items, Point(5, 5)), c.delivered);
        ASSERT_EQ(target->Drops.size(), c.delivered ? 1u : 0u);
        if (c.delivered) {
            EXPECT_EQ(target->Drops[0].size(), c.items.size());
        }
    }
    target->Drops.clear();
    TestHooks::DropFiles(target, {"/tmp/\xE9t\xE9"}, Point(5, 5));
    EXPECT_EQ(target->Drops.at(0).at(0), "/tmp/\xC3\xA9t\xC3\xA9"); // read as Windows-1252

    // A window that does not accept files gets nothing.
    target->SetAcceptFiles(false);
    target->Drops.clear();
    EXPECT_FALSE(TestHooks::DropFiles(target, {spaced}, Point(5, 5)));
    EXPECT_TRUE(target->Drops.empty());
}
