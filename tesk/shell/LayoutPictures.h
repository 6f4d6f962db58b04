#pragma once
// Pictures the shell's forms keep in their stored layouts: JPEG files embedded in the
// program as "<Form class>.<Component>.<Property>" resources.
#include <string>

#include "platform/Graphics.h"
#include "platform/Types.h"

// Loads the embedded JPEG into the picture. A resource that is missing or unreadable
// leaves the picture empty (the control then draws its plain look).
void LoadLayoutPicture(TPicture& picture, const std::string& resourceName);

// The main window's rectangle in screen coordinates (the screen's when there is no
// main window yet).
TRect MainWindowRect();
