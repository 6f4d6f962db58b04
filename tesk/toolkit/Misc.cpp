#include "tesk/toolkit/Misc.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Params.h"

namespace {
constexpr char Blank = ' ';

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

// Upper-cased with one leading "-" or "/" removed.
std::string NormalisedParam(std::string param)
{
    MakeUpper(param);
    if (!param.empty() && (param[0] == '-' || param[0] == '/'))
        param.erase(0, 1);
    return param;
}

// The start-up directory is captured while the program's static objects are built,
// before anything can change the current directory.
const std::string StartupDirValue = GetCurrentDir();
} // namespace

TCharSet CharSet(std::string_view chars)
{
    TCharSet set;
    for (char c : chars)
        set.set(static_cast<unsigned char>(c));
    return set;
}

int32_t HexToInt(const std::string& text)
{
    const std::string t = TrimBlanks(text);
    uint32_t result = 0;
    uint32_t weight = 1;
    for (size_t i = t.size(); i > 0 && IsHexDigit(t[i - 1]); --i) {
        result += static_cast<uint32_t>(HexValue(t[i - 1])) * weight;
        weight *= 16;
    }
    return static_cast<int32_t>(result);
}

std::string IntToHexStr(int32_t value)
{
    static const char Digits[] = "0123456789ABCDEF";
    uint32_t v = static_cast<uint32_t>(value);
    std::string out;
    do {
        out.insert(out.begin(), Digits[v & 15]);
        v >>= 4;
    } while (v != 0);
    return out;
}

int32_t CountBits(uint32_t value)
{
    int32_t n = 0;
    for (; value != 0; value &= value - 1)
        ++n;
    return n;
}

std::string ZeroPad(const std::string& text, int length)
{
    std::string out = text;
    if (length > static_cast<int>(out.size()))
        out.insert(0, static_cast<size_t>(length) - out.size(), '0');
    return out;
}

namespace {

std::optional<std::string>& ApplicationDirOverride()
{
    static std::optional<std::string> dir;
    return dir;
}

// TP_PROGRAM_DIR, read once: the folder it names when that exists.
const std::optional<std::string>& EnvironmentProgramDir()
{
    static const std::optional<std::string> dir = []() -> std::optional<std::string> {
        const char* value = std::getenv("TP_PROGRAM_DIR");
        if (!value || !*value)
            return std::nullopt;
        if (!DirectoryExists(value)) {
            std::fprintf(stderr, "TP_PROGRAM_DIR names no folder (%s); it is ignored\n", value);
            return std::nullopt;
        }
        std::string dir = value;
        while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\'))
            dir.pop_back();
        return dir;
    }();
    return dir;
}

} // namespace

std::string ApplicationDir()
{
    if (const auto& dir = ApplicationDirOverride())
        return *dir;
    if (const auto& dir = EnvironmentProgramDir())
        return *dir;
    return ProgramFolder();
}

void SetApplicationDirForTests(std::optional<std::string> dir)
{
    ApplicationDirOverride() = std::move(dir);
}

std::string StartupDir()
{
    return StartupDirValue;
}

std::string MakeRelativePath(const std::string& path, const std::string& base)
{
    if (base.empty() || path.size() < base.size() || LowerCased(path.substr(0, base.size())) != LowerCased(base))
        return path;
    if (IsPathDelimiterChar(base.back()))
        return path.substr(base.size());
    if (path.size() == base.size())
        return {};
    if (IsPathDelimiterChar(path[base.size()]))
        return path.substr(base.size() + 1);
    // "c:\gamedata" does not lie inside "c:\game".
    return path;
}

std::string MakeRelativeToCurrentDir(const std::string& path)
{
    return MakeRelativePath(path, GetCurrentDir());
}

std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(Blank);
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(Blank);
    return text.substr(first, last - first + 1);
}

std::string LeftChars(const std::string& text, int n)
{
    if (n <= 0)
        return {};
    return text.substr(0, static_cast<size_t>(n));
}

std::string RightChars(const std::string& text, int n)
{
    if (n <= 0)
        return {};
    if (static_cast<size_t>(n) >= text.size())
        return text;
    return text.substr(text.size() - static_cast<size_t>(n));
}

char LastChar(const std::string& text)
{
    return text.empty() ? '\0' : text.back();
}

char FirstChar(const std::string& text)
{
    return text.empty() ? '\0' : text.front();
}

std::string DropFirstChars(const std::string& text, int n)
{
    if (n <= 0)
        return text;
    if (static_cast<size_t>(n) >= text.size())
        return {};
    return text.substr(static_cast<size_t>(n));
}

std::string DropLastChars(const std::string& text, int n)
{
    if (n <= 0)
        return text;
    if (static_cast<size_t>(n) >= text.size())
        return {};
    return text.substr(0, text.size() - static_cast<size_t>(n));
}

bool SameTrimmedText(const std::string& a, const std::string& b)
{
    return LowerCased(TrimBlanks(a)) == LowerCased(TrimBlanks(b));
}

