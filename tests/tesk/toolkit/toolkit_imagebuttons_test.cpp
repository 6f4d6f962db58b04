#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/Regions.h"
#include "platform/Resources.h"
#include "platform/TestHooks.h"
#include "tesk/toolkit/CoolForm.h"
#include "tesk/toolkit/ImageButtons.h"
#include "tesk/toolkit/ImgBtn.h"

namespace {

// A picture of one solid colour.
std::unique_ptr<TPicture> SolidPicture(TColor color, int width = 20, int height = 20)
{
    TBitmap bmp;
    bmp.SetSize(width, height);
    bmp.Canvas().Brush.Color = color;
    bmp.Canvas().FillRect(Rect(0, 0, width, height));
    auto picture = std::make_unique<TPicture>();
    picture->SetGraphic(&bmp);
    return picture;
}

TPoint Center(TControl* c) { return TestHooks::ControlToForm(c, Point(c->Width() / 2, c->Height() / 2)); }

TColor CenterPixel(TControl* c) { return TestHooks::ControlPixel(c, c->Width() / 2, c->Height() / 2); }

struct FormFixture : ::testing::Test {
    TForm Form;
    FormFixture()
    {
        TestHooks::Reset();
        Form.SetClientWidth(200);
        Form.SetClientHeight(120);
    }
    ~FormFixture() override { TestHooks::Reset(); }
};

// ---------------------------------------------------------------------------------------
// TImgBtn

using ImgBtnTest = FormFixture;

TEST_F(ImgBtnTest, ShowsRestingHoverAndPressedPicturesAsThePointerMoves)
{
    auto* btn = PlaceControl<TImgBtn>(&Form, 10, 10, 20, 20);
    btn->SetPic(SolidPicture(clRed).get());
    btn->SetPicUp(SolidPicture(clLime).get());
    btn->SetPicDown(SolidPicture(clBlue).get());
    std::vector<std::string> log;
    btn->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
    btn->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
    btn->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("down"); };
    btn->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    Form.Show();
    const TPoint in = Center(btn);
    const TPoint out = Point(150, 100);

    struct Step {
        const char* What;
        std::function<void()> Act;
        TColor Shown;
    };
    const std::vector<Step> steps = {
        {"at rest", [] {}, clRed},
        {"pointer enters", [&] { TestHooks::MouseMove(&Form, in); }, clLime},
        {"left press", [&] { TestHooks::MouseDown(&Form, mbLeft, in); }, clBlue},
        {"dragged out while held", [&] { TestHooks::MouseMove(&Form, out); }, clRed},
        {"back in while held", [&] { TestHooks::MouseMove(&Form, in); }, clBlue},
        {"release inside", [&] { TestHooks::MouseUp(&Form, mbLeft, in); }, clLime},
        {"right press changes nothing", [&] { TestHooks::MouseDown(&Form, mbRight, in); }, clLime},
        {"right release", [&] { TestHooks::MouseUp(&Form, mbRight, in); }, clLime},
        {"second press of a double click", [&] {
             TestHooks::MouseDown(&Form, mbLeft, in);
             TestHooks::MouseUp(&Form, mbLeft, in);
             TestHooks::MouseDoubleClick(&Form, mbLeft, in);
         }, clBlue},
        {"release", [&] { TestHooks::MouseUp(&Form, mbLeft, in); }, clLime},
        {"pointer leaves", [&] { TestHooks::MouseMove(&Form, out); }, clRed},
    };
    for (const Step& s : steps) {
        s.Act();
        EXPECT_EQ(CenterPixel(btn), s.Shown) << s.What;
    }
    EXPECT_EQ(log.front(), "enter");
    EXPECT_EQ(log.back(), "leave");
    EXPECT_NE(std::find(log.begin(), log.end(), "down"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "up"), log.end());
}

TEST_F(ImgBtnTest, PicturesAreOwnedCopiesAndAnUnsupportedButtonIgnoresHover)
{
    auto* btn = PlaceControl<TImgBtn>(&Form, 10, 10, 20, 20);
    {
        auto pic = SolidPicture(clRed);
        auto up = SolidPicture(clLime);
        btn->SetPic(pic.get());
        btn->SetPicUp(up.get());
    } // the sources are gone; the button kept its copies
    EXPECT_TRUE(btn->Supported());
    btn->SetSupported(false);
    int enters = 0;
    btn->OnMouseEnter = [&](TObject*) { ++enters; };
    Form.Show();
    TestHooks::MouseMove(&Form, Center(btn));
    EXPECT_EQ(CenterPixel(btn), clRed);
    EXPECT_EQ(enters, 0);
    TestHooks::MouseMove(&Form, Point(150, 100));
    btn->SetSupported(true);
    TestHooks::MouseMove(&Form, Center(btn));
    EXPECT_EQ(CenterPixel(btn), clLime);
    EXPECT_EQ(enters, 1);
}

