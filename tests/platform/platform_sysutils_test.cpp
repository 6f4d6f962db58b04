#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/TestHooks.h"

namespace {

struct Separators {
    Separators(char decimal, char thousand)
    {
        DecimalSeparator = decimal;
        ThousandSeparator = thousand;
    }
    ~Separators() { TestHooks::Reset(); }
};

constexpr double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::nan("");

} // namespace

TEST(Numbers, FormatFloatPlaceholdersSectionsAndRounding)
{
    struct Case {
        const char* format;
        double value;
        const char* want;
    };
    const Case cases[] = {
        {",0.##", 0, "0"},
        {",0.##", 0.5, "0.5"},
        {",0.##", 1234.5, "1,234.5"},
        {",0.##", -1234.567, "-1,234.57"},
        {",0.##", 1e6, "1,000,000"},
        {",0.##", 0.125, "0.13"},
        {",0.##", 1.005, "1"},
        {",0.##", -0.001, "0"},
        {",0.##", 1e18, "1E18"},
        {",0.##", NaN, "NAN"},
        {"0.00", 2, "2.00"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"#,##0.00;(#,##0.00);zero", 1234.5, "1,234.50"},
        {"#,##0.00;(#,##0.00);zero", -1234.5, "(1,234.50)"},
        {"#,##0.00;(#,##0.00);zero", 0, "zero"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.0E-0", 0.00012, "1.2E-4"},
        {"'x'0", 5, "x5"},
        {"\"total: \"0", 7, "total: 7"},
        {"000", 7, "007"},
        {"#.##", 0.5, ".5"},
        // Bad formats and values.
        {"", 1.5, "1.5"},
        {";;", 2.5, "2.5"},
        {"'unclosed 0", 3, "unclosed 0"},
        {"0.0000000000000000000000000000000000000000", 1.0 / 3, "0.333333333333333315"},
        {"only text", 42, "only text"},
        {"0.00", Inf, "INF"},
        {"0.00", -Inf, "-INF"},
        {"0.00", -0.0, "0.00"},
        {",0.##", 5e-324, "0"},
        {",0.##", 1e300, "1E300"},
        {",0.##", -1e18, "-1E18"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(c.format, c.value), c.want) << c.format << " " << c.value;
    Separators comma(',', '.');
    EXPECT_EQ(FormatFloat(",0.##", 1234.5), "1.234,5");
}

TEST(Numbers, FloatToStrFGeneralFixedAndNumber)
{
    struct Case {
        double value;
        TFloatFormat format;
        int precision, digits;
        const char* want;
    };
    const Case cases[] = {
        {1.1, ffGeneral, 7, 0, "1.1"},
        {static_cast<double>(0.495f), ffGeneral, 7, 0, "0.495"},
        {123456789, ffGeneral, 7, 0, "1.234568E8"},
        {1, ffGeneral, 3, 0, "1"},
        {static_cast<double>(0.2f), ffGeneral, 3, 0, "0.2"},
        {3, ffGeneral, 3, 0, "3"},
        {1.0 / 3, ffGeneral, 15, 0, "0.333333333333333"},
        {1e20, ffGeneral, 15, 0, "1E20"},
        {1.5e-7, ffGeneral, 15, 0, "1.5E-7"},
        {std::ldexp(1.0, 60), ffGeneral, 15, 0, "1.15292150460685E18"},
        {-0.0, ffGeneral, 15, 0, "0"},
        {Inf, ffGeneral, 15, 0, "INF"},
        {NaN, ffGeneral, 15, 0, "NAN"},
        {0.00001, ffGeneral, 15, 0, "0.00001"},
        {0.000001, ffGeneral, 15, 0, "1E-6"},
        {1e20, ffGeneral, 15, 3, "1E020"},
        {999999.5, ffGeneral, 6, 0, "1E6"},
        {1234.5678, ffFixed, 15, 2, "1234.57"},
        {-0.004, ffFixed, 15, 2, "0.00"},
        {1234567.891, ffNumber, 15, 1, "1,234,567.9"},
        {2.5, ffFixed, 15, 0, "3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.want) << c.value;
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    Separators comma(',', '.');
    EXPECT_EQ(FloatToStrF(1.1, ffGeneral, 7, 0), "1,1");
}

TEST(Numbers, TryStrToFloatAcceptsOnlyPlainNumbersUnderEitherSeparator)
{
    struct Case {
        std::string text;
        bool dot;     // valid with "." as the separator
        bool comma;   // valid with ","
        double value; // when valid
    };
    const Case cases[] = {
        {"", false, false, 0},       {" ", false, false, 0},      {"-", false, false, 0},
        {"+", false, false, 0},      {".", false, false, 0},      {"E5", false, false, 0},
        {"1e", false, false, 0},     {"1e+", false, false, 0},    {"--1", false, false, 0},
        {"+-1", false, false, 0},    {"nan", false, false, 0},    {"NaN", false, false, 0},
        {"inf", false, false, 0},    {"-Infinity", false, false, 0}, {"1e999", false, false, 0},
        {"-1e999", false, false, 0}, {"1e-999", true, true, 0},   {"0x10", false, false, 0},
        {"0x1p3", false, false, 0},  {"1,5", false, true, 1.5},   {"1.5", true, false, 1.5},
        {"1 000", false, false, 0},  {"1.000,5", false, false, 0}, {"\xD9\xA1\xD9\xA2", false, false, 0},
        {"12", true, true, 12},      {"-7e2", true, true, -700},  {"+3E-1", true, true, 0.3},
        {"0001", true, true, 1},
    };
    for (bool comma : {false, true}) {
        Separators sep(comma ? ',' : '.', comma ? '.' : ',');
        for (const Case& c : cases) {
            double v = -123;
            const bool ok = TryStrToFloat(c.text, v);
            EXPECT_EQ(ok, comma ? c.comma : c.dot) << "'" << c.text << "' comma=" << comma;
            if (ok) {
                EXPECT_DOUBLE_EQ(v, c.value) << c.text;
            }
        }
        double v = 0;
        const std::string spaced = comma ? " 12,5 " : " 12.5 ";
        EXPECT_TRUE(TryStrToFloat(spaced, v));
        EXPECT_EQ(v, 12.5);
        EXPECT_TRUE(TryStrToFloat(comma ? "1," : "1.", v));
        EXPECT_EQ(v, 1);
        EXPECT_TRUE(TryStrToFloat(comma ? ",5" : ".5", v));
        EXPECT_EQ(v, 0.5);
    }
    // A megabyte of digits is refused (or read) at once, never hangs.
    const auto start = std::chrono::steady_clock::now();
    double v = 0;
    EXPECT_FALSE(TryStrToFloat(std::string(1 << 20, '7') + "x", v));
    EXPECT_FALSE(TryStrToFloat(std::string(1 << 20, '9'), v)); // beyond double's range
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    try {
        StrToFloat("1.2.3");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1.2.3' is not a valid floating point value");
    }
    EXPECT_EQ(StrToFloat("2.25"), 2.25);
}

TEST(Numbers, FormatDirectivesAndErrors)
{
    EXPECT_EQ(Format("Value must be between %.*f and %.*f", {2, 0.0, 2, 15.0}),
              "Value must be between 0.00 and 15.00");
    EXPECT_EQ(Format("Value must be between %d and %d", {1, 140}), "Value must be between 1 and 140");
    EXPECT_EQ(Format("%s: %f, %.3f, %.3f, 100%%", {"x", 2.5, 1.0625, 1.0005}), "x: 2.50, 1.063, 1.000, 100%");
    EXPECT_EQ(Format("%.*f|%.*f", {-1, 2.5, 100, 0.5}), "3|0.500000000000000000");
    EXPECT_EQ(Format("%d", {1, 2, 3}), "1"); // extra arguments are ignored
    for (const char* bad : {"%", "%q", "%.f", "%.*d", "%5d"}) {
        SCOPED_TRACE(bad);
        try {
            Format(bad, {1});
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("Format '") + bad + "' invalid or incompatible with argument");
        }
    }
    EXPECT_THROW(Format("%d", {1.5}), EConvertError);
    EXPECT_THROW(Format("%s", {3}), EConvertError);
    EXPECT_THROW(Format("%f", {"1"}), EConvertError);
    EXPECT_THROW(Format("%d and %d", {1}), EConvertError);
    Separators comma(',', '.');
    EXPECT_EQ(Format("Value must be between %.*f and %.*f", {2, 0.0, 2, 15.0}),
              "Value must be between 0,00 and 15,00");
}
