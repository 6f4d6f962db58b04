#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"
#include "tests/support/ScratchDir.h"

using TestHooks::TFileDialogAnswer;
using TestHooks::TFileDialogRequest;

namespace {

TFileDialogAnswer Choose(std::vector<std::string> names, int filterIndex = 0)
{
    TFileDialogAnswer a;
    a.Accepted = true;
    a.Names = std::move(names);
    a.FilterIndex = filterIndex;
    return a;
}

} // namespace

TEST(FileDialogs, FiltersParseIntoDescriptionsAndPatterns)
{
    struct Case {
        std::string filter;
        std::vector<TFileFilter> want;
    };
    const std::vector<TFileFilter> none;
    const Case cases[] = {
        {"Map files (*.Map)|*.map", {{"Map files (*.Map)", {"*.map"}}}},
        {"Level files (*.lev)|*.lev|All files (*.*)|*.*", {{"Level files (*.lev)", {"*.lev"}}, {"All files (*.*)", {"*.*"}}}},
        {"JPEG Images|*.jpg", {{"JPEG Images", {"*.jpg"}}}},
        {"Music|*.mod, *.s3m ,*.xm;*.it", {{"Music", {"*.mod", "*.s3m", "*.xm", "*.it"}}}},
        {"", none},
        {"|", none},
        {"A|", {{"A", {}}}},
        {"|*.x", {{"", {"*.x"}}}},
        {"A|*.x|B", {{"A", {"*.x"}}, {"B", {}}}},
        {"A|;;", {{"A", {}}}},
        {"A|*.x,,*.y", {{"A", {"*.x", "*.y"}}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFileFilter(c.filter), c.want) << c.filter;
    const std::string huge(10000, 'a');
    EXPECT_EQ(ParseFileFilter(huge).size(), 1u);
}

TEST(FileDialogs, ScriptedAnswersGetTheDefaultExtensionAndTheChecks)
{
    ScratchDir dir;
    const std::string existing = dir.Write("Levels/Old.map", "x");
    dir.Write("Levels/plain", "x");
    const std::string levels = dir / "Levels";
    struct Case {
        const char* name;
        bool save;
        std::string defaultExt;
        TOpenOptions options;
        std::vector<std::string> answers; // one per attempt
        bool result;
        std::string fileName;
        int attempts;
        int boxes;
    };
    const Case cases[] = {
        {"save adds the extension", true, "map", {}, {"new"}, true, levels + "/new.map", 1, 0},
        {"a leading dot is allowed", true, ".map", {}, {"new"}, true, levels + "/new.map", 1, 0},
        {"open adds it only when the name as typed is missing", false, "map", {}, {"plain"}, true, levels + "/plain", 1, 0},
        {"open adds it to a missing name", false, "map", {}, {"old"}, true, levels + "/Old.map", 1, 0},
        {"an odd extension", true, "m.a.p", {}, {"x"}, true, levels + "/x.m.a.p", 1, 0},
        {"a missing file asks again", false, "", {ofFileMustExist}, {"missing.map", "Old.map"}, true, existing, 2, 1},
        {"a missing folder asks again", true, "", {ofPathMustExist}, {"nowhere/x.map", "y.map"}, true, levels + "/y.map", 2, 1},
        {"overwrite: No asks again", true, "", {ofOverwritePrompt}, {"Old.map", "fresh.map"}, true, levels + "/fresh.map", 2, 1},
        {"no names", false, "", {}, {}, false, "", 1, 0},
        {"an empty name", false, "", {}, {""}, false, "", 1, 0},
        {"relative with backslashes", false, "", {}, {"..\\Levels\\old.MAP"}, true, existing, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHooks::Reset();
        TestHooks::AnswerMessageBoxesWith(mrNo);
        std::unique_ptr<TOpenDialog> d(c.save ? new TSaveDialog : new TOpenDialog);
        d->SetInitialDir(levels);
        d->SetDefaultExt(c.defaultExt);
        d->SetOptions(c.options);
        d->SetFileName("Untitled");
        TestHooks::SetFileDialogAnswer([&](const TFileDialogRequest& r) {
            const size_t i = static_cast<size_t>(r.Attempt - 1);
            if (c.answers.empty())
                return Choose({});
            return Choose({c.answers.at(std::min(i, c.answers.size() - 1))});
        });
        EXPECT_EQ(d->Execute(), c.result);
        EXPECT_EQ(d->FileName(), c.result ? c.fileName : "Untitled");
        ASSERT_EQ(static_cast<int>(TestHooks::FileDialogLog().size()), c.attempts);
        EXPECT_EQ(TestHooks::FileDialogLog().back().Attempt, c.attempts);
        EXPECT_EQ(static_cast<int>(TestHooks::MessageBoxLog().size()), c.boxes);
        if (c.result) {
            EXPECT_EQ(d->Files(), std::vector<std::string>{c.fileName});
        }
    }
    // Overwrite: Yes accepts the existing file.
    TestHooks::Reset();
    TestHooks::AnswerMessageBoxesWith(mrYes);
    TSaveDialog save;
    save.SetInitialDir(levels);
    save.SetOptions({ofOverwritePrompt});
    TestHooks::SetFileDialogAnswer([](const TFileDialogRequest&) { return Choose({"old.map"}); });
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), existing);
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, existing + " already exists.\r\nDo you want to replace it?");
}

