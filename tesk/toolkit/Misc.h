#pragma once
// Small routines on byte strings (one byte per character), character sets and the
// command line, shared by every part of Tesk, and the small process-wide services:
// debug messages, the message pump, profiling hooks and the owning list. Case
// conversion is ASCII only.
#include <algorithm>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Types.h"

// A set of the 256 byte values.
using TCharSet = std::bitset<256>;

// The set of the given characters, e.g. CharSet("\\/").
TCharSet CharSet(std::string_view chars);
inline bool InSet(char c, const TCharSet& set) { return set.test(static_cast<unsigned char>(c)); }

int32_t HexToInt(const std::string& text);
std::string IntToHexStr(int32_t value);
int32_t CountBits(uint32_t value);
std::string ZeroPad(const std::string& text, int length);

// The program's folder and the current directory captured at start-up. The program
// folder is the executable's, unless the environment variable TP_PROGRAM_DIR names an
// existing folder (tests and tools run the program over a scratch folder that way), or
// a test set one in-process.
std::string ApplicationDir();
std::string StartupDir();
// The in-process program folder for unit tests; nullopt gives the normal one back.
// Call ResetPackageFiles afterwards so the data lookups follow.
void SetApplicationDirForTests(std::optional<std::string> dir);

// The path relative to the base folder: the rest of the path after the base (letter case
// ignored in the comparison) and one separator, when the path lies inside the base (the
// base is followed by a separator in the path, or ends with one itself); otherwise the
// path. The path's own letters are kept either way.
std::string MakeRelativePath(const std::string& path, const std::string& base);
std::string MakeRelativeToCurrentDir(const std::string& path);

std::string TrimBlanks(const std::string& text);
std::string LeftChars(const std::string& text, int n);
std::string RightChars(const std::string& text, int n);
char LastChar(const std::string& text);
char FirstChar(const std::string& text);
std::string DropFirstChars(const std::string& text, int n);
std::string DropLastChars(const std::string& text, int n);
bool SameTrimmedText(const std::string& a, const std::string& b);

std::string TextBeforeFirst(const std::string& text, const TCharSet& set);
std::string TextAfterFirst(const std::string& text, const TCharSet& set);
std::string TextBeforeLast(const std::string& text, const TCharSet& set);
std::string TextAfterLast(const std::string& text, const TCharSet& set);
std::string LastField(const std::string& text, const TCharSet& set);

void RemoveBlanks(std::string& text);
void MakeUpper(std::string& text);
char LowerChar(char c);
void MakeLower(std::string& text);
// Copies, for expressions.
std::string UpperCased(std::string text);
std::string LowerCased(std::string text);

// A decimal integer with an optional sign and nothing else (no blanks, exponent or
// hexadecimal); false when the text is not one or leaves the int64 range.
bool ParseDecimal(const std::string& text, int64_t& out);
// The same within the int32 range; anything else raises EConvertError
// "'<text>' is not a valid integer value".
int32_t StrToInt(const std::string& text);

