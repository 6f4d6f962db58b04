#include "tesk/game/SidePanel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "tesk/game/Levels.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"

std::string LevelTitleText;
std::string LevelNumberText = "  1";
bool SidePanelMenuClicked = false;
bool MenuButtonOver = false;
bool MenuButtonPressedInside = false;
float MenuButtonGlow = 0;

namespace {

const char* const PanelPicture = "SidePanel.jpg";
const char* const ButtonPicture = "BaseGfx.jpg";
const char* const DigitsPicture = "LevelDigits.jpg";

constexpr TRect PanelArea{0, 0, 128, 480};
constexpr TRect PlayfieldArea{128, 0, 640, 480};
// Title lines must stay narrower than this.
constexpr int32_t WrapWidth = 116;
constexpr int32_t TitleLineHeight = 20;
constexpr int32_t TitleCentreY = 150;

constexpr int32_t ButtonWidth = 96;
constexpr int32_t ButtonHeight = 48;
constexpr int32_t ButtonFrames = 6;
constexpr int32_t DigitWidth = 14;
constexpr int32_t DigitHeight = 32;
constexpr int32_t DigitPositions = 3;
constexpr int32_t DigitGlyphs = 12;
constexpr int32_t BlankGlyph = 10;
constexpr int32_t BGlyph = 11;

// The wrapped title lines.
std::vector<std::string> MessageLines;

// What the last redraw drew; the everything-changed flag makes the next redraw draw all
// of it whatever the values are.
struct tPanelCache {
    bool AllChanged = true;
    std::string Title;
    int32_t CollectedKeys = -1;
    int32_t CollectedGems = -1;
};
tPanelCache Cache;

std::array<tSprite, ButtonFrames> ButtonSprites;
tSprite PressedButtonSprite;
std::array<std::array<tSprite, DigitGlyphs>, DigitPositions> DigitSprites;

// Clamps a coordinate computed in 64 bits (text extents may be millions of pixels wide).
int32_t Clamped(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30));
}

std::string CounterText(int32_t collected, int32_t present)
{
    return ZeroPad(std::to_string(collected), 2) + "/" + ZeroPad(std::to_string(present), 2);
}

int32_t GlyphOf(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c == 'B' || c == 'b')
        return BGlyph;
    return BlankGlyph;
}

void SetFont(TCanvas& canvas, int32_t height, TFontStyles style)
{
    canvas.Font.Name = "MS Sans Serif";
    canvas.Font.Height = height;
    canvas.Font.Style = style;
}

// Gives the frame the playfield's clip rectangle on every way out of the redraw.
class tPlayfieldClip {
public:
    explicit tPlayfieldClip(tDib16& frame) : FFrame(frame) {}
    ~tPlayfieldClip() { FFrame.ClipRect = PlayfieldArea; }
    tPlayfieldClip(const tPlayfieldClip&) = delete;
    tPlayfieldClip& operator=(const tPlayfieldClip&) = delete;

private:
    tDib16& FFrame;
};

} // namespace

const std::vector<std::string>& SidePanelMessageLines() { return MessageLines; }

void InvalidateSidePanel() { Cache.AllChanged = true; }

void DrawSidePanelBackground()
{
    tDib16* frame = CurrentDib;
    if (!frame)
        return;
    tDib16* panel = FindOrLoadDib(PanelPicture, true);
    // Only the panel strip: a larger picture never reaches into the playfield, a smaller
    // one covers what it has.
    frame->CopyBlockFrom(*panel, 0, 0, PanelArea.Width(), PanelArea.Height(), 0, 0);
}

