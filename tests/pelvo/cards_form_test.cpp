// The main form's start-up: the first activation loads the pictures and texts and sets
// the game up; later activations change nothing.
#include <gtest/gtest.h>

#include "pelvo/Unit1.h"
#include "tests/support/GuiApplication.h"

using namespace pelvo;

TEST(MainForm, FirstActivationLoadsEverythingOnce)
{
    EnsureGuiApplication();
    TForm1 form;
    EXPECT_EQ(form.ClientWidth(), 604);
    EXPECT_EQ(form.ClientHeight(), 419);
    form.FormActivate(&form);
    ASSERT_TRUE(form.Started);
    EXPECT_TRUE(form.Images.CardGlyphs[36].Active());
    EXPECT_NE(form.Memo1->Caption().find("ЧАЙНИК"), std::string::npos);
    EXPECT_EQ(form.GameState.SkillLevel, 1);

    // The strongest opponent chosen, then another activation (a dialog closed).
    form.RadioButtonEnter(4);
    form.GameState.OutOfTurnAllowed = true;
    form.FormActivate(&form);
    EXPECT_EQ(form.GameState.SkillLevel, 4);
    EXPECT_TRUE(form.GameState.OutOfTurnAllowed);
    EXPECT_NE(form.Memo1->Caption().find("СТУДЕНТ"), std::string::npos);

    TCloseAction action = caFree;
    form.FormClose(&form, action);
    EXPECT_FALSE(form.Images.CardGlyphs[1].Active());
}

TEST(MainForm, ShowingTheFormStartsItUpBeforeAnyActivation)
{
    // Some window systems activate a window only when it is clicked; the click that
    // activates it must find the game ready.
    EnsureGuiApplication();
    TForm1 form;
    form.Show();
    EXPECT_TRUE(form.Started);
    EXPECT_TRUE(form.Images.CardGlyphs[1].Active());
    form.NewGameClick(form.NewGame);
    EXPECT_TRUE(form.INV->Enabled());
    EXPECT_TRUE(form.US[0]->Glyph().Active());
    form.Hide();
}
