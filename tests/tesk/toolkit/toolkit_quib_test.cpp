#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/TestHooks.h"
#include "tesk/toolkit/QuibComponents.h"

namespace {

constexpr TColor kFace = 0x102030;
constexpr TColor kLight = 0xE0E0E0;
constexpr TColor kShadow = 0x404040;
constexpr TColor kHilight = 0x00C0FF;

// A form with one colour button in distinct colours at (20, 20), 30 x 20.
struct ButtonForm : TForm {
    TColorButton* Button;
    int Clicks = 0;
    ButtonForm()
    {
        SetClientWidth(120);
        SetClientHeight(80);
        Button = PlaceControl<TColorButton>(this, 20, 20, 30, 20);
        Button->SetFaceColor(kFace);
        Button->SetTopLeftColor(kLight);
        Button->SetBottomRightColor(kShadow);
        Button->SetHilightColor(kHilight);
        Button->OnClick = [this](TObject*) { ++Clicks; };
        Show();
    }
    TPoint At(int x, int y) { return TestHooks::ControlToForm(Button, Point(x, y)); }
};

} // namespace

TEST(ColorButton, StartsAsASmallRaisedButtonFace)
{
    TColorButton b(nullptr);
    EXPECT_EQ(b.Width(), 17);
    EXPECT_EQ(b.Height(), 17);
    EXPECT_EQ(b.BorderSize(), 1);
    EXPECT_EQ(b.FaceColor(), clBtnFace);
    EXPECT_EQ(b.TopLeftColor(), clBtnHighlight);
    EXPECT_EQ(b.BottomRightColor(), clBtnShadow);
    EXPECT_EQ(b.HilightColor(), clBtnFace);
    EXPECT_FALSE(b.Down());
    EXPECT_FALSE(b.HeldDown());
    EXPECT_TRUE(b.DrawFace && b.DrawWhenUp && b.DrawWhenDown);
}

TEST(ColorButton, PressedDraggedOutAndReleasedOutsideNeitherStaysHeldNorClicks)
{
    ButtonForm f;
    TColorButton* b = f.Button;
    TestHooks::MouseMove(&f, f.At(10, 10));
    TestHooks::MouseDown(&f, mbLeft, f.At(10, 10));
    EXPECT_TRUE(b->HeldDown());
    EXPECT_TRUE(b->MouseCapture());
    EXPECT_EQ(TestHooks::ControlPixel(b, 10, 10), kHilight);

    TestHooks::MouseMove(&f, f.At(60, 10), {ssLeft}); // dragged out: drawn up again
    EXPECT_FALSE(b->HeldDown());
    EXPECT_EQ(TestHooks::ControlPixel(b, 10, 10), kFace);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), kLight);
    TestHooks::MouseMove(&f, f.At(10, 10), {ssLeft}); // and back in: held again
    EXPECT_TRUE(b->HeldDown());
    TestHooks::MouseMove(&f, f.At(60, 30), {ssLeft});
    TestHooks::MouseUp(&f, mbLeft, f.At(60, 30));
    EXPECT_FALSE(b->HeldDown());
    EXPECT_FALSE(b->MouseCapture());
    EXPECT_EQ(f.Clicks, 0);
    EXPECT_EQ(TestHooks::ControlPixel(b, 10, 10), kFace);

    // Pressed and released inside: one ordinary click, and nothing stays held.
    TestHooks::MouseMove(&f, f.At(5, 5));
    TestHooks::MouseDown(&f, mbLeft, f.At(5, 5));
    TestHooks::MouseUp(&f, mbLeft, f.At(5, 5));
    EXPECT_EQ(f.Clicks, 1);
    EXPECT_FALSE(b->HeldDown());
    EXPECT_FALSE(b->MouseCapture());

    // A right press holds nothing.
    TestHooks::MouseDown(&f, mbRight, f.At(5, 5));
    EXPECT_FALSE(b->HeldDown());
    TestHooks::MouseUp(&f, mbRight, f.At(5, 5));
}

TEST(ColorButton, WhileHeldTheEdgesCountAsInside)
{
    struct Case {
        int x, y;
        bool held;
    };
    // The button is 30 x 20: the far edges themselves still hold it down.
    const Case cases[] = {{0, 0, true},   {30, 20, true}, {30, 0, true},  {0, 20, true},
                          {31, 10, false}, {10, 21, false}, {-1, 10, false}, {10, -1, false}};
    ButtonForm f;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        TestHooks::MouseMove(&f, f.At(10, 10));
        TestHooks::MouseDown(&f, mbLeft, f.At(10, 10));
        TestHooks::MouseMove(&f, f.At(c.x, c.y), {ssLeft});
        EXPECT_EQ(f.Button->HeldDown(), c.held);
        TestHooks::MouseUp(&f, mbLeft, f.At(c.x, c.y));
        EXPECT_FALSE(f.Button->HeldDown());
    }
    // Moving with no button held leaves the state alone.
    f.Button->SetHeldDown(true);
    TestHooks::MouseMove(&f, f.At(100, 70));
    EXPECT_TRUE(f.Button->HeldDown());
}

