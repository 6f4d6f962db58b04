// Sprites: draw modes, clipping against the target and the source, dither phases and the
// cover mask.
#include "tests/tesk/toolkit/GraphicsFixture.h"

namespace {

constexpr uint16_t Key = 0xF81F;

uint16_t P(int r, int g, int b) { return static_cast<uint16_t>((r << 11) | (g << 5) | b); }

class SpriteTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        // Registered sheets without files: pixels are written directly and Load() is
        // skipped because they count as loaded.
        Sheet = MakeSheet("sheet.jpg", 4, 4);
        Sheet2 = MakeSheet("sheet2.jpg", 4, 4);
        Frame = std::make_unique<tDib16>(8, 8);
        FillAll(*Frame, P(1, 2, 3));
        Frame->RecordDirtyRects = true;
        CurrentDib = Frame.get();
    }
    tDib16* MakeSheet(const std::string& name, int w, int h)
    {
        tDib16* d = tDib16::CreateNamed(name, false);
        d->SetWidth(w);
        d->SetHeight(h);
        d->CreateSurface();
        d->ClipRect = Rect(0, 0, w, h);
        d->Loaded = true;
        return d;
    }
    tSprite Sprite(int mode, int w = 4, int h = 4)
    {
        tSprite s;
        s.SetFrame("sheet.jpg", 0, 0, w, h);
        s.DrawMode = static_cast<uint8_t>(mode);
        s.HotSpotX = 0;
        s.HotSpotY = 0;
        return s;
    }
    uint16_t At(int x, int y) { return Frame->ScanLine(y)[x]; }

    tDib16* Sheet = nullptr;
    tDib16* Sheet2 = nullptr;
    std::unique_ptr<tDib16> Frame;
};

} // namespace

TEST_F(SpriteTest, SetFrameCentresTheHotSpot)
{
    tSprite s;
    EXPECT_EQ(s.ColorKey, MakeRGBTriple(255, 0, 255));
    EXPECT_EQ(s.DrawMode, 0);
    s.SetFrame("SHEET.JPG", 1, 2, 5, 3);
    EXPECT_EQ(s.Source, Sheet);
    EXPECT_EQ(s.HotSpotX, 2);
    EXPECT_EQ(s.HotSpotY, 1);
    s.SetFrame2("sheet.jpg", "sheet2.jpg", 0, 0, 1, 1, 2, 2);
    EXPECT_EQ(s.Source2, Sheet2);
    EXPECT_EQ(s.Src2X, 1);
    s.SetFrame("unknown.jpg", 0, 0, 2, 2);
    EXPECT_EQ(s.Source, nullptr);
    s.Draw(0, 0); // never drawn
    EXPECT_EQ(Frame->DirtyRectCount, 0);
}

