#pragma once
// Keyboard and mouse vocabulary of the programs: virtual-key codes, the shift
// state carried by key and mouse events, mouse buttons, shortcut values and the
// "is this key down now" query.
//
// Key events carry virtual-key codes (VK_*), one per physical key: the numeric
// keypad has codes of its own (VK_ADD 107 is keypad "+", VK_OEM_PLUS 187 the main
// keyboard's), and Shift, Ctrl and Alt arrive as keys of their own (16, 17, 18).
// A key that has no code here still gets a stable non-zero code (always the same
// one for the same key), so "any key" consumers see it. Character events carry the
// single-byte (Windows-1252) character the key types: Enter 13, Esc 27, Backspace 8,
// Tab 9, Ctrl+A..Ctrl+Z 1..26; keys that type nothing (arrows, function keys, keys
// held with Alt) give no character event.
#include <cstdint>
#include <initializer_list>

#include "platform/Types.h"

// Mouse buttons as key codes.
constexpr WORD VK_LBUTTON = 0x01;
constexpr WORD VK_RBUTTON = 0x02;
constexpr WORD VK_CANCEL = 0x03;
constexpr WORD VK_MBUTTON = 0x04;

constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_CLEAR = 0x0C;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12; // Alt
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21; // Page Up
constexpr WORD VK_NEXT = 0x22;  // Page Down
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_SELECT = 0x29;
constexpr WORD VK_PRINT = 0x2A;
constexpr WORD VK_SNAPSHOT = 0x2C;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' 0x41..0x5A: the characters themselves.
constexpr WORD VK_LWIN = 0x5B;
constexpr WORD VK_RWIN = 0x5C;
constexpr WORD VK_APPS = 0x5D;
constexpr WORD VK_NUMPAD0 = 0x60; // .. VK_NUMPAD9 = 0x69
constexpr WORD VK_NUMPAD1 = 0x61;
constexpr WORD VK_NUMPAD2 = 0x62;
constexpr WORD VK_NUMPAD3 = 0x63;
constexpr WORD VK_NUMPAD4 = 0x64;
constexpr WORD VK_NUMPAD5 = 0x65;
constexpr WORD VK_NUMPAD6 = 0x66;
constexpr WORD VK_NUMPAD7 = 0x67;
constexpr WORD VK_NUMPAD8 = 0x68;
constexpr WORD VK_NUMPAD9 = 0x69;
constexpr WORD VK_MULTIPLY = 0x6A; // keypad *
constexpr WORD VK_ADD = 0x6B;      // keypad +
constexpr WORD VK_SEPARATOR = 0x6C;
constexpr WORD VK_SUBTRACT = 0x6D; // keypad -
constexpr WORD VK_DECIMAL = 0x6E;  // keypad .
constexpr WORD VK_DIVIDE = 0x6F;   // keypad /
constexpr WORD VK_F1 = 0x70;       // .. VK_F24 = 0x87
constexpr WORD VK_F2 = 0x71;
constexpr WORD VK_F3 = 0x72;
constexpr WORD VK_F4 = 0x73;
constexpr WORD VK_F5 = 0x74;
constexpr WORD VK_F6 = 0x75;
constexpr WORD VK_F7 = 0x76;
constexpr WORD VK_F8 = 0x77;
constexpr WORD VK_F9 = 0x78;
constexpr WORD VK_F10 = 0x79;
constexpr WORD VK_F11 = 0x7A;
constexpr WORD VK_F12 = 0x7B;
constexpr WORD VK_F24 = 0x87;
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;
// Punctuation keys of the main keyboard (US layout names).
constexpr WORD VK_OEM_1 = 0xBA;      // ; :
constexpr WORD VK_OEM_PLUS = 0xBB;   // = +
constexpr WORD VK_OEM_COMMA = 0xBC;  // , <
constexpr WORD VK_OEM_MINUS = 0xBD;  // - _
constexpr WORD VK_OEM_PERIOD = 0xBE; // . >
constexpr WORD VK_OEM_2 = 0xBF;      // / ?
constexpr WORD VK_OEM_3 = 0xC0;      // ` ~
constexpr WORD VK_OEM_4 = 0xDB;      // [ {
constexpr WORD VK_OEM_5 = 0xDC;      // \ |
constexpr WORD VK_OEM_6 = 0xDD;      // ] }
constexpr WORD VK_OEM_7 = 0xDE;      // ' "
constexpr WORD VK_OEM_102 = 0xE2;    // < > on 102-key keyboards

// Keys without a code of their own get one in [VK_UNKNOWN_FIRST, VK_UNKNOWN_LAST].
constexpr WORD VK_UNKNOWN_FIRST = 0xC1;
constexpr WORD VK_UNKNOWN_LAST = 0xD7;

// Modifier keys and mouse buttons held during an event, plus ssDouble for the
// second press of a double click.
enum TShiftStateFlag : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftStateFlag> flags)
    {
        for (auto f : flags)
            FBits |= Bit(f);
    }
    constexpr bool Contains(TShiftStateFlag f) const { return (FBits & Bit(f)) != 0; }
    constexpr TShiftState& Include(TShiftStateFlag f)
    {
        FBits |= Bit(f);
        return *this;
    }
    constexpr TShiftState& Exclude(TShiftStateFlag f)
    {
        FBits &= static_cast<uint8_t>(~Bit(f));
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint8_t Bits() const { return FBits; }
    friend constexpr bool operator==(TShiftState, TShiftState) = default;

private:
    static constexpr uint8_t Bit(TShiftStateFlag f) { return static_cast<uint8_t>(1u << f); }
    uint8_t FBits = 0;
};

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// A menu shortcut: the key code plus 0x2000 for Shift, 0x4000 for Ctrl, 0x8000 for Alt.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut ShortCut(WORD key, TShiftState shift)
{
    TShortCut s = key;
    if (shift.Contains(ssShift))
        s |= scShift;
    if (shift.Contains(ssCtrl))
        s |= scCtrl;
    if (shift.Contains(ssAlt))
        s |= scAlt;
    return s;
}

// Bit 0x8000 set when the key or mouse button (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON)
// is down at this moment, as seen by the program's windows. UI thread only.
int16_t GetAsyncKeyState(int keyCode);

// The pointer's position in screen coordinates.
TPoint GetCursorPos();

// The key code of a Qt key value (Qt::Key); keypad is true when the event came from
// the numeric keypad.
WORD KeyCodeFromQtKey(int qtKey, bool keypad);

// The character a key press types, or 0 when it types none. typed is the Unicode
// character the keyboard layout produced for the press (0 when none).
char KeyCharFor(WORD keyCode, TShiftState shift, char32_t typed);

// The Windows-1252 byte of a Unicode character, or 0 when it has none.
char Cp1252FromUnicode(char32_t c);
