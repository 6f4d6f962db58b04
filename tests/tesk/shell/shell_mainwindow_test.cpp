#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/TestHooks.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Misc.h"

TEST(MainWindow, StartsWithAnEmptyCaptionAndA640x480ClientArea)
{
    Application->CreateForm(Form1);
    ASSERT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(Form1->Caption(), "");
    EXPECT_EQ(Form1->ClientWidth(), 640);
    EXPECT_EQ(Form1->ClientHeight(), 480);
    EXPECT_TRUE(Form1->KeyPreview());

    PostMessage(Form1->Handle(), WM_STARTUP, 0, 0);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_FALSE(Form1->SettingUp);
    EXPECT_EQ(LastOperation, "DebugMessage('SetUpEverything ends')");
    EXPECT_FALSE(Application->Terminated());

    // The private close message closes the main window, which ends the program.
    PostMessage(Form1->Handle(), WM_CLOSEGAME, 0, 0);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(TestHooks::MessageBoxLog().empty());
    Form1->Free();
    Form1 = nullptr;
}

TEST(MainWindow, RefusesToCloseWhileSettingUp)
{
    Application->CreateForm(Form1);
    Form1->SettingUp = true;
    Form1->Close();
    EXPECT_FALSE(Application->Terminated());
    Form1->SettingUp = false;
    Form1->Close();
    EXPECT_TRUE(Application->Terminated());
    Form1->Free();
    Form1 = nullptr;
}

TEST(MainWindow, StartupFailureTextNamesTheLastStep)
{
    LastOperation = "DebugMessage('Attempting to init DirectDraw')";
    EXPECT_EQ(StartupFailureText("Couldn't Create a DirectDraw Object", 0x4A3F10),
              "Couldn't Create a DirectDraw Object at $4A3F10\r"
              "Last operation performed: DebugMessage('Attempting to init DirectDraw')");
}
