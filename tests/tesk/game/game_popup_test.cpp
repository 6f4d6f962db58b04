// The information pop-up: where it grows to, how it grows tick by tick, when it may
// close, what it shows, pictures it cannot show, and its modal loop run from inside the
// main window's timer tick.
#include "platform/Application.h"
#include "platform/Keys.h"
#include "tesk/game/PopUpForm.h"
#include "tests/support/FormPictures.h"
#include "tests/support/PictureFiles.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

// The main window: frame (100, 50), 640 x 480.
class MainWindow : public TForm {
public:
    MainWindow()
    {
        SetBorderStyle(bsNone);
        SetKeyPreview(true);
        SetBounds(100, 50, 640, 480);
        OnActivate = [this](TObject* sender) { Activations.push_back(sender); };
        OnKeyDown = [this](TObject*, WORD&, TShiftState) { ++Keys; };
        OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++Clicks; };
    }
    std::vector<TObject*> Activations;
    int Keys = 0;
    int Clicks = 0;
};

class PopUpTest : public SlabTest {
protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        MainFormRef = &Main;
        Dir.Write("Info.jpg", FlatJpeg(366, 285, RGB(40, 160, 200)));
        Pop.AfterConstruction();
    }
    void TearDown() override
    {
        MainFormRef = nullptr;
        SlabTest::TearDown();
    }
    // Shows the pop-up; `inside` runs in its modal loop with the timer's thread stopped, so
    // that the test alone calls the timer.
    void Show(const std::string& image, TPoint anchor, const std::function<void()>& inside,
              const std::string& caption = "A SIGN")
    {
        Pop.MMTimer1->SetInterval(0);
        TestHooks::SetModalStarted([this, inside](TForm*) {
            Ran = true;
            inside();
            if (Pop.Modal() && Pop.ModalResult() == mrNone)
                Pop.SetModalResult(mrCancel);
        });
        Ran = false;
        Pop.ShowPopUp(image, anchor, caption);
        TestHooks::SetModalStarted(nullptr);
    }
    TRect Shown() const { return ::Bounds(Pop.Left(), Pop.Top(), Pop.Width(), Pop.Height()); }
    bool KeyCloses()
    {
        TestHooks::KeyDown(&Pop, VK_SPACE);
        TestHooks::KeyUp(&Pop, VK_SPACE);
        return Pop.ModalResult() != mrNone;
    }

    MainWindow Main;
    TPopUp Pop;
    bool Ran = false;
};

} // namespace

TEST(PopUpPlacement, TheTargetStaysInsideTheMainWindow)
{
    const TRect frame = Bounds(100, 50, 640, 480);
    struct Case {
        TPoint anchor;
        int w, h;
        TPoint topLeft;
    } cases[] = {{{420, 290}, 366, 285, {237, 148}},
                 {{110, 60}, 366, 285, {100, 50}},
                 {{730, 520}, 366, 285, {374, 245}},
                 {{420, 290}, 800, 600, {-60, -70}},
                 {{420, 290}, 1, 1, {420, 290}}};
    for (const Case& c : cases) {
        const TRect r = PopUpTargetRect(c.anchor, c.w, c.h, frame);
        EXPECT_EQ(r, ::Bounds(c.topLeft.X, c.topLeft.Y, c.w, c.h)) << c.anchor.X << "," << c.anchor.Y;
    }
    const TRect target = ::Bounds(237, 148, 366, 285);
    EXPECT_EQ(PopUpGrowBounds({420, 290}, target, 10, 25), ::Bounds(347, 233, 146, 114));
    EXPECT_EQ(PopUpGrowBounds({420, 290}, target, 25, 25), target);
}

TEST_F(PopUpTest, ItGrowsOutOfTheAnchorAndClosesOnceUpLongEnough)
{
    struct Case {
        int ticks, firstFull, endsGrowing, closesAfter;
    } cases[] = {{1, 25, 26, 42}, {3, 9, 9, 15}, {5, 5, 6, 10}, {10, 5, 6, 10}, {1000, 5, 6, 10}};
    for (const Case& c : cases) {
        int firstFull = 0, endsGrowing = 0, closesAfter = 0;
        Show("Info.jpg", {420, 290}, [&] {
            EXPECT_TRUE(Pop.PoppedUp());
            EXPECT_EQ(Shown(), ::Bounds(420, 290, 1, 1));
            for (int call = 1; call <= 60 && !closesAfter; ++call) {
                Pop.MMTimer1Timer(Pop.MMTimer1, c.ticks);
                if (!firstFull && Shown() == ::Bounds(237, 148, 366, 285))
                    firstFull = call;
                if (!endsGrowing && !Pop.Growing)
                    endsGrowing = call;
                if (c.ticks == 1 && call == 10) {
                    EXPECT_EQ(Shown(), ::Bounds(347, 233, 146, 114));
                }
                if (KeyCloses())
                    closesAfter = call;
            }
        });
        EXPECT_EQ(firstFull, c.firstFull) << c.ticks;
        EXPECT_EQ(endsGrowing, c.endsGrowing) << c.ticks;
        EXPECT_EQ(closesAfter, c.closesAfter) << c.ticks;
        EXPECT_FALSE(Pop.PoppedUp());
        EXPECT_FALSE(Pop.Picture);
        EXPECT_FALSE(Pop.WorkDib);
    }
}

