#include "tesk/shell/LaunchBrowserU.h"

#include "platform/Dialogs.h"
#include "platform/ShellAPI.h"
#include "tesk/toolkit/Misc.h"

void LaunchBrowser(TForm*, const std::string& address)
{
    if (!ShellOpenUrl(address))
        ShowMessage("Could not find an associated browser");
}

std::string HelpPagePath()
{
    return ApplicationDir() + "/Gromble.html";
}
