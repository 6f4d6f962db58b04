#pragma once
// The desktop's opener: hands an address (a web address, or a file: address of a page
// on disk) to the program the desktop opens such addresses with (xdg-open).
#include <string>
#include <vector>

// True when the desktop's opener took the address; false when nothing could open it.
bool ShellOpenUrl(const std::string& address);

// The file: address of a local path (made absolute), every byte that needs it
// percent-encoded, so spaces and non-ASCII characters survive.
std::string FileUrlOf(const std::string& path);

namespace TestHooks {

// With recording on, ShellOpenUrl starts nothing: it notes the address and reports
// success (unless FailShellLaunch is on).
void RecordShellLaunches(bool on);
// Makes every launch that follows fail (nothing is started), until turned off.
void FailShellLaunch(bool on);
// The addresses handed to ShellOpenUrl while recording or failing, in order.
const std::vector<std::string>& ShellLaunchLog();
void ResetShellHooks();

} // namespace TestHooks