inline int32_t IntMin(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t IntMax(int32_t a, int32_t b) { return a > b ? a : b; }

std::string InsertThousandsCommas(const std::string& text);

// Command-line switches and options; one leading "-" or "/" is accepted.
bool ParamSwitch(const std::string& name);
std::string ParamValue(const std::string& name);

// ---------------------------------------------------------------------------------------
// Start-up status, debug messages and the message pump.

// Set by the command-line switch "ShowDebugmessages": every step is shown in a box.
extern bool ShowDebugMessages;
// The last start-up or loading step, for the loading screen and the failure report.
extern std::string LastOperation;
// True while PumpMessages runs: the main tick leaves the engine alone meanwhile.
extern bool PumpingMessages;

// With ShowDebugMessages: shows the text in a message box and returns once it is
// closed. Otherwise remembers it in LastOperation as "DebugMessage('text')".
void DebugMessage(const std::string& text);

// Handles the pending window messages once, with PumpingMessages set meanwhile (and
// restored afterwards, even when a handler's exception passes through).
void PumpMessages();

// A problem the game survives (a file it could not write, a level it could not load).
// The text goes to standard error at once and is kept, the first time it is reported in
// a run, for TakeReportedProblems: the main window shows the kept texts after its tick.
// Never opens a window itself, so it is safe inside an engine step.
void ReportProblem(const std::string& text);
// The texts kept since the last call, in report order; the list ends empty.
std::vector<std::string> TakeReportedProblems();
// Forgets which texts were reported (tests).
void ForgetReportedProblems();

// Profiling hooks of the main tick; this build measures nothing, so every sample is 0.
void ProfileReset();
void ProfileBegin();
void ProfileEnd();
void ProfileSample(TPoint& point);
// The editor's profiling box is on, and the last samples of the tick's engine steps,
// drawing and presentation (all 0 in this build).
extern bool ProfilingOn;
extern TPoint MoveTime;
extern TPoint DrawTime;
extern TPoint BlitTime;

// ---------------------------------------------------------------------------------------
// tOwnerList: a list of objects it owns. Items are added as pointers (the list takes
// ownership) and deleted by Delete, Clear and the destructor. Clear deletes the last
// item first, and removes each item from the list before deleting it, so an item's
// destructor never finds itself in the list. Extract takes an item out without
// deleting it (the caller owns it again). T is the items' base class; deleting
// through it must be safe (a virtual destructor when items are of derived classes).
template <class T>
class tOwnerList {
public:
    tOwnerList() = default;
    ~tOwnerList() { Clear(); }
    tOwnerList(const tOwnerList&) = delete;
    tOwnerList& operator=(const tOwnerList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    T* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
    T* operator[](int index) const { return Items(index); }
    T* First() const { return FItems.empty() ? nullptr : FItems.front(); }
    T* Last() const { return FItems.empty() ? nullptr : FItems.back(); }
    int IndexOf(const T* item) const
    {
        auto it = std::find(FItems.begin(), FItems.end(), item);
        return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    }

    // Takes ownership; returns the new item's index.
    int Add(T* item)
    {
        std::unique_ptr<T> guard(item); // freed if the list cannot grow
        FItems.push_back(item);
        guard.release();
        return Count() - 1;
    }
    template <class U>
    int Add(std::unique_ptr<U> item) { return Add(item.release()); }
    void Insert(int index, T* item)
    {
        std::unique_ptr<T> guard(item);
        FItems.insert(FItems.begin() + CheckedIndex(index, true), item);
        guard.release();
    }

    // Removes the item at index and deletes it.
    void Delete(int index) { delete Extract(index); }
    // Removes the item at index; the caller owns it again.
    T* Extract(int index)
    {
        const auto at = FItems.begin() + CheckedIndex(index, false);
        T* item = *at;
        FItems.erase(at);
        return item;
    }
    // Removes the item (when present) without deleting it; returns its former index or -1.
    int Remove(const T* item)
    {
        const int index = IndexOf(item);
        if (index >= 0)
            Extract(index);
        return index;
    }
    void Exchange(int a, int b)
    {
        std::swap(FItems.at(static_cast<size_t>(a)), FItems.at(static_cast<size_t>(b)));
    }
    void Move(int from, int to)
    {
        T* item = Extract(from);
        FItems.insert(FItems.begin() + CheckedIndex(to, true), item);
    }

    // Deletes every item, the last first.
    void Clear()
    {
        while (!FItems.empty()) {
            T* item = FItems.back();
            FItems.pop_back();
            delete item;
        }
    }

    typename std::vector<T*>::const_iterator begin() const { return FItems.begin(); }
    typename std::vector<T*>::const_iterator end() const { return FItems.end(); }

private:
    std::ptrdiff_t CheckedIndex(int index, bool endAllowed) const
    {
        const int limit = endAllowed ? Count() : Count() - 1;
        if (index < 0 || index > limit)
            throw EListError("List index out of bounds (" + std::to_string(index) + ")");
        return index;
    }

    std::vector<T*> FItems;
};
