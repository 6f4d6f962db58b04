#pragma once
// Small routines on byte strings (one byte per character), character sets and the
// command line, shared by every part of Tesk. Case conversion is ASCII only.
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// A set of the 256 byte values.
using TCharSet = std::bitset<256>;

// The set of the given characters, e.g. CharSet("\\/").
TCharSet CharSet(std::string_view chars);
inline bool InSet(char c, const TCharSet& set) { return set.test(static_cast<unsigned char>(c)); }

int32_t HexToInt(const std::string& text);
std::string IntToHexStr(int32_t value);
int32_t CountBits(uint32_t value);
std::string ZeroPad(const std::string& text, int length);

// The program's folder and the current directory captured at start-up.
std::string ApplicationDir();
std::string StartupDir();

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

inline int32_t IntMin(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t IntMax(int32_t a, int32_t b) { return a > b ? a : b; }

std::string InsertThousandsCommas(const std::string& text);

// Command-line switches and options; one leading "-" or "/" is accepted.
bool ParamSwitch(const std::string& name);
std::string ParamValue(const std::string& name);
