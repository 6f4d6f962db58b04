#pragma once
// A desktop of the test's own for the file associations: while the object lives, the XDG
// folders point into a scratch folder (with no desktop environment named), so that only
// the associations the test makes exist. A fake browser is a script that writes the
// arguments it was started with into a file, one a line.
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/ScratchDir.h"

class ScratchDesktop {
public:
    ScratchDesktop()
    {
        Set("XDG_CONFIG_HOME", Dir / "config");
        Set("XDG_CONFIG_DIRS", Dir / "etc");
        Set("XDG_DATA_HOME", Dir / "data");
        Set("XDG_DATA_DIRS", Dir / "share");
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
            Set(name, std::nullopt);
        Dir.Write("config/.keep", "");
        Dir.Write("data/applications/.keep", "");
    }
    ~ScratchDesktop()
    {
        for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    ScratchDesktop(const ScratchDesktop&) = delete;
    ScratchDesktop& operator=(const ScratchDesktop&) = delete;

    // Writes the desktop entry "<id>" with the given Exec line and makes it the default
    // application for the MIME type.
    void Associate(const std::string& mimeType, const std::string& id, const std::string& exec)
    {
        Dir.Write("data/applications/" + id, "[Desktop Entry]\nType=Application\nName=Test\nExec=" + exec + "\n");
        Dir.Write("config/mimeapps.list", "[Default Applications]\n" + mimeType + "=" + id + "\n");
    }

    // Makes a fake browser; returns its path.
    std::string FakeBrowser(const std::string& name = "fakebrowser")
    {
        const std::string path = Dir.Write("bin/" + name, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > " +
                                                            Dir / (name + ".args.tmp") + "\nmv " +
                                                            Dir / (name + ".args.tmp") + " " + ArgsFile(name) + "\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    std::string ArgsFile(const std::string& name = "fakebrowser") const { return Dir / (name + ".args"); }
    // The arguments the fake browser was started with, once it has run (waits a while).
    std::vector<std::string> StartedWith(const std::string& name = "fakebrowser") const
    {
        for (int i = 0; i < 200 && ScratchDir::Read(ArgsFile(name)).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::vector<std::string> lines;
        std::string text = ScratchDir::Read(ArgsFile(name));
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            at = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }

    ScratchDir Dir;

private:
    void Set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        FSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};
