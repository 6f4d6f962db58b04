#include "platform/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/TestHooks.h"

char DecimalSeparator = '.';
char ThousandSeparator = ',';
std::string CurrencyString = "$";

namespace {

const TestHooks::TResetStep ResetLocale([] {
    DecimalSeparator = '.';
    ThousandSeparator = ',';
    CurrencyString = "$";
});

constexpr int MaxDecimals = 18;

// A finite value as decimal digits: 0.Digits x 10^Exp (no leading or trailing zeros in
// Digits; empty for zero).
struct Decimal {
    std::string Digits;
    int Exp = 0;
    bool Negative = false;
};

void StripTrailingZeros(Decimal& d)
{
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d.Exp = 0;
}

// The exact decimal value of a double: 800 significant digits hold every double exactly.
Decimal Exact(double v)
{
    Decimal d;
    d.Negative = std::signbit(v);
    v = std::fabs(v);
    if (v == 0)
        return d;
    char buf[900];
    std::snprintf(buf, sizeof buf, "%.799e", v);
    const char* e = std::strchr(buf, 'e');
    d.Digits.reserve(800);
    d.Digits += buf[0];
    d.Digits.append(buf + 2, static_cast<size_t>(e - (buf + 2)));
    d.Exp = std::atoi(e + 1) + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the exact value: the
// first digit dropped decides.
void RoundTo(Decimal& d, int keep)
{
    if (keep >= static_cast<int>(d.Digits.size()))
        return;
    if (keep < 0) {
        d.Digits.clear();
        d.Exp = 0;
        return;
    }
    const bool up = d.Digits[static_cast<size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9')
            d.Digits[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exp;
        } else {
            ++d.Digits[static_cast<size_t>(i)];
        }
    }
    StripTrailingZeros(d);
}

char DigitAt(const Decimal& d, int index)
{
    return index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[static_cast<size_t>(index)] : '0';
}

// The integer part's digits ("" for a value below 1).
std::string IntegerDigits(const Decimal& d)
{
    std::string s;
    for (int i = 0; i < d.Exp; ++i)
        s += DigitAt(d, i);
    return s;
}

std::string FractionDigits(const Decimal& d, int decimals)
{
    std::string s;
    for (int i = 0; i < decimals; ++i)
        s += DigitAt(d, d.Exp + i);
    return s;
}

std::string Grouped(const std::string& digits)
{
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ThousandSeparator;
        out += digits[i];
    }
    return out;
}

const char* NonFinite(double v)
{
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v > 0 ? "INF" : "-INF";
    return nullptr;
}

std::string ExponentText(int exponent, int minDigits, bool alwaysSign)
{
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
    if (exponent < 0)
        return "-" + digits;
    return alwaysSign ? "+" + digits : digits;
}

std::string General(double value, int precision, int digits)
{
    if (const char* text = NonFinite(value))
        return text;
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 4);
    Decimal d = Exact(value);
    RoundTo(d, precision);
    if (d.Digits.empty())
        return "0";
    std::string out = d.Negative ? "-" : "";
    if (d.Exp <= precision && d.Exp >= -4) {
        const std::string whole = IntegerDigits(d);
        out += whole.empty() ? "0" : whole;
        const int decimals = std::max(0, static_cast<int>(d.Digits.size()) - d.Exp);
        if (decimals > 0)
            out += DecimalSeparator + FractionDigits(d, decimals);
        return out;
    }
    out += d.Digits[0];
    if (d.Digits.size() > 1)
        out += DecimalSeparator + d.Digits.substr(1);
    return out + "E" + ExponentText(d.Exp - 1, digits, false);
}

std::string Fixed(double value, int digits, bool grouped)
{
    if (const char* text = NonFinite(value))
        return text;
    digits = std::clamp(digits, 0, MaxDecimals);
    Decimal d = Exact(value);
    RoundTo(d, d.Exp + digits);
    std::string whole = IntegerDigits(d);
    if (whole.empty())
        whole = "0";
    std::string out = (d.Negative && !d.Digits.empty()) ? "-" : "";
    out += grouped ? Grouped(whole) : whole;
    if (digits > 0)
        out += DecimalSeparator + FractionDigits(d, digits);
    return out;
}