void WrapSidePanelMessage(TCanvas& canvas, const std::string& text)
{
    std::vector<std::string>& lines = MessageLines;
    lines.clear();
    const std::string_view rest(text);
    std::string line;
    size_t pos = 0;
    // Every pass takes one word, or ends a line that the word does not fit on; so the
    // loop ends after at most two passes a word.
    while (pos < rest.size()) {
        const size_t space = rest.find(' ', pos);
        const std::string_view word = rest.substr(pos, space == std::string_view::npos ? std::string_view::npos
                                                                                        : space - pos);
        std::string candidate = line;
        if (!line.empty())
            candidate += ' ';
        candidate += word;
        if (canvas.TextExtent(candidate).X >= WrapWidth) {
            if (!line.empty()) {
                lines.push_back(std::move(line));
                line.clear();
                continue;
            }
            // A word too wide for the panel on its own stands whole on a line of its own.
            lines.push_back(std::move(candidate));
        } else {
            line = std::move(candidate);
        }
        pos = space == std::string_view::npos ? rest.size() : space + 1;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
}

void DrawSidePanelMessage(TCanvas& canvas)
{
    const std::vector<std::string>& lines = MessageLines;
    const int64_t n = static_cast<int64_t>(lines.size());
    const int64_t first = TitleCentreY - (n * TitleLineHeight) / 2;
    // A line reaches at most this far from its centre (the font is 20 pixels high).
    constexpr int64_t reach = 4 * TitleLineHeight;
    for (int64_t k = 0; k < n; ++k) {
        const int64_t y = first + k * TitleLineHeight;
        if (y + reach < PanelArea.Top)
            continue;
        if (y - reach >= PanelArea.Bottom)
            break;
        DrawSidePanelText(canvas, 64, static_cast<int32_t>(y), lines[static_cast<size_t>(k)]);
    }
}

void DrawSidePanelText(TCanvas& canvas, int32_t x, int32_t y, const std::string& text)
{
    tDib16* frame = CurrentDib;
    if (!frame)
        return;
    canvas.Brush.Style = bsClear;
    const TPoint extent = canvas.TextExtent(text);
    const int64_t left = int64_t(x) - extent.X / 2;
    const int64_t top = int64_t(y) - extent.Y / 2;
    const TRect box{Clamped(left), Clamped(top), Clamped(left + extent.X + 3), Clamped(top + extent.Y + 3)};
    // Restored and drawn only inside the panel strip: a text wider than the panel never
    // reaches the playfield.
    const TRect area = IntersectRect(box, PanelArea);
    if (area.IsEmpty())
        return;
    tDib16* panel = FindOrLoadDib(PanelPicture, true);
    frame->CopyBlockFrom(*panel, area.Left, area.Top, area.Width(), area.Height(), area.Left, area.Top);
    const int32_t l = box.Left;
    const int32_t t = box.Top;
    const struct {
        int32_t DX, DY;
        int32_t Color;
    } passes[] = {{3, 1, 0x4080B0}, {2, 1, 0x4080B0}, {1, 0, 0x1B4C69}, {0, 0, 0x041830}};
    for (const auto& pass : passes) {
        canvas.Font.Color = static_cast<TColor>(BrightenColor(pass.Color));
        canvas.TextRect(area, l + pass.DX, t + pass.DY, text);
    }
}

void DrawLevelNumber()
{
    for (int32_t j = 0; j < DigitPositions; ++j) {
        const size_t at = static_cast<size_t>(j);
        const int32_t glyph = at < LevelNumberText.size() ? GlyphOf(static_cast<unsigned char>(LevelNumberText[at]))
                                                          : BlankGlyph;
        DigitSprites[at][static_cast<size_t>(glyph)].Draw(80 + DigitWidth * j, 80);
    }
}

void RedrawSidePanel()
{
    tDib16* frame = CurrentDib;
    if (!frame)
        return;
    tPlayfieldClip clip(*frame);
    const bool all = Cache.AllChanged;
    const bool title = all || LevelTitleText != Cache.Title;
    const bool keys = all || CollectedKeys != Cache.CollectedKeys;
    const bool gems = all || CollectedGems != Cache.CollectedGems;
    // Most ticks change no text: the device context is opened only for one that does.
    if (title || keys || gems) {
        // The canvas lets go of the handle before the device context is released.
        tDibDC dc(*frame);
        TCanvas canvas;
        canvas.SetHandle(dc.Handle());
        canvas.Brush.Style = bsClear;
        if (title) {
            SetFont(canvas, 20, fsBold);
            WrapSidePanelMessage(canvas, LevelTitleText);
            DrawSidePanelMessage(canvas);
        }
        SetFont(canvas, 25, 0);
        if (keys)
            DrawSidePanelText(canvas, 64, 244, CounterText(CollectedKeys, LevelKeys));
        if (gems)
            DrawSidePanelText(canvas, 64, 311, CounterText(CollectedGems, LevelGems));
        canvas.SetHandle(nullptr);
    }
    frame->ClipRect = PanelArea;
    if (MenuButtonPressedInside && MenuButtonOver) {
        PressedButtonSprite.Draw(64, 439);
    } else {
        const int32_t f = std::clamp(static_cast<int32_t>(std::nearbyint(MenuButtonGlow * 5.0f)), 0, ButtonFrames - 1);
        ButtonSprites[static_cast<size_t>(f)].Draw(64, 439);
    }
    DrawLevelNumber();
    Cache.Title = LevelTitleText;
    Cache.CollectedKeys = CollectedKeys;
    Cache.CollectedGems = CollectedGems;
    Cache.AllChanged = false;
}

void UpdateSidePanelMouse(TPoint point, bool newlyPressed, bool held)
{
    MenuButtonOver = point.X >= 27 && point.X <= 99 && point.Y >= 426 && point.Y <= 457;
    if (newlyPressed)
        MenuButtonPressedInside = MenuButtonOver;
    if (!held) {
        if (MenuButtonPressedInside && MenuButtonOver)
            SidePanelMenuClicked = true;
        MenuButtonPressedInside = false;
    }
    if (MenuButtonOver) {
        if (MenuButtonGlow < 1)
            MenuButtonGlow += 0.075f;
    } else if (MenuButtonGlow > 0) {
        MenuButtonGlow -= 0.075f;
    }
    MenuButtonGlow = std::clamp(MenuButtonGlow, 0.0f, 1.0f);
}

void InitSidePanel()
{
    MessageLines.clear();
    Cache = tPanelCache{};
}

void DoneSidePanel()
{
    MessageLines = {};
}

void LoadSidePanelGraphicsData()
{
    FindOrLoadDib(PanelPicture, false);
    FindOrLoadDib(ButtonPicture, false);
    FindOrLoadDib(DigitsPicture, false);
    for (int32_t i = 0; i < ButtonFrames; ++i) {
        tSprite& s = ButtonSprites[static_cast<size_t>(i)];
        s = tSprite();
        s.SetFrame(ButtonPicture, 384, ButtonHeight * i, ButtonWidth, ButtonHeight);
        s.DrawMode = 1;
    }
    PressedButtonSprite = tSprite();
    PressedButtonSprite.SetFrame(ButtonPicture, 480, 240, ButtonWidth, ButtonHeight);
    PressedButtonSprite.DrawMode = 1;
    for (int32_t j = 0; j < DigitPositions; ++j)
        for (int32_t g = 0; g < DigitGlyphs; ++g) {
            tSprite& s = DigitSprites[static_cast<size_t>(j)][static_cast<size_t>(g)];
            s = tSprite();
            s.SetFrame(DigitsPicture, DigitWidth * j, DigitHeight * g, DigitWidth, DigitHeight);
        }
}

void FreeSidePanelGraphicsData()
{
    ButtonSprites.fill(tSprite());
    PressedButtonSprite = tSprite();
    for (auto& position : DigitSprites)
        position.fill(tSprite());
}

// The panel has no sounds of its own: the engine's menu plays when the button opens it.
void LoadSidePanelSoundData() {}
void FreeSidePanelSoundData() {}
