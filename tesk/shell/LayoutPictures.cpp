#include "tesk/shell/LayoutPictures.h"

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Resources.h"
#include "tesk/toolkit/Dib16.h"

void LoadLayoutPicture(TPicture& picture, const std::string& resourceName)
{
    picture.SetGraphic(nullptr);
    const auto bytes = FindResource(resourceName, "RCDATA");
    if (!bytes)
        return;
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromBytes(*bytes);
    } catch (const Exception&) {
        return;
    }
    picture.SetGraphic(&jpeg);
}

TRect MainWindowRect()
{
    TForm* main = MainFormRef ? MainFormRef : (Application ? Application->MainForm() : nullptr);
    if (main)
        return Bounds(main->Left(), main->Top(), main->Width(), main->Height());
    return Rect(0, 0, Screen->Width(), Screen->Height());
}
