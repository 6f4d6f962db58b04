#include "tesk/shell/LaunchBrowserU.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ShellAPI.h"
#include "tesk/toolkit/Misc.h"

void LaunchBrowser(TForm*, const std::string& address)
{
    const TAssociatedProgram browser = FindAssociatedProgram("text/html");
    // Only a browser that is there takes the player away from the game: with none, the
    // game stays in front (a full-screen game minimised for nothing would leave a black
    // screen) and says so.
    if (browser.Program.empty()) {
        ShowMessage("Could not find an associated browser");
        return;
    }
    Application->Minimize();
    if (!ShellExecuteProgram(browser, address)) {
        Application->Restore();
        ShowMessage("Could not find an associated browser");
    }
}

std::string HelpPagePath()
{
    return ApplicationDir() + "/Gromble.html";
}
