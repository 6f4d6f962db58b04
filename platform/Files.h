#pragma once
// The file-name layer. The games' own names use "\" as the separator and ignore letter
// case, as on the platform they were made for; on Linux every call below accepts "\" and
// "/" alike as separators and finds each path component whatever its letter case.
//
// Case resolution, component by component: a component that exists exactly as written is
// used as it is; otherwise the folder is searched for an entry equal to it up to ASCII
// case. When several entries match that way, the one that sorts first byte-wise wins
// (so "Base" before "BASE" before "base"); the choice is fixed, not the order of the
// folder listing. A component that is not found is kept as written, together with
// everything after it, so a name for a file still to be created resolves to where it
// will be created.
//
// Absolute names' resolutions (and FirstExistingFile's outcomes) are remembered together
// with the folders they depend on: a folder whose listing decided a step (a component
// found only in another letter case, or not found). Every later call checks each such
// folder's stamps (device, inode, modification and status times) with one stat, so a file
// added, removed or renamed on disk, also only in letter case, is seen by the very next
// call. A listing is only remembered when its folder had not changed for a few seconds,
// since file systems stamp coarsely.
//
// "Exists" means a regular file: a folder, FIFO, socket or device is not a file.
// A name holding a NUL byte names nothing.
// Nothing here raises: failures are reported by the result.
#include <string>
#include <vector>

// The real path for a name: separators become "/", existing components take their letter
// case from the disk. An empty name stays empty; a relative name stays relative.
std::string ResolvePath(const std::string& name);

bool FileExists(const std::string& name);      // a regular file (links followed)
bool DirectoryExists(const std::string& name); // a folder (links followed)
// The index of the first of the names that is an existing regular file, or -1; `found`
// gets its real path. The names are checked as of one moment: a folder that several of
// them pass through is checked once, which makes this cheaper than FileExists on each.
int FirstExistingFile(const std::vector<std::string>& names, std::string* found = nullptr);

bool HasNul(const std::string& name);

// Creates one folder (its parent must exist). False when it could not be created,
// including when it exists already.
bool CreateDir(const std::string& dir);
// Creates a folder and any missing parents. True when the folder exists afterwards.
// An empty name is false.
bool ForceDirectories(const std::string& dir);
// Removes an empty folder.
bool RemoveDir(const std::string& dir);

// Deletes a file; false when it is missing, is not a regular file, or cannot be deleted.
bool DeleteFile(const std::string& name);
// Renames or moves a file; an existing file of the new name is replaced. The new name's
// existing components are resolved case-insensitively too (so renaming onto an existing
// file of another letter case replaces that file instead of adding a second one).
bool RenameFile(const std::string& oldName, const std::string& newName);

// Size in bytes of a regular file, or -1.
long long FileSizeOf(const std::string& name);

// Name parts. Both "\" and "/" separate; the separators found are kept as they are.
std::string ExtractFilePath(const std::string& name);  // up to and including the last separator
std::string ExtractFileDir(const std::string& name);   // as above without the final separator
std::string ExtractFileName(const std::string& name);  // after the last separator
std::string ExtractFileExt(const std::string& name);   // from the last "." of the file name on, or ""
std::string ChangeFileExt(const std::string& name, const std::string& ext);
// Adds "\" unless the name already ends in a separator (an empty name stays empty).
std::string IncludeTrailingPathDelimiter(const std::string& name);
std::string ExcludeTrailingPathDelimiter(const std::string& name);
inline bool IsPathDelimiterChar(char c) { return c == '\\' || c == '/'; }
// Wildcard matching of a file name: "*" any run of characters, "?" one character, ASCII
// case ignored; "*.*" matches every name, with or without a dot.
bool MatchesMask(const std::string& name, const std::string& mask);
// The name part of the first entry, in byte order, of the pattern's folder whose name
// matches the pattern's last component; "" when none does. A pattern without wildcards
// gives the entry itself in its letter case on disk.
std::string FirstMatchingName(const std::string& pattern);

// An absolute name for a relative one (against the current directory), with "." and ".."
// components folded and "/" separators. Letter case is left as written.
std::string ExpandFileName(const std::string& name);
