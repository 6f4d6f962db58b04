#include "platform/Keys.h"

#include <QCursor>
#include <QGuiApplication>

#include <array>

#include "platform/QtBridge.h"

namespace {

struct KeyPair {
    int qt;
    bool keypad; // the pair applies only to keypad events
    WORD code;
};

// Keys whose code is not simply their character.
constexpr KeyPair NamedKeys[] = {
    {Qt::Key_Backspace, false, VK_BACK},
    {Qt::Key_Tab, false, VK_TAB},
    {Qt::Key_Backtab, false, VK_TAB},
    {Qt::Key_Clear, false, VK_CLEAR},
    {Qt::Key_Return, false, VK_RETURN},
    {Qt::Key_Enter, false, VK_RETURN},
    {Qt::Key_Shift, false, VK_SHIFT},
    {Qt::Key_Control, false, VK_CONTROL},
    {Qt::Key_Alt, false, VK_MENU},
    {Qt::Key_AltGr, false, VK_MENU},
    {Qt::Key_Pause, false, VK_PAUSE},
    {Qt::Key_CapsLock, false, VK_CAPITAL},
    {Qt::Key_Escape, false, VK_ESCAPE},
    {Qt::Key_Space, false, VK_SPACE},
    {Qt::Key_PageUp, false, VK_PRIOR},
    {Qt::Key_PageDown, false, VK_NEXT},
    {Qt::Key_End, false, VK_END},
    {Qt::Key_Home, false, VK_HOME},
    {Qt::Key_Left, false, VK_LEFT},
    {Qt::Key_Up, false, VK_UP},
    {Qt::Key_Right, false, VK_RIGHT},
    {Qt::Key_Down, false, VK_DOWN},
    {Qt::Key_Select, false, VK_SELECT},
    {Qt::Key_Printer, false, VK_PRINT},
    {Qt::Key_Print, false, VK_SNAPSHOT},
    {Qt::Key_SysReq, false, VK_SNAPSHOT},
    {Qt::Key_Insert, false, VK_INSERT},
    {Qt::Key_Delete, false, VK_DELETE},
    {Qt::Key_Help, false, VK_HELP},
    {Qt::Key_Meta, false, VK_LWIN},
    {Qt::Key_Super_L, false, VK_LWIN},
    {Qt::Key_Super_R, false, VK_RWIN},
    {Qt::Key_Menu, false, VK_APPS},
    {Qt::Key_NumLock, false, VK_NUMLOCK},
    {Qt::Key_ScrollLock, false, VK_SCROLL},
    // The numeric keypad's digits and operators.
    {Qt::Key_0, true, VK_NUMPAD0},
    {Qt::Key_1, true, VK_NUMPAD1},
    {Qt::Key_2, true, VK_NUMPAD2},
    {Qt::Key_3, true, VK_NUMPAD3},
    {Qt::Key_4, true, VK_NUMPAD4},
    {Qt::Key_5, true, VK_NUMPAD5},
    {Qt::Key_6, true, VK_NUMPAD6},
    {Qt::Key_7, true, VK_NUMPAD7},
    {Qt::Key_8, true, VK_NUMPAD8},
    {Qt::Key_9, true, VK_NUMPAD9},
    {Qt::Key_Asterisk, true, VK_MULTIPLY},
    {Qt::Key_Plus, true, VK_ADD},
    {Qt::Key_Minus, true, VK_SUBTRACT},
    {Qt::Key_Period, true, VK_DECIMAL},
    {Qt::Key_Comma, true, VK_DECIMAL},
    {Qt::Key_Slash, true, VK_DIVIDE},
    // Punctuation of the main keyboard, shifted and unshifted (US layout).
    {Qt::Key_Semicolon, false, VK_OEM_1},
    {Qt::Key_Colon, false, VK_OEM_1},
    {Qt::Key_Equal, false, VK_OEM_PLUS},
    {Qt::Key_Plus, false, VK_OEM_PLUS},
    {Qt::Key_Comma, false, VK_OEM_COMMA},
    {Qt::Key_Less, false, VK_OEM_COMMA},
    {Qt::Key_Minus, false, VK_OEM_MINUS},
    {Qt::Key_Underscore, false, VK_OEM_MINUS},
    {Qt::Key_Period, false, VK_OEM_PERIOD},
    {Qt::Key_Greater, false, VK_OEM_PERIOD},
    {Qt::Key_Slash, false, VK_OEM_2},
    {Qt::Key_Question, false, VK_OEM_2},
    {Qt::Key_QuoteLeft, false, VK_OEM_3},
    {Qt::Key_AsciiTilde, false, VK_OEM_3},
    {Qt::Key_BracketLeft, false, VK_OEM_4},
    {Qt::Key_BraceLeft, false, VK_OEM_4},
    {Qt::Key_Backslash, false, VK_OEM_5},
    {Qt::Key_Bar, false, VK_OEM_5},
    {Qt::Key_BracketRight, false, VK_OEM_6},
    {Qt::Key_BraceRight, false, VK_OEM_6},
    {Qt::Key_Apostrophe, false, VK_OEM_7},
    {Qt::Key_QuoteDbl, false, VK_OEM_7},
    // Shifted digits of the main keyboard are the digit keys.
    {Qt::Key_Exclam, false, '1'},
    {Qt::Key_At, false, '2'},
    {Qt::Key_NumberSign, false, '3'},
    {Qt::Key_Dollar, false, '4'},
    {Qt::Key_Percent, false, '5'},
    {Qt::Key_AsciiCircum, false, '6'},
    {Qt::Key_Ampersand, false, '7'},
    {Qt::Key_Asterisk, false, '8'},
    {Qt::Key_ParenLeft, false, '9'},
    {Qt::Key_ParenRight, false, '0'},
};

// Unicode code points of the Windows-1252 bytes 0x80..0x9F (0 where the byte is unused).
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

std::array<bool, 256>& KeyStates()
{
    static std::array<bool, 256> states{};
    return states;
}

} // namespace