// ---------------------------------------------------------------------------------------
// TMultiImageButton

using MultiImageButtonTest = FormFixture;

TEST_F(MultiImageButtonTest, OnlyTheDefaultUpPictureIsDrawnInEveryState)
{
    auto* btn = PlaceControl<TMultiImageButton>(&Form, 10, 10, 75, 25);
    btn->SetDefaultUpImage(SolidPicture(clRed, 40, 30).get());
    EXPECT_EQ(btn->Width(), 40); // AutoSize
    EXPECT_EQ(btn->Height(), 30);
    Form.Show();
    const TPoint in = Center(btn);
    struct Case {
        const char* State;
        std::function<void()> Enter;
        std::function<void()> Leave;
    };
    const std::vector<Case> cases = {
        {"up", [] {}, [] {}},
        {"mouse over", [&] { TestHooks::MouseMove(&Form, in); }, [&] { TestHooks::MouseMove(&Form, Point(190, 110)); }},
        {"pressed", [&] { TestHooks::MouseMove(&Form, in); TestHooks::MouseDown(&Form, mbLeft, in); },
         [&] { TestHooks::MouseUp(&Form, mbLeft, in); TestHooks::MouseMove(&Form, Point(190, 110)); }},
        {"focused", [&] { btn->SetFocus(); }, [] {}},
        {"disabled", [&] { btn->SetEnabled(false); }, [&] { btn->SetEnabled(true); }},
    };
    for (const Case& c : cases) {
        c.Enter();
        EXPECT_EQ(CenterPixel(btn), clRed) << c.State;
        EXPECT_EQ(TestHooks::ControlPixel(btn, 0, 0), clRed) << c.State; // stretched over the face
        c.Leave();
    }
}

TEST_F(MultiImageButtonTest, EachStateFallsBackToThePlainerPicture)
{
    auto* btn = PlaceControl<TMultiImageButton>(&Form, 10, 10, 75, 25);
    struct Pic {
        void (TMultiImageButton::*Set)(const TPicture*);
        TColor Color;
    };
    const Pic all[] = {
        {&TMultiImageButton::SetDefaultUpImage, 0x000001},   {&TMultiImageButton::SetDefaultDownImage, 0x000002},
        {&TMultiImageButton::SetHasFocusUpImage, 0x000003},  {&TMultiImageButton::SetHasFocusDownImage, 0x000004},
        {&TMultiImageButton::SetMouseOverUpImage, 0x000005}, {&TMultiImageButton::SetMouseOverDownImage, 0x000006},
        {&TMultiImageButton::SetDisabledUpImage, 0x000007},  {&TMultiImageButton::SetDisabledDownImage, 0x000008},
    };
    auto colorOf = [&](TOwnerDrawState state) -> TColor {
        const TGraphic* g = btn->ImageFor(state);
        if (!g)
            return clNone;
        TBitmap copy;
        copy.SetSize(1, 1);
        copy.Canvas().StretchDraw(Rect(0, 0, 1, 1), *g);
        return copy.PixelColor(0, 0);
    };
    // With every picture set, the most specific state wins: disabled over focus.
    for (const Pic& p : all)
        (btn->*p.Set)(SolidPicture(p.Color).get());
    struct Case {
        TOwnerDrawState State;
        TColor Expected;
    };
    const Case full[] = {
        {0, 0x000001},
        {odSelected, 0x000002},
        {odFocus, 0x000003},
        {odFocus | odSelected, 0x000004},
        {odDisabled, 0x000007},
        {odDisabled | odFocus | odSelected, 0x000008},
    };
    for (const Case& c : full)
        EXPECT_EQ(colorOf(c.State), c.Expected) << int(c.State);
    // Without down pictures a pressed button keeps the up ones; without any picture
    // the standard push button is drawn.
    btn->SetDefaultDownImage(nullptr);
    btn->SetHasFocusDownImage(nullptr);
    btn->SetDisabledDownImage(nullptr);
    EXPECT_EQ(colorOf(odSelected), 0x000001);
    EXPECT_EQ(colorOf(odSelected | odFocus), 0x000001);
    EXPECT_EQ(colorOf(odSelected | odDisabled), 0x000001);
    for (const Pic& p : all)
        (btn->*p.Set)(nullptr);
    EXPECT_EQ(btn->ImageFor(0), nullptr);
    Form.Show();
    EXPECT_EQ(CenterPixel(btn), ColorToRGB(clBtnFace));
}