// One section of a FormatFloat format, parsed.
struct Section {
    std::string Prefix, Suffix; // literal text before the first and after the last placeholder
    bool AnyPlaceholder = false;
    int IntPlaceholders = 0;
    int MinInt = 0;
    int Decimals = 0;
    int MinDecimals = 0;
    bool Grouping = false;
    bool Scientific = false;
    char ExpLetter = 'E';
    bool ExpAlwaysSign = false;
    int ExpDigits = 0;
};

std::vector<std::string> SplitSections(const std::string& format)
{
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            if (sections.size() == 3)
                break;
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

Section ParseSection(const std::string& s)
{
    Section out;
    bool point = false;
    int firstIntZero = -1;
    auto literal = [&](char c) { (out.AnyPlaceholder ? out.Suffix : out.Prefix) += c; };
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            size_t end = s.find(c, i + 1);
            if (end == std::string::npos)
                end = s.size();
            for (size_t j = i + 1; j < end; ++j)
                literal(s[j]);
            i = end;
        } else if ((c == '0' || c == '#') && !out.Scientific) {
            out.AnyPlaceholder = true;
            out.Suffix.clear(); // text between placeholders is dropped
            if (!point) {
                if (c == '0' && firstIntZero < 0)
                    firstIntZero = out.IntPlaceholders;
                ++out.IntPlaceholders;
            } else {
                ++out.Decimals;
                if (c == '0')
                    out.MinDecimals = out.Decimals;
            }
        } else if (c == '.' && !point && !out.Scientific) {
            point = true;
            out.AnyPlaceholder = true;
        } else if (c == ',' && !point && !out.Scientific) {
            out.Grouping = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') &&
                   out.AnyPlaceholder && !out.Scientific) {
            out.Scientific = true;
            out.ExpLetter = c;
            out.ExpAlwaysSign = s[i + 1] == '+';
            i += 2;
            while (i < s.size() && s[i] == '0') {
                ++out.ExpDigits;
                ++i;
            }
            --i;
        } else {
            literal(c);
        }
    }
    out.MinInt = firstIntZero < 0 ? 0 : out.IntPlaceholders - firstIntZero;
    out.Decimals = std::min(out.Decimals, MaxDecimals);
    out.MinDecimals = std::min(out.MinDecimals, out.Decimals);
    return out;
}

std::string TrimDecimals(std::string frac, int minDecimals)
{
    while (static_cast<int>(frac.size()) > minDecimals && frac.back() == '0')
        frac.pop_back();
    return frac;
}

std::string FormatSection(const Section& f, double value, bool showMinus)
{
    if (!f.AnyPlaceholder)
        return f.Prefix + f.Suffix;
    Decimal d = Exact(std::fabs(value));
    std::string number;
    if (f.Scientific) {
        const int intDigits = std::max(1, f.IntPlaceholders);
        RoundTo(d, intDigits + f.Decimals);
        const int exponent = d.Digits.empty() ? 0 : d.Exp - intDigits;
        for (int i = 0; i < intDigits; ++i)
            number += DigitAt(d, i);
        std::string frac;
        for (int i = 0; i < f.Decimals; ++i)
            frac += DigitAt(d, intDigits + i);
        frac = TrimDecimals(frac, f.MinDecimals);
        if (!frac.empty())
            number += DecimalSeparator + frac;
        number += f.ExpLetter + ExponentText(exponent, f.ExpDigits, f.ExpAlwaysSign);
    } else {
        RoundTo(d, d.Exp + f.Decimals);
        std::string whole = IntegerDigits(d);
        if (static_cast<int>(whole.size()) < f.MinInt)
            whole.insert(0, static_cast<size_t>(f.MinInt) - whole.size(), '0');
        number = f.Grouping ? Grouped(whole) : whole;
        const std::string frac = TrimDecimals(FractionDigits(d, f.Decimals), f.MinDecimals);
        if (!frac.empty())
            number += DecimalSeparator + frac;
        if (number.empty())
            number = "0";
    }
    const bool minus = showMinus && !d.Digits.empty();
    return f.Prefix + (minus ? "-" : "") + number + f.Suffix;
}

[[noreturn]] void FormatError(std::string_view format)
{
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

} // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    switch (format) {
    case ffFixed:
        return Fixed(value, digits, false);
    case ffNumber:
        return Fixed(value, digits, true);
    case ffCurrency:
        return CurrencyString + Fixed(value, digits, true);
    case ffExponent:
    case ffGeneral:
    default:
        return General(value, precision, digits);
    }
}

