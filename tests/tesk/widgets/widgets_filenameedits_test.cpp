// The file-name field: names in its text, dropped files, and the dialog its button opens.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <typeinfo>
#include <vector>

#include "EditTestSupport.h"
#include "WidgetTestSupport.h"
#include "platform/Files.h"
#include "tesk/widgets/ComboEdits.h"
#include "tests/support/ScratchDir.h"

namespace {

using TestHooks::TFileDialogAnswer;
using TestHooks::TFileDialogRequest;

TFileDialogAnswer Choose(std::vector<std::string> names)
{
    TFileDialogAnswer a;
    a.Accepted = true;
    a.Names = std::move(names);
    return a;
}

class FilenameEdits : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        TestHooks::SetActiveForm(Form.get());
        Spaced = Dir.Write("dir with space/a.txt", "a");
        Plain = Dir.Write("plain/b.txt", "b");
        // A path of 300 characters (in folders of at most 255).
        std::string longPath = std::string(150, 'd') + "/" + std::string(100, 'e') + "/";
        longPath += std::string(300 - (Dir.Path().size() + 1 + longPath.size()), 'f');
        Long = Dir.Write(longPath, "l");
        Start = std::filesystem::current_path().string();
    }
    void TearDown() override
    {
        EXPECT_EQ(std::filesystem::current_path().string(), Start);
        WidgetForm::TearDown();
    }
    TFilenameEdit* Field(int x = 10, int y = 10, int w = 137)
    {
        return PlaceControl<TFilenameEdit>(Form.get(), x, y, w, 21);
    }
    ScratchDir Dir;
    std::string Spaced, Plain, Long, Start;
};

TEST_F(FilenameEdits, Defaults)
{
    auto* e = Field();
    EXPECT_EQ(e->DialogKind(), dkOpen);
    EXPECT_EQ(e->FileEditStyle(), fsEdit);
    EXPECT_EQ(e->FilterIndex(), 1);
    EXPECT_EQ(e->DialogOptions(), TOpenOptions({ofHideReadOnly}));
    EXPECT_EQ(e->DialogTitle(), "Browse");
    EXPECT_EQ(e->Filter(), "All files (*.*)|*.*");
    EXPECT_FALSE(e->AcceptFiles());
    EXPECT_TRUE(e->AutoSelect());
    EXPECT_EQ(e->BorderStyle(), bsSingle);
    EXPECT_EQ(e->ClickKey(), 32808);
    EXPECT_EQ(e->Color(), clWindow);
    EXPECT_TRUE(e->DirectInput());
    EXPECT_EQ(e->GlyphKind(), gkDefault);
    EXPECT_FALSE(e->ReadOnly());
    EXPECT_TRUE(e->OEMConvert());
    EXPECT_FALSE(e->ManyFiles());
    // "FEDITBMP": 14 + 6 against 21.
    ASSERT_NE(FileEditGlyph(), nullptr);
    EXPECT_EQ(FileEditGlyph()->Width(), 14);
    EXPECT_EQ(e->Glyph().Width(), 14);
    EXPECT_EQ(e->NumGlyphs(), 1);
    EXPECT_EQ(e->ButtonWidth(), 21);
    // One bitmap for every field.
    auto* other = Field(10, 40);
    EXPECT_EQ(other->Glyph().PixelColor(3, 3), e->Glyph().PixelColor(3, 3));
}

TEST_F(FilenameEdits, NamesInTheText)
{
    auto* e = Field();
    e->SetFileName(Spaced);
    EXPECT_EQ(e->Text(), "\"" + Spaced + "\"");
    EXPECT_EQ(e->FileName(), Spaced);
    EXPECT_EQ(e->LongName(), "a.txt");

    const std::string missing = Dir / "dir with space/missing.txt";
    e->SetText(missing);
    EXPECT_EQ(e->Text(), missing);
    EXPECT_EQ(e->FileName(), Dir / "dir");
    e->SetText("\"" + missing + "\"");
    EXPECT_EQ(e->FileName(), missing);
    // An existing file is its own name, spaces and all.
    e->SetText(Spaced);
    EXPECT_EQ(e->FileName(), Spaced);

    e->SetFileName("");
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(e->FileName(), "");
    e->SetFileName(Long);
    EXPECT_EQ(Long.size(), 300u);
    EXPECT_EQ(e->Text(), Long);
    EXPECT_EQ(e->FileName(), Long);
}