TEST(FileDialogs, TheRequestTheCurrentDirectoryAndLongNames)
{
    ScratchDir dir;
    const std::string levels = dir / "My Levels";
    std::filesystem::create_directories(levels);
    const std::string before = std::filesystem::current_path().string();
    TOpenDialog d;
    d.SetFilter("Map files (*.Map)|*.map|All|*.*");
    d.SetFilterIndex(99);
    d.SetFileName(levels + "/x.map");
    d.SetInitialDir(dir / "missing");
    TFileDialogRequest seen;
    TestHooks::SetFileDialogAnswer([&](const TFileDialogRequest& r) {
        seen = r;
        return Choose({"..\\x.map"}, 2);
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(seen.Title, "Open");
    EXPECT_EQ(seen.Folder, levels); // InitialDir missing: FileName's folder
    EXPECT_EQ(seen.FileName, "x.map");
    EXPECT_EQ(seen.FilterIndex, 1);
    ASSERT_EQ(seen.Filters.size(), 2u);
    EXPECT_EQ(d.FileName(), dir.Path() + "/x.map");
    EXPECT_EQ(d.FilterIndex(), 2);
    EXPECT_EQ(std::filesystem::current_path().string(), before);

    const std::string longName = levels + "/" + std::string(300, 'n') + ".map";
    TestHooks::SetFileDialogAnswer([&](const TFileDialogRequest&) { return Choose({longName}); });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName(), longName);

    // Headless without an answer nothing blocks.
    TestHooks::SetFileDialogAnswer(nullptr);
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.FileName(), longName);
}

TEST(FileDialogs, TheRealDialogAcceptsThePresetNameWithEnter)
{
    ScratchDir dir;
    const std::string file = dir.Write("Level One.map", "x");
    TForm form;
    form.Show();
    TestHooks::SetActiveForm(&form);
    TOpenDialog d;
    d.SetInitialDir(dir.Path());
    d.SetFileName("Level One.map");
    d.SetFilter("Map files (*.Map)|*.map");
    int shown = 0;
    TestHooks::SetWindowShown([&](TestHooks::TWindowKind kind) {
        EXPECT_EQ(kind, TestHooks::wkFileDialog);
        ++shown;
        TestHooks::KeyToTopWindow(VK_RETURN);
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(d.FileName(), file);
}

TEST(FileDialogs, TheStartFolderTheNameShownAndTheFilesChosen)
{
    ScratchDir dir;
    const std::string old = dir.Write("Levels/Old.map", "x");
    const std::string levels = dir / "Levels";
    const std::string cwd = std::filesystem::current_path().string();
    struct Case {
        const char* name;
        std::string initialDir;
        std::string fileName;
        int filterIndex;
        std::string folder;
        std::string shown;
        int shownFilter;
    };
    const Case cases[] = {
        {"InitialDir with backslashes", dir.Path() + "\\Levels", "Untitled", 2, levels, "Untitled", 2},
        {"InitialDir names a file", old, levels + "/x.map", 1, levels, "x.map", 1},
        {"FileName with a path through ..", "", levels + "/../Levels/x.map", -1, levels, "x.map", 1},
        {"FileName with backslashes", "", dir.Path() + "\\Levels\\x.map", 0, levels, "x.map", 1},
        {"FileName in a missing folder", "", dir / "missing/x.map", 3, cwd, "x.map", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHooks::Reset();
        TOpenDialog d;
        d.SetFilter("Map files (*.Map)|*.map|All|*.*");
        d.SetFilterIndex(c.filterIndex);
        d.SetInitialDir(c.initialDir);
        d.SetFileName(c.fileName);
        TestHooks::SetFileDialogAnswer([](const TFileDialogRequest&) { return TFileDialogAnswer{}; });
        EXPECT_FALSE(d.Execute()); // cancelled: the file name stays
        EXPECT_EQ(d.FileName(), c.fileName);
        ASSERT_EQ(TestHooks::FileDialogLog().size(), 1u);
        const TFileDialogRequest& r = TestHooks::FileDialogLog()[0];
        EXPECT_EQ(std::filesystem::weakly_canonical(r.Folder), std::filesystem::weakly_canonical(c.folder));
        EXPECT_TRUE(std::filesystem::path(r.Folder).is_absolute()) << r.Folder;
        EXPECT_EQ(r.FileName, c.shown);
        EXPECT_EQ(r.FilterIndex, c.shownFilter);
    }

    // Several names: all of them only with ofAllowMultiSelect, FileName the first.
    struct Multi {
        TOpenOptions options;
        std::vector<std::string> files;
    };
    const Multi multis[] = {
        {{}, {old}},
        {{ofAllowMultiSelect}, {old, levels + "/b.map"}},
    };
    for (const Multi& m : multis) {
        TestHooks::Reset();
        TOpenDialog d;
        d.SetInitialDir(levels);
        d.SetOptions(m.options);
        d.Files().push_back("stale");
        TestHooks::SetFileDialogAnswer([](const TFileDialogRequest&) { return Choose({"old.map", "b.map"}); });
        EXPECT_TRUE(d.Execute());
        EXPECT_EQ(d.Files(), m.files);
        EXPECT_EQ(d.FileName(), old);
    }
}
