#pragma once
// Input devices: key codes mapped to 14 numbered actions, each with up to two keys, a
// held flag and a latch; a buffer of typed text; and typed hot-words that run an action
// when typed in full. Game code asks for actions only, never for keys.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

constexpr int ActionCount = 14;

// A typed hot-word: fires its action when its letters are typed one after the other.
class tCheatCode {
public:
    tCheatCode(std::string text, std::function<void()> action);
    // Feeds one (lower-cased) typed character.
    void FeedChar(char ch);

    std::string Text;  // lower case
    std::function<void()> Action;
    int32_t Position = 0;  // characters matched so far
};

class tInputDevice {
public:
    struct tAction {
        std::array<uint16_t, 2> Keys{};  // 0 = unused
        bool Pressed = false;            // held now
        bool Latched = false;            // pressed since the latch was last cleared
    };

    tInputDevice();
    ~tInputDevice();
    tInputDevice(const tInputDevice&) = delete;
    tInputDevice& operator=(const tInputDevice&) = delete;

    // Key slots: the first unused of the action's two; when both are used, both are
    // cleared and the key goes into the first.
    void BindKey(int action, uint16_t key);
    // The first action (0..13, first then second key) bound to the key; 0 when none.
    int ActionForKey(uint16_t key) const;

    void KeyDown(uint16_t key);
    void KeyUp(uint16_t key);
    void Press(int action);
    void Release(int action);
    bool IsPressed(int action) const;
    bool IsLatched(int action) const;
    bool IsActive(int action) const { return IsPressed(action) || IsLatched(action); }
    // Clears the latches of the actions whose bit is set, then AnyKey.
    void ClearLatched(uint16_t mask);
    // Copies the actions, LastAction and AnyKey (not the typed text or the hot-words).
    void Assign(const tInputDevice& other);

    // Typed characters.
    void KeyChar(char ch);
    void SetTyping(bool on);
    int32_t TypedLength() const { return static_cast<int32_t>(TypedText.size()); }
    char PopTypedChar();
    // Applies the buffered characters to s: backspace (8) deletes the last character,
    // codes 32 and above are appended, others dropped. The buffer ends empty.
    std::string EditString(const std::string& s);

    // Clears every latch and reads the held flags from the keyboard as it is now (the
    // left mouse button excepted), after the window was activated.
    void ResetKeys(const std::function<bool(uint16_t key)>& keyIsDown);
    // The same with the platform's key state (GetAsyncKeyState).
    void ResetKeys();

    void AddCheatCode(const std::string& text, std::function<void()> action);
    // Whether the key's letter goes on with a hot-word already begun (one letter or more
    // matched): such a key is the hot-word's alone and acts as no game key, so the "r"
    // of "glimmerhound" or "brackle" does not restart the level.
    bool ContinuesHotWord(uint16_t key) const;

    bool Typing = false;
    std::string TypedText;
    std::vector<std::unique_ptr<tCheatCode>> CheatCodes;
    std::array<tAction, ActionCount> Actions{};
    uint8_t LastAction = 0;
    bool AnyKey = false;
    // Keys held down that went to a hot-word: their repeats and their release act on
    // nothing either.
    std::vector<uint16_t> HotWordKeys;
};
