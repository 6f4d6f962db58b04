#include "tesk/widgets/WidgetSupport.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Cursors.h"
#include "platform/Files.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/System.h"

void InitWidgetLibrary()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Screen->SetCursors(crExHand, LoadCursorFromResourceName("EX_HANDCUR"));
    Screen->SetCursors(crExDrag, LoadCursorFromResourceName("EX_DRAGCUR"));
}

// ---------------------------------------------------------------------------------------
// Bitmaps and drawing

void TransparentStretchCopy(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy,
                            int sw, int sh, TColor maskColor)
{
    if (!dest || !source || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    // Work: the destination area; Copy: the source stretched to the destination's size.
    TBitmap work;
    work.SetPixelFormat(pf32bit);
    work.SetSize(w, h);
    BitBlt(work.Handle(), 0, 0, w, h, dest, x, y, cmSrcCopy);
    TBitmap copy;
    copy.SetPixelFormat(pf32bit);
    copy.SetSize(w, h);
    // The copy is made with the same layout as the source's own pixels are compared in.
    StretchBlt(copy.Handle(), Rect(0, 0, w, h), source, Rect(sx, sy, sx + sw, sy + sh));
    // Which copy pixels came from mask-coloured source pixels: stretch a marker bitmap
    // made from the source at its own size, so a colour that does not survive the
    // layout conversion is still recognised.
    TBitmap marks;
    marks.SetPixelFormat(pf32bit);
    marks.SetSize(sw, sh);
    BitBlt(marks.Handle(), 0, 0, sw, sh, source, sx, sy, cmSrcCopy);
    const TColor key = ColorToRGB(maskColor) & 0xFFFFFF;
    for (int32_t row = 0; row < h; ++row) {
        const int32_t srcRow = static_cast<int32_t>(static_cast<int64_t>(row) * sh / h);
        for (int32_t col = 0; col < w; ++col) {
            const int32_t srcCol = static_cast<int32_t>(static_cast<int64_t>(col) * sw / w);
            if (marks.PixelColor(srcCol, srcRow) != key)
                work.SetPixelColor(col, row, copy.PixelColor(col, row));
        }
    }
    BitBlt(dest, x, y, w, h, work.Handle(), 0, 0, cmSrcCopy);
}

void DrawBitmapStretchedTransparent(TCanvas& canvas, TBitmap& bitmap, TColor color, int x, int y,
                                    int w, int h, int sx, int sy, int sw, int sh)
{
    if (bitmap.Empty())
        return;
    if (w < 1)
        w = bitmap.Width();
    if (h < 1)
        h = bitmap.Height();
    if (sw < 1 || sh < 1) {
        sx = 0;
        sy = 0;
        sw = bitmap.Width();
        sh = bitmap.Height();
    }
    if (color == clNone) {
        canvas.CopyRect(Rect(x, y, x + w, y + h), bitmap.Canvas(), Rect(sx, sy, sx + sw, sy + sh));
        return;
    }
    const TColor mask = color == clDefault ? bitmap.TransparentColor() : color;
    TransparentStretchCopy(canvas.Handle(), x, y, w, h, bitmap.Handle(), sx, sy, sw, sh,
                           ColorToRGB(mask));
}

void DrawBitmapTransparent(TCanvas& canvas, int x, int y, TBitmap& bitmap, TColor color)
{
    DrawBitmapStretchedTransparent(canvas, bitmap, color, x, y, bitmap.Width(), bitmap.Height(), 0,
                                   0, bitmap.Width(), bitmap.Height());
}

void DrawBitmapRectTransparent(TCanvas& canvas, int x, int y, const TRect& rect, TBitmap& bitmap,
                               TColor color)
{
    DrawBitmapStretchedTransparent(canvas, bitmap, color, x, y, RectWidth(rect), RectHeight(rect),
                                   rect.Left, rect.Top, RectWidth(rect), RectHeight(rect));
}

std::unique_ptr<TBitmap> EmbossBitmap(const TBitmap& bitmap, TColor color, TColor backColor,
                                      TColor highlight, TColor shadow, bool withHighlight)
{
    (void)color; // the shape is always taken against black
    auto result = std::make_unique<TBitmap>();
    const int32_t w = bitmap.Width();
    const int32_t h = bitmap.Height();
    result->SetSize(w, h);
    if (w <= 0 || h <= 0)
        return result;
    const TColor transparent = ColorToRGB(bitmap.TransparentColor()) & 0xFFFFFF;
    std::vector<uint8_t> shape(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int32_t py = 0; py < h; ++py)
        for (int32_t px = 0; px < w; ++px) {
            const TColor c = bitmap.PixelColor(px, py);
            const int lum = (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
            shape[static_cast<size_t>(py) * static_cast<size_t>(w) + static_cast<size_t>(px)] =
                c != transparent && lum < 128;
        }
    const TColor back = ColorToRGB(backColor);
    for (int32_t py = 0; py < h; ++py)
        for (int32_t px = 0; px < w; ++px)
            result->SetPixelColor(px, py, back);
    auto paint = [&](int dx, int dy, TColor c) {
        for (int32_t py = 0; py < h; ++py)
            for (int32_t px = 0; px < w; ++px)
                if (shape[static_cast<size_t>(py) * static_cast<size_t>(w) + static_cast<size_t>(px)]) {
                    const int32_t tx = px + dx;
                    const int32_t ty = py + dy;
                    if (tx < w && ty < h)
                        result->SetPixelColor(tx, ty, c);
                }
    };
    if (withHighlight)
        paint(1, 1, ColorToRGB(highlight));
    paint(0, 0, ColorToRGB(shadow));
    return result;
}

std::unique_ptr<TBitmap> LoadResourceBitmap(const char* name)
{
    auto b = std::make_unique<TBitmap>();
    try {
        b->LoadFromResourceName(name);
    } catch (const Exception&) {
        return nullptr;
    }
    return b;
}

std::unique_ptr<TBitmap> MakeCheckerPattern(TColor c1, TColor c2)
{
    auto result = std::make_unique<TBitmap>();
    result->SetSize(8, 8);
    const TColor a = ColorToRGB(c1);
    const TColor b = ColorToRGB(c2);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            result->SetPixelColor(x, y, (x % 2) == (y % 2) ? b : a);
    return result;
}

void PaintParentBackground(TControl* control, TCanvas& canvas)
{
    if (!control || !control->Parent())
        return;
    TWinControl* parent = control->Parent();
    HDC dc = canvas.Handle();
    if (!dc)
        return;
    {
        const int saved = SaveDC(dc);
        TPoint old{};
        const TPoint origin = GetViewportOrgEx(dc);
        SetViewportOrgEx(dc, origin.X - control->Left(), origin.Y - control->Top(), &old);
        IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
        parent->PaintWithDC(dc);
        RestoreDC(dc, saved);
    }
    const TRect self = control->BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == control)
            break;
        if (sibling->Windowed() || !sibling->Visible())
            continue;
        const TRect r = IntersectRect(self, sibling->BoundsRect());
        if (r.Right <= r.Left || r.Bottom <= r.Top)
            continue;
        const int saved = SaveDC(dc);
        TPoint old{};
        const TPoint origin = GetViewportOrgEx(dc);
        SetViewportOrgEx(dc, origin.X + sibling->Left() - control->Left(),
                         origin.Y + sibling->Top() - control->Top(), &old);
        IntersectClipRect(dc, 0, 0, sibling->Width(), sibling->Height());
        sibling->PaintWithDC(dc);
        RestoreDC(dc, saved);
    }
}

