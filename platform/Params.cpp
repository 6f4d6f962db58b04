#include "platform/Params.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <system_error>

namespace {
std::vector<std::string>& Args()
{
    static std::vector<std::string> args;
    return args;
}
} // namespace

void SetCommandLine(int argc, const char* const* argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.emplace_back(argv[i] ? argv[i] : "");
    SetCommandLine(std::move(args));
}

void SetCommandLine(std::vector<std::string> args)
{
    Args() = std::move(args);
}

int ParamCount()
{
    return Args().empty() ? 0 : static_cast<int>(Args().size()) - 1;
}

std::string ParamStr(int index)
{
    if (index == 0) {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (!ec)
            return exe.string();
    }
    if (index < 0 || index >= static_cast<int>(Args().size()))
        return {};
    return Args()[static_cast<size_t>(index)];
}

std::string ProgramFolder()
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return GetCurrentDir();
    return exe.parent_path().string();
}

std::string GetCurrentDir()
{
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string() : cwd.string();
}

bool SetCurrentDir(const std::string& dir)
{
    return ::chdir(dir.c_str()) == 0;
}
