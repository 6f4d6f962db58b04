#pragma once
// The game run headless for the level tools: a scratch program folder (whatever the game
// writes, progress and solutions, lands there and goes with it), the data read from
// packages and folders, the sound library on its silent output, a 640 x 480 frame as the
// shell sets it up, every picture and sample loaded and the game's own unit kinds
// registered, and the one engine. One session at a time.
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"

class tGameEngine;
class tDib16;
class TForm;

// A designer's mistake or a tool's failure, with a message naming the file and line.
class EToolError : public Exception {
public:
    using Exception::Exception;
};

struct tSessionData {
    // Zip packages mounted in this order ("Base.Tarvol" and the like).
    std::vector<std::string> Packages;
    // Folders laid out as the data package is; their files are seen as loose files of
    // the program folder, a later folder's file over an earlier one of the same name
    // (letter case aside), and loose files over the packages.
    std::vector<std::string> Folders;
    // Play: every picture and sample loaded. Without it the session only reads and writes
    // levels (the unit kinds registered, no frame drawn).
    bool Play = true;
};

class tLevelSession {
public:
    explicit tLevelSession(const tSessionData& data);
    ~tLevelSession();
    tLevelSession(const tLevelSession&) = delete;
    tLevelSession& operator=(const tLevelSession&) = delete;

    tGameEngine& E() { return *FEngine; }
    tDib16& Frame() { return *FFrame; }
    // The scratch program folder ("/" separators, no trailing one).
    const std::string& ProgramDir() const { return FDir; }
    // The path of a file of the program folder ("\\" or "/" separators in relative).
    std::string PathOf(const std::string& relative) const;
    // Writes a file of the program folder (folders made as needed); a loose file there is
    // found before the packaged one of the same name.
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    // A file of the program folder, "" when it does not exist.
    std::string ReadFile(const std::string& relative) const;
    void RemoveFile(const std::string& relative) const;

private:
    void LayOut(const std::string& folder);
    void LoadData();
    void TearDown();
    std::string FDir;
    std::unique_ptr<TForm> FForm;
    std::unique_ptr<tDib16> FFrame;
    std::unique_ptr<tGameEngine> FEngine;
};

// The whole content of a file on disk; EToolError naming it when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Writes a file on disk; an existing file is replaced only with overwrite, else
// EToolError says so (and the file is left as it was).
void WriteNewFile(const std::string& path, const std::string& bytes, bool overwrite);
// The lines of a text with CR LF, LF or CR ends (no end kept; a last empty line dropped).
std::vector<std::string> TextLines(const std::string& text);
