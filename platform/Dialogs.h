#pragma once
// Simple modal message dialogs. Both wait until the user answers; posted messages and
// timers go on meanwhile. Headless tests answer them through TestHooks.
#include <initializer_list>
#include <string>

#include "platform/Forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (auto b : buttons)
            FBits |= 1u << b;
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (FBits & (1u << b)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    friend constexpr bool operator==(TMsgDlgButtons, TMsgDlgButtons) = default;

private:
    unsigned FBits = 0;
};

// The text in a box with an OK button, titled with the program's title.
void ShowMessage(const std::string& Msg);

// The text in a box of the given kind with the given buttons. Returns the answer as a
// modal result (mrYes, mrNo, mrOk...). Closing the box without a button gives mrNo
// when the box has a No button, else mrCancel when it has a Cancel button, else the
// result of its only button.
TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);

// One message box as asked for; what the test hooks see.
struct TMessageBoxRequest {
    std::string Caption;
    std::string Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
};

// Shows a message box (or lets the test hook answer it) and returns the answer.
TModalResult RunMessageBox(const TMessageBoxRequest& request);
