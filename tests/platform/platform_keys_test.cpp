#include <gtest/gtest.h>

#include <ostream>

#include "platform/Keys.h"

// Qt's key values (Qt::Key), as the window system delivers them.
namespace qt {
constexpr int Escape = 0x01000000, Tab = 0x01000001, Backspace = 0x01000003, Return = 0x01000004,
              Enter = 0x01000005, Insert = 0x01000006, Delete = 0x01000007, Home = 0x01000010,
              End = 0x01000011, Left = 0x01000012, Up = 0x01000013, Right = 0x01000014,
              Down = 0x01000015, PageUp = 0x01000016, Shift = 0x01000020, Control = 0x01000021,
              Alt = 0x01000023, F1 = 0x01000030, F2 = 0x01000031, F6 = 0x01000035, F12 = 0x0100003b,
              VolumeUp = 0x01000072, Space = 0x20, Plus = 0x2b, Minus = 0x2d, Asterisk = 0x2a,
              Digit5 = 0x35, A = 0x41, R = 0x52, Adiaeresis = 0xc4;
}

struct KeyCase {
    int qtKey;
    bool keypad;
    WORD code;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << "qt " << c.qtKey << (c.keypad ? " keypad" : ""); }


class KeyCodeTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyCodeTest, MapsQtKeysToVirtualKeys)
{
    EXPECT_EQ(KeyCodeFromQtKey(GetParam().qtKey, GetParam().keypad), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyCodeTest, ::testing::Values(
    // The keypad's + and - are not the main keyboard's.
    KeyCase{qt::Plus, true, VK_ADD}, KeyCase{qt::Plus, false, VK_OEM_PLUS},
    KeyCase{qt::Minus, true, VK_SUBTRACT}, KeyCase{qt::Minus, false, VK_OEM_MINUS},
    KeyCase{qt::Asterisk, true, VK_MULTIPLY}, KeyCase{qt::Digit5, true, VK_NUMPAD5},
    KeyCase{qt::Digit5, false, '5'}, KeyCase{qt::A, false, 'A'}, KeyCase{qt::R, false, 82},
    KeyCase{qt::Return, false, 13}, KeyCase{qt::Enter, true, 13}, KeyCase{qt::Escape, false, 27},
    KeyCase{qt::Space, false, 32}, KeyCase{qt::Tab, false, 9}, KeyCase{qt::Backspace, false, 8},
    KeyCase{qt::Shift, false, 16}, KeyCase{qt::Control, false, 17}, KeyCase{qt::Alt, false, 18},
    KeyCase{qt::End, false, 35}, KeyCase{qt::Home, false, 36}, KeyCase{qt::Left, false, 37},
    KeyCase{qt::Up, false, 38}, KeyCase{qt::Right, false, 39}, KeyCase{qt::Down, false, 40},
    KeyCase{qt::PageUp, false, 33}, KeyCase{qt::Insert, false, 45}, KeyCase{qt::Delete, false, 46},
    // Keypad keys with Num Lock off are the navigation keys.
    KeyCase{qt::Home, true, 36}, KeyCase{qt::F1, false, 112}, KeyCase{qt::F2, false, 113},
    KeyCase{qt::F6, false, 117}, KeyCase{qt::F12, false, 123}));

TEST(KeyCode, UnknownKeysGetAStableNonZeroCode)
{
    for (int key : {qt::Adiaeresis, qt::VolumeUp, 0x01ffffff}) {
        const WORD code = KeyCodeFromQtKey(key, false);
        EXPECT_GE(code, VK_UNKNOWN_FIRST) << key;
        EXPECT_LE(code, VK_UNKNOWN_LAST) << key;
        EXPECT_EQ(KeyCodeFromQtKey(key, false), code) << key;
    }
}

struct CharCase {
    WORD code;
    TShiftState shift;
    char32_t typed;
    char expected;
};
void PrintTo(const CharCase& c, std::ostream* os) { *os << "key " << c.code << " typed " << static_cast<uint32_t>(c.typed); }


class KeyCharTest : public ::testing::TestWithParam<CharCase> {};

TEST_P(KeyCharTest, TypesTheCharacterTheOriginalTranslationGave)
{
    const auto& c = GetParam();
    EXPECT_EQ(static_cast<unsigned char>(KeyCharFor(c.code, c.shift, c.typed)),
              static_cast<unsigned char>(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Chars, KeyCharTest, ::testing::Values(
    CharCase{VK_RETURN, {}, U'\r', 13}, CharCase{VK_ESCAPE, {}, 0x1b, 27},
    CharCase{VK_BACK, {}, 8, 8}, CharCase{VK_TAB, {}, 9, 9}, CharCase{VK_SPACE, {}, U' ', ' '},
    CharCase{'C', {ssCtrl}, 3, 3}, CharCase{'V', {ssCtrl}, 22, 22}, CharCase{'A', {}, U'a', 'a'},
    CharCase{'A', {ssShift}, U'A', 'A'}, CharCase{VK_ADD, {}, U'+', '+'},
    CharCase{VK_NUMPAD7, {}, U'7', '7'},
    // Nothing while Alt is held, and nothing for keys that type nothing.
    CharCase{'A', {ssAlt}, U'a', 0}, CharCase{VK_RETURN, {ssAlt}, U'\r', 0},
    CharCase{VK_LEFT, {}, 0, 0}, CharCase{VK_F1, {}, 0, 0}, CharCase{VK_DELETE, {}, 0x7f, 0},
    CharCase{VK_INSERT, {}, 0, 0},
    // Single-byte characters of Windows-1252; others are dropped.
    CharCase{VK_UNKNOWN_FIRST, {}, U'\u00e9', '\xe9'}, CharCase{VK_UNKNOWN_FIRST, {}, U'\u20ac', '\x80'},
    CharCase{VK_UNKNOWN_FIRST, {}, U'\u0434', 0}));

TEST(ShortCut, AddsTheModifierBits)
{
    EXPECT_EQ(ShortCut(VK_DOWN, {ssAlt}), 32808);
    EXPECT_EQ(ShortCut('A', {ssCtrl, ssShift}), 0x6041);
    EXPECT_EQ(ShortCut(VK_F2, {}), VK_F2);
}

TEST(ShiftState, IsASetOfFlags)
{
    TShiftState s{ssShift, ssDouble};
    EXPECT_TRUE(s.Contains(ssShift));
    EXPECT_TRUE(s.Contains(ssDouble));
    EXPECT_FALSE(s.Contains(ssAlt));
    s.Exclude(ssShift).Include(ssAlt);
    EXPECT_EQ(s, (TShiftState{ssAlt, ssDouble}));
    EXPECT_TRUE(TShiftState{}.Empty());
}
