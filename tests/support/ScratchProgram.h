#pragma once
// A scratch program folder for tests that run the game or write its files: a fresh folder
// with a link named "Base.Tarvol" to the built data package. Whole-program tests hand its
// path to the program as TP_PROGRAM_DIR; in-process tests make it the program folder with
// a ProgramDirOverride, so progress, solutions, Config.cfg and save slots land there and
// parallel test runs never share a written file.
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/ScratchDir.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

class ScratchProgramDir : public ScratchDir {
public:
    // withPackage: the link to the built "Base.Tarvol" is made.
    explicit ScratchProgramDir(bool withPackage = true)
    {
        if (withPackage)
            std::filesystem::create_symlink(BuiltPackage(), std::filesystem::path(Path()) / "Base.Tarvol");
    }
    // The data package the build made.
    static std::string BuiltPackage() { return std::string(TP_BIN_DIR) + "/Base.Tarvol"; }
    // The environment entry that runs a program over this folder.
    std::string Environment() const { return "TP_PROGRAM_DIR=" + Path(); }
};

// Makes a folder the program folder for the lifetime of the object (and unmounts every
// package, so the data lookups follow it); the normal folder comes back afterwards.
class ProgramDirOverride {
public:
    explicit ProgramDirOverride(const std::string& dir)
    {
        SetApplicationDirForTests(dir);
        ResetPackageFiles();
    }
    ~ProgramDirOverride()
    {
        SetApplicationDirForTests(std::nullopt);
        ResetPackageFiles();
    }
    ProgramDirOverride(const ProgramDirOverride&) = delete;
    ProgramDirOverride& operator=(const ProgramDirOverride&) = delete;
};