WORD KeyCodeFromQtKey(int qtKey, bool keypad)
{
    if (keypad)
        for (const auto& k : NamedKeys)
            if (k.keypad && k.qt == qtKey)
                return k.code;
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return static_cast<WORD>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
    for (const auto& k : NamedKeys)
        if (!k.keypad && k.qt == qtKey)
            return k.code;
    const unsigned span = VK_UNKNOWN_LAST - VK_UNKNOWN_FIRST + 1;
    return static_cast<WORD>(VK_UNKNOWN_FIRST + static_cast<unsigned>(qtKey) % span);
}

char Cp1252FromUnicode(char32_t c)
{
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(c));
    for (unsigned i = 0; i < 32; ++i)
        if (Cp1252High[i] != 0 && Cp1252High[i] == c)
            return static_cast<char>(static_cast<unsigned char>(0x80 + i));
    return 0;
}

char KeyCharFor(WORD keyCode, TShiftState shift, char32_t typed)
{
    if (shift.Contains(ssAlt))
        return 0;
    if (shift.Contains(ssCtrl)) {
        if (keyCode >= 'A' && keyCode <= 'Z')
            return static_cast<char>(keyCode - 'A' + 1);
        switch (keyCode) {
        case VK_RETURN: return 10;
        case VK_BACK: return 127;
        case VK_OEM_4: return 27;
        case VK_OEM_5: return 28;
        case VK_OEM_6: return 29;
        default: return 0;
        }
    }
    switch (keyCode) {
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_SPACE: return ' ';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DIVIDE: return '/';
    case VK_DECIMAL: return '.';
    default: break;
    }
    if (keyCode >= VK_NUMPAD0 && keyCode <= VK_NUMPAD9)
        return static_cast<char>('0' + (keyCode - VK_NUMPAD0));
    if (typed >= 0x20 && typed != 0x7F)
        return Cp1252FromUnicode(typed);
    return 0;
}

