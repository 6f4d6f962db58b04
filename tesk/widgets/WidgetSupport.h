#pragma once
// Routines the widgets share: integer and rectangle helpers, the library's two cursors,
// transparent bitmap drawing, embossed and checker bitmaps, painting a parent's
// background under a window-less control, shortened and shadowed text, command-line
// splitting, string helpers and file-name queries.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Types.h"

// The cursors the library registers with the screen.
constexpr TCursor crExHand = 14000; // over the slider's thumb
constexpr TCursor crExDrag = 14001; // dragging

// Registers the library's cursors (the hand 14000 from "EX_HANDCUR", the dragging hand
// 14001 from "EX_DRAGCUR"); later calls do nothing. The program calls it before its
// first form; every widget's constructor calls it too.
void InitWidgetLibrary();

// Raises a flag for its own lifetime: true from its construction, false again when it
// goes, an exception included.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

// Where a text's shadow falls.
enum TShadowPosition : uint8_t { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// ---------------------------------------------------------------------------------------
// Integers and rectangles

// The larger / smaller of the two; b when they are equal.
inline int MaxOf(int a, int b) { return a > b ? a : b; }
inline int MinOf(int a, int b) { return a < b ? a : b; }
inline int RectWidth(const TRect& r) { return r.Right - r.Left; }
inline int RectHeight(const TRect& r) { return r.Bottom - r.Top; }
// The right and bottom edges count as inside.
inline bool PointInRectInclusive(TPoint p, const TRect& r)
{
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}
// The colour's RGB value with the palette-relative flag.
inline TColor PaletteRelativeColor(TColor c) { return ColorToRGB(c) | clPaletteRelative; }

// ---------------------------------------------------------------------------------------
// Bitmaps and drawing

// Stretches the source rectangle onto the destination rectangle (nearest neighbour):
// destination pixels under source pixels of maskColor stay, all others take the source.
// The destination's origin and clip apply.
void TransparentStretchCopy(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy,
                            int sw, int sh, TColor maskColor);
// Draws part of a bitmap scaled, with one colour transparent. A destination width or
// height below 1 takes the bitmap's; a source width or height below 1 selects the whole
// bitmap. clNone: a plain stretch copy (the canvas's CopyMode); clDefault: the bitmap's
// bottom-left pixel is transparent; any other colour by its RGB value.
void DrawBitmapStretchedTransparent(TCanvas& canvas, TBitmap& bitmap, TColor color, int x, int y,
                                    int w, int h, int sx, int sy, int sw, int sh);
// The whole bitmap, unscaled, at (x, y).
void DrawBitmapTransparent(TCanvas& canvas, int x, int y, TBitmap& bitmap, TColor color);
// The part `rect` of the bitmap, unscaled, at (x, y).
void DrawBitmapRectTransparent(TCanvas& canvas, int x, int y, const TRect& rect, TBitmap& bitmap,
                               TColor color);
// An embossed copy: the shape (pixels other than the bitmap's transparent colour whose
// luminance (77 R + 150 G + 29 B) shr 8 is below 128) on backColor, in highlight moved
// by (1, 1) when withHighlight, then in shadow. `color` is the reference colour (black).
std::unique_ptr<TBitmap> EmbossBitmap(const TBitmap& bitmap, TColor color, TColor backColor,
                                      TColor highlight, TColor shadow, bool withHighlight);
// The bitmap resource of that name, or null when it is missing or cannot be read.
std::unique_ptr<TBitmap> LoadResourceBitmap(const char* name);
// An 8 x 8 bitmap of c1 with c2 where x and y have the same parity.
std::unique_ptr<TBitmap> MakeCheckerPattern(TColor c1, TColor c2);
// Paints what lies under a window-less control into the canvas (control coordinates):
// its parent's own painting, then the visible window-less siblings below it that overlap.
void PaintParentBackground(TControl* control, TCanvas& canvas);

// ---------------------------------------------------------------------------------------
// Text

// The height of a line of text in the system font or in `font`, whichever is smaller.
int SmallerTextHeight(const TFont& font);
// The text, or its start followed by "..." (down to "..." alone), to fit `width` pixels.
std::string EllipsisText(const std::string& text, TCanvas& canvas, int width);
// Draws the text in shadowColor moved by `size` towards `position`, then in the font's
// colour in rect. rect becomes the union of both as DrawText left them (so DT_CALCRECT
// measures the shadowed text). Returns the text height plus size, or the height when it
// is not positive.
int DrawShadowText(TCanvas& canvas, const std::string& text, TRect& rect, TShadowPosition position,
                   TColor shadowColor, int size, uint32_t format);
// Every occurrence of find, left to right without overlap, replaced; an empty find
// changes nothing.
std::string ReplaceAll(const std::string& s, const std::string& find, const std::string& with);
std::string RemoveChar(const std::string& s, char c);
// Blanks (the space character only) removed at the start, the end or both.
std::string TrimLeadingSpaces(const std::string& s);
std::string TrimTrailingSpaces(const std::string& s);
std::string TrimSpaces(const std::string& s);
// Blanks and control characters (bytes 0 to 32) removed at both ends.
std::string TrimControls(const std::string& s);
// n copies of c; empty when n <= 0.
std::string RepeatChar(char c, int n);
// The text unchanged (messages pass through it).
inline std::string PassText(const std::string& s) { return s; }

// ---------------------------------------------------------------------------------------
// Command lines: a program path followed by arguments. Bytes 1..32 are blank space (as
// is a pair of double quotes standing together between tokens), a NUL ends the line; a
// double quote starts a run taken whole up to the next one (the quotes are dropped).

// The next token from p, and the position after it; an empty token: no more tokens.
const char* NextCommandLineToken(const char* p, std::string& token);
// The number of tokens, the program path included.
int CountCommandLineArgs(const std::string& line);
// Token number index (0: the program path); "" when there are fewer.
std::string CommandLineArg(const std::string& line, int index);
// program = token 0; params = the other tokens joined by single blanks, a token holding
// a blank in double quotes. Both empty for a line without tokens.
void SeparateCommandLine(const std::string& line, std::string& program, std::string& params);

// ---------------------------------------------------------------------------------------
// Files

bool IsDirectory(const std::string& path);
// Not empty, and none of < > " [ ] |.
bool IsAcceptableFileName(const std::string& name);
// The name part of the first entry matching the path (wildcards allowed) as it stands on
// disk; "" when nothing matches. Both give the long name.
std::string LongNameOf(const std::string& path);
std::string ShortNameOf(const std::string& path);

// ---------------------------------------------------------------------------------------
// Windows and messages

// True when the program's window is the active one.
bool ThreadOwnsActiveWindow();
// Takes one queued message of that number for the window out of the queue.
void DiscardPendingMessage(HWND window, UINT msg);