// ---------------------------------------------------------------------------------------
// Text

namespace {
void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
int TextHeightOf(const TFont& font)
{
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas().Font = font;
    return b.Canvas().TextHeight("0");
}
} // namespace

int SmallerTextHeight(const TFont& font) { return std::min(TextHeightOf(SystemFont()), TextHeightOf(font)); }

std::string EllipsisText(const std::string& text, TCanvas& canvas, int width)
{
    std::string result = text;
    const int length = static_cast<int>(text.size());
    for (int i = 1; i <= length; ++i) {
        if (canvas.TextWidth(result) <= width)
            break;
        result = text.substr(0, static_cast<size_t>(std::max(0, length - i - 1))) + "...";
    }
    return result;
}

int DrawShadowText(TCanvas& canvas, const std::string& text, TRect& rect, TShadowPosition position,
                   TColor shadowColor, int size, uint32_t format)
{
    TRect shadow = rect;
    switch (position) {
    case spLeftTop: OffsetRect(shadow, -size, -size); break;
    case spLeftBottom: OffsetRect(shadow, -size, size); break;
    case spRightBottom: OffsetRect(shadow, size, size); break;
    case spRightTop: OffsetRect(shadow, size, -size); break;
    }
    const TColor textColor = canvas.Font.Color;
    canvas.Font.Color = shadowColor;
    canvas.DrawText(text, shadow, format);
    canvas.Font.Color = textColor;
    const int height = canvas.DrawText(text, rect, format);
    rect = Rect(std::min(rect.Left, shadow.Left), std::min(rect.Top, shadow.Top),
                std::max(rect.Right, shadow.Right), std::max(rect.Bottom, shadow.Bottom));
    return height > 0 ? height + size : height;
}