TEST_F(FilenameEdits, UnacceptableNamesAreRefusedWithTheMessage)
{
    auto* e = Field();
    e->SetFileName(Plain);
    for (const std::string bad : {"a|b.txt", "a<b", "a>b", "x/\"q\"", "[a]", "a]", "/tmp/folder/"}) {
        SCOPED_TRACE(bad);
        try {
            e->SetFileName(bad);
            ADD_FAILURE() << "accepted";
        } catch (const EComboEditError& error) {
            EXPECT_EQ(error.Message(), "Invalid file name - " + bad);
        }
        EXPECT_EQ(e->Text(), Plain);
    }
    // Accepted as they stand: blanks, "..", backslashes, bytes that are not UTF-8, a
    // name whose folder is missing.
    for (const std::string& ok : {std::string(" lead.txt"), std::string("trail.txt "), std::string(".."),
                                 std::string("a\\b\\c.txt"), Dir / "no such/x.txt"}) {
        SCOPED_TRACE(ok);
        e->SetFileName(ok);
        EXPECT_EQ(e->Text(), QuotedFileName(ok));
    }
    // The edit holds text: such bytes come back as their characters.
    e->SetFileName("caf\xE9.txt");
    EXPECT_EQ(e->Text(), "caf\xC3\xA9.txt");
}

TEST_F(FilenameEdits, DroppedFiles)
{
    auto* e = Field();
    int drops = 0;
    e->OnDropFiles = [&](TObject*) { ++drops; };
    const std::vector<std::string> three = {Plain, Spaced, Long};
    // Without AcceptFiles nothing arrives.
    EXPECT_FALSE(TestHooks::DropFiles(e, three, Point(5, 5)));
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(e->Text(), "");

    e->SetAcceptFiles(true);
    EXPECT_TRUE(TestHooks::DropFiles(e, three, Point(5, 5)));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(e->FileName(), Plain);
    EXPECT_TRUE(e->Files().empty());

    TOpenOptions many = e->DialogOptions();
    many.Include(ofAllowMultiSelect);
    e->SetDialogOptions(many);
    EXPECT_TRUE(e->ManyFiles());
    TestHooks::DropFiles(e, {Spaced, "http://example.invalid/x.txt", Plain, Long}, Point(5, 5));
    EXPECT_EQ(drops, 2);
    EXPECT_EQ(e->FileName(), Spaced);
    EXPECT_EQ(e->Files(), (std::vector<std::string>{Spaced, Plain, Long}));
    // Removing the option clears the list.
    many.Exclude(ofAllowMultiSelect);
    e->SetDialogOptions(many);
    EXPECT_FALSE(e->ManyFiles());
    EXPECT_TRUE(e->Files().empty());

    // A long name arrives whole; a folder is taken as a name.
    TestHooks::DropFiles(e, {Long}, Point(5, 5));
    EXPECT_EQ(e->FileName(), Long);
    TestHooks::DropFiles(e, {Dir / "plain"}, Point(5, 5));
    EXPECT_EQ(e->Text(), Dir / "plain");
    // Only addresses that are not local: nothing arrives.
    const int before = drops;
    TestHooks::DropFiles(e, {"http://example.invalid/a", "ftp://example.invalid/b"}, Point(5, 5));
    EXPECT_EQ(drops, before);
    EXPECT_EQ(e->Text(), Dir / "plain");
}

