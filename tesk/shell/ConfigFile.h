#pragma once
// "Config.cfg": the twelve user settings, one "key=value" line each, in the program
// folder. Read once while the main window is created (before the command line), written
// once when it closes. Every invalid value shows its message in a box and is replaced.
#include <string>

// The settings file's name in the program folder.
std::string ConfigFileName();

// Reads the file when it exists; a missing file leaves every setting as it is. A UTF-8
// byte-order mark before the first line is skipped.
void ReadConfigFile();
// Writes the twelve lines (CR LF); an existing file is replaced only once the new text
// is written. Raises when the file cannot be written (the old file stays as it was).
void WriteConfigFile();

// "true" gives True and "false" False (the value lower-cased); any other value shows
// the invalid-value message naming the default and stores the default.
void ReadConfigBoolean(bool& result, const std::string& name, const std::string& value, bool defaultValue);

// The general format with 7 significant digits and "." ("1.1", "0.495"), as the file
// stores floats and the messages show them.
std::string ConfigFloatText(float value);
