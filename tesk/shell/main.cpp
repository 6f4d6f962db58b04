// Program block of Tesk ("Gromble").
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/Params.h"
#include "tesk/shell/Unit1.h"

int main(int argc, char** argv)
{
    SetCommandLine(argc, argv);
    TApplication app(argc, argv);
    Application->Initialize();
    Application->SetTitle("Gromble");
    Application->CreateForm(Form1);
    PostMessage(Form1->Handle(), WM_STARTUP, 0, 0);
    Application->Run();
    return 0;
}
