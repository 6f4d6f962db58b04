#pragma once
// The editor's level files: New, Open and Save As on the engine's running level.
//
// A file that does not read as a level (missing, a folder, damaged, of another format)
// leaves the running level as it was, untouched and playable: the file is checked before
// the engine loads it, and a load that still fails later (its pictures, say) puts the
// level back as it stood. Either way the failure is raised with its reason; nothing is
// written.
#include <string>

#include "platform/Exceptions.h"

class tGameEngine;

// A file that is not a level file at all.
class ELevelFileError : public Exception {
public:
    using Exception::Exception;
};

// Makes the level file the running level; its name becomes LevelFileName.
void OpenLevelFile(tGameEngine& engine, const std::string& name);
// The blank level ("Blank.map"), named "Untitled".
void NewLevelFile(tGameEngine& engine);
// Writes the running level to exactly that path (a file there is replaced only once the
// whole level is written), then runs the level from the file written, under the name
// given (LevelFileName). A failed write changes nothing.
void SaveLevelAs(tGameEngine& engine, const std::string& path, const std::string& name);