WORD KeyCodeFromEvent(const QKeyEvent& event)
{
    return KeyCodeFromQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

char KeyCharFromEvent(const QKeyEvent& event)
{
    const QString text = event.text();
    char32_t typed = 0;
    if (!text.isEmpty()) {
        const auto ucs4 = text.toUcs4();
        if (ucs4.size() == 1)
            typed = ucs4[0];
    }
    return KeyCharFor(KeyCodeFromEvent(event), ShiftStateFromQt(event.modifiers(), Qt::NoButton), typed);
}

int QtKeyFromKeyCode(WORD keyCode, bool& keypad)
{
    keypad = false;
    if ((keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z'))
        return keyCode;
    if (keyCode >= VK_F1 && keyCode <= VK_F24)
        return Qt::Key_F1 + (keyCode - VK_F1);
    for (const auto& k : NamedKeys)
        if (k.code == keyCode) {
            keypad = k.keypad;
            return k.qt;
        }
    return Qt::Key_unknown;
}

QString QtTextForKeyCode(WORD keyCode, TShiftState shift)
{
    static const char ShiftedDigits[] = ")!@#$%^&*(";
    const bool shifted = shift.Contains(ssShift);
    if (keyCode >= 'A' && keyCode <= 'Z')
        return QString(QChar(shifted ? keyCode : keyCode - 'A' + 'a'));
    if (keyCode >= '0' && keyCode <= '9')
        return QString(QChar(shifted ? ShiftedDigits[keyCode - '0'] : keyCode));
    if (keyCode >= VK_NUMPAD0 && keyCode <= VK_NUMPAD9)
        return QString(QChar('0' + (keyCode - VK_NUMPAD0)));
    struct Typed {
        WORD code;
        char plain;
        char shifted;
    };
    static const Typed Table[] = {
        {VK_SPACE, ' ', ' '}, {VK_RETURN, '\r', '\r'}, {VK_ESCAPE, '\x1b', '\x1b'},
        {VK_BACK, '\b', '\b'}, {VK_TAB, '\t', '\t'}, {VK_MULTIPLY, '*', '*'},
        {VK_ADD, '+', '+'}, {VK_SUBTRACT, '-', '-'}, {VK_DIVIDE, '/', '/'},
        {VK_DECIMAL, '.', '.'}, {VK_OEM_1, ';', ':'}, {VK_OEM_PLUS, '=', '+'},
        {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
        {VK_OEM_2, '/', '?'}, {VK_OEM_3, '`', '~'}, {VK_OEM_4, '[', '{'},
        {VK_OEM_5, '\\', '|'}, {VK_OEM_6, ']', '}'}, {VK_OEM_7, '\'', '"'}};
    for (const auto& t : Table)
        if (t.code == keyCode)
            return QString(QChar(shifted ? t.shifted : t.plain));
    return {};
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (modifiers & Qt::ShiftModifier)
        s.Include(ssShift);
    if (modifiers & Qt::ControlModifier)
        s.Include(ssCtrl);
    if (modifiers & Qt::AltModifier)
        s.Include(ssAlt);
    if (buttons & Qt::LeftButton)
        s.Include(ssLeft);
    if (buttons & Qt::RightButton)
        s.Include(ssRight);
    if (buttons & Qt::MiddleButton)
        s.Include(ssMiddle);
    return s;
}

Qt::KeyboardModifiers QtModifiersFromShiftState(TShiftState shift)
{
    Qt::KeyboardModifiers m;
    if (shift.Contains(ssShift))
        m |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl))
        m |= Qt::ControlModifier;
    if (shift.Contains(ssAlt))
        m |= Qt::AltModifier;
    return m;
}

void NoteKeyState(int keyCode, bool down)
{
    if (keyCode >= 0 && keyCode < 256)
        KeyStates()[static_cast<size_t>(keyCode)] = down;
}

void ClearKeyStates()
{
    KeyStates().fill(false);
}

int16_t GetAsyncKeyState(int keyCode)
{
    if (keyCode < 0 || keyCode >= 256)
        return 0;
    // A button the window system reports held is down before its press reaches any
    // handler (a click's focus change comes first).
    if (QGuiApplication::instance() && (keyCode == VK_LBUTTON || keyCode == VK_RBUTTON || keyCode == VK_MBUTTON)) {
        const Qt::MouseButton b = keyCode == VK_LBUTTON   ? Qt::LeftButton
                                  : keyCode == VK_RBUTTON ? Qt::RightButton
                                                          : Qt::MiddleButton;
        if (QGuiApplication::mouseButtons() & b)
            return static_cast<int16_t>(0x8000);
    }
    return KeyStates()[static_cast<size_t>(keyCode)] ? static_cast<int16_t>(0x8000) : 0;
}

std::optional<TPoint>& CursorPosOverride()
{
    static std::optional<TPoint> pos;
    return pos;
}

TPoint GetCursorPos()
{
    if (CursorPosOverride())
        return *CursorPosOverride();
    if (!QGuiApplication::instance())
        return {};
    const QPoint p = QCursor::pos();
    return TPoint{p.x(), p.y()};
}
