#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/Files.h"

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool Match(const char* n, const char* m)
{
    // Iterative matching with one remembered star: linear in practice, never recursive.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*n) {
        if (*m == '*') {
            star = m++;
            resume = n;
        } else if (*m == '?' || (*m && Lower(*m) == Lower(*n))) {
            ++m;
            ++n;
        } else if (star) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (*m == '*')
        ++m;
    return *m == 0;
}

} // namespace

bool MatchesMask(const std::string& name, const std::string& mask)
{
    if (mask == "*.*" || mask == "*")
        return true;
    if (HasNul(name) || HasNul(mask))
        return false;
    return Match(name.c_str(), mask.c_str());
}

std::string FirstMatchingName(const std::string& pattern)
{
    const std::string mask = ExtractFileName(pattern);
    if (mask.empty() || HasNul(pattern))
        return {};
    if (mask.find_first_of("*?") == std::string::npos) {
        const std::string real = ResolvePath(pattern);
        std::error_code ec;
        return std::filesystem::exists(real, ec) ? ExtractFileName(real) : std::string();
    }
    std::string folder = ExtractFilePath(pattern);
    folder = folder.empty() ? std::string(".") : ResolvePath(folder);
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    if (ec)
        return {};
    std::string best;
    bool found = false;
    for (; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (MatchesMask(name, mask) && (!found || name < best)) {
            best = name;
            found = true;
        }
    }
    return best;
}
