#pragma once
// A fresh, empty folder under the system's temporary folder for one test; removed with
// everything in it when the object goes. Path() has no trailing separator.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tp_test_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a scratch folder");
        FPath = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return FPath; }
    // Path() + "/" + relative ("/" separators).
    std::string operator/(const std::string& relative) const { return FPath + "/" + relative; }

    // Writes a file (creating its folders) with exactly these bytes; returns its path.
    std::string Write(const std::string& relative, const std::string& bytes) const
    {
        const std::filesystem::path p = std::filesystem::path(FPath) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    // The whole content of a file, or "" when it cannot be read.
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string FPath;
};
