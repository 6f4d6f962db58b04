#include "tesk/shell/Unit1.h"

#include <chrono>
#include <thread>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Params.h"
#include "tesk/toolkit/Misc.h"

TForm1* Form1 = nullptr;

TForm1::TForm1()
{
    // Layout.
    SetBorderStyle(bsSizeable);
    SetKeyPreview(true);
    SetClientWidth(640);
    SetClientHeight(480);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    SetMessageHandler(WM_STARTUP, [this](TMessage& m) { WMStartUp(m); });
    SetMessageHandler(WM_CLOSEGAME, [this](TMessage& m) { WMCloseGame(m); });
}

void TForm1::FormCreate(TObject*)
{
    try {
        SetCurrentDir(ApplicationDir());
        Application->OnActivate = [this](TObject* s) { FormActivate(s); };
        SetClientWidth(640);
        SetClientHeight(480);
        ShowDebugMessages = ParamSwitch("ShowDebugmessages");
        ProfileReset();
    } catch (const Exception& e) {
        ShowMessage(e.Message());
        Application->Terminate();
    }
    SetCaption("");
}

void TForm1::WMStartUp(TMessage&)
{
    try {
        SettingUp = true;
        DebugMessage("SetUpEverything begins");
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Application->ProcessMessages();
        SavedLeft = Left();
        SavedTop = Top();
        DebugMessage("SetUpEverything ends");
        SettingUp = false;
    } catch (const Exception& e) {
        SettingUp = false;
        ShowMessage(StartupFailureText(e.Message(), reinterpret_cast<uintptr_t>(&e)));
        Application->Terminate();
    }
}

void TForm1::WMCloseGame(TMessage&)
{
    Close();
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose)
{
    if (SettingUp) {
        CanClose = false;
        return;
    }
    Closing = true;
}

void TForm1::FormActivate(TObject*) {}

std::string StartupFailureText(const std::string& message, uintptr_t address)
{
    return message + " at $" + IntToHexStr(static_cast<int32_t>(address & 0xFFFFFFFFu)) + "\r" +
           "Last operation performed: " + LastOperation;
}