TEST_F(FilenameEdits, AThousandDroppedNamesAndNamesWithQuotes)
{
    auto* e = Field();
    e->SetAcceptFiles(true);
    e->SetDialogOptions({ofHideReadOnly, ofAllowMultiSelect});
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i)
        names.push_back(Dir.Write("many/f " + std::to_string(i) + ".txt", ""));
    TestHooks::DropFiles(e, names, Point(5, 5));
    EXPECT_EQ(e->FileName(), names[0]);
    EXPECT_EQ(e->Text(), "\"" + names[0] + "\"");
    EXPECT_EQ(e->Files(), names);
    // A name holding a double quote is refused with its message; the text stays.
    const std::string quoted = Dir.Write("many/say \"hi\".txt", "");
    TestHooks::AnswerMessageBoxesWith(mrOk);
    TestHooks::ClearMessageBoxLog();
    int drops = 0;
    e->OnDropFiles = [&](TObject*) { ++drops; };
    TestHooks::DropFiles(e, {quoted}, Point(5, 5));
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Invalid file name - " + quoted);
    EXPECT_EQ(e->FileName(), names[0]);
    EXPECT_EQ(drops, 0);
}

TEST_F(FilenameEdits, TheDialogFlow)
{
    auto* e = Field();
    std::vector<std::string> log;
    bool beforeAction = true, afterAction = true;
    std::string beforeName;
    e->OnBeforeDialog = [&](TObject*, std::string& name, bool& action) {
        log.push_back("before " + name);
        if (!beforeName.empty())
            name = beforeName;
        action = beforeAction;
    };
    e->OnAfterDialog = [&](TObject*, std::string& name, bool& action) {
        log.push_back("after " + name + (action ? " yes" : " no"));
        if (!afterAction)
            action = false;
    };
    std::string answer = Spaced;
    bool accept = true;
    TestHooks::SetFileDialogAnswer([&](const TFileDialogRequest&) {
        TFileDialogAnswer a = Choose({answer});
        a.Accepted = accept;
        return a;
    });
    auto run = [&] {
        log.clear();
        e->RunButton();
    };
    // Before-dialog handler refusing: no dialog.
    beforeAction = false;
    run();
    EXPECT_TRUE(TestHooks::FileDialogLog().empty());
    EXPECT_EQ(log, (std::vector<std::string>{"before "}));
    beforeAction = true;

    // A name given there is the dialog's; its existing folder its start.
    beforeName = Plain;
    run();
    ASSERT_EQ(TestHooks::FileDialogLog().size(), 1u);
    const TFileDialogRequest& first = TestHooks::FileDialogLog()[0];
    EXPECT_EQ(first.FileName, "b.txt");
    EXPECT_EQ(first.Folder + "/", ExtractFilePath(Plain));
    EXPECT_EQ(first.Title, "Browse");
    EXPECT_EQ(e->Text(), "\"" + Spaced + "\"");
    EXPECT_EQ(e->InitialDir(), ExtractFilePath(Spaced));
    EXPECT_EQ(log, (std::vector<std::string>{"before ", "after " + Spaced + " yes"}));
    beforeName.clear();

    // The after-dialog handler refusing keeps the text although the dialog was confirmed.
    answer = Plain;
    afterAction = false;
    run();
    EXPECT_EQ(e->FileName(), Spaced);
    afterAction = true;

    // Cancelled: the text unchanged, the handler told so.
    accept = false;
    run();
    EXPECT_EQ(e->FileName(), Spaced);
    EXPECT_EQ(log.back(), "after " + Spaced + " no");
    accept = true;

    // A name in a missing folder gives no start folder of its own.
    e->SetInitialDir("");
    e->SetText(Dir / "missing/x.txt");
    run();
    EXPECT_NE(TestHooks::FileDialogLog().back().Folder + "/", Dir / "missing/");
    EXPECT_EQ(TestHooks::FileDialogLog().back().FileName, "x.txt");

    // Alt+Down in the field opens the dialog as the button does.
    e->SetFocus();
    const size_t requests = TestHooks::FileDialogLog().size();
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    EXPECT_EQ(TestHooks::FileDialogLog().size(), requests + 1);
    EXPECT_TRUE(e->Focused());

    // A 300-character choice comes back whole.
    answer = Long;
    run();
    EXPECT_EQ(e->FileName(), Long);
    EXPECT_EQ(e->Text(), Long);

    // A folder as the name: the dialog shows no name.
    e->SetText(Dir / "plain/");
    run();
    EXPECT_EQ(TestHooks::FileDialogLog().back().FileName, "");
    TestHooks::SetFileDialogAnswer(nullptr);
}

