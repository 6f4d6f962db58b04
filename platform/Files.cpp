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

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

std::vector<std::string_view> SplitComponents(std::string_view name)
{
    std::vector<std::string_view> parts;
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

const char* FolderArg(const std::string& dir)
{
    return dir.empty() ? "." : dir.c_str();
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

struct TransparentHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
template <class T>
using StringMap = std::unordered_map<std::string, T, TransparentHash, std::equal_to<>>;

// What identifies a folder's entries at one moment: the folder itself and the times its
// entries last changed. Adding, removing or renaming an entry (also only in letter case)
// sets both; setting the modification time back by hand still changes the status time.
struct Stamp {
    dev_t Dev = 0;
    ino_t Ino = 0;
    timespec MTime{};
    timespec CTime{};

    static Stamp Of(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_mtim, st.st_ctim}; }
    bool operator==(const Stamp& o) const
    {
        return Dev == o.Dev && Ino == o.Ino && MTime.tv_sec == o.MTime.tv_sec && MTime.tv_nsec == o.MTime.tv_nsec &&
               CTime.tv_sec == o.CTime.tv_sec && CTime.tv_nsec == o.CTime.tv_nsec;
    }
};

// File systems stamp coarsely: a change made in the same clock tick as a reading of the
// folder may leave its stamp as it was. A folder's listing is therefore trusted later only
// when the folder had not changed for this long before it was read; any later change then
// gives a newer stamp.
constexpr time_t SettleSeconds = 3;

// The names in one folder, as read at one moment.
struct Listing {
    Stamp Taken;
    bool Settled = false; // the folder had not changed for SettleSeconds when read
    std::unordered_set<std::string, TransparentHash, std::equal_to<>> Names;
    StringMap<std::string> Caseless; // lower-cased -> the byte-wise first entry

    // The entry for a component: itself when it exists as written, else the byte-wise
    // first entry equal to it up to case, else nullptr.
    const std::string* Find(std::string_view component) const
    {
        const auto exact = Names.find(component);
        if (exact != Names.end())
            return &*exact;
        const auto it = Caseless.find(LowerAscii(component));
        return it == Caseless.end() ? nullptr : &it->second;
    }
};
using ListingPtr = std::shared_ptr<const Listing>;

ListingPtr ReadListing(const std::string& dir)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::unique_ptr<DIR, DirCloser> d(opendir(FolderArg(dir)));
    if (!d)
        return nullptr;
    struct stat st {};
    if (fstat(dirfd(d.get()), &st) != 0)
        return nullptr;
    auto listing = std::make_shared<Listing>();
    listing->Taken = Stamp::Of(st);
    listing->Settled = st.st_mtim.tv_sec + SettleSeconds < now.tv_sec;
    while (const dirent* e = readdir(d.get())) {
        std::string entry = e->d_name;
        std::string& best = listing->Caseless[LowerAscii(entry)];
        if (best.empty() || entry < best)
            best = entry;
        listing->Names.insert(std::move(entry));
    }
    return listing;
}

// A folder whose listing decided a step of a resolution (a component found only in
// another letter case, or not found), with the folder's stamp when it was listed.
struct Dependency {
    std::string Dir;
    Stamp Seen;
};

// How a name resolved. It holds for as long as every folder it depends on keeps its
// stamp and, when complete, the path still exists: components found exactly as written
// need no listing, since an exact spelling always wins.
struct Resolution {
    std::string Path;
    bool Complete = false;
    bool Lasting = false; // every listing it used was settled: it may be remembered
    std::vector<Dependency> Depends;
};
using ResolutionPtr = std::shared_ptr<const Resolution>;

// The outcome of looking for the first existing file among several names: the index and
// path found (or -1), and every folder the outcome depends on, each once.
struct Search {
    int Index = -1;
    std::string Found;
    std::vector<Dependency> Depends;
};
using SearchPtr = std::shared_ptr<const Search>;

