#pragma once
// The information pop-up: a window that zooms in a sign's picture with its caption,
// shown modally from inside the turn of an information sign.
#include <functional>
#include <string>

#include "platform/Forms.h"

class TPopUp : public TForm {
public:
    TPopUp();
    // Shows the picture with the caption, zooming from the anchor (screen coordinates),
    // and returns when it is closed. With PopUpShowHook set, calls the hook instead.
    void ShowPopUp(const std::string& imageName, TPoint anchor, const std::string& caption);
};

// The one pop-up (created by the main window at start-up).
extern TPopUp* PopUp;

// Tests: when set, ShowPopUp calls it in place of showing the window.
extern std::function<void(const std::string& imageName, TPoint anchor, const std::string& caption)> PopUpShowHook;