// ---------------------------------------------------------------------------------------
// TCoolForm

using CoolFormTest = FormFixture;

std::string Mask2Of(const std::vector<TRect>& rects) { return EncodeRegionData(rects); }

TEST_F(CoolFormTest, FillsItsBorderlessFormAndStaysAtTheOrigin)
{
    auto* cool = new TCoolForm(&Form);
    cool->SetParent(&Form);
    EXPECT_EQ(Form.BorderStyle(), bsNone);
    EXPECT_TRUE(cool->Draggable());
    EXPECT_EQ(cool->Width(), Form.ClientWidth());
    EXPECT_EQ(cool->Height(), Form.ClientHeight());
    cool->SetAlign(alNone);
    for (int v : {-5, 1, 37, INT_MAX, INT_MIN}) {
        cool->SetTop(v);
        cool->SetLeft(v);
        EXPECT_EQ(cool->Top(), 0) << v;
        EXPECT_EQ(cool->Left(), 0) << v;
    }
    cool->SetWidth(77);
    cool->SetHeight(55);
    EXPECT_EQ(cool->Width(), 77);
    EXPECT_EQ(cool->Height(), 55);
}

TEST_F(CoolFormTest, StoredRegionShapesTheFormAndEmptyOrBadDataKeepsItRectangular)
{
    const std::vector<TRect> shape = {Rect(10, 0, 190, 10), Rect(0, 10, 200, 120)};
    std::string truncated = Mask2Of(shape);
    truncated.resize(truncated.size() - 5);
    std::string countTooBig = Mask2Of(shape);
    countTooBig[4 + 8] = 9; // rectangle count in the header
    struct Case {
        const char* Name;
        std::string Stored;
        bool Shaped;
    };
    const std::vector<Case> cases = {
        {"byte count 0", std::string(4, '\0'), false},
        {"nothing stored", std::string(), false},
        {"short data", truncated, false},
        {"count beyond the bytes", countTooBig, false},
        {"two rectangles", Mask2Of(shape), true},
    };
    for (const Case& c : cases) {
        TForm form;
        form.SetClientWidth(200);
        form.SetClientHeight(120);
        auto* cool = new TCoolForm(&form);
        cool->SetParent(&form);
        cool->ReadMask2(c.Stored);
        form.Show();
        EXPECT_EQ(cool->Mask().Assigned, c.Shaped) << c.Name;
        EXPECT_EQ(GetWindowRegion(&form), c.Shaped ? shape : std::vector<TRect>{}) << c.Name;
        EXPECT_EQ(cool->WriteMask2(), c.Shaped ? c.Stored : std::string(4, '\0')) << c.Name;
    }
}

TEST_F(CoolFormTest, ARegionReadBeforeTheParentShapesTheFormAndANewPictureDropsOnlyTheStoredRegion)
{
    const std::vector<TRect> shape = {Rect(5, 5, 100, 100)};
    auto* cool = new TCoolForm(&Form);
    cool->ReadMask2(Mask2Of(shape));
    EXPECT_TRUE(GetWindowRegion(&Form).empty());
    cool->SetParent(&Form);
    EXPECT_EQ(GetWindowRegion(&Form), shape);
    cool->Picture().SetGraphic(SolidPicture(clRed).get()->Graphic());
    EXPECT_FALSE(cool->Mask().Assigned);
    EXPECT_EQ(cool->WriteMask2(), std::string(4, '\0'));
    EXPECT_EQ(GetWindowRegion(&Form), shape); // the form keeps its shape
}

TEST_F(CoolFormTest, ALeftPressAsksTheFormToMoveByItsCaption)
{
    auto* cool = new TCoolForm(&Form);
    cool->SetParent(&Form);
    std::vector<WPARAM> commands;
    Form.SetMessageHandler(WM_SYSCOMMAND, [&](TMessage& m) { commands.push_back(m.WParam); });
    Form.Show();
    TestHooks::MouseMove(&Form, Point(50, 50));
    TestHooks::MouseDown(&Form, mbRight, Point(50, 50));
    TestHooks::MouseUp(&Form, mbRight, Point(50, 50));
    EXPECT_TRUE(commands.empty());
    TestHooks::MouseDown(&Form, mbLeft, Point(50, 50));
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_DRAGMOVE});
    EXPECT_FALSE(cool->MouseCapture()); // the window system takes the drag over
    TestHooks::MouseUp(&Form, mbLeft, Point(50, 50));
    cool->SetDraggable(false);
    TestHooks::MouseDown(&Form, mbLeft, Point(50, 50));
    TestHooks::MouseUp(&Form, mbLeft, Point(50, 50));
    EXPECT_EQ(commands.size(), 1u);
}

} // namespace