// Folder stamps read during one call: a call that looks at several names sees every
// folder as of one moment and reads each stamp once.
class FolderStamps {
public:
    // False when the folder cannot be read (gone, not a folder, no access).
    bool Get(const std::string& dir, Stamp& out)
    {
        for (const Seen& s : FSeen)
            if (s.Dir == dir) {
                out = s.Value;
                return s.Ok;
            }
        struct stat st {};
        const bool ok = stat(FolderArg(dir), &st) == 0 && S_ISDIR(st.st_mode);
        out = ok ? Stamp::Of(st) : Stamp{};
        FSeen.push_back({dir, ok, out});
        return ok;
    }
    // Whether every folder still has the stamp it had.
    bool Unchanged(const std::vector<Dependency>& depends)
    {
        for (const Dependency& d : depends) {
            Stamp now;
            if (!Get(d.Dir, now) || !(now == d.Seen))
                return false;
        }
        return true;
    }

private:
    struct Seen {
        std::string Dir;
        bool Ok = false;
        Stamp Value;
    };
    std::vector<Seen> FSeen;
};

// Settled listings of absolute folders, resolutions of absolute names as asked, and
// searches among absolute names. All are checked against the folders' stamps before
// every use, so a change on disk is seen by the next lookup; the bounds only limit memory.
class NameCache {
public:
    template <class Key, class T, class Map, size_t MaxEntries = 4096>
    class Table {
    public:
        template <class K>
        T Get(const K& key)
        {
            std::lock_guard<std::mutex> lock(FMutex);
            const auto it = FMap.find(key);
            return it == FMap.end() ? nullptr : it->second;
        }
        void Put(const Key& key, T value)
        {
            std::lock_guard<std::mutex> lock(FMutex);
            if (FMap.size() >= MaxEntries)
                FMap.clear();
            FMap[key] = std::move(value);
        }
        void Drop(const Key& key)
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FMap.erase(key);
        }

    private:
        std::mutex FMutex;
        Map FMap;
    };
    struct NamesHash {
        size_t operator()(const std::vector<std::string>& names) const
        {
            size_t h = names.size();
            for (const std::string& n : names)
                h = h * 1000003u ^ std::hash<std::string_view>()(n);
            return h;
        }
    };
    Table<std::string, ListingPtr, StringMap<ListingPtr>, 512> Listings; // each holds a whole folder
    Table<std::string, ResolutionPtr, StringMap<ResolutionPtr>> Resolutions;
    Table<std::vector<std::string>, SearchPtr, std::unordered_map<std::vector<std::string>, SearchPtr, NamesHash>>
        Searches;
};

NameCache& Cache()
{
    static NameCache cache;
    return cache;
}

// The listing of a folder as it is now: the remembered one when the folder's stamp still
// matches it, else a fresh one (remembered when settled). Only absolute folders are
// remembered; a relative one depends on the current directory.
ListingPtr CurrentListing(const std::string& dir, bool absolute, FolderStamps& stamps)
{
    if (absolute) {
        if (ListingPtr known = Cache().Listings.Get(dir)) {
            Stamp now;
            if (stamps.Get(dir, now) && now == known->Taken)
                return known;
        }
    }
    ListingPtr fresh = ReadListing(dir);
    if (absolute && fresh && fresh->Settled)
        Cache().Listings.Put(dir, fresh);
    return fresh;
}

// Resolves a name component by component against the disk.
void Walk(const std::vector<std::string_view>& components, bool absolute, FolderStamps& stamps, Resolution& r)
{
    std::string& out = r.Path;
    out.assign(absolute ? 1 : 0, '/');
    r.Complete = true;
    r.Lasting = absolute;
    for (const std::string_view component : components) {
        if (!r.Complete || component == "." || component == "..") {
            Append(out, component);
            continue;
        }
        // A component that exists as written needs no listing.
        const size_t mark = out.size();
        Append(out, component);
        struct stat st {};
        if (lstat(out.c_str(), &st) == 0)
            continue;
        out.resize(mark);
        const ListingPtr listing = CurrentListing(out, absolute, stamps);
        const std::string* match = nullptr;
        if (listing) {
            match = listing->Find(component);
            r.Depends.push_back({out, listing->Taken});
            r.Lasting = r.Lasting && listing->Settled;
        } else {
            r.Lasting = false;
        }
        if (match) {
            Append(out, *match);
        } else {
            r.Complete = false;
            Append(out, component);
        }
    }
}

// An absolute name's resolution as of now: the remembered one while it holds, else a
// fresh one (remembered when lasting).
ResolutionPtr ResolveAbsolute(const std::string& name, FolderStamps& stamps)
{
    const ResolutionPtr known = Cache().Resolutions.Get(name);
    if (known && stamps.Unchanged(known->Depends)) {
        struct stat st {};
        if (!known->Complete || lstat(known->Path.c_str(), &st) == 0)
            return known;
    }
    auto fresh = std::make_shared<Resolution>();
    Walk(SplitComponents(name), true, stamps, *fresh);
    if (fresh->Lasting)
        Cache().Resolutions.Put(name, fresh);
    else if (known)
        Cache().Resolutions.Drop(name);
    return fresh;
}