TEST_F(FilenameEdits, AChangeOfDialogKindCarriesTheFieldsOver)
{
    auto* e = Field();
    e->SetDefaultExt("jpg");
    e->SetFileEditStyle(fsComboBox);
    e->Dialog().SetFileName("x.jpg");
    e->SetFilter("JPEG Images|*.jpg");
    e->SetFilterIndex(2);
    e->SetInitialDir(Dir.Path());
    e->SetHistoryList({"one", "two"});
    e->Files() = {"f1", "f2"};
    e->SetDialogOptions({ofHideReadOnly, ofAllowMultiSelect});
    e->SetDialogTitle("Pick");
    e->SetDialogKind(dkSave);
    ASSERT_NE(dynamic_cast<TSaveDialog*>(&e->Dialog()), nullptr);
    struct Field_ {
        const char* name;
        bool same;
    } fields[] = {
        {"DefaultExt", e->DefaultExt() == "jpg"},
        {"FileEditStyle", e->FileEditStyle() == fsComboBox},
        {"FileName", e->Dialog().FileName() == "x.jpg"},
        {"Filter", e->Filter() == "JPEG Images|*.jpg"},
        {"FilterIndex", e->FilterIndex() == 2},
        {"InitialDir", e->InitialDir() == Dir.Path()},
        {"HistoryList", e->HistoryList() == std::vector<std::string>{"one", "two"}},
        {"Files", e->Files() == std::vector<std::string>{"f1", "f2"}},
        {"Options", e->DialogOptions() == TOpenOptions({ofHideReadOnly, ofAllowMultiSelect})},
        {"Title", e->DialogTitle() == "Pick"},
    };
    for (const auto& f : fields)
        EXPECT_TRUE(f.same) << f.name;
    for (TFileDialogKind kind : {dkOpenPicture, dkSavePicture, dkOpen}) {
        e->SetDialogKind(kind);
        EXPECT_EQ(e->DialogTitle(), "Pick");
    }
    EXPECT_EQ(typeid(e->Dialog()), typeid(TOpenDialog));
    e->SetDialogKind(dkOpenPicture);
    EXPECT_NE(dynamic_cast<TOpenPictureDialog*>(&e->Dialog()), nullptr);
}

TEST_F(FilenameEdits, TheEditorsFourFields)
{
    const char* texts[] = {"Morrowfinch.jpg", "BasicTiles.JPG", "BasicTiles.JPG", "Zodezodi.s3m"};
    const char* filters[] = {"JPEG Images|*.jpg", "JPEG Images|*.jpg", "JPEG Images|*.jpg",
                             "Module Music files |*.mod,*.s3m,*.mtm,*.xm|All files (*.*)|*.*"};
    std::vector<TFilenameEdit*> fields;
    std::vector<int> changes(4, 0);
    for (int i = 0; i < 4; ++i) {
        auto* f = Field(10, 10 + 30 * i, 137);
        f->SetText(texts[i]);
        f->SetFilter(filters[i]);
        f->SetDialogOptions({ofHideReadOnly, ofNoChangeDir, ofPathMustExist, ofFileMustExist});
        f->OnChange = [&changes, i](TObject*) { ++changes[size_t(i)]; };
        f->OnAfterDialog = [](TObject*, std::string& name, bool&) { name = ExtractFileName(name); };
        fields.push_back(f);
    }
    fields[0]->SetFileName("Other.jpg");
    EXPECT_EQ(changes[0], 1);
    EXPECT_EQ(fields[0]->Text(), "Other.jpg");
    TestHooks::SetFileDialogAnswer([&](const TFileDialogRequest& r) {
        EXPECT_EQ(r.Filters.size(), 2u);
        return Choose({Spaced});
    });
    fields[3]->RunButton();
    EXPECT_EQ(fields[3]->Text(), "a.txt");
    EXPECT_EQ(changes[3], 1);
    TestHooks::SetFileDialogAnswer(nullptr);
}

} // namespace
