// Input devices: key bindings, held and latched actions, typed text and hot-words.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "platform/Keys.h"
#include "platform/TestHooks.h"
#include "tesk/game/Inputs.h"

namespace {

TEST(InputDevice, BindingKeepsTwoKeysAndAThirdReplacesBoth)
{
    tInputDevice d;
    d.BindKey(9, 117);
    d.BindKey(9, 82);
    EXPECT_EQ(d.ActionForKey(117), 9);
    EXPECT_EQ(d.ActionForKey(82), 9);
    d.BindKey(9, 70);
    EXPECT_EQ(d.ActionForKey(70), 9);
    EXPECT_EQ(d.ActionForKey(117), 0);
    EXPECT_EQ(d.ActionForKey(82), 0);
    EXPECT_EQ(d.Actions[9].Keys[1], 0);
    // Out-of-range actions are ignored.
    d.BindKey(14, 5);
    d.BindKey(-1, 5);
    EXPECT_EQ(d.ActionForKey(5), 0);
    // A key bound to two actions triggers the lower one.
    d.BindKey(3, 40);
    d.BindKey(2, 40);
    d.KeyDown(40);
    EXPECT_TRUE(d.IsLatched(2));
    EXPECT_FALSE(d.IsLatched(3));
}

TEST(InputDevice, HeldKeysLatchOnceAndTheLeftButtonEveryTime)
{
    tInputDevice d;
    d.BindKey(1, 1);
    d.BindKey(2, 38);
    d.KeyDown(38);
    EXPECT_TRUE(d.IsPressed(2));
    EXPECT_TRUE(d.IsLatched(2));
    EXPECT_EQ(d.LastAction, 2);
    d.ClearLatched(1 << 2);
    d.KeyDown(38);  // auto-repeat
    EXPECT_FALSE(d.IsLatched(2));
    EXPECT_TRUE(d.IsActive(2));
    d.KeyUp(38);
    EXPECT_FALSE(d.IsActive(2));

    d.KeyDown(1);
    d.ClearLatched(0xFFFF);
    d.KeyDown(1);
    EXPECT_TRUE(d.IsLatched(1));
    // Release keeps the latch.
    d.KeyUp(1);
    EXPECT_FALSE(d.IsPressed(1));
    EXPECT_TRUE(d.IsLatched(1));
    // The mask clears only its actions.
    d.KeyDown(38);
    d.ClearLatched(1 << 1);
    EXPECT_FALSE(d.IsLatched(1));
    EXPECT_TRUE(d.IsLatched(2));
    EXPECT_FALSE(d.IsLatched(99));
    EXPECT_FALSE(d.IsPressed(-1));
}

TEST(InputDevice, AnyKeyIgnoresShiftAndAlt)
{
    struct Case {
        uint16_t key;
        bool any;
    };
    for (const Case& c : {Case{16, false}, Case{18, false}, Case{17, true}, Case{65, true}, Case{999, true}}) {
        tInputDevice d;
        d.KeyDown(c.key);
        EXPECT_EQ(d.AnyKey, c.any) << c.key;
    }
    tInputDevice d;
    d.KeyDown(65);
    d.ClearLatched(0);
    EXPECT_FALSE(d.AnyKey);
}

TEST(InputDevice, AssignCopiesActionsButNotTextOrHotWords)
{
    tInputDevice a;
    tInputDevice b;
    a.BindKey(4, 37);
    a.KeyDown(37);
    a.SetTyping(true);
    a.KeyChar('x');
    a.AddCheatCode("abc", [] {});
    b.Assign(a);
    EXPECT_TRUE(b.IsPressed(4));
    EXPECT_TRUE(b.IsLatched(4));
    EXPECT_EQ(b.ActionForKey(37), 4);
    EXPECT_EQ(b.LastAction, 4);
    EXPECT_TRUE(b.AnyKey);
    EXPECT_FALSE(b.Typing);
    EXPECT_TRUE(b.TypedText.empty());
    EXPECT_TRUE(b.CheatCodes.empty());
}

TEST(InputDevice, ResetKeysReadsTheKeyboardButNotTheLeftButton)
{
    tInputDevice d;
    d.BindKey(1, 1);
    d.BindKey(8, 2);
    d.BindKey(8, 27);
    d.BindKey(2, 38);
    d.KeyDown(38);
    d.KeyDown(1);
    const std::set<uint16_t> down{1, 27};
    d.ResetKeys([&](uint16_t k) { return down.count(k) > 0; });
    EXPECT_FALSE(d.IsPressed(1));
    EXPECT_TRUE(d.IsPressed(8));
    EXPECT_FALSE(d.IsPressed(2));
    for (int a = 0; a < ActionCount; ++a)
        EXPECT_FALSE(d.IsLatched(a));
    EXPECT_EQ(d.LastAction, 0);
}

TEST(InputDevice, ResetKeysAsksThePlatformKeyState)
{
    tInputDevice d;
    d.BindKey(1, VK_LBUTTON);
    d.BindKey(8, VK_RBUTTON);
    d.BindKey(2, VK_UP);
    TestHooks::SetKeyState(VK_RBUTTON, true);
    TestHooks::SetKeyState(VK_LBUTTON, true);
    d.KeyDown(VK_UP);
    d.ResetKeys();
    TestHooks::SetKeyState(VK_RBUTTON, false);
    TestHooks::SetKeyState(VK_LBUTTON, false);
    EXPECT_TRUE(d.IsPressed(8));
    EXPECT_FALSE(d.IsPressed(1));
    EXPECT_FALSE(d.IsPressed(2));
    EXPECT_FALSE(d.IsLatched(2));
}

TEST(InputDevice, TypedTextBuffersAndEdits)
{
    tInputDevice d;
    d.KeyChar('a');
    EXPECT_EQ(d.TypedLength(), 0);  // not typing
    d.SetTyping(true);
    for (char c : std::string("Hi\x01!"))
        d.KeyChar(c);
    EXPECT_EQ(d.TypedLength(), 4);
    EXPECT_EQ(d.PopTypedChar(), 'H');
    EXPECT_EQ(d.EditString("ab"), "abi!");
    EXPECT_EQ(d.TypedLength(), 0);
    EXPECT_EQ(d.PopTypedChar(), 0);
    for (char c : {'\b', '\b', '\b', 'z', '\b', '\xe9'})
        d.KeyChar(c);
    EXPECT_EQ(d.EditString("ab"), "\xe9");
    d.KeyChar('q');
    d.SetTyping(true);  // switching on empties the buffer
    EXPECT_EQ(d.TypedLength(), 0);
}

TEST(InputDevice, HotWordsFireWhenTypedInFull)
{
    struct Case {
        const char* typed;
        int fires;
    };
    // The character that breaks a match does not start a new one, so a doubled first
    // letter misses.
    for (const Case& c : {Case{"quokka", 1}, Case{"QuOkKa", 1}, Case{"qquokka", 0}, Case{"xquokka", 1},
                          Case{"quokkaquokka", 2}, Case{"quokk", 0}, Case{"quokkquokka", 0}, Case{"quo-kka", 0}}) {
        tInputDevice d;
        int fired = 0;
        int other = 0;
        d.AddCheatCode("Quokka", [&] { ++fired; });
        d.AddCheatCode("ka", [&] { ++other; });
        for (const char* p = c.typed; *p; ++p)
            d.KeyChar(*p);
        EXPECT_EQ(fired, c.fires) << c.typed;
        EXPECT_EQ(d.CheatCodes[0]->Text, "quokka");
    }
    // Every hot-word is fed every character.
    tInputDevice d;
    int a = 0;
    int b = 0;
    d.AddCheatCode("kab", [&] { ++a; });
    d.AddCheatCode("ab", [&] { ++b; });
    for (char ch : std::string("kab"))
        d.KeyChar(ch);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
}

// A letter that goes on with a hot-word already begun belongs to the word alone: the R
// of both of the engine's words does not restart, while R alone, R after a letter that
// begins no match and R after a finished word do, and F6 is untouched.
TEST(InputDevice, ALetterThatGoesOnWithABegunHotWordActsAsNoKey)
{
    struct Case {
        const char* typed;     // letters, each a key-down, its character and a key-up
        bool restart;          // action 9 latched
        int recorded, replayed;
    };
    for (const Case& c : {Case{"glimmerhound", false, 1, 0}, Case{"BRACKLE", false, 0, 1}, Case{"r", true, 0, 0},
                          Case{"gr", true, 0, 0}, Case{"xbr", false, 0, 0}, Case{"brackler", true, 0, 1},
                          Case{"glimmer", false, 0, 0}, Case{"brr", true, 0, 0}}) {
        SCOPED_TRACE(c.typed);
        tInputDevice d;
        d.BindKey(9, VK_F6);
        d.BindKey(9, 'R');
        int recorded = 0, replayed = 0;
        d.AddCheatCode("glimmerhound", [&] { ++recorded; });
        d.AddCheatCode("brackle", [&] { ++replayed; });
        for (const char* p = c.typed; *p; ++p) {
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
            d.KeyDown(static_cast<uint16_t>(upper));
            d.KeyChar(*p);
            d.KeyUp(static_cast<uint16_t>(upper));
        }
        EXPECT_EQ(d.IsLatched(9), c.restart);
        EXPECT_EQ(recorded, c.recorded);
        EXPECT_EQ(replayed, c.replayed);
    }
    // A key the word took stays the word's while it is held: its repeats press nothing,
    // and its release leaves F6, held all along, held.
    tInputDevice d;
    d.BindKey(9, VK_F6);
    d.BindKey(9, 'R');
    d.AddCheatCode("brackle", [] {});
    d.KeyDown(VK_F6);
    d.ClearLatched(0x3FFF);
    d.KeyChar('b');
    d.KeyDown('R');
    d.KeyChar('r');
    d.KeyDown('R');
    EXPECT_FALSE(d.IsLatched(9));
    d.KeyUp('R');
    EXPECT_TRUE(d.IsPressed(9));
    // An activation forgets the keys the words took (their release may never come): the
    // next R, once the word is broken, restarts.
    d.KeyChar('b');
    d.KeyDown('R');
    d.ResetKeys([](uint16_t) { return false; });
    d.KeyChar('x');
    d.KeyDown('R');
    EXPECT_TRUE(d.IsLatched(9));
}

}  // namespace
