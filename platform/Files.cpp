#include "platform/Files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string_view> SplitComponents(std::string_view name)
{
    std::vector<std::string_view> parts;
    parts.reserve(static_cast<size_t>(std::count_if(name.begin(), name.end(), IsPathDelimiterChar)) + 1);
    size_t start = 0;
    while (start < name.size()) {
        size_t end = start;
        while (end < name.size() && !IsPathDelimiterChar(name[end]))
            ++end;
        if (end > start)
            parts.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

void Append(std::string& dir, std::string_view component)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    dir += component;
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

struct TransparentHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        c = AsciiLower(c);
    return s;
}

// The names in one folder, as read at one moment.
struct Listing {
    dev_t Dev = 0;
    ino_t Ino = 0;
    timespec MTime{};
    std::unordered_set<std::string, TransparentHash, std::equal_to<>> Names;
    std::unordered_map<std::string, std::string, TransparentHash, std::equal_to<>> Caseless; // lower-cased -> byte-wise first

    // The entry for a component: itself when it exists as written, else the byte-wise
    // first entry equal to it up to case, else "".
    const std::string* Find(std::string_view component) const
    {
        const auto exact = Names.find(component);
        if (exact != Names.end())
            return &*exact;
        const auto it = Caseless.find(LowerAscii(std::string(component)));
        return it == Caseless.end() ? nullptr : &it->second;
    }
    bool SameStamp(const struct stat& st) const
    {
        return st.st_dev == Dev && st.st_ino == Ino && st.st_mtim.tv_sec == MTime.tv_sec &&
               st.st_mtim.tv_nsec == MTime.tv_nsec;
    }
};
using ListingPtr = std::shared_ptr<const Listing>;

// Listings of absolute folders, kept while the folder's modification time stays the
// same. A listing is kept only when the folder had not changed for a few seconds before
// it was read, so that a change in the same clock tick as the reading (file systems
// stamp coarsely) cannot go unnoticed.
class ListingCache {
public:
    // The remembered listing, or nullptr; `tryNow` tells whether the folder is worth
    // listing now (it was not found unsettled in the last few seconds).
    ListingPtr Get(const std::string& dir, time_t now, bool& tryNow)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        const auto it = FMap.find(dir);
        if (it == FMap.end()) {
            tryNow = true;
            return nullptr;
        }
        tryNow = !it->second.Listing && it->second.RetryAfter <= now;
        return it->second.Listing;
    }
    // Appends to `dir` the longest run of the first `limit` components whose folders are
    // all listed here, spelled as the components are ("." and ".." end the run). Returns
    // how many components it took; `deepest` gets the listing of the last folder taken.
    size_t AppendListedRun(std::string& dir, const std::vector<std::string_view>& components, size_t limit,
                           ListingPtr& deepest)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        size_t kept = dir.size();
        size_t taken = 0;
        for (; taken < limit; ++taken) {
            const std::string_view component = components[taken];
            if (component == "." || component == "..")
                break;
            Append(dir, component);
            const auto it = FMap.find(dir);
            if (it == FMap.end() || it->second.Listing == nullptr)
                break;
            kept = dir.size();
            deepest = it->second.Listing;
        }
        dir.resize(kept);
        return taken;
    }
    void Put(const std::string& dir, ListingPtr listing, time_t retryAfter)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        if (FMap.size() >= MaxFolders)
            FMap.clear();
        FMap[dir] = Entry{std::move(listing), retryAfter};
    }
    void Drop(const std::string& dir)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FMap.erase(dir);
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FMap.clear();
    }

private:
    struct Entry {
        ListingPtr Listing;   // nullptr: the folder was changing when last listed
        time_t RetryAfter = 0;
    };
    static constexpr size_t MaxFolders = 512;
    std::mutex FMutex;
    std::unordered_map<std::string, Entry, TransparentHash, std::equal_to<>> FMap;
};

ListingCache& Cache()
{
    static ListingCache cache;
    return cache;
}

constexpr time_t SettleSeconds = 3;

ListingPtr ReadListing(const std::string& dir)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::unique_ptr<DIR, DirCloser> d(opendir(dir.empty() ? "." : dir.c_str()));
    if (!d)
        return nullptr;
    auto listing = std::make_shared<Listing>();
    struct stat st {};
    if (fstat(dirfd(d.get()), &st) != 0)
        return nullptr;
    listing->Dev = st.st_dev;
    listing->Ino = st.st_ino;
    listing->MTime = st.st_mtim;
    while (const dirent* e = readdir(d.get())) {
        std::string entry = e->d_name;
        std::string& best = listing->Caseless[LowerAscii(entry)];
        if (best.empty() || entry < best)
            best = entry;
        listing->Names.insert(std::move(entry));
    }
    if (!dir.empty() && dir.front() == '/') {
        if (st.st_mtim.tv_sec + SettleSeconds < now.tv_sec)
            Cache().Put(dir, listing, 0);
        else
            Cache().Put(dir, nullptr, now.tv_sec + SettleSeconds);
    }
    return listing;
}

