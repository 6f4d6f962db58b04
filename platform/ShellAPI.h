#pragma once
// The desktop's associations: finds the program the desktop opens a kind of file with
// and starts it on an address (a web address, or the file: address of a page on disk).
#include <string>
#include <vector>

// A program the desktop opens files of one kind with, from the desktop entry of its
// default application for their MIME type ("text/html" for web pages): the program's path
// and its arguments, "%u" where the address goes ("%%" a plain "%").
struct TAssociatedProgram {
    std::string Program; // empty: the desktop has none it can run
    std::vector<std::string> Arguments;
};
// Asks the desktop (xdg-mime) for its default application for the MIME type and reads
// its desktop entry from the XDG data folders.
TAssociatedProgram FindAssociatedProgram(const std::string& mimeType);
// The command of a desktop entry's text: Exec's words unquoted, the field codes for files
// or addresses (%f, %F, %u, %U) made "%u", the others left out. Program is the first word,
// found on the PATH unless it is a path; empty when it is not there to run, or when
// TryExec names a program that is not.
TAssociatedProgram ProgramOfDesktopEntry(const std::string& entryText);
// Starts the program on its own (it outlives the game) with the address in the place of
// "%u", or after its arguments when none has one. False when it could not be started.
bool ShellExecuteProgram(const TAssociatedProgram& program, const std::string& address);

// The file: address of a local path (made absolute), every byte that needs it
// percent-encoded, so spaces and non-ASCII characters survive.
std::string FileUrlOf(const std::string& path);

namespace TestHooks {

// With recording on, ShellExecuteProgram starts nothing: it notes the address and
// reports success (unless FailShellLaunch is on).
void RecordShellLaunches(bool on);
// Makes every launch that follows fail (nothing is started), until turned off.
void FailShellLaunch(bool on);
// The addresses handed to ShellExecuteProgram while recording or failing, in order.
const std::vector<std::string>& ShellLaunchLog();
void ResetShellHooks();

} // namespace TestHooks
