// Program block of Pelvo.
#include "pelvo/Unit1.h"
#include "platform/Application.h"
#include "platform/Params.h"

int main(int argc, char** argv)
{
    SetCommandLine(argc, argv);
    TApplication app(argc, argv);
    Application->Initialize();
    Application->CreateForm(pelvo::Form1);
    Application->Run();
    return 0;
}
