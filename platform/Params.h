#pragma once
// The process's command line and folders, as the programs see them.
#include <string>
#include <vector>

// Records the command line; the program block calls it first thing. Element 0 is the
// program. Tests call it to set up a command line of their own.
void SetCommandLine(int argc, const char* const* argv);
void SetCommandLine(std::vector<std::string> args);

// Parameters 1 .. ParamCount(); ParamStr(0) is the program's full file name.
// Out-of-range indices give the empty text.
int ParamCount();
std::string ParamStr(int index);

// The folder of the running executable (no trailing separator).
std::string ProgramFolder();

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