TEST(ColorButton, DrawsARaisedOrSunkenFrameAndTheFaceOfItsState)
{
    struct Case {
        const char* name;
        bool down, held;
        int border;
        TColor topLeft, bottomRight, inner, face;
    };
    // inner: the pixel at (1, 1), frame for a 2-pixel border, face otherwise.
    const Case cases[] = {
        {"up", false, false, 1, kLight, kShadow, kFace, kFace},
        {"down", true, false, 1, kShadow, kLight, kFace, kFace},
        {"held", false, true, 1, kShadow, kLight, kHilight, kHilight},
        {"down and held", true, true, 1, kShadow, kLight, kHilight, kHilight},
        {"up, thick border", false, false, 2, kLight, kShadow, kLight, kFace},
        {"down, thick border", true, false, 2, kShadow, kLight, kShadow, kFace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonForm f;
        TColorButton* b = f.Button;
        std::vector<std::string> painted;
        b->OnPaint = [&](TObject* sender, TCanvas&, bool down, bool held) {
            EXPECT_EQ(sender, b);
            painted.push_back(std::string(down ? "down" : "up") + (held ? " held" : ""));
        };
        b->SetBorderSize(c.border);
        b->SetDown(c.down);
        b->SetHeldDown(c.held);
        painted.clear();
        EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), c.topLeft);
        EXPECT_EQ(TestHooks::ControlPixel(b, 29, 19), c.bottomRight);
        EXPECT_EQ(TestHooks::ControlPixel(b, 1, 1), c.inner);
        EXPECT_EQ(TestHooks::ControlPixel(b, 15, 10), c.face);
        b->Repaint();
        EXPECT_EQ(painted, (std::vector<std::string>{std::string(c.down ? "down" : "up") + (c.held ? " held" : "")}));
    }
}

TEST(ColorButton, ColourChangesShowAtOnceAndSwitchedOffDrawingLeavesTheFace)
{
    ButtonForm f;
    TColorButton* b = f.Button;
    EXPECT_EQ(TestHooks::ControlPixel(b, 15, 10), kFace);
    b->SetFaceColor(clRed);
    EXPECT_EQ(TestHooks::ControlPixel(b, 15, 10), clRed);
    b->SetTopLeftColor(clBlue);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), clBlue);

    // Without a face fill the frame is drawn and the inside keeps what was there.
    b->DrawFace = false;
    b->SetFaceColor(clLime);
    EXPECT_EQ(TestHooks::ControlPixel(b, 15, 10), clRed);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), clBlue);
    // Down with down-drawing off: nothing is drawn over the last picture.
    b->DrawFace = true;
    b->DrawWhenDown = false;
    b->SetDown(true);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), clBlue);
    EXPECT_EQ(TestHooks::ControlPixel(b, 15, 10), clRed);
}

TEST(QuibControls, CheckAndComboBoxesReportTheMouseEnteringAndLeaving)
{
    TForm f;
    f.SetClientWidth(300);
    f.SetClientHeight(100);
    auto* check = PlaceControl<tQuibCheckBox>(&f, 10, 10, 120, 17);
    auto* combo = PlaceControl<tQuibComboBox>(&f, 150, 10, 120, 21);
    std::vector<std::string> log;
    auto logged = [&log](TControl* c, const std::string& name) {
        c->OnMouseEnter = [&log, c, name](TObject* s) { log.push_back(name + (s == c ? " enter" : " enter?")); };
        c->OnMouseLeave = [&log, c, name](TObject* s) { log.push_back(name + (s == c ? " leave" : " leave?")); };
    };
    logged(check, "check");
    logged(combo, "combo");
    f.Show();
    TestHooks::MouseMove(&f, Point(5, 50));
    TestHooks::MouseMove(&f, Point(20, 15));
    TestHooks::MouseMove(&f, Point(30, 18));
    TestHooks::MouseMove(&f, Point(160, 15));
    TestHooks::MouseMove(&f, Point(290, 90));
    EXPECT_EQ(log, (std::vector<std::string>{"check enter", "check leave", "combo enter", "combo leave"}));
}
