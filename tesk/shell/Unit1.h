#pragma once
// The main window of Tesk: it hosts the game, and handles the program's private
// window messages.
#include "platform/Forms.h"
#include "tesk/toolkit/Dib16.h"

// Private messages of the main window (wParam as stated, lParam 0); WM_SETDISPLAYTYPE,
// WM_RELOADDATA and WM_REINITAUDIO come with the graphics layer.
constexpr UINT WM_STARTUP = 0x7818;
constexpr UINT WM_CLOSEGAME = 0x7819; // closes the main window

class TForm1 : public TForm {
public:
    TForm1();

    // Window position at start-up.
    int SavedLeft = 0;
    int SavedTop = 0;
    bool SettingUp = false;
    bool Closing = false;

    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormActivate(TObject* Sender);
    void WMStartUp(TMessage& Message);
    void WMCloseGame(TMessage& Message);
};

extern TForm1* Form1;

// The text of the box that reports a failed start-up: the exception's text, where it
// happened and the last step that was running.
std::string StartupFailureText(const std::string& message, uintptr_t address);