TEST_F(PopUpTest, ClicksCloseLikeKeysAndTheCaptionFadesInAfterTheZoom)
{
    Show("Info.jpg", {730, 520}, [&] {
        EXPECT_EQ(Pop.TargetLeft, 374);
        EXPECT_EQ(Pop.TargetTop, 245);
        for (int call = 1; call <= 26; ++call) {
            Pop.MMTimer1Timer(Pop.MMTimer1, 1);
            EXPECT_EQ(Pop.CaptionFade, 0.0f);
            TestHooks::MouseDown(&Pop, mbLeft, {5, 5});
            TestHooks::MouseUp(&Pop, mbLeft, {5, 5});
            EXPECT_EQ(Pop.ModalResult(), mrNone);
        }
        for (int call = 1; call <= 20; ++call) {
            Pop.MMTimer1Timer(Pop.MMTimer1, 1);
            EXPECT_NEAR(Pop.CaptionFade, 0.05f * static_cast<float>(call), 1e-5) << call;
        }
        EXPECT_EQ(Pop.CaptionFade, 1.0f);
        Pop.MMTimer1Timer(Pop.MMTimer1, 1);
        EXPECT_EQ(Pop.CaptionFade, 1.0f);
        TestHooks::MouseDown(&Pop, mbLeft, {5, 5});
        TestHooks::MouseUp(&Pop, mbLeft, {5, 5});
        EXPECT_NE(Pop.ModalResult(), mrNone);
    });
    EXPECT_TRUE(Ran);
    // Closing hands the activation back to the main window, once.
    EXPECT_EQ(Main.Activations, std::vector<TObject*>{&Main});
}

TEST_F(PopUpTest, TheWindowShowsThePictureStretchedToItsSize)
{
    Dir.Write("Second.jpg", FlatJpeg(200, 100, RGB(220, 40, 40)));
    Show("Info.jpg", {420, 290}, [&] {
        for (int call = 1; call <= 10; ++call)
            Pop.MMTimer1Timer(Pop.MMTimer1, 1);
        ASSERT_EQ(Pop.ClientWidth(), 146);
        const TBitmap shown = DrawControlPicture(Pop);
        TBitmap expected;
        expected.SetSize(146, 114);
        expected.Canvas().StretchDraw(Rect(0, 0, 146, 114), Pop.WorkDib->Bitmap());
        EXPECT_LT(ComparePictures(shown, expected, 8).Differing, 1);
    });
    // A second showing with another picture shows that one.
    Show("Second.jpg", {420, 290}, [&] {
        ASSERT_TRUE(Pop.Picture);
        EXPECT_EQ(Pop.Picture->Width, 200);
        EXPECT_EQ(Pop.WorkDib->Height, 100);
        for (int call = 1; call <= 30; ++call)
            Pop.MMTimer1Timer(Pop.MMTimer1, 1);
        uint8_t r, g, b;
        PixelToRGB(Pop.WorkDib->ScanLine(10)[10], r, g, b);
        EXPECT_GT(r, 200);
        EXPECT_EQ(Shown(), ::Bounds(320, 240, 200, 100));
    });
}

