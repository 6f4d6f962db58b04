#pragma once
// Whole-program tests of Tesk.
// - In-process (ShellTest): the program's forms made by CreateProgramForms over a scratch
//   program folder, WM_STARTUP run, every message box answered and logged, and ticks
//   delivered by the test (the real timer's deliveries do nothing meanwhile), so runs are
//   deterministic. The forms are freed and the program's globals put back after each test.
// - Child runs (RunTesk): the built program over a scratch program folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/DirectDraw.h"
#include "platform/Fmod.h"
#include "platform/Params.h"
#include "platform/TestHooks.h"
#include "tesk/editor/AdvancedSettingsForms.h"
#include "tesk/editor/EditorForm.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/Settings.h"
#include "tesk/shell/ClearProgressDialogs.h"
#include "tesk/shell/DisplayModeQuery.h"
#include "tesk/shell/LevelResultForms.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScratchProgram.h"
#include "tests/tesk/game/SettingsReset.h"

// The settings and the program's other globals back at their values before a start.
inline void ResetProgramGlobals()
{
    ResetSettings();
    ShowDebugMessages = false;
    StartupFailed = false;
    PumpingMessages = false;
    LastOperation.clear();
    SetDirectDrawCreateFailure(DD_OK);
    FmodTest::FailInit(false);
    TakeReportedProblems();
}

// The texts of the message boxes shown so far.
inline std::vector<std::string> BoxTexts()
{
    std::vector<std::string> texts;
    for (const TMessageBoxRequest& r : TestHooks::MessageBoxLog())
        texts.push_back(r.Text);
    return texts;
}

// "First Steps", the level the program's tests play in place of the shipped set's (the
// fixture of the engine's golden replays): the hero, a boulder, a pool, a key and the
// door in one row, solved by holding Right.
inline std::string FirstStepsLevel()
{
    return ScratchDir::Read(std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/replays/First.map");
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgramGlobals();
        Override = std::make_unique<ProgramDirOverride>(Dir.Path());
        TestHooks::AnswerMessageBoxesWith(mrOk);
        TestHooks::SetApplicationActive(true);
        // The display question is answered "Run Windowed" unless a test answers it.
        TestHooks::SetModalStarted([](TForm* form) {
            if (form == QueryDisplayForm)
                form->SetModalResult(mrRunWindowed);
        });
        SetCommandLine(std::vector<std::string>{"tesk"});
    }

    void TearDown() override
    {
        FreeForms();
        Override.reset();
        ResetProgramGlobals();
        SetCommandLine(std::vector<std::string>{"tesk"});
    }

    // Creates the forms as the program does (with these switches) and runs WM_STARTUP.
    void Start(const std::vector<std::string>& switches = {})
    {
        std::vector<std::string> line{"tesk"};
        line.insert(line.end(), switches.begin(), switches.end());
        SetCommandLine(line);
        CreateProgramForms();
        ASSERT_NE(Form1, nullptr);
        Form1->MMTimer1->OnTimer = nullptr;  // the test delivers the ticks
        // As Application->Run: the main window shows, then the loop runs.
        Form1->Show();
        TestHooks::SetActiveForm(Form1);
        TestHooks::RunPostedMessages();
    }

    // One timer delivery of the given number of periods.
    void Tick(int periods = 1)
    {
        if (Form1)
            Form1->MMTimer1Timer(Form1->MMTimer1, periods);
        TestHooks::RunPostedMessages();
    }

    // Ticks (one period each) until the condition holds; false after the limit.
    template <class F>
    bool TickUntil(F condition, int limit)
    {
        for (int i = 0; i < limit && !condition(); ++i)
            Tick();
        return condition();
    }

    // Closes the main window as its close button would and runs what follows.
    void CloseWindow()
    {
        Form1->Close();
        TestHooks::RunPostedMessages();
    }

    // Writes Config.cfg into the scratch program folder.
    void WriteConfig(const std::string& text) { Dir.Write("Config.cfg", text); }
    // "First Steps" as "Levels\First.map" beside the program, and, with a set, as the only
    // entry of "Gromble.set" there too.
    void WriteFirstSteps(bool set = false)
    {
        Dir.Write("Levels/First.map", FirstStepsLevel());
        if (set)
            Dir.Write("Gromble.set", "Level Levels\\First.map\r\n");
    }
    std::string ReadConfig() const { return ScratchDir::Read(Dir / "Config.cfg"); }

    void FreeForms()
    {
        TestHooks::ReleaseActiveForm();
        // Last created first, as the application does at its end.
        auto free = [](auto*& form) {
            if (form)
                form->Free();
            form = nullptr;
        };
        free(ClearProgressDialog);
        free(AdvancedSettingsForm);
        free(LevelSuccessForm);
        free(LevelFailureForm);
        free(LevelPartialSuccessForm);
        free(PopUp);
        free(QueryDisplayForm);
        free(Editor);
        free(Form1);
        TestHooks::RunPostedMessages();
        Application->ClearTerminated();
    }

    ScratchProgramDir Dir;
    std::unique_ptr<ProgramDirOverride> Override;
};

// The built program started over a scratch program folder, headless.
inline ProgramRun RunTesk(const ScratchProgramDir& dir, const std::vector<std::string>& args,
                          std::vector<std::string> env, int limitSeconds = 60, int signal = 0,
                          const std::string& signalWhen = {}, int signalDelayMs = 0)
{
    env.insert(env.begin(), {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", dir.Environment()});
    return RunProgram(std::string(TP_BIN_DIR) + "/tesk", args, env, limitSeconds, signal, signalWhen,
                      signalDelayMs);
}
