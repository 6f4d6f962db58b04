#pragma once
// Numbers as text, with the class library's names and rules: the locale globals, format
// strings for floats, general and fixed conversions, strict parsing and Format.
//
// The programs never change the locale globals: they do not follow the desktop's
// regional settings, so that both games behave the same everywhere and their settings
// and level files stay readable. Tests change them (TestHooks::Reset restores them).
//
// Rounding to the digits shown is half away from zero on the exact binary value (0.125
// to two decimals gives 0.13; 1.005 gives 1.00, being 1.00499...).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

extern char DecimalSeparator;     // '.'
extern char ThousandSeparator;    // ','
extern std::string CurrencyString; // "$" (UTF-8)

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// ffGeneral: at most precision (1..18) significant digits, no trailing zeros nor trailing
// separator; fixed notation when the rounded value has at most precision digits before
// the point and a magnitude of at least 0.00001, else scientific ("1E20", "1.5E-7", "-"
// only for a negative exponent, at least `digits` (0..4) exponent digits).
// ffFixed: `digits` (0..18) decimals, no grouping; ffNumber: the same with thousands
// grouped. Non-finite values give "NAN", "INF" and "-INF"; -0 gives "0".
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// FloatToStrF(value, ffGeneral, 15, 0).
std::string FloatToStr(double value);

// Up to three sections "positive;negative;zero": "0" a digit always shown, "#" a digit
// shown when significant, "." the decimal separator's place (the first counts), "," before
// it groups thousands, "E+", "E-", "e+", "e-" scientific notation (the zeros after it
// the least exponent digits), quoted text copied as it is, any other character copied.
// A value shown by the negative section gets no minus sign of its own; a value that
// rounds to zero shows none either. At most 18 decimals. An empty format, a value of
// magnitude 1e18 or more and a non-finite value take the general format.
std::string FormatFloat(const std::string& format, double value);

// Blanks around the text, an optional sign, digits with at most one DecimalSeparator (at
// least one digit in all), an optional exponent: nothing else (no thousands separators,
// "nan", "inf" or hexadecimal). Beyond the range of double is not a number; below its
// smallest gives 0.
bool TryStrToFloat(const std::string& text, double& value);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const std::string& text);

// An argument of Format: an integer, a float or a string.
class TFormatArg {
public:
    TFormatArg(int v) : FValue(static_cast<int64_t>(v)) {}
    TFormatArg(long v) : FValue(static_cast<int64_t>(v)) {}
    TFormatArg(long long v) : FValue(static_cast<int64_t>(v)) {}
    TFormatArg(unsigned v) : FValue(static_cast<int64_t>(v)) {}
    TFormatArg(double v) : FValue(v) {}
    TFormatArg(float v) : FValue(static_cast<double>(v)) {}
    TFormatArg(const char* v) : FValue(std::string(v ? v : "")) {}
    TFormatArg(std::string v) : FValue(std::move(v)) {}
    const std::variant<int64_t, double, std::string>& Value() const { return FValue; }

private:
    std::variant<int64_t, double, std::string> FValue;
};

// "%d", "%s", "%f" (two decimals), "%.nf", "%.*f" (the precision is the next integer
// argument, held to 0..18) and "%%"; floats as ffFixed. A directive it does not know, an
// argument of the wrong kind or a missing one raises EConvertError "Format '<format>'
// invalid or incompatible with argument"; extra arguments are ignored.
std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);