std::string ReplaceAll(const std::string& s, const std::string& find, const std::string& with)
{
    if (find.empty())
        return s;
    std::string result;
    size_t pos = 0;
    for (;;) {
        const size_t at = s.find(find, pos);
        if (at == std::string::npos)
            break;
        result.append(s, pos, at - pos);
        result += with;
        pos = at + find.size();
    }
    result.append(s, pos, std::string::npos);
    return result;
}

std::string RemoveChar(const std::string& s, char c)
{
    std::string result;
    for (char ch : s)
        if (ch != c)
            result += ch;
    return result;
}

std::string TrimLeadingSpaces(const std::string& s)
{
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string TrimTrailingSpaces(const std::string& s)
{
    const size_t last = s.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

std::string TrimSpaces(const std::string& s) { return TrimLeadingSpaces(TrimTrailingSpaces(s)); }

std::string TrimControls(const std::string& s)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t first = 0, end = s.size();
    while (first < end && blank(s[first]))
        ++first;
    while (end > first && blank(s[end - 1]))
        --end;
    return s.substr(first, end - first);
}

std::string RepeatChar(char c, int n) { return n <= 0 ? std::string() : std::string(static_cast<size_t>(n), c); }

// ---------------------------------------------------------------------------------------
// Command lines

const char* NextCommandLineToken(const char* p, std::string& token)
{
    token.clear();
    if (!p)
        return p;
    auto code = [](const char* q) { return static_cast<unsigned char>(*q); };
    for (;;) {
        if (code(p) >= 1 && code(p) <= 32)
            ++p;
        else if (p[0] == '"' && p[1] == '"')
            p += 2;
        else
            break;
    }
    while (code(p) > 32) {
        if (*p == '"') {
            ++p;
            while (*p != '\0' && *p != '"')
                token += *p++;
            if (*p == '"')
                ++p;
        } else {
            token += *p++;
        }
    }
    return p;
}

int CountCommandLineArgs(const std::string& line)
{
    int count = 0;
    std::string token;
    const char* p = line.c_str();
    for (;;) {
        p = NextCommandLineToken(p, token);
        if (token.empty())
            return count;
        ++count;
    }
}

std::string CommandLineArg(const std::string& line, int index)
{
    std::string token;
    const char* p = line.c_str();
    for (int i = 0; index >= 0; ++i) {
        p = NextCommandLineToken(p, token);
        if (token.empty() || i == index)
            return token;
    }
    return std::string();
}

void SeparateCommandLine(const std::string& line, std::string& program, std::string& params)
{
    program.clear();
    params.clear();
    std::string token;
    const char* p = NextCommandLineToken(line.c_str(), program);
    if (program.empty())
        return;
    for (;;) {
        p = NextCommandLineToken(p, token);
        if (token.empty())
            break;
        if (!params.empty())
            params += ' ';
        if (token.find(' ') != std::string::npos)
            params += '"' + token + '"';
        else
            params += token;
    }
}

// ---------------------------------------------------------------------------------------
// Files

bool IsDirectory(const std::string& path) { return DirectoryExists(path); }

bool IsAcceptableFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("<>\"[]|") == std::string::npos;
}

std::string LongNameOf(const std::string& path) { return path.empty() ? std::string() : FirstMatchingName(path); }

std::string ShortNameOf(const std::string& path) { return LongNameOf(path); }

// ---------------------------------------------------------------------------------------
// Windows and messages

bool ThreadOwnsActiveWindow() { return Application && Application->Active(); }

void DiscardPendingMessage(HWND window, UINT msg) { RemovePostedMessage(window, msg); }
