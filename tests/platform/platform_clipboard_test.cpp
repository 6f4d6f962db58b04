#include <gtest/gtest.h>

#include <string>

#include "platform/Clipbrd.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

TEST(Clipboard, TextRoundTripsAndBadTextIsReadSafely)
{
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"12.5", "12.5"},
        {"\xC2\xB1" "3", "\xC2\xB1" "3"}, // UTF-8 stays
        {"\xB1", "\xC2\xB1"},           // Windows-1252 comes back as UTF-8
        {"\xFF\xFE broken", "\xC3\xBF\xC3\xBE broken"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {std::string(1 << 20, 'x'), std::string(1 << 20, 'x')},
    };
    for (const Case& c : cases) {
        Clipboard()->SetAsText(c.in);
        EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
        EXPECT_EQ(Clipboard()->AsText(), c.out) << c.in.substr(0, 20);
    }
    Clipboard()->SetAsText("");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    Clipboard()->SetAsText("x");
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT + 1));
}

TEST(Clipboard, AnEditCopiesAndPastesThroughIt)
{
    TForm form;
    TEdit* edit = PlaceControl<TEdit>(&form, 10, 10, 120, 21);
    form.Show();
    TestHooks::SetActiveForm(&form);
    edit->SetFocus();
    edit->SetText("12.5");
    edit->SelectAll();
    TestHooks::KeyStroke(&form, 'C', {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "12.5");
    Clipboard()->SetAsText("\xC2\xB1" "7");
    edit->SetText("");
    TestHooks::KeyStroke(&form, 'V', {ssCtrl});
    EXPECT_EQ(edit->Text(), "\xC2\xB1" "7");
}
