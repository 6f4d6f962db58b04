#include "tesk/game/Inputs.h"

#include <algorithm>

#include "platform/Keys.h"
#include "tesk/toolkit/Misc.h"

namespace {

constexpr int ActionSelect = 1;

bool ValidAction(int action)
{
    return action >= 0 && action < ActionCount;
}

}  // namespace

tCheatCode::tCheatCode(std::string text, std::function<void()> action)
    : Text(LowerCased(std::move(text))), Action(std::move(action))
{
}

void tCheatCode::FeedChar(char ch)
{
    if (Position < static_cast<int32_t>(Text.size()) && ch == Text[static_cast<size_t>(Position)]) {
        ++Position;
        if (Position == static_cast<int32_t>(Text.size())) {
            Position = 0;
            if (Action)
                Action();
        }
    } else {
        // The breaking character is not tried as a new start.
        Position = 0;
    }
}

tInputDevice::tInputDevice() = default;
tInputDevice::~tInputDevice() = default;

void tInputDevice::BindKey(int action, uint16_t key)
{
    if (!ValidAction(action))
        return;
    auto& keys = Actions[static_cast<size_t>(action)].Keys;
    if (keys[0] == 0)
        keys[0] = key;
    else if (keys[1] == 0)
        keys[1] = key;
    else {
        keys[0] = key;
        keys[1] = 0;
    }
}

int tInputDevice::ActionForKey(uint16_t key) const
{
    for (int a = 0; a < ActionCount; ++a)
        for (uint16_t k : Actions[static_cast<size_t>(a)].Keys)
            if (k == key)
                return a;
    return 0;
}

void tInputDevice::KeyDown(uint16_t key)
{
    const bool taken = std::find(HotWordKeys.begin(), HotWordKeys.end(), key) != HotWordKeys.end();
    if (taken || ContinuesHotWord(key)) {
        if (!taken)
            HotWordKeys.push_back(key);
        return;
    }
    if (key != VK_SHIFT && key != VK_MENU)
        AnyKey = true;
    const int action = ActionForKey(key);
    if (action != 0)
        Press(action);
}

void tInputDevice::KeyUp(uint16_t key)
{
    if (const auto it = std::find(HotWordKeys.begin(), HotWordKeys.end(), key); it != HotWordKeys.end()) {
        HotWordKeys.erase(it);
        return;
    }
    const int action = ActionForKey(key);
    if (action != 0)
        Release(action);
}

void tInputDevice::Press(int action)
{
    if (!ValidAction(action))
        return;
    tAction& a = Actions[static_cast<size_t>(action)];
    // A held key repeats without latching again; the left button latches on every press.
    if (a.Pressed && action != ActionSelect)
        return;
    AnyKey = true;
    LastAction = static_cast<uint8_t>(action);
    a.Pressed = true;
    a.Latched = true;
}

void tInputDevice::Release(int action)
{
    if (ValidAction(action))
        Actions[static_cast<size_t>(action)].Pressed = false;
}

bool tInputDevice::IsPressed(int action) const
{
    return ValidAction(action) && Actions[static_cast<size_t>(action)].Pressed;
}

bool tInputDevice::IsLatched(int action) const
{
    return ValidAction(action) && Actions[static_cast<size_t>(action)].Latched;
}

void tInputDevice::ClearLatched(uint16_t mask)
{
    for (int a = 0; a < ActionCount; ++a)
        if (mask & (1u << a))
            Actions[static_cast<size_t>(a)].Latched = false;
    AnyKey = false;
}

void tInputDevice::Assign(const tInputDevice& other)
{
    Actions = other.Actions;
    LastAction = other.LastAction;
    AnyKey = other.AnyKey;
}

void tInputDevice::KeyChar(char ch)
{
    if (Typing)
        TypedText += ch;
    const char lower = LowerChar(ch);
    // By index: a hot-word's action may add hot-words.
    for (size_t i = 0; i < CheatCodes.size(); ++i)
        CheatCodes[i]->FeedChar(lower);
}

void tInputDevice::SetTyping(bool on)
{
    Typing = on;
    if (on)
        TypedText.clear();
}

char tInputDevice::PopTypedChar()
{
    if (TypedText.empty())
        return 0;
    const char c = TypedText.front();
    TypedText.erase(0, 1);
    return c;
}

std::string tInputDevice::EditString(const std::string& s)
{
    std::string out = s;
    for (char c : TypedText) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u == 8) {
            if (!out.empty())
                out.pop_back();
        } else if (u >= 32) {
            out += c;
        }
    }
    TypedText.clear();
    return out;
}

void tInputDevice::ResetKeys(const std::function<bool(uint16_t key)>& keyIsDown)
{
    for (tAction& a : Actions) {
        a.Latched = false;
        bool down = false;
        for (uint16_t k : a.Keys)
            if (k != 0 && k != VK_LBUTTON && keyIsDown && keyIsDown(k))
                down = true;
        a.Pressed = down;
    }
    LastAction = 0;
    HotWordKeys.clear();
}

void tInputDevice::ResetKeys()
{
    ResetKeys([](uint16_t key) { return (GetAsyncKeyState(key) & 0x8000) != 0; });
}

bool tInputDevice::ContinuesHotWord(uint16_t key) const
{
    // Letter keys' codes are their capitals.
    if (key < 'A' || key > 'Z')
        return false;
    const char letter = static_cast<char>(key - 'A' + 'a');
    for (const auto& word : CheatCodes) {
        const auto at = static_cast<size_t>(word->Position);
        if (at > 0 && at < word->Text.size() && word->Text[at] == letter)
            return true;
    }
    return false;
}

void tInputDevice::AddCheatCode(const std::string& text, std::function<void()> action)
{
    CheatCodes.push_back(std::make_unique<tCheatCode>(text, std::move(action)));
}
