#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QMessageBox>

#include <ostream>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Keys.h"
#include "platform/TestHooks.h"

TEST(MessageDlg, TheAnswerComesBackAsAModalResult)
{
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest&) { return mrYes; });
    EXPECT_EQ(MessageDlg("Начать новую игру?", mtInformation, {mbYes, mbNo}), mrYes);
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    const auto& box = TestHooks::MessageBoxLog()[0];
    EXPECT_EQ(box.Text, "Начать новую игру?");
    EXPECT_EQ(box.Caption, "Information");
    EXPECT_EQ(box.Type, mtInformation);
    EXPECT_EQ(box.Buttons, (TMsgDlgButtons{mbYes, mbNo}));
}

// A box nobody answers (headless, no answer set) counts as closed: only a Yes answer
// is a Yes.
struct ClosedCase {
    TMsgDlgButtons buttons;
    TModalResult result;
};
void PrintTo(const ClosedCase& c, std::ostream* os) { *os << "result " << c.result; }


class ClosedBoxTest : public ::testing::TestWithParam<ClosedCase> {};

TEST_P(ClosedBoxTest, ClosingWithoutAButton)
{
    EXPECT_EQ(MessageDlg("Вы проиграли!", mtInformation, GetParam().buttons), GetParam().result);
    EXPECT_EQ(TestHooks::MessageBoxLog().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Buttons, ClosedBoxTest, ::testing::Values(
    ClosedCase{{mbYes, mbNo}, mrNo}, ClosedCase{{mbOK}, mrOk}, ClosedCase{{mbOK, mbCancel}, mrCancel}));

TEST(AnswerMessageBoxesWith, FallsBackToTheFirstButtonTheBoxHas)
{
    TestHooks::AnswerMessageBoxesWith(mrYes);
    EXPECT_EQ(MessageDlg("a", mtInformation, {mbYes, mbNo}), mrYes);
    EXPECT_EQ(MessageDlg("b", mtInformation, {mbOK}), mrOk);
}

TEST(ShowMessage, CarriesTheProgramsTitle)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    Application->SetTitle("Gromble");
    ShowMessage("Could not find an associated browser");
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Caption, "Gromble");
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Could not find an associated browser");
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Buttons, (TMsgDlgButtons{mbOK}));
}

// A program may give its boxes a language of its own; without one they keep English
// titles and the desktop's buttons (English under LANG=C, as the tests run).
TEST(MessageDlg, TitlesAndButtonsFollowTheProgramsLanguage)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    SetMessageBoxLanguage("ru");
    MessageDlg("Вы выиграли!", mtInformation, {mbYes, mbNo});
    MessageDlg("x", mtWarning, {mbOK, mbCancel});
    SetMessageBoxLanguage("");
    MessageDlg("Level saved", mtInformation, {mbYes, mbNo});
    const auto& log = TestHooks::MessageBoxLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Caption, "Информация");
    EXPECT_EQ(log[0].ButtonCaptions, (std::vector<std::string>{"Да", "Нет"}));
    EXPECT_EQ(log[1].Caption, "Предупреждение");
    EXPECT_EQ(log[1].ButtonCaptions, (std::vector<std::string>{"OK", "Отмена"}));
    EXPECT_EQ(log[2].Caption, "Information");
    if (QLocale::system().language() != QLocale::Russian)
        EXPECT_EQ(log[2].ButtonCaptions, (std::vector<std::string>{"Yes", "No"}));
}

// A program's own caption for a button replaces the language's; Yes and No keep theirs,
// and an empty caption gives the language's back.
TEST(MessageDlg, AProgramsOwnButtonCaption)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    SetMessageBoxLanguage("ru");
    SetMessageBoxButtonCaption(mbOK, "\xD0\x9E\xD0\x9A");
    MessageDlg("Вы выиграли!", mtInformation, {mbOK});
    MessageDlg("Начать новую игру?", mtInformation, {mbYes, mbNo});
    SetMessageBoxButtonCaption(mbOK, "");
    MessageDlg("Вы выиграли!", mtInformation, {mbOK});
    const auto& log = TestHooks::MessageBoxLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].ButtonCaptions, std::vector<std::string>{"\xD0\x9E\xD0\x9A"});
    EXPECT_EQ(log[1].ButtonCaptions, (std::vector<std::string>{"Да", "Нет"}));
    EXPECT_EQ(log[2].ButtonCaptions, std::vector<std::string>{"OK"});
}

// The box as it opens: its buttons read as logged, and it is wide enough for its title in
// the title bar's (bold) face with room for the bar's icon and buttons, however short its
// text.
TEST(MessageDlg, TheOpenBoxFitsItsTitleAndShowsItsOwnCaptions)
{
    struct Case {
        std::string Language, OwnOk, Title, Text;
        TMsgDlgType Type;
        std::string Ok;
    };
    for (const Case& c : std::vector<Case>{
             {"ru", "\xD0\x9E\xD0\x9A", "", "Вы проиграли!", mtInformation, "\xD0\x9E\xD0\x9A"},
             {"ru", "\xD0\x9E\xD0\x9A", "", "!", mtConfirmation, "\xD0\x9E\xD0\x9A"},
             {"", "", "", "Level saved", mtInformation, "OK"},
             {"", "", "A rather long title for a box with a short text", "x", mtCustom, "OK"},
         }) {
        SCOPED_TRACE(c.Text);
        SetMessageBoxLanguage(c.Language);
        SetMessageBoxButtonCaption(mbOK, c.OwnOk);
        Application->SetTitle(c.Title);
        int width = 0, titleRoom = 0;
        std::string shownOk, title;
        TestHooks::SetWindowShown([&](TestHooks::TWindowKind kind) {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_EQ(kind, TestHooks::wkMessageBox);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle().toStdString();
            QFont bold = box->font();
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            // The window's icon and three buttons beside the title.
            titleRoom = metrics.horizontalAdvance(box->windowTitle()) + 4 * metrics.height();
            width = box->width();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                shownOk = ok->text().toStdString();
            TestHooks::KeyToTopWindow(VK_ESCAPE);
        });
        const TModalResult result = c.Title.empty() ? MessageDlg(c.Text, c.Type, {mbOK}) : (ShowMessage(c.Text), mrOk);
        EXPECT_EQ(result, mrOk);
        EXPECT_EQ(shownOk, c.Ok);
        EXPECT_FALSE(title.empty());
        EXPECT_GE(width, titleRoom) << title;
        ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
        EXPECT_EQ(TestHooks::MessageBoxLog()[0].ButtonCaptions, std::vector<std::string>{c.Ok});
        TestHooks::Reset();
    }
}
