#pragma once
// The advanced settings dialog. A placeholder until the dialog is built: created hidden
// at start-up and shown by nothing.
#include "platform/Forms.h"

class TAdvancedSettingsForm : public TForm {
public:
    TAdvancedSettingsForm();
};

extern TAdvancedSettingsForm* AdvancedSettingsForm;