TEST_F(PopUpTest, PicturesOfAnySize)
{
    Dir.Write("Dot.jpg", FlatJpeg(1, 1, RGB(255, 255, 255)));
    Dir.Write("Huge.jpg", FlatJpeg(2000, 2000, RGB(255, 255, 255)));
    // A dot grows, shows its caption and closes like any picture.
    Show("Dot.jpg", {420, 290}, [&] {
        for (int call = 1; call <= 10; ++call)
            Pop.MMTimer1Timer(Pop.MMTimer1, 5);
        EXPECT_EQ(Shown(), ::Bounds(420, 290, 1, 1));
        EXPECT_TRUE(KeyCloses());
    }, std::string(10000, 'W') + "\x01\xFF" + "lower case");
    EXPECT_TRUE(Ran);
    // A picture larger than the main window lines up with its right and bottom edges.
    Show("Huge.jpg", {420, 290}, [&] {
        EXPECT_EQ(Pop.TargetLeft, 740 - 2000);
        EXPECT_EQ(Pop.TargetTop, 530 - 2000);
        Pop.MMTimer1Timer(Pop.MMTimer1, 5);
        EXPECT_EQ(Shown(), ::Bounds(420 - 336, 290 - 352, 400, 400));
    });
    EXPECT_TRUE(Ran);
}

TEST_F(PopUpTest, APictureThatCannotBeShownShowsNothing)
{
    const std::string jpeg = FlatJpeg(32, 32, RGB(1, 2, 3));
    const std::pair<const char*, std::string> files[] = {
        {"Text.jpg", "just some text, not a picture"},
        {"Empty.jpg", ""},
        {"Cut.jpg", jpeg.substr(0, jpeg.size() / 3)},
        {"Wide.jpg", WithJpegSize(jpeg, 9000, 32)},
    };
    for (const auto& [name, bytes] : files) {
        Dir.Write(name, bytes);
        testing::internal::CaptureStderr();
        Show(name, {420, 290}, [] {});
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(Ran) << name;
        EXPECT_FALSE(Pop.Picture) << name;
        EXPECT_FALSE(Pop.WorkDib) << name;
        EXPECT_FALSE(Pop.PoppedUp());
        EXPECT_NE(err.find(name), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    EXPECT_TRUE(Main.Activations.empty());
}

TEST_F(PopUpTest, TheHookStandsInForTheWindow)
{
    std::vector<std::string> calls;
    PopUpShowHook = [&](const std::string& image, TPoint anchor, const std::string& caption) {
        calls.push_back(image + "@" + std::to_string(anchor.X) + "," + std::to_string(anchor.Y) + ":" + caption);
    };
    Show("Info.jpg", {1, 2}, [] {}, "HELLO");
    PopUpShowHook = nullptr;
    EXPECT_FALSE(Ran);
    EXPECT_EQ(calls, std::vector<std::string>{"Info.jpg@1,2:HELLO"});
}

TEST_F(PopUpTest, OpenedFromInsideTheMainWindowsTick)
{
    TMMTimer outer;
    outer.SetInterval(0);
    auto period = [](TMMTimer& timer) { TMMTimer::TimerCallback(0, 0, reinterpret_cast<DWORD_PTR>(&timer), 0, 0); };
    std::vector<int> outerTicks;
    int popUpCalls = 0;
    Pop.MMTimer1->OnTimer = [&](TObject* sender, int32_t ticks) {
        ++popUpCalls;
        Pop.MMTimer1Timer(sender, ticks);
    };
    Main.Show();
    outer.OnTimer = [&](TObject*, int32_t ticks) {
        outerTicks.push_back(ticks);
        if (outerTicks.size() > 1)
            return;
        Show("Info.jpg", {420, 290}, [&] {
            // The pop-up's own timer runs in the nested loop; the outer one waits.
            for (int i = 0; i < 60; ++i) {
                period(*Pop.MMTimer1);
                period(outer);
                TestHooks::RunPostedMessages();
            }
            EXPECT_EQ(popUpCalls, 60);
            EXPECT_EQ(outerTicks.size(), 1u);
            // Input for the main window is blocked while the pop-up is up.
            TestHooks::KeyDown(&Main, 'A');
            TestHooks::KeyUp(&Main, 'A');
            TestHooks::MouseDown(&Main, mbLeft, {10, 10});
            TestHooks::MouseUp(&Main, mbLeft, {10, 10});
            EXPECT_EQ(Main.Keys, 0);
            EXPECT_EQ(Main.Clicks, 0);
            EXPECT_TRUE(KeyCloses());
        });
    };
    period(outer);
    TestHooks::RunPostedMessages();
    EXPECT_TRUE(Ran);
    ASSERT_EQ(outerTicks.size(), 1u);
    period(outer);
    TestHooks::RunPostedMessages();
    ASSERT_EQ(outerTicks.size(), 2u);
    EXPECT_EQ(outerTicks[1], 61);  // every period that waited, in one delivery
    TestHooks::KeyDown(&Main, 'A');
    EXPECT_EQ(Main.Keys, 1);
}