TEST_F(SpriteTest, KeyedOpaqueAndAdditiveModes)
{
    FillWith(*Sheet, [](int x, int y) -> uint16_t { return x == 0 ? Key : P(x, y, 1); });
    struct Case {
        int mode;
        bool five65;
        uint16_t atKey; // target pixel where the source is the key
        uint16_t at21;  // where the source is P(2, 1, 1)
    };
    const Case cases[] = {
        {0, true, P(1, 2, 3), P(2, 1, 1)},
        {1, true, Key, P(2, 1, 1)},
        {2, true, P(1, 2, 3), P(3, 3, 4)},
        {2, false, P(1, 2, 3), P(3, 3, 4)},
        {4, true, P(1, 2, 3), P(1, 2, 3)},
        {5, true, P(1, 2, 3), P(1, 2, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        FillAll(*Frame, P(1, 2, 3));
        Is565 = c.five65;
        tSprite s = Sprite(c.mode);
        s.Draw(2, 2);
        EXPECT_EQ(At(2, 3), c.atKey);
        EXPECT_EQ(At(4, 3), c.at21);
        EXPECT_EQ(At(1, 1), P(1, 2, 3));
    }
}

TEST_F(SpriteTest, AdditiveSaturatesEachChannel)
{
    for (bool fixed : {true, false}) {
        Is565 = fixed;
        FillAll(*Sheet, P(16, 32, 16));
        FillAll(*Frame, P(20, 40, 20));
        Sprite(2).Draw(0, 0);
        EXPECT_EQ(At(0, 0), P(31, 63, 31));
        FillAll(*Sheet, 0xFFFF);
        FillAll(*Frame, 0xFFFF);
        Sprite(2).Draw(0, 0);
        EXPECT_EQ(At(3, 3), 0xFFFF);
    }
    // 555: the masks of the current format.
    Use555();
    FillAll(*Sheet, static_cast<uint16_t>((20 << 10) | (20 << 5) | 20));
    FillAll(*Frame, static_cast<uint16_t>((20 << 10) | (5 << 5) | 1));
    Sprite(2).Draw(0, 0);
    EXPECT_EQ(At(0, 0), static_cast<uint16_t>((31 << 10) | (25 << 5) | 21));
}

TEST_F(SpriteTest, ClippingRecordsTheClippedRectangle)
{
    FillWith(*Sheet, [](int x, int y) -> uint16_t { return P(x, y, 0); });
    struct Case {
        int x, y;
        TRect dirty;
        int firstX, firstY; // target pixel that gets source pixel (0, 0) shifted by the clip
        uint16_t first;
    };
    Frame->ClipRect = Rect(1, 1, 7, 7);
    const Case cases[] = {
        {-1, -2, Rect(1, 1, 3, 2), 1, 1, P(2, 3, 0)},
        {5, 5, Rect(5, 5, 7, 7), 5, 5, P(0, 0, 0)},
        {3, 3, Rect(3, 3, 7, 7), 3, 3, P(0, 0, 0)},
        // Wholly outside: nothing drawn, the empty or inverted rectangle still recorded.
        {10, 10, Rect(10, 10, 7, 7), -1, -1, 0},
        {-9, 2, Rect(1, 2, -5, 6), -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        FillAll(*Frame, P(1, 1, 1));
        Frame->ClearDirtyRects();
        const auto before = Pixels(*Frame);
        Sprite(1).Draw(c.x, c.y);
        ASSERT_EQ(Frame->DirtyRectCount, 1);
        EXPECT_EQ(Frame->DirtyRects[0], c.dirty);
        if (c.firstX < 0) {
            EXPECT_EQ(Pixels(*Frame), before);
        } else {
            EXPECT_EQ(At(c.firstX, c.firstY), c.first);
        }
        // Nothing outside the clip rectangle changes.
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(At(0, i), P(1, 1, 1));
            EXPECT_EQ(At(7, i), P(1, 1, 1));
            EXPECT_EQ(At(i, 0), P(1, 1, 1));
            EXPECT_EQ(At(i, 7), P(1, 1, 1));
        }
    }
    // Drawing marks exactly the target rows it wrote (the restore of touched rows uses them).
    Frame->ClipRect = Rect(0, 0, 8, 8);
    Frame->ClearTouchedRows();
    Sprite(1, 4, 2).Draw(3, 5);
    EXPECT_EQ(Frame->TouchedRows, (std::vector<uint8_t>{0, 0, 0, 0, 0, 1, 1, 0}));
    // While recording is suspended, draws record nothing.
    Frame->ClearDirtyRects();
    Frame->DirtyRectsSuspended = true;
    Sprite(1).Draw(2, 2);
    EXPECT_EQ(Frame->DirtyRectCount, 0);
}

TEST_F(SpriteTest, FramesReachingOutsideTheirPictureDrawOnlyWhatExists)
{
    FillAll(*Sheet, P(9, 9, 9));
    struct Case {
        int srcX, srcY, w, h;
        int drawn; // pixels changed in the target
    };
    const Case cases[] = {
        {2, 2, 4, 4, 4},    // hangs off the right and bottom: 2 x 2
        {-1, 0, 4, 4, 12},  // starts left of the picture: 3 x 4
        {0, -3, 4, 4, 4},   // above it: 4 x 1
        {4, 0, 4, 4, 0},    // just right of it
        {0, 0, 64, 64, 16}, // a frame far larger than the picture
        {-100, -100, 3, 3, 0},
    };
    for (int mode : {0, 1, 2, 3}) {
        for (const Case& c : cases) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " at " + std::to_string(c.srcX) + "," + std::to_string(c.srcY));
            FillAll(*Frame, 0);
            tSprite s;
            s.SetFrame2("sheet.jpg", "sheet2.jpg", c.srcX, c.srcY, c.srcX, c.srcY, c.w, c.h);
            FillAll(*Sheet2, P(9, 9, 9));
            s.DrawMode = static_cast<uint8_t>(mode);
            s.HotSpotX = s.HotSpotY = 0;
            s.Draw(0, 0);
            int changed = 0;
            for (uint16_t p : Pixels(*Frame))
                changed += p != 0;
            EXPECT_EQ(changed, c.drawn);
        }
    }
    // The second frame is clipped against its own picture too.
    tDib16* small = MakeSheet("small.jpg", 2, 2);
    FillAll(*small, P(0, 0, 5));
    FillAll(*Sheet, P(0, 0, 1));
    FillAll(*Frame, 0);
    tSprite s;
    s.SetFrame2("sheet.jpg", "small.jpg", 0, 0, 0, 0, 4, 4);
    s.HotSpotX = s.HotSpotY = 0;
    s.DrawMode = 3;
    s.Draw(0, 0);
    EXPECT_EQ(At(0, 0), P(0, 0, 5));
    EXPECT_EQ(At(2, 0), 0);
}