// The resolved name; `complete` tells whether it names something that exists.
std::string Resolve(const std::string& name, bool& complete, FolderStamps* shared = nullptr)
{
    complete = false;
    if (name.empty())
        return {};
    // The system cuts a name at a NUL byte; such a name names nothing.
    if (HasNul(name))
        return name;
    FolderStamps local;
    FolderStamps& stamps = shared ? *shared : local;
    std::string out;
    if (IsPathDelimiterChar(name.front())) {
        const ResolutionPtr r = ResolveAbsolute(name, stamps);
        out = r->Path;
        complete = r->Complete;
    } else {
        // Relative names depend on the current directory and are not remembered; a name
        // that exists as written needs no listing.
        const std::vector<std::string_view> components = SplitComponents(name);
        for (const std::string_view c : components)
            Append(out, c);
        struct stat st {};
        if (lstat(FolderArg(out), &st) == 0) {
            complete = true;
        } else {
            Resolution fresh;
            Walk(components, false, stamps, fresh);
            out = std::move(fresh.Path);
            complete = fresh.Complete;
        }
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

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether every folder still has the stamp it had; each folder is listed once.
bool StillUnchanged(const std::vector<Dependency>& depends)
{
    for (const Dependency& d : depends) {
        struct stat st {};
        if (stat(FolderArg(d.Dir), &st) != 0 || !S_ISDIR(st.st_mode) || !(Stamp::Of(st) == d.Seen))
            return false;
    }
    return true;
}

// Adds a resolution's folders to a search's; false when one of them was seen with two
// different stamps (the folder changed during the search).
bool Merge(std::vector<Dependency>& into, const std::vector<Dependency>& more)
{
    for (const Dependency& d : more) {
        const auto same = std::find_if(into.begin(), into.end(), [&](const Dependency& e) { return e.Dir == d.Dir; });
        if (same == into.end())
            into.push_back(d);
        else if (!(same->Seen == d.Seen))
            return false;
    }
    return true;
}

// The search itself, name by name; `lasting` tells whether its outcome may be remembered.
int SearchNames(const std::vector<std::string>& names, FolderStamps& stamps, Search& search, bool& lasting)
{
    lasting = true;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (name.empty() || HasNul(name) || !IsPathDelimiterChar(name.front()) || IsPathDelimiterChar(name.back())) {
            // Names that are not remembered one by one are not remembered together.
            lasting = false;
            bool complete = false;
            const std::string path = Resolve(name, complete, &stamps);
            if (complete && IsRegularFile(path)) {
                search.Index = static_cast<int>(i);
                search.Found = path;
                return search.Index;
            }
            continue;
        }
        const ResolutionPtr r = ResolveAbsolute(name, stamps);
        lasting = lasting && r->Lasting && Merge(search.Depends, r->Depends);
        if (r->Complete) {
            if (IsRegularFile(r->Path)) {
                search.Index = static_cast<int>(i);
                search.Found = r->Path;
                return search.Index;
            }
            // Something that is not a regular file may become one with no folder's stamp
            // changing (a link retargeted): only misses are remembered.
            lasting = false;
        }
    }
    return -1;
}

} // namespace

std::string ResolvePath(const std::string& name)
{
    bool complete = false;
    return Resolve(name, complete);
}

int FirstExistingFile(const std::vector<std::string>& names, std::string* found)
{
    const SearchPtr known = Cache().Searches.Get(names);
    // A remembered outcome holds while its folders keep their stamps and the file found is
    // still a regular file.
    if (known && StillUnchanged(known->Depends) && (known->Index < 0 || IsRegularFile(known->Found))) {
        if (found && known->Index >= 0)
            *found = known->Found;
        return known->Index;
    }
    FolderStamps stamps;
    auto fresh = std::make_shared<Search>();
    bool lasting = false;
    SearchNames(names, stamps, *fresh, lasting);
    if (found && fresh->Index >= 0)
        *found = fresh->Found;
    const int index = fresh->Index;
    if (lasting)
        Cache().Searches.Put(names, std::move(fresh));
    else if (known)
        Cache().Searches.Drop(names);
    return index;
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
