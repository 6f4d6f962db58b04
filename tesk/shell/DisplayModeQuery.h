#pragma once
// The display question: asked when the game would start in a window through DirectDraw
// on a desktop that is not 16 bits per pixel. The answer is not stored.
#include <string>

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

constexpr TModalResult mrRunFullScreen = 100;
constexpr TModalResult mrRunWindowed = 101;

class TQueryDisplayForm : public TForm {
public:
    TQueryDisplayForm();
    TLabel* Label1 = nullptr;
    TButton* FullScreenButton = nullptr;
    TButton* WindowedButton = nullptr;
};

extern TQueryDisplayForm* QueryDisplayForm;

// The question's text, its lines joined by CR LF.
std::string DisplayQuestionText();

// Shows the question modally and returns the answer: mrRunFullScreen, mrRunWindowed, or
// mrCancel when the window was closed without a button.
TModalResult AskDisplayQuestion();