std::string FloatToStr(double value) { return General(value, 15, 0); }

std::string FormatFloat(const std::string& format, double value)
{
    if (format.empty() || !std::isfinite(value) || std::fabs(value) >= 1e18)
        return General(value, 15, 0);
    const std::vector<std::string> sections = SplitSections(format);
    size_t index = 0;
    if (value < 0 && sections.size() > 1 && !sections[1].empty())
        index = 1;
    else if (value == 0 && sections.size() > 2 && !sections[2].empty())
        index = 2;
    if (sections[index].empty()) {
        if (sections[0].empty())
            return General(value, 15, 0);
        index = 0;
    }
    return FormatSection(ParseSection(sections[index]), value, index != 1 && value < 0);
}

bool TryStrToFloat(const std::string& text, double& value)
{
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const size_t intStart = i;
    while (i < end && digit(text[i]))
        ++i;
    const std::string whole = text.substr(intStart, i - intStart);
    std::string frac;
    if (i < end && text[i] == DecimalSeparator) {
        const size_t fracStart = ++i;
        while (i < end && digit(text[i]))
            ++i;
        frac = text.substr(fracStart, i - fracStart);
    }
    if (whole.empty() && frac.empty())
        return false;
    bool expNegative = false;
    std::string expDigits;
    if (i < end && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            expNegative = text[i++] == '-';
        const size_t expStart = i;
        while (i < end && digit(text[i]))
            ++i;
        expDigits = text.substr(expStart, i - expStart);
        if (expDigits.empty())
            return false;
    }
    if (i != end)
        return false;
    std::string plain = (negative ? "-" : "") + (whole.empty() ? "0" : whole) + "." + (frac.empty() ? "0" : frac);
    if (!expDigits.empty())
        plain += (expNegative ? "e-" : "e") + expDigits;
    double parsed = 0;
    const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
    if (ec == std::errc::result_out_of_range) {
        // Beyond double's range is not a number; below its smallest is 0.
        long long order = 0;
        const size_t firstWhole = whole.find_first_not_of('0');
        if (firstWhole != std::string::npos) {
            order = static_cast<long long>(whole.size() - firstWhole);
        } else {
            const size_t firstFrac = frac.find_first_not_of('0');
            order = firstFrac == std::string::npos ? 0 : -static_cast<long long>(firstFrac);
        }
        long long exponent = 0;
        for (char c : expDigits)
            exponent = std::min<long long>(exponent * 10 + (c - '0'), 1000000000LL);
        order += expNegative ? -exponent : exponent;
        if (order > 0)
            return false;
        value = negative ? -0.0 : 0.0;
        return true;
    }
    if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

double StrToFloat(const std::string& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return value;
}

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args)
{
    std::string out;
    auto next = args.begin();
    auto take = [&]() -> const TFormatArg& {
        if (next == args.end())
            FormatError(format);
        return *next++;
    };
    auto integerArg = [&]() {
        const auto* v = std::get_if<int64_t>(&take().Value());
        if (!v)
            FormatError(format);
        return *v;
    };
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= format.size())
            FormatError(format);
        char d = format[i];
        if (d == '%') {
            out += '%';
            continue;
        }
        int precision = 2;
        if (d == '.') {
            if (++i >= format.size())
                FormatError(format);
            if (format[i] == '*') {
                precision = static_cast<int>(std::clamp<int64_t>(integerArg(), 0, MaxDecimals));
                ++i;
            } else {
                int n = 0;
                size_t start = i;
                while (i < format.size() && format[i] >= '0' && format[i] <= '9')
                    n = std::min(n * 10 + (format[i++] - '0'), 1000);
                if (i == start)
                    FormatError(format);
                precision = std::min(n, MaxDecimals);
            }
            if (i >= format.size() || format[i] != 'f')
                FormatError(format);
            d = 'f';
        }
        switch (d) {
        case 'd':
            out += std::to_string(integerArg());
            break;
        case 's': {
            const auto* v = std::get_if<std::string>(&take().Value());
            if (!v)
                FormatError(format);
            out += *v;
            break;
        }
        case 'f': {
            const auto* v = std::get_if<double>(&take().Value());
            if (!v)
                FormatError(format);
            out += Fixed(*v, precision, false);
            break;
        }
        default:
            FormatError(format);
        }
    }
    return out;
}
