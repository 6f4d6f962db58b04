#include "tesk/editor/AdvancedSettingsForms.h"

TAdvancedSettingsForm* AdvancedSettingsForm = nullptr;

TAdvancedSettingsForm::TAdvancedSettingsForm()
{
    SetCaption("Advanced Settings");
    SetBorderStyle(bsDialog);
}
