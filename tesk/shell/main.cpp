// Program block of Tesk ("Gromble").
#include "platform/Application.h"
#include "platform/Params.h"
#include "tesk/game/GameSound.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Random.h"
#include "tesk/widgets/WidgetSupport.h"

int main(int argc, char** argv)
{
    SetCommandLine(argc, argv);
    TApplication app(argc, argv);
    InitGameSound();
    Randomize();
    Application->Initialize();
    Application->SetTitle("Gromble");
    InitWidgetLibrary();
    CreateProgramForms();
    Application->Run();
    DoneGameSound();
    return StartupFailed ? 1 : 0;
}
