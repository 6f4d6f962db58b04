#include "platform/Files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameTextAscii(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

std::vector<std::string> SplitComponents(const std::string& name)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : name) {
        if (IsPathDelimiterChar(c)) {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

std::string Join(const std::string& dir, const std::string& component)
{
    if (dir.empty())
        return component;
    if (dir.back() == '/')
        return dir + component;
    return dir + "/" + component;
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// The entry of folder `dir` equal to `component` up to case; the byte-wise first of
// several. Empty when there is none.
std::string FindCaseless(const std::string& dir, const std::string& component)
{
    std::unique_ptr<DIR, DirCloser> d(opendir(dir.empty() ? "." : dir.c_str()));
    if (!d)
        return {};
    std::string best;
    while (const dirent* e = readdir(d.get())) {
        const std::string entry = e->d_name;
        if (SameTextAscii(entry, component) && (best.empty() || entry < best))
            best = entry;
    }
    return best;
}

bool StatOf(const std::string& name, struct stat& st)
{
    if (name.empty())
        return false;
    return stat(ResolvePath(name).c_str(), &st) == 0;
}

} // namespace

bool IsPathDelimiterChar(char c)
{
    return c == '\\' || c == '/';
}

std::string ResolvePath(const std::string& name)
{
    if (name.empty())
        return {};
    std::string out = IsPathDelimiterChar(name.front()) ? "/" : "";
    bool resolving = true;
    for (const std::string& component : SplitComponents(name)) {
        const std::string exact = Join(out, component);
        if (!resolving || component == "." || component == "..") {
            out = exact;
            continue;
        }
        struct stat st {};
        if (lstat(exact.c_str(), &st) == 0) {
            out = exact;
            continue;
        }
        const std::string match = FindCaseless(out, component);
        if (match.empty()) {
            resolving = false;
            out = exact;
        } else {
            out = Join(out, match);
        }
    }
    if (IsPathDelimiterChar(name.back()) && !out.empty() && out.back() != '/')
        out += '/';
    return out;
}

bool FileExists(const std::string& name)
{
    struct stat st {};
    return StatOf(name, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& name)
{
    struct stat st {};
    return StatOf(name, st) && S_ISDIR(st.st_mode);
}

long long FileSizeOf(const std::string& name)
{
    struct stat st {};
    if (!StatOf(name, st) || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

bool CreateDir(const std::string& dir)
{
    if (dir.empty())
        return false;
    return mkdir(ResolvePath(dir).c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& dir)
{
    const std::string trimmed = ExcludeTrailingPathDelimiter(dir);
    if (trimmed.empty())
        return !dir.empty() && DirectoryExists(dir); // "/" or "\"
    if (DirectoryExists(trimmed))
        return true;
    const std::string parent = ExtractFileDir(trimmed);
    if (!parent.empty() && parent != trimmed && !ForceDirectories(parent))
        return false;
    return CreateDir(trimmed) || DirectoryExists(trimmed);
}

bool RemoveDir(const std::string& dir)
{
    if (dir.empty())
        return false;
    return rmdir(ResolvePath(dir).c_str()) == 0;
}

bool DeleteFile(const std::string& name)
{
    if (!FileExists(name))
        return false;
    return unlink(ResolvePath(name).c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName)
{
    if (oldName.empty() || newName.empty())
        return false;
    struct stat st {};
    const std::string from = ResolvePath(oldName);
    if (lstat(from.c_str(), &st) != 0)
        return false;
    return std::rename(from.c_str(), ResolvePath(newName).c_str()) == 0;
}

std::string ExtractFilePath(const std::string& name)
{
    for (size_t i = name.size(); i > 0; --i)
        if (IsPathDelimiterChar(name[i - 1]))
            return name.substr(0, i);
    return {};
}

std::string ExtractFileDir(const std::string& name)
{
    std::string path = ExtractFilePath(name);
    // Keep a lone root separator: the folder of "\x" is "\".
    if (path.size() > 1 && IsPathDelimiterChar(path.back()))
        path.pop_back();
    return path;
}

std::string ExtractFileName(const std::string& name)
{
    return name.substr(ExtractFilePath(name).size());
}

std::string ExtractFileExt(const std::string& name)
{
    const std::string file = ExtractFileName(name);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext)
{
    const std::string ext0 = ExtractFileExt(name);
    return name.substr(0, name.size() - ext0.size()) + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& name)
{
    if (name.empty() || IsPathDelimiterChar(name.back()))
        return name;
    return name + "\\";
}

std::string ExcludeTrailingPathDelimiter(const std::string& name)
{
    std::string out = name;
    while (!out.empty() && IsPathDelimiterChar(out.back()))
        out.pop_back();
    return out;
}

std::string ExpandFileName(const std::string& name)
{
    std::string base;
    if (name.empty() || !IsPathDelimiterChar(name.front())) {
        std::vector<char> buf(4096);
        if (getcwd(buf.data(), buf.size()) != nullptr)
            base = buf.data();
    }
    std::vector<std::string> parts;
    for (const std::string& c : SplitComponents(base + "/" + name)) {
        if (c == ".")
            continue;
        if (c == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(c);
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}
