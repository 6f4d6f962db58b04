#include <gtest/gtest.h>

#include <QWidget>

#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ShellAPI.h"
#include "platform/TestHooks.h"

TEST(ShellOpener, RecordsOrFailsLaunchesWithoutStartingAnything)
{
    TestHooks::RecordShellLaunches(true);
    EXPECT_TRUE(ShellOpenUrl("file:///opt/game/Gromble.html"));
    TestHooks::FailShellLaunch(true);
    EXPECT_FALSE(ShellOpenUrl("https://example.org/"));
    TestHooks::RecordShellLaunches(false);
    EXPECT_FALSE(ShellOpenUrl("file:///x.html")) << "failing alone starts nothing either";
    EXPECT_EQ(TestHooks::ShellLaunchLog(),
              (std::vector<std::string>{"file:///opt/game/Gromble.html", "https://example.org/", "file:///x.html"}));
    TestHooks::ResetShellHooks();
    EXPECT_TRUE(TestHooks::ShellLaunchLog().empty());
}

TEST(ShellOpener, FileAddressesAreAbsoluteAndEncoded)
{
    EXPECT_EQ(FileUrlOf("/opt/My Games/T\xC3\xA9sk/Gromble.html"),
              "file:///opt/My%20Games/T%C3%A9sk/Gromble.html");
    EXPECT_EQ(FileUrlOf("\\opt\\game\\Gromble.html"), "file:///opt/game/Gromble.html");
    EXPECT_EQ(FileUrlOf("/a/100%#?.html"), "file:///a/100%25%23%3F.html");
    const std::string relative = FileUrlOf("Gromble.html");
    EXPECT_EQ(relative.rfind("file:///", 0), 0u) << relative;
}

TEST(Hints, LineBreaksShowAsLinesAndTheHintReadsBackAsSet)
{
    TForm form;
    auto* panel = PlaceControl<TPanel>(&form, 0, 0, 50, 50);
    panel->SetShowHint(true);
    struct Case {
        std::string Set;
        std::string Shown;
    };
    for (const Case& c : std::vector<Case>{{"Title\r\n(Solved)", "Title\n(Solved)"},
                                          {"Title\r(Partially Solved)", "Title\n(Partially Solved)"},
                                          {"One\nTwo\r\n\r\nFour", "One\nTwo\n\nFour"},
                                          {"\r", "\n"},
                                          {"Plain", "Plain"}}) {
        panel->SetHint(c.Set);
        EXPECT_EQ(panel->Hint(), c.Set);
        EXPECT_EQ(panel->Widget()->toolTip().toStdString(), c.Shown);
    }
    panel->SetShowHint(false);
    EXPECT_EQ(panel->Widget()->toolTip().toStdString(), "");
}