TEST_F(SpriteTest, DitherPatternsFollowTheClippedRectangle)
{
    FillAll(*Sheet, P(0, 0, 1));
    FillAll(*Sheet2, P(0, 0, 2));
    struct Case {
        uint8_t pattern;
        const char* rows[2]; // 1 first frame, 2 second, . nothing; rows r = 0 and 1
    };
    const Case cases[] = {
        {0, {"2121", "1212"}},
        {1, {"1212", "1111"}},
        {2, {"2121", "2222"}},
        {3, {"....", "...."}},
    };
    for (const Case& c : cases) {
        for (int clipTop : {0, 2}) {
            SCOPED_TRACE("pattern " + std::to_string(c.pattern) + " clip " + std::to_string(clipTop));
            FillAll(*Frame, 0);
            Frame->ClipRect = Rect(0, clipTop, 8, 8);
            tSprite s;
            s.SetFrame2("sheet.jpg", "sheet2.jpg", 0, 0, 0, 0, 4, 4);
            s.HotSpotX = s.HotSpotY = 0;
            s.DrawMode = 3;
            s.DitherPattern = c.pattern;
            // With the top clipped, the first drawn row of the frame is r = 0.
            s.Draw(0, 0);
            for (int r = 0; r < 2; ++r)
                for (int col = 0; col < 4; ++col) {
                    const char want = c.rows[r][col];
                    const uint16_t expect = want == '.' ? 0 : want == '1' ? P(0, 0, 1) : P(0, 0, 2);
                    EXPECT_EQ(At(col, clipTop + r), expect) << r << "," << col;
                }
        }
    }
}

TEST_F(SpriteTest, CoverMaskProtectsCoveredPixels)
{
    Frame->SetUseCoverMask(true);
    FillWith(*Sheet, [](int x, int y) -> uint16_t { return x == 0 ? Key : y == 0 ? 0 : P(2, 2, 2); });
    // Overlay tile: marks its non-key pixels.
    CurrentDib = Frame.get();
    Frame->ClearDirtyRects();
    Sprite(0).DrawToCoverMask(0, 0);
    EXPECT_EQ(Frame->DirtyRectCount, 1);
    EXPECT_EQ(Frame->CoverMask[0], 0);       // key pixel: not covered
    EXPECT_EQ(Frame->CoverMask[1], 1);       // black counts as a pixel here
    EXPECT_EQ(Frame->CoverMask[8 + 3], 1);
    EXPECT_EQ(Frame->CoverMask[4 * 8 + 1], 0);

    Frame->CoverMaskActive = true;
    struct Case {
        int mode;
        uint16_t atCovered, atKey, atBlack, free; // atBlack: black source on open ground
    };
    const uint16_t bg = P(1, 1, 1);
    const Case cases[] = {
        {0, bg, bg, 0, P(2, 2, 2)},
        {1, bg, Key, 0, P(2, 2, 2)},
        {2, bg, bg, bg, P(3, 3, 3)},
        {3, bg, bg, bg, P(3, 3, 3)}, // first frame only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        FillAll(*Frame, bg);
        FillAll(*Sheet2, P(9, 9, 9));
        tSprite s = Sprite(c.mode);
        s.Source2 = Sheet2;
        s.Draw(0, 1); // row 0 of the frame lands on covered row 1
        EXPECT_EQ(At(2, 1), c.atCovered);
        EXPECT_EQ(At(0, 2), c.atKey);
        // Uncovered row 4 (source row 3) and the black source row on uncovered ground.
        s.Draw(4, 4);
        EXPECT_EQ(At(4, 4), c.atKey);
        EXPECT_EQ(At(5, 4), c.atBlack);
        EXPECT_EQ(At(5, 6), c.free);
    }
    Frame->ClearCoverMask();
    EXPECT_EQ(std::count(Frame->CoverMask.begin(), Frame->CoverMask.end(), 1), 0);
}
