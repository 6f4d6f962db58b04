#pragma once
// The level result forms: small modal windows that report the end of a level and return
// the player's choice as their modal result. Each grows out of an anchor point to the
// size of its picture over 25 timer ticks, as the information pop-up does; its picture
// buttons stay hidden until the zoom ends. The game's own flow uses the engine's
// pop-ups for the same choices, so nothing in the game shows these forms.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tesk/toolkit/ImageButtons.h"
#include "tesk/toolkit/MMTimer.h"

// The choices.
constexpr TModalResult mrMainMenu = 3;
constexpr TModalResult mrPlayAgain = 4;
constexpr TModalResult mrPickALevel = 5;
constexpr TModalResult mrNextLevel = 9;

class TLevelResultForm : public TForm {
public:
    TImage* Image1 = nullptr;
    TMMTimer* MMTimer1 = nullptr;

    int32_t Elapsed = 0;
    int32_t GrowTicks = 0;
    bool Growing = false;
    int32_t AnchorX = 0;
    int32_t AnchorY = 0;
    int32_t TargetTop = 0;
    int32_t TargetLeft = 0;
    int32_t TargetWidth = 0;
    int32_t TargetHeight = 0;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void MMTimer1Timer(TObject* Sender, int32_t Ticks);
    void FormKeyPress(TObject* Sender, char& Key);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // The picture buttons in tab order; the first gets the focus after the zoom.
    const std::vector<TMultiImageButton*>& Buttons() const { return FButtons; }
    // The result of Enter and Space.
    TModalResult EnterResult() const { return FEnterResult; }

protected:
    TLevelResultForm(const std::string& className, TModalResult enterResult);
    // A picture button of the layout, with its four stored pictures; the main-menu
    // button is the cancel button.
    TMultiImageButton* AddButton(const std::string& name, int left, int width, TModalResult result,
                                 TNotifyEvent onClick);

private:
    std::string FClassName;
    TModalResult FEnterResult = mrNone;
    std::vector<TMultiImageButton*> FButtons;
};

class TLevelFailureForm : public TLevelResultForm {
public:
    TLevelFailureForm();
    TMultiImageButton* ReplayLevelButton = nullptr;
    TMultiImageButton* PickALevelButton = nullptr;
    TMultiImageButton* MainMenuButton = nullptr;
    void ImgBtn1Click(TObject* Sender);
    void ImgBtn2Click(TObject* Sender);
    void ImgBtn3Click(TObject* Sender);
};

class TLevelSuccessForm : public TLevelResultForm {
public:
    TLevelSuccessForm();
    TMultiImageButton* NextLevelButton = nullptr;
    TMultiImageButton* PickALevelButton = nullptr;
    TMultiImageButton* MainMenuButton = nullptr;
    void NextLevelButtonClick(TObject* Sender);
    void PickAlevelButtonClick(TObject* Sender);
    void MainMenuButtonClick(TObject* Sender);
};

class TLevelPartialSuccessForm : public TLevelResultForm {
public:
    TLevelPartialSuccessForm();
    TMultiImageButton* ReplayLevelButton = nullptr;
    TMultiImageButton* NextLevelButton = nullptr;
    TMultiImageButton* PickLevelButton = nullptr;
    TMultiImageButton* MainMenuButton = nullptr;
    void NextLevelButtonClick(TObject* Sender);
    void ReplayButtonClick(TObject* Sender);
    void MainMenuButtonClick(TObject* Sender);
    void PickLevelButtonClick(TObject* Sender);
};

// The forms made at start-up.
extern TLevelFailureForm* LevelFailureForm;
extern TLevelSuccessForm* LevelSuccessForm;
extern TLevelPartialSuccessForm* LevelPartialSuccessForm;