namespace {
size_t FindFirstIn(const std::string& text, const TCharSet& set)
{
    for (size_t i = 0; i < text.size(); ++i)
        if (InSet(text[i], set))
            return i;
    return std::string::npos;
}

size_t FindLastIn(const std::string& text, const TCharSet& set)
{
    for (size_t i = text.size(); i > 0; --i)
        if (InSet(text[i - 1], set))
            return i - 1;
    return std::string::npos;
}
} // namespace

std::string TextBeforeFirst(const std::string& text, const TCharSet& set)
{
    const size_t at = FindFirstIn(text, set);
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string TextAfterFirst(const std::string& text, const TCharSet& set)
{
    const size_t at = FindFirstIn(text, set);
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

std::string TextBeforeLast(const std::string& text, const TCharSet& set)
{
    const size_t at = FindLastIn(text, set);
    return at == std::string::npos ? std::string() : text.substr(0, at);
}

std::string TextAfterLast(const std::string& text, const TCharSet& set)
{
    const size_t at = FindLastIn(text, set);
    return at == std::string::npos ? text : text.substr(at + 1);
}

std::string LastField(const std::string& text, const TCharSet& set)
{
    std::string t = text;
    while (!t.empty() && InSet(t.back(), set))
        t.pop_back();
    return TextAfterLast(t, set);
}

void RemoveBlanks(std::string& text)
{
    std::erase(text, Blank);
}

void MakeUpper(std::string& text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

char LowerChar(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void MakeLower(std::string& text)
{
    for (char& c : text)
        c = LowerChar(c);
}

std::string UpperCased(std::string text)
{
    MakeUpper(text);
    return text;
}

std::string LowerCased(std::string text)
{
    MakeLower(text);
    return text;
}

std::string InsertThousandsCommas(const std::string& text)
{
    size_t start = text.size();
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9')
        --start;
    std::string out = text.substr(0, start);
    const std::string digits = text.substr(start);
    for (size_t i = 0; i < digits.size(); ++i) {
        const size_t remaining = digits.size() - i;
        if (i > 0 && remaining % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

bool ParamSwitch(const std::string& name)
{
    const std::string wanted = UpperCased(name);
    for (int i = 1; i <= ParamCount(); ++i)
        if (NormalisedParam(ParamStr(i)) == wanted)
            return true;
    return false;
}

std::string ParamValue(const std::string& name)
{
    const std::string wanted = UpperCased(name);
    for (int i = 1; i <= ParamCount(); ++i) {
        const std::string param = NormalisedParam(ParamStr(i));
        if (param.compare(0, wanted.size(), wanted) != 0)
            continue;
        if (param.size() > wanted.size()) {
            std::string value = param.substr(wanted.size());
            if (!value.empty() && (value[0] == ':' || value[0] == '='))
                value.erase(0, 1);
            return value;
        }
        if (i < ParamCount())
            return ParamStr(i + 1);
    }
    return {};
}

bool ShowDebugMessages = false;
std::string LastOperation;
bool PumpingMessages = false;

void DebugMessage(const std::string& text)
{
    if (ShowDebugMessages)
        ShowMessage(text);
    else
        LastOperation = "DebugMessage('" + text + "')";
}

void PumpMessages()
{
    struct Guard {
        bool Previous = PumpingMessages;
        Guard() { PumpingMessages = true; }
        ~Guard() { PumpingMessages = Previous; }
    } guard;
    if (Application)
        Application->ProcessMessages();
}

namespace {

struct tProblemStore {
    std::set<std::string> Seen;
    std::vector<std::string> Kept;
};

tProblemStore& Problems()
{
    static tProblemStore store;
    return store;
}

} // namespace

void ReportProblem(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    tProblemStore& store = Problems();
    if (store.Seen.insert(text).second)
        store.Kept.push_back(text);
}

std::vector<std::string> TakeReportedProblems()
{
    std::vector<std::string> kept;
    kept.swap(Problems().Kept);
    return kept;
}

void ForgetReportedProblems()
{
    Problems() = tProblemStore{};
}

bool ProfilingOn = false;
TPoint MoveTime;
TPoint DrawTime;
TPoint BlitTime;

void ProfileReset() {}
void ProfileBegin() {}
void ProfileEnd() {}

void ProfileSample(TPoint& point)
{
    point.X = 0;
    point.Y = 0;
}

// ---------------------------------------------------------------------------------------
// Decimal numbers

bool ParseDecimal(const std::string& text, int64_t& out)
{
    const char* p = text.data();
    const char* end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end)
        return false;
    uint64_t v = 0;
    const auto r = std::from_chars(p, end, v, 10);
    if (r.ec != std::errc() || r.ptr != end || v > uint64_t(INT64_MAX))
        return false;
    out = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

int32_t StrToInt(const std::string& text)
{
    int64_t v = 0;
    if (!ParseDecimal(text, v) || v < INT32_MIN || v > INT32_MAX)
        throw EConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int32_t>(v);
}