// Resolves a name component by component. `complete` tells whether every component was
// found. With `useCache`, remembered listings are used unchecked on the way and the
// result is checked once at the end; false when that check failed (the caller then
// resolves again without the cache).
// Folders already checked during one call that looks at several names.
struct CheckedFolders {
    std::vector<std::string> Paths;
    bool Has(const std::string& p) const { return std::find(Paths.begin(), Paths.end(), p) != Paths.end(); }
};

bool Walk(const std::vector<std::string_view>& components, bool absolute, bool useCache, std::string& out,
          bool& complete, CheckedFolders* checked)
{
    out.assign(absolute ? 1 : 0, '/');
    size_t length = out.size();
    for (const std::string_view component : components)
        length += component.size() + 1;
    out.reserve(length);
    complete = true;
    const time_t now = time(nullptr);
    // Start below the deepest folder of an unbroken run of folders already listed under
    // the name's own spelling: their listings stand for the walk down to it.
    ListingPtr start;
    const size_t first =
        useCache && !components.empty() ? Cache().AppendListedRun(out, components, components.size() - 1, start) : 0;
    bool usedCache = first > 0;
    for (size_t i = first; i < components.size(); ++i) {
        const std::string_view component = components[i];
        if (!complete || component == "." || component == "..") {
            Append(out, component);
            continue;
        }
        bool tryNow = false;
        // The run's last listing is that of `out` at the first step only.
        ListingPtr listing = i == first ? std::move(start) : nullptr;
        if (!listing && useCache)
            listing = Cache().Get(out, now, tryNow);
        bool cached = listing != nullptr;
        if (!listing && useCache && tryNow)
            listing = ReadListing(out); // remembered when the folder has settled
        if (!listing) {
            // Without a listing, a component that exists as written needs none.
            const size_t mark = out.size();
            Append(out, component);
            struct stat st {};
            if (lstat(out.c_str(), &st) == 0)
                continue;
            out.resize(mark);
            listing = ReadListing(out);
        }
        const std::string* match = listing ? listing->Find(component) : nullptr;
        // A miss, or a match in another letter case (an entry spelled exactly as asked
        // may have appeared since), is only believed once the folder is known to be
        // unchanged: checked once per call, however many names it looks at.
        const bool unsure = !match || *match != component;
        if (unsure && cached && !(checked && checked->Has(out))) {
            struct stat st {};
            if (stat(out.empty() ? "." : out.c_str(), &st) != 0 || !listing->SameStamp(st)) {
                Cache().Drop(out);
                listing = ReadListing(out);
                cached = false;
                match = listing ? listing->Find(component) : nullptr;
            }
            if (checked)
                checked->Paths.push_back(out);
        }
        usedCache = usedCache || cached;
        if (match) {
            Append(out, *match);
        } else {
            complete = false;
            Append(out, component);
        }
    }
    if (complete && usedCache) {
        struct stat st {};
        if (lstat(out.c_str(), &st) != 0) {
            Cache().Clear();
            return false;
        }
    }
    return true;
}

// The resolved name; `complete` tells whether it names something that exists.
std::string Resolve(const std::string& name, bool& complete, CheckedFolders* checked = nullptr)
{
    complete = false;
    if (name.empty())
        return {};
    // The system cuts a name at a NUL byte; such a name names nothing.
    if (name.find('\0') != std::string::npos)
        return name;
    const bool absolute = IsPathDelimiterChar(name.front());
    const std::vector<std::string_view> components = SplitComponents(name);
    std::string out;
    if (!absolute) {
        // Relative names depend on the current directory and are not cached; a name
        // that exists as written needs no listing.
        for (const std::string_view c : components)
            Append(out, c);
        struct stat st {};
        if (lstat(out.empty() ? "." : out.c_str(), &st) == 0) {
            complete = true;
        } else {
            Walk(components, false, false, out, complete, nullptr);
        }
    } else if (!Walk(components, true, true, out, complete, checked)) {
        Walk(components, true, false, out, complete, nullptr);
    }
    if (IsPathDelimiterChar(name.back()) && !out.empty() && out.back() != '/')
        out += '/';
    return out;
}

bool StatOf(const std::string& name, struct stat& st)
{
    bool complete = false;
    const std::string path = Resolve(name, complete);
    return complete && stat(path.c_str(), &st) == 0;
}

} // namespace

std::string ResolvePath(const std::string& name)
{
    bool complete = false;
    return Resolve(name, complete);
}

int FirstExistingFile(const std::vector<std::string>& names, std::string* found)
{
    CheckedFolders checked;
    for (size_t i = 0; i < names.size(); ++i) {
        bool complete = false;
        const std::string path = Resolve(names[i], complete, &checked);
        struct stat st {};
        if (complete && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            if (found)
                *found = path;
            return static_cast<int>(i);
        }
    }
    return -1;
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

bool HasNul(const std::string& name)
{
    return name.find('\0') != std::string::npos;
}

bool CreateDir(const std::string& dir)
{
    if (dir.empty() || HasNul(dir))
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
    if (dir.empty() || HasNul(dir))
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
    if (oldName.empty() || newName.empty() || HasNul(oldName) || HasNul(newName))
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
    const std::string full = base + "/" + name;
    for (const std::string_view c : SplitComponents(full)) {
        if (c == ".")
            continue;
        if (c == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.emplace_back(c);
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}
