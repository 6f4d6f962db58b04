#pragma once
// The browser launcher: opens an address in the user's browser through the desktop's
// opener, and the game's help page beside the program.
#include <string>

class TForm;

// Opens the address; when nothing on the desktop can open it, says so in a box.
void LaunchBrowser(TForm* window, const std::string& address);

// The help page "Gromble.html" in the program folder.
std::string HelpPagePath();
