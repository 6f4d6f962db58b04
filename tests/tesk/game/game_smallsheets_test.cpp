// The sheets of the snakes, spiders, explosions and bomb blasts replaced by pictures far
// smaller than the frames cut from them: every frame draws clipped to its picture (a
// frame wholly outside draws nothing, one partly inside only its inside part), and a level
// of every such kind plays and draws without reading outside a picture.
#include "tests/tesk/game/KindsFixture.h"

#include "tesk/game/Levels.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/PictureFiles.h"

namespace {

class SmallSheetsTest : public KindsSuite {
public:
    static void SetUpTestSuite()
    {
        KindsSuite::SetUpTestSuite();
        const auto grey = [](int x, int y) { return static_cast<TColor>((((x * 5 + y * 3) & 0x7F) + 0x40) * 0x010101); };
        // The frames: snake 32 x 48 from two columns of 31, spider 36 x 26 in rows of 10,
        // explosion 52 x 54 in a row of 27, blast 160 x 132 from y = 264 down.
        for (const auto& [name, w, h] : std::vector<std::tuple<std::string, int, int>>{
                 {"Snake1.Jpg", 40, 100}, {"Spider.jpg", 50, 30}, {"Explosion1.jpg", 60, 20}, {"FireBall.jpg", 100, 300}})
            Program().Write(name, MakeJpegFile(w, h, grey));
        // The keyed sheets with masks of their own size that keep every pixel.
        Program().Write("Snake1.Jpg.mask", MakeBmpFile(40, 100, 1, [](int, int) { return clBlack; }));
        Program().Write("Spider.jpg.mask", MakeBmpFile(50, 30, 1, [](int, int) { return clBlack; }));
        FreeAll();
        LoadAll();
    }
    static void TearDownTestSuite()
    {
        for (const char* name :
             {"Snake1.Jpg", "Spider.jpg", "Explosion1.jpg", "FireBall.jpg", "Snake1.Jpg.mask", "Spider.jpg.mask"})
            std::remove((Program().Path() + "/" + name).c_str());
        KindsSuite::TearDownTestSuite();
    }

protected:
    // The rows and columns of the frame a draw changed (empty when none).
    struct tChanged {
        int Left = FrameWidth, Top = FrameHeight, Right = -1, Bottom = -1;
        bool Any() const { return Right >= 0; }
    };
    tChanged DrawOnBlank(tUnit& unit)
    {
        FillFrame(0x0841);
        unit.Draw();
        tChanged c;
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                if (Frame->ScanLine(y)[x] != 0x0841) {
                    c.Left = std::min(c.Left, x);
                    c.Right = std::max(c.Right, x);
                    c.Top = std::min(c.Top, y);
                    c.Bottom = std::max(c.Bottom, y);
                }
        return c;
    }
};

TEST_F(SmallSheetsTest, SnakeFramesDrawOnlyWhatLiesInsideTheirPicture)
{
    tSnake* snake = Put<tSnake>(5, 5);
    snake->FacingLeft = true;
    const auto frame = [&](int32_t phase) {
        snake->Phase = phase - 1;
        snake->PhaseStep = 1;
        snake->Move();
        EXPECT_EQ(snake->Phase, phase);
        return DrawOnBlank(*snake);
    };
    // Frame 0 (rows 0..47) lies inside the 100 rows; frame 2 (rows 96..143) shows its top
    // 4 rows only; frame 30 (rows 1440..1487) shows nothing.
    const tChanged whole = frame(1);
    EXPECT_TRUE(whole.Any());
    const tChanged cut = frame(2);
    ASSERT_TRUE(cut.Any());
    EXPECT_LE(cut.Bottom - cut.Top + 1, 4);
    EXPECT_FALSE(frame(30).Any());
    // The right-facing column (x 32..63) shows its 8 columns inside the 40.
    snake->FacingLeft = false;
    const tChanged right = frame(1);
    ASSERT_TRUE(right.Any());
    EXPECT_LE(right.Right - right.Left + 1, 8);
}

TEST_F(SmallSheetsTest, BlastFramesBeyondThePictureDrawNothing)
{
    tCherryBomb* bomb = Put<tCherryBomb>(6, 6);
    bomb->Detonate();
    Turn();
    ASSERT_EQ(bomb->BombState, bsExploding);
    bool cutSeen = false;
    while (!bomb->Dead) {
        Tick();
        if (bomb->Dead)
            break;
        const int32_t index = bomb->BlastTicks / 4;
        const tChanged c = DrawOnBlank(*bomb);
        // Blast[2] (rows 264..395, 160 wide) shows 36 rows and 100 columns of the 300 x 100
        // picture; every later frame lies below it.
        if (index == 2) {
            ASSERT_TRUE(c.Any());
            EXPECT_LE(c.Bottom - c.Top + 1, 36);
            EXPECT_LE(c.Right - c.Left + 1, 100);
            cutSeen = true;
        } else if (index > 2) {
            EXPECT_FALSE(c.Any()) << "blast frame " << index;
        }
    }
    EXPECT_TRUE(cutSeen);
}

// Snakes swaying through every frame, spiders walking every way and trapped, a shot, bombs
// blowing up boulders under explosions, all drawn every tick.
TEST_F(SmallSheetsTest, EveryKindOfTheseSheetsPlaysAndDraws)
{
    std::string units;
    const auto block = [&](const std::string& kind, int32_t x, int32_t y, const std::string& more = "") {
        units += "Begin " + kind + "\r\n   InitialX = " + std::to_string(x) + "\r\n   InitialY = " + std::to_string(y) +
                 "\r\n" + more + "End " + kind + "\r\n";
    };
    block("Player", 1, 12);
    block("Snake", 14, 13);
    block("Snake", 1, 1);
    block("Spider", 7, 7, "   WallFollowing = RightWall\r\n");
    block("Spider", 3, 3, "   InitialDirection = Down\r\n");
    block("Spider", 12, 3);
    for (auto [x, y] : {std::pair{11, 3}, {13, 3}, {12, 2}, {12, 4}})
        block("Boulder", x, y);
    block("CherryBomb", 10, 10);
    block("Boulder", 11, 10);
    ReadUnits(units);
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i)
        if (auto* b = dynamic_cast<tCherryBomb*>(Level().UnitList[i]))
            b->Detonate();
    for (int i = 0; i < 80; ++i) {
        Tick();
        Draw();
    }
    // The boxed-in spider has blown up its boulders, the bomb the one beside it.
    EXPECT_EQ(Level().UnitOfClassAt(11, 3, tBoulder::StaticClass()), nullptr);
    EXPECT_EQ(Level().UnitOfClassAt(11, 10, tBoulder::StaticClass()), nullptr);
    ASSERT_EQ(Eng->GameMode, gmPlaying);
    // Down into the bottom snake's row: the shot, the flames, the hero's death.
    Press(3);
    Turn();
    Release(3);
    for (int i = 0; i < 300; ++i) {
        Tick();
        Draw();
    }
    EXPECT_EQ(Eng->GameMode, gmDead);
}

}  // namespace
