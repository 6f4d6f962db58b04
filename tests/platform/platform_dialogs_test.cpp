#include <gtest/gtest.h>

#include <QLocale>

#include <ostream>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Dialogs.h"
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
