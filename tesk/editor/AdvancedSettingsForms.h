#pragma once
// The advanced settings dialog: the display and sound settings of the in-game option
// pages on one stay-on-top tool window, with a box that explains the control the user
// points at or tabs to, and a preview of the brightness curve. Execute shows it with the
// current settings; OK puts what changed into effect as the option pages do, Cancel
// leaves everything as it was.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tesk/game/SettingsApply.h"
#include "tesk/toolkit/QuibComponents.h"
#include "tesk/widgets/Sliders.h"

class TAdvancedSettingsForm : public TForm {
public:
    TAdvancedSettingsForm();

    TGroupBox* GroupBox2 = nullptr; // "Audio Settings"
    TLabel* Label1 = nullptr;
    tQuibComboBox* OutputDeviceComboBox = nullptr;
    TLabel* Label2 = nullptr;
    tQuibComboBox* SoundDriverComboBox = nullptr;
    TGroupBox* GroupBox1 = nullptr; // "Video Settings"
    TGroupBox* GroupBox4 = nullptr; // "Options"
    tQuibCheckBox* FullScreenCheckBox = nullptr;
    tQuibCheckBox* SystemMemoryBackBufferCheckBox = nullptr;
    tQuibCheckBox* UseBitBltCheckBox = nullptr;
    tQuibCheckBox* AnimateWaterCheckBox = nullptr;
    TGroupBox* GroupBox3 = nullptr; // "Brightness"
    TPaintBox* PaintBox1 = nullptr;
    TExSlider* GammaSlider = nullptr;
    TPanel* Panel1 = nullptr;
    TListBox* HintBox = nullptr;
    TButton* Button1 = nullptr; // "OK"
    TButton* Button2 = nullptr; // "Cancel"

    // The control whose hint the hint box shows (none at first).
    TControl* LastHintSource = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void PaintBox1Paint(TObject* Sender);
    void GammaSliderChange(TObject* Sender);
    // Shows the sender's hint, one line per row, unless it is the one shown already.
    void SetHintBox(TObject* Sender);
    // As SetHintBox, for a control with a hint only (moving over a bare group keeps the
    // text).
    void SetHintMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // Fills the driver list with the chosen output's drivers and picks the first.
    void OutputDeviceComboBoxChange(TObject* Sender);

    // The brightness the slider stands for: a tenth of its value over five (0.2..3.0).
    float Gamma() const;

    // Sets the controls from the current settings (remembered, to tell what changed).
    void ShowCurrentSettings();
    // What the controls hold now.
    tSoundChoices ChosenSoundChoices() const;
    tVideoChoices ChosenVideoChoices() const;
    // Puts the choices that differ from the ones shown into effect: a display change
    // rebuilds the display (which restarts the sound on the chosen output too), a sound
    // change alone restarts the sound.
    void ApplyChosenSettings();
    // Shows the dialog modally with the current settings and applies the choices on OK.
    // Returns the modal result.
    TModalResult Execute();

private:
    void ShowDriversOf(uint8_t device);
    tSoundChoices FShownSound;
    tVideoChoices FShownVideo;
    int FShownGammaValue = 50;
};

extern TAdvancedSettingsForm* AdvancedSettingsForm;
