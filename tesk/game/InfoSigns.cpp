// Information signs and their triggers.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DirectDraw.h"
#include "platform/Forms.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

TP_CLASS_INFO(tInfo, tPlayerAwareUnit,
              StrProp("Caption", &tInfo::GetCaption, &tInfo::SetCaption),
              StrProp("ImageName", &tInfo::GetImageName, &tInfo::SetImageName),
              BoolProp("PopupOnce", &tInfo::GetPopupOnce, &tInfo::SetPopupOnce),
              StrProp("Trigger", &tInfo::GetTrigger, &tInfo::SetTrigger),
              IntProp("TriggerDelay", &tInfo::GetTriggerDelay, &tInfo::SetTriggerDelay))

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (LowerChar(text[i]) != LowerChar(prefix[i]))
            return false;
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct tKeyword {
    std::string_view Text;
    bool Location;
    uint8_t Code;  // the quantity, or the test of a location
};
constexpr std::array<tKeyword, 6> Keywords = {{{"KeysLeft", false, tqKeysLeft},
                                               {"KeysCollected", false, tqKeysCollected},
                                               {"GemsLeft", false, tqGemsLeft},
                                               {"GemsCollected", false, tqGemsCollected},
                                               {"At", true, ttAt},
                                               {"BeenTo", true, ttBeenTo}}};

struct tOperator {
    std::string_view Text;
    uint8_t Test;
};
constexpr std::array<tOperator, 6> Operators = {{{"=", ttEqual},
                                                 {"<", ttLess},
                                                 {">", ttGreater},
                                                 {"<>", ttDifferent},
                                                 {">=", ttGreaterOrEqual},
                                                 {"<=", ttLessOrEqual}}};

// One term's text (without its ";"); raises Exception with the reason.
tTriggerTerm ParseTerm(std::string_view t, int n)
{
    tTriggerTerm term;
    const tKeyword* keyword = nullptr;
    for (const tKeyword& k : Keywords)
        if (StartsWithNoCase(t, k.Text)) {
            keyword = &k;
            break;
        }
    if (!keyword)
        throw Exception("Bad start to trigger " + std::to_string(n));
    t.remove_prefix(keyword->Text.size());
    if (!keyword->Location) {
        term.Quantity = keyword->Code;
        size_t digit = 0;
        while (digit < t.size() && !IsDigit(t[digit]))
            ++digit;
        const std::string_view op = t.substr(0, digit);
        t.remove_prefix(digit);
        const tOperator* found = nullptr;
        for (const tOperator& o : Operators)
            if (o.Text == op)
                found = &o;
        if (!found)
            throw Exception("Invalid operator in trigger " + std::to_string(n));
        term.Test = found->Test;
        term.Value = StrToInt(std::string(t));
        return term;
    }
    term.Test = keyword->Code;
    if (t.empty() || t.front() != '(' || t.back() != ')' || t.size() < 2)
        throw Exception("Not a valid location Specified in trigger " + std::to_string(n));
    t = t.substr(1, t.size() - 2);
    const size_t comma = t.find(',');
    term.Y = StrToInt(comma == std::string_view::npos ? std::string() : std::string(t.substr(comma + 1)));
    term.X = StrToInt(std::string(t.substr(0, comma)));
    return term;
}

bool Compare(int64_t quantity, const tTriggerTerm& term)
{
    switch (term.Test) {
    case ttEqual: return quantity == term.Value;
    case ttLess: return quantity < term.Value;
    case ttGreater: return quantity > term.Value;
    case ttLessOrEqual: return quantity <= term.Value;
    case ttGreaterOrEqual: return quantity >= term.Value;
    case ttDifferent: return quantity != term.Value;
    default: return false;
    }
}

int64_t QuantityOf(uint8_t quantity)
{
    switch (quantity) {
    case tqKeysLeft: return int64_t{LevelKeys} - CollectedKeys;
    case tqKeysCollected: return CollectedKeys;
    case tqGemsLeft: return int64_t{LevelGems} - CollectedGems;
    default: return CollectedGems;
    }
}

}  // namespace

tInfo::tInfo()
{
    Occupies = false;
    PopupOnce = true;
}

void tInfo::SetCaption(const std::string& text)
{
    Caption = UpperCased(text);
}

void tInfo::SetTrigger(const std::string& text)
{
    Terms.clear();
    Trigger = text;
    std::string s = text;
    RemoveBlanks(s);
    try {
        // Terms split at ";"; a trailing ";" adds none, an empty one in between is an error.
        size_t at = 0;
        for (int n = 1; at < s.size(); ++n) {
            const size_t semi = s.find(';', at);
            const std::string_view term = std::string_view(s).substr(at, semi == std::string::npos ? std::string::npos : semi - at);
            at = semi == std::string::npos ? s.size() : semi + 1;
            Terms.push_back(ParseTerm(term, n));
        }
    } catch (const Exception& e) {
        Terms.clear();
        throw Exception("Couldn't Interpret Trigger String\r" + e.Message());
    }
}

void tInfo::DrawAtInitialCell()
{
    Shown = false;
    Sprite = &UnitSprites.SignPalette;
    tUnit::DrawAtInitialCell();
}

void tInfo::Reset()
{
    tUnit::Reset();
    Triggered = false;
    Countdown = 0;
    // The sign never blocks and is never live.
    Occupies = false;
}

bool tInfo::TermsHold() const
{
    const tPlayer* hero = Player();
    for (const tTriggerTerm& t : Terms) {
        bool holds = false;
        if (t.Test == ttAt)
            holds = hero && hero->IsAt(t.X, t.Y);
        else if (t.Test == ttBeenTo)
            holds = hero && hero->HasVisited(t.X, t.Y);
        else
            holds = Compare(QuantityOf(t.Quantity), t);
        if (!holds)
            return false;
    }
    return true;
}

void tInfo::TakeTurn()
{
    if (PopupOnce && Shown)
        return;
    if (Recorder.State() == rsRecording || Recorder.State() == rsPlaying)
        return;
    const tPlayer* hero = Player();
    if (!hero)
        return;
    if (Triggered && Countdown > 0)
        --Countdown;
    // The countdown is armed in the turn the condition begins to hold, so a condition
    // that goes on holding still opens the sign after the delay.
    if (!Triggered) {
        const bool holds = Terms.empty() ? hero->CellX == CellX && hero->CellY == CellY : TermsHold();
        if (holds) {
            Triggered = true;
            Countdown = TriggerDelay;
        }
    }
    if (Triggered && Countdown == 0)
        OpenPopUp();
}

void tInfo::OpenPopUp()
{
    Dead = true;
    // Copies: the pop-up runs modally, and nothing of this sign is touched after it.
    const std::string image = ImageName;
    const std::string caption = Caption;
    if (!IsContainedDataName(image) || !PackageFileExists(image))
        return;
    Shown = true;
    TPoint anchor{CellX * 32 + 16 + PlayfieldX, CellY * 32 + 16};
    if (DirectDrawObject)
        DirectDrawObject->FlipToGDISurface();
    if (MainFormRef)
        anchor = MainFormRef->ClientToScreen(anchor);
    if (PopUp)
        PopUp->ShowPopUp(image, anchor, caption);
    else if (PopUpShowHook)
        PopUpShowHook(image, anchor, caption);
}
