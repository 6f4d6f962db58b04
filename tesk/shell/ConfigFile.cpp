#include "tesk/shell/ConfigFile.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/StringList.h"
#include "tesk/game/Settings.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"

namespace {

// An optional sign and decimal digits, within 32 bits.
bool ParseInteger(const std::string& text, int32_t& value)
{
    size_t start = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        start = 1;
    if (start >= text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    int32_t parsed = 0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

// Decimal digits with an optional "." and exponent; a finite 32-bit float. "nan", "inf",
// hexadecimal floats, "," and values beyond the float's range are not numbers.
bool ParseFloat(const std::string& text, float& value)
{
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    double parsed = 0;
    const auto [end, error] = std::from_chars(first, text.data() + n, parsed);
    if (error != std::errc() || end != text.data() + n || !std::isfinite(parsed))
        return false;
    const float narrowed = static_cast<float>(parsed);
    if (!std::isfinite(narrowed))
        return false;
    value = narrowed;
    return true;
}

std::string Invalid(const std::string& name) { return "Parameter " + name + " has an invalid value."; }

void ReadVolume(int32_t& setting, const std::string& name, const std::string& value)
{
    int32_t v = 0;
    if (!ParseInteger(value, v)) {
        ShowMessage(Invalid(name) + "\r" + "Defaulting to 5");
        setting = 5;
    } else if (v < 0) {
        ShowMessage(Invalid(name) + "\r" + "0 used instead.");
        setting = 0;
    } else if (v > 10) {
        ShowMessage(Invalid(name) + "\r" + "10" + " used instead.");
        setting = 10;
    } else {
        setting = v;
    }
}

void ReadBrightness(const std::string& value)
{
    float v = 0;
    if (!ParseFloat(value, v)) {
        ShowMessage(Invalid("DisplayBrightness") + "\r" + "Defaulting to " + ConfigFloatText(DisplayBrightness));
    } else if (v + 0.01f < 0.5f) {
        ShowMessage(Invalid("DisplayBrightness") + "\r" + "0.5" + " used instead.");
        DisplayBrightness = 0.5f;
    } else if (v - 0.01f > 2.7f) {
        ShowMessage(Invalid("DisplayBrightness") + "\r" + "2.7" + " used instead.");
        DisplayBrightness = 2.7f;
    } else {
        DisplayBrightness = v;
    }
}

void ApplyLine(std::string line)
{
    RemoveBlanks(line);
    const size_t eq = line.find('=');
    std::string key = line.substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    MakeLower(key);
    MakeLower(value);
    if (key == "soundon")
        ReadConfigBoolean(SoundOn, "SoundOn", value, true);
    else if (key == "musicon")
        ReadConfigBoolean(MusicOn, "MusicOn", value, true);
    else if (key == "fullscreen")
        ReadConfigBoolean(FullScreen, "FullScreen", value, false);
    else if (key == "systemmemorybackbuffer")
        ReadConfigBoolean(SystemMemoryBackBuffer, "SystemMemoryBackBuffer", value, true);
    else if (key == "dialogs")
        ReadConfigBoolean(Dialogs, "Dialogs", value, true);
    else if (key == "bitblt")
        ReadConfigBoolean(UseBitBlt, "BitBlt", value, false);
    else if (key == "animatewater") {
        bool animate = !DontAnimateWater;
        ReadConfigBoolean(animate, "AnimateWater", value, true);
        DontAnimateWater = !animate;
    } else if (key == "soundvolume")
        ReadVolume(SoundVolume, "SoundVolume", value);
    else if (key == "musicvolume")
        ReadVolume(MusicVolume, "MusicVolume", value);
    else if (key == "displaybrightness")
        ReadBrightness(value);
    else if (key == "sounddriver") {
        int32_t v = 0;
        if (ParseInteger(value, v)) {
            SoundDriver = v;
        } else {
            ShowMessage("Parameter SoundDriver has an invalid Value, defaulting to 0");
            SoundDriver = 0;
        }
    } else if (key == "sounddevice") {
        // Only the three outputs the sound library offers: 0 none, 1 and 2 a device.
        int32_t v = 0;
        if (ParseInteger(value, v) && v >= 0 && v <= 2) {
            SoundDevice = static_cast<uint8_t>(v & 0xFF);
        } else {
            ShowMessage("Parameter SoundDevice has an invalid Value, defaulting to 0");
            SoundDevice = 0;
        }
    }
}

const char* BoolText(bool b) { return b ? "True" : "False"; }

} // namespace

std::string ConfigFloatText(float value)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    if (error != std::errc())
        return "0";
    return std::string(buffer, end);
}

std::string ConfigFileName()
{
    std::string dir = ApplicationDir();
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += '/';
    return dir + "Config.cfg";
}

void ReadConfigBoolean(bool& result, const std::string& name, const std::string& value, bool defaultValue)
{
    if (value == "true") {
        result = true;
    } else if (value == "false") {
        result = false;
    } else {
        ShowMessage(Invalid(name) + "\r" + "Defaulting to " + BoolText(defaultValue));
        result = defaultValue;
    }
}

void ReadConfigFile()
{
    const std::string name = ConfigFileName();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec))
        return;
    TStringList lines;
    lines.LoadFromFile(name);
    // Text editors may begin the file with the UTF-8 byte-order mark; it is not part of
    // the first key.
    static const std::string ByteOrderMark = "\xEF\xBB\xBF";
    for (int i = 0; i < lines.Count(); ++i)
        ApplyLine(i == 0 && lines[i].starts_with(ByteOrderMark) ? lines[i].substr(ByteOrderMark.size()) : lines[i]);
}

void WriteConfigFile()
{
    TStringList lines;
    lines.Add(std::string("SoundOn=") + BoolText(SoundOn));
    lines.Add("SoundVolume=" + std::to_string(SoundVolume));
    lines.Add(std::string("MusicOn=") + BoolText(MusicOn));
    lines.Add("MusicVolume=" + std::to_string(MusicVolume));
    lines.Add("SoundDriver=" + std::to_string(SoundDriver));
    lines.Add("SoundDevice=" + std::to_string(SoundDevice));
    lines.Add("DisplayBrightness=" + ConfigFloatText(DisplayBrightness));
    lines.Add(std::string("FullScreen=") + BoolText(FullScreen));
    lines.Add(std::string("Dialogs=") + BoolText(Dialogs));
    lines.Add(std::string("BitBlt=") + BoolText(UseBitBlt));
    lines.Add(std::string("AnimateWater=") + BoolText(!DontAnimateWater));
    lines.Add(std::string("SystemMemoryBackBuffer=") + BoolText(SystemMemoryBackBuffer));
    lines.SaveToFile(ConfigFileName());
}
