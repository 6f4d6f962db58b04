#include "tesk/game/PopUpForm.h"

TPopUp* PopUp = nullptr;
std::function<void(const std::string&, TPoint, const std::string&)> PopUpShowHook;

TPopUp::TPopUp() = default;

void TPopUp::ShowPopUp(const std::string& imageName, TPoint anchor, const std::string& caption)
{
    if (PopUpShowHook)
        PopUpShowHook(imageName, anchor, caption);
}
