#include <gtest/gtest.h>

#include <QWidget>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ShellAPI.h"
#include "platform/TestHooks.h"
#include "tests/support/ScratchDesktop.h"
#include "tests/support/ScratchDir.h"

TEST(ShellOpener, RecordsOrFailsLaunchesWithoutStartingAnything)
{
    const TAssociatedProgram browser{"/bin/true", {"%u"}};
    TestHooks::RecordShellLaunches(true);
    EXPECT_TRUE(ShellExecuteProgram(browser, "file:///opt/game/Gromble.html"));
    TestHooks::FailShellLaunch(true);
    EXPECT_FALSE(ShellExecuteProgram(browser, "https://example.org/"));
    TestHooks::RecordShellLaunches(false);
    EXPECT_FALSE(ShellExecuteProgram(browser, "file:///x.html")) << "failing alone starts nothing either";
    EXPECT_EQ(TestHooks::ShellLaunchLog(),
              (std::vector<std::string>{"file:///opt/game/Gromble.html", "https://example.org/", "file:///x.html"}));
    TestHooks::ResetShellHooks();
    EXPECT_TRUE(TestHooks::ShellLaunchLog().empty());
}

// A desktop entry's Exec line read as the desktop reads it.
TEST(ShellOpener, TheCommandOfADesktopEntry)
{
    ScratchDir dir;
    const std::string tool = dir.Write("My Tools/browse", "#!/bin/sh\n");
    chmod(tool.c_str(), 0755);
    const std::string plain = dir.Write("plain", "not a program\n");
    struct Case {
        std::string Entry;
        std::string Program; // empty: none to run
        std::vector<std::string> Arguments;
    };
    const std::string quoted = "\"" + tool + "\"";
    for (const Case& c : std::vector<Case>{
             {"[Desktop Entry]\nExec=sh --new-window %u\n", "/bin/sh", {"--new-window", "%u"}},
             {"[Desktop Entry]\nExec=" + quoted + " %U\n", tool, {"%u"}},
             // Other field codes go; "%%" stays a plain "%" for the launch; \s is a blank.
             {"[Desktop Entry]\nExec=sh %i %c %k --p=100%% --url=%f\n", "/bin/sh", {"--p=100%%", "--url=%u"}},
             {"[Desktop Entry]\nExec=sh \"a \\\"b\\\" c\"\\sd\n", "/bin/sh", {"a \"b\" c", "d"}},
             {"# comment\n[Desktop Entry]\nName=x\n  Exec = sh -x\n[Desktop Action New]\nExec=other %u\n",
              "/bin/sh", {"-x"}},
             // None to run.
             {"[Desktop Entry]\nExec=no-such-browser-here %u\n", "", {}},
             {"[Desktop Entry]\nExec=" + plain + " %u\n", "", {}},
             {"[Desktop Entry]\nTryExec=no-such-browser-here\nExec=sh %u\n", "", {}},
             {"[Desktop Entry]\nHidden=true\nExec=sh %u\n", "", {}},
             {"[Desktop Entry]\nName=No command\n", "", {}},
             {"[Other]\nExec=sh %u\n", "", {}},
         }) {
        const TAssociatedProgram p = ProgramOfDesktopEntry(c.Entry);
        // The PATH may find sh elsewhere than /bin.
        if (c.Program == "/bin/sh") {
            EXPECT_EQ(std::filesystem::path(p.Program).filename(), "sh") << c.Entry;
        } else {
            EXPECT_EQ(p.Program, c.Program) << c.Entry;
        }
        if (!c.Program.empty()) {
            EXPECT_EQ(p.Arguments, c.Arguments) << c.Entry;
        }
    }
}

TEST(ShellOpener, FindsTheDesktopsBrowserAndStartsItOnTheAddress)
{
    ScratchDesktop desktop;
    EXPECT_EQ(FindAssociatedProgram("text/html").Program, "") << "a desktop without a browser";

    const std::string browser = desktop.FakeBrowser();
    desktop.Associate("text/html", "vendor-browser.desktop", browser + " --new-window %u --private");
    // The entry lives under its vendor's folder.
    std::filesystem::create_directories(desktop.Dir / "data/applications/vendor");
    std::filesystem::rename(desktop.Dir / "data/applications/vendor-browser.desktop",
                            desktop.Dir / "data/applications/vendor/browser.desktop");
    const TAssociatedProgram found = FindAssociatedProgram("text/html");
    EXPECT_EQ(found.Program, browser);
    EXPECT_EQ(found.Arguments, (std::vector<std::string>{"--new-window", "%u", "--private"}));
    EXPECT_EQ(FindAssociatedProgram("application/x-no-such-type").Program, "");

    const std::string address = "file:///opt/My%20Games/Gromble.html";
    ASSERT_TRUE(ShellExecuteProgram(found, address));
    EXPECT_EQ(desktop.StartedWith(), (std::vector<std::string>{"--new-window", address, "--private"}));

    // Without a place for the address it goes last; a program that is gone does not start.
    std::filesystem::remove(desktop.ArgsFile());
    ASSERT_TRUE(ShellExecuteProgram(TAssociatedProgram{browser, {"-a"}}, address));
    EXPECT_EQ(desktop.StartedWith(), (std::vector<std::string>{"-a", address}));
    EXPECT_FALSE(ShellExecuteProgram(TAssociatedProgram{desktop.Dir / "gone", {}}, address));
    EXPECT_FALSE(ShellExecuteProgram(TAssociatedProgram{}, address));
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
