#pragma once
// A headless engine for tests: a scratch program folder (progress and solutions land
// there), a fixture package mounted as "Base.Tarvol" with pictures made in code (and, on
// request, the built package with the real art behind it), the sound library on its
// silent output, a 640 x 480 frame buffer as the shell sets it up, a main form for the
// mouse, the engine's data, test unit kinds and the one engine, created with AcceptInput.
//
// Test kinds (registered under these names):
//   "Player"  tTestHero:   reads Engine->Input (arrows and Space) or plays back the
//                          recorder, records value action * 2 + drop per turn
//   "Exit"    tTestExit:   enters gmLevelEnd when the hero stands on it
//   "Gem"     tTestGem:    a jewel: counted at reset, collected when the hero stands on it
//   "Bouncer" tBouncer:    walks on every turn, turning back at walls; claims no cells
//   "Block"   tTestBlock:  pushed along (tests/tesk/game/TestUnits.h)
// and the look-ahead double tTestDouble as the engine's LookAheadPlayer.
// With RealKinds the game's own kinds stand in their place: the built package alone with
// the real art, the hero's and the units' pictures and samples loaded and their kinds
// registered as the shell does at start-up, the look-ahead hero handed to the engine.
#include <gtest/gtest.h>

#include <functional>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Fmod.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Players.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/Tiles.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tesk/toolkit/Random.h"
#include "tests/tesk/game/Dib16Pictures.h"
#include "tests/support/FormPictures.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/ScratchProgram.h"
#include "tests/support/ZipBuilder.h"
#include "tests/tesk/game/TestUnits.h"

namespace harness {

constexpr TColor Magenta = 0xFF00FF;

// Sprites of the test kinds (frames of "Units.jpg" in this order), alive for the whole
// test run.
enum tKindPicture { kpHero, kpBouncer, kpExit, kpGem, kpDouble, kpCount };
inline tSprite& KindSprite(tKindPicture picture)
{
    static std::array<tSprite, kpCount> sprites;
    return sprites[picture];
}
inline tSprite& HeroSprite() { return KindSprite(kpHero); }
inline tSprite& DoubleSprite() { return KindSprite(kpDouble); }
inline tSprite& ExitSprite() { return KindSprite(kpExit); }
inline tSprite& GemSprite() { return KindSprite(kpGem); }
inline tSprite& BouncerSprite() { return KindSprite(kpBouncer); }

inline tDirection DirectionOfAction(int action)
{
    switch (action) {
    case 2: return Up;
    case 3: return Down;
    case 4: return Left;
    default: return Right;
    }
}

} // namespace harness

// The hero of the tests: one decision per turn, from the active device or the recorder.
class tTestHero : public tUnit {
    TP_CLASS(tTestHero)
public:
    tTestHero()
    {
        DrawLayer = 2;
        ClaimsCells = false;
        Sprite = &harness::HeroSprite();
    }
    struct tTurn {
        int32_t Turn;
        int32_t CellX, CellY;
        int32_t Value;
    };
    void TakeTurn() override
    {
        int32_t value = 0;
        if (Recorder.State() == rsPlaying) {
            value = Recorder.PlayBackValue();
        } else if (Engine) {
            const tInputDevice& in = *Engine->Input;
            int action = 0;
            for (int a = 2; a <= 5 && !action; ++a)
                if (in.IsActive(a))
                    action = a;
            value = action * 2 + (in.IsActive(6) ? 1 : 0);
            if (Recorder.State() == rsRecording)
                Recorder.RecordValue(value);
        }
        Turns.push_back({Engine ? Engine->TurnCount : 0, CellX, CellY, value});
        const int action = value >> 1;
        if (action >= 2 && action <= 5) {
            Direction = harness::DirectionOfAction(action);
            const tCellDelta d = DirectionDelta[Direction];
            if (CanEnter(CellX + d.DX, CellY + d.DY))
                StartMoveInDirection(Direction);
        }
    }
    void Draw() override
    {
        // Hidden while its early move is drawn.
        if (!Engine || !Engine->LookAheadActive)
            tUnit::Draw();
    }
    std::vector<tTurn> Turns;
};

// The look-ahead double: decides the hero's next step from the latched arrows.
class tTestDouble : public tUnit {
    TP_CLASS(tTestDouble)
public:
    tTestDouble()
    {
        DrawLayer = 2;
        ClaimsCells = false;
        Sprite = &harness::DoubleSprite();
    }
    void TakeTurn() override
    {
        ++Turns;
        const tInputDevice& in = Engine->LiveInput;
        for (int a = 2; a <= 5; ++a)
            if (in.IsActive(a)) {
                Direction = harness::DirectionOfAction(a);
                const tCellDelta d = DirectionDelta[Direction];
                if (CouldEnter(CellX + d.DX, CellY + d.DY)) {
                    TargetX = CellX + d.DX;
                    TargetY = CellY + d.DY;
                }
                return;
            }
    }
    void Move() override { ++Moves; }
    int Turns = 0;
    int Moves = 0;
};

class tTestExit : public tUnit {
    TP_CLASS(tTestExit)
public:
    tTestExit()
    {
        DrawLayer = 0;
        Sprite = &harness::ExitSprite();
    }
    bool TryPush(tUnit*, tDirection) override { return true; }
    bool QueryPush(tUnit*, tDirection) override { return true; }
    void TakeTurn() override
    {
        const tUnit* hero = GameLevel ? GameLevel->Player : nullptr;
        if (Engine && hero && hero->CellX == CellX && hero->CellY == CellY && Engine->GameMode == gmPlaying)
            Engine->SetGameMode(gmLevelEnd);
    }
};

class tTestGem : public tUnit {
    TP_CLASS(tTestGem)
public:
    tTestGem()
    {
        DrawLayer = 1;
        Sprite = &harness::GemSprite();
    }
    void Reset() override
    {
        tUnit::Reset();
        ++LevelGems;
    }
    bool TryPush(tUnit*, tDirection) override { return true; }
    bool QueryPush(tUnit*, tDirection) override { return true; }
    void TakeTurn() override
    {
        const tUnit* hero = GameLevel ? GameLevel->Player : nullptr;
        if (hero && hero->CellX == CellX && hero->CellY == CellY) {
            Dead = true;
            ++CollectedGems;
        }
    }
};

inline TP_CLASS_INFO(tTestHero, tUnit)
inline TP_CLASS_INFO(tTestDouble, tUnit)
inline TP_CLASS_INFO(tTestExit, tUnit)
inline TP_CLASS_INFO(tTestGem, tUnit)

// A level file built in code.
struct tLevelText {
    std::string Title = "Test Level";
    std::string Background = "Back.jpg";
    std::string TileSet = "Tiles.jpg";
    std::string OverlayTileSet = "Overlay.jpg";
    std::string Music;
    // Base tile of every cell (0x81 floor); walls on the border are solid tile 0x41.
    bool Walls = true;
    std::map<std::pair<int, int>, int> BaseTiles;
    std::map<std::pair<int, int>, int> Overlay;
    std::vector<std::pair<int, int>> Solid;
    struct tUnitLine {
        std::string Kind;
        int X, Y;
        std::vector<std::string> Properties;
    };
    std::vector<tUnitLine> Units;
    std::vector<std::string> ExtraMisc;

    tLevelText& Unit(const std::string& kind, int x, int y, std::vector<std::string> properties = {})
    {
        Units.push_back({kind, x, y, std::move(properties)});
        return *this;
    }
    std::string Text() const
    {
        std::vector<std::string> lines{"[Misc]", "Background=" + Background, "TileSet=" + TileSet,
                                       "OverlayTileSet=" + OverlayTileSet};
        if (!Title.empty())
            lines.push_back("Title=" + Title);
        lines.push_back("Music=" + Music);
        lines.insert(lines.end(), ExtraMisc.begin(), ExtraMisc.end());
        const auto solid = [&](int x, int y) {
            if (Walls && (x == 0 || y == 0 || x == 15 || y == 14))
                return true;
            for (const auto& s : Solid)
                if (s.first == x && s.second == y)
                    return true;
            return false;
        };
        const auto base = [&](int x, int y) {
            const auto it = BaseTiles.find({x, y});
            if (it != BaseTiles.end())
                return it->second;
            return solid(x, y) ? 0x41 : 0x81;
        };
        const auto hex = [](int v, int digits) {
            static const char* d = "0123456789ABCDEF";
            std::string s(static_cast<size_t>(digits), '0');
            for (int i = digits - 1; i >= 0; --i, v >>= 4)
                s[static_cast<size_t>(i)] = d[v & 15];
            return s;
        };
        lines.push_back("[Tiles]");
        for (int y = 0; y < 15; ++y) {
            std::string l;
            for (int x = 0; x < 16; ++x)
                l += (x ? "," : "") + hex(base(x, y) + (solid(x, y) ? 0x100 : 0), 3);
            lines.push_back(l);
        }
        lines.push_back("[MoreTiles]");
        for (int y = 0; y < 15; ++y) {
            std::string l;
            for (int x = 0; x < 16; ++x)
                l += (x ? "," : "") + hex(0, 2) + hex(base(x, y), 2) + hex(0, 2);
            lines.push_back(l);
        }
        lines.push_back("[Overlay]");
        for (int y = 0; y < 15; ++y) {
            std::string l;
            for (int x = 0; x < 16; ++x) {
                const auto it = Overlay.find({x, y});
                l += (x ? "," : "") + hex(it == Overlay.end() ? 0 : it->second, 3);
            }
            lines.push_back(l);
        }
        lines.push_back("[Units]");
        for (const tUnitLine& u : Units) {
            lines.push_back("Begin " + u.Kind);
            lines.push_back("   InitialX = " + std::to_string(u.X));
            lines.push_back("   InitialY = " + std::to_string(u.Y));
            for (const std::string& p : u.Properties)
                lines.push_back("   " + p);
            lines.push_back("End " + u.Kind);
        }
        std::string out;
        for (const std::string& l : lines)
            out += l + "\r\n";
        return out;
    }
};

struct tHarnessOptions {
    // The built package with the real art, mounted behind the fixture package.
    bool RealArt = false;
    bool Format555 = false;
    bool RecordDirtyRects = true;
    // Files of the fixture package besides the pictures (name -> bytes).
    std::map<std::string, std::string> Files;
    // The test hero and its double; off when a test brings its own.
    bool TestKinds = true;
    // The game's own kinds with their pictures and samples over the built package (no
    // fixture pictures; implies RealArt and no test kinds).
    bool RealKinds = false;
};

class tEngineHarness {
public:
    explicit tEngineHarness(tHarnessOptions options = {}) : Options(std::move(options)), Dir(false)
    {
        if (Options.RealKinds) {
            Options.RealArt = true;
            Options.TestKinds = false;
        }
        DisplayBrightness = 1.0f;
        if (Options.Format555) {
            SetPixelFormat(0x7C00, 0x03E0, 0x001F);
            Is565 = false;
        } else {
            SetPixelFormat(0xF800, 0x07E0, 0x001F);
            Is565 = true;
        }
        ForgetReportedProblems();
        WritePackage();
        DirOverride = std::make_unique<ProgramDirOverride>(Dir.Path());
        AddPackage(Dir.Path() + "/Base.Tarvol");
        if (ExtraPackage)
            AddPackage(Dir.Path() + "/Pictures.Tarvol");
        if (Options.RealArt)
            AddPackage(ScratchProgramDir::BuiltPackage());

        InstallPackageFileCallbacks();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        FSOUND_Init(44100, 64, 0);
        if (Options.RealKinds) {
            LoadPlayerSoundData();
            LoadUnitSoundData();
        }
        SetRandomSeed(1);

        Frame = std::make_unique<tDib16>(FrameWidth, FrameHeight);
        Frame->ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
        Frame->RecordDirtyRects = Options.RecordDirtyRects;
        Frame->SetUseCoverMask(true);
        Frame->Fill(PixelBlack);
        CurrentDib = Frame.get();
        Form = std::make_unique<TForm>();
        Form->SetClientWidth(FrameWidth);
        Form->SetClientHeight(FrameHeight);
        MainFormRef = Form.get();
        Pointer(-1000, -1000);

        FindOrLoadDib("BaseGfx.jpg", false);
        if (Options.RealKinds) {
            LoadPlayerGraphicsData();
            LoadUnitGraphicsData();
        }
        InitSidePanel();
        LoadSidePanelGraphicsData();
        InitGameEngineData();
        CreateTileSprites();
        if (Options.TestKinds) {
            MakeUnitSprites();
            tBouncer::Picture = &harness::BouncerSprite();
            RegisterHarnessKinds();
        }

        EngineObject = std::make_unique<tGameEngine>();
        Engine = EngineObject.get();
        Engine->AcceptInput = true;
        if (Options.TestKinds) {
            Double = std::make_unique<tTestDouble>();
            Engine->LookAheadPlayer = Double.get();
        }
        if (Options.RealKinds) {
            InitPlayerData();
            InitUnitData();
        }
    }
    ~tEngineHarness()
    {
        Engine = nullptr;
        EngineObject.reset();
        Double.reset();
        if (Options.RealKinds) {
            FreePlayerData();
            FreeUnitData();
            FreePlayerGraphicsData();
            FreeUnitGraphicsData();
            FreePlayerSoundData();
            FreeUnitSoundData();
        }
        UnitKinds.clear();
        FreeTileSprites();
        FreeGameEngineData();
        FreeSidePanelGraphicsData();
        DoneSidePanel();
        for (int i = 0; i < harness::kpCount; ++i)
            harness::KindSprite(static_cast<harness::tKindPicture>(i)) = tSprite();
        while (DibStackDepthUsed() > 0)
            PopDib();
        CurrentDib = nullptr;
        MainFormRef = nullptr;
        Form.reset();
        Frame.reset();
        FreeAllDibs();
        FSOUND_Close();
        DirOverride.reset();
        Recorder.Clear();
        SpeedOffset = 0;
        TicksPerTurn = 12;
        TickInTurn = 0;
        TurnFraction = PreviousTurnFraction = 0;
        LookAheadTicks = LookAheadLength = 0;
        LookAheadProgress = 0;
        LookAheadEnabled = true;
        OOTDiagnosticsBox = nullptr;
        Dialogs = true;
        PlayfieldX = 128;
        LevelTitleText.clear();
        LevelNumberText = "  1";
        SidePanelMenuClicked = MenuButtonOver = MenuButtonPressedInside = false;
        MenuButtonGlow = 0;
        MainMenuItems[1] = "START GAME";
        CurrentResultPopup = nullptr;
        ClearCarriedUnits();
        ForgetReportedProblems();
        DisplayBrightness = 1.1f;
        Is565 = false;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
    }
    tEngineHarness(const tEngineHarness&) = delete;
    tEngineHarness& operator=(const tEngineHarness&) = delete;

    tGameEngine& E() { return *EngineObject; }

    // Step then DrawFrame, n times, as the main tick does with one step per delivery.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            Engine->Step();
            Engine->DrawFrame();
        }
    }
    // Steps without drawing.
    void Steps(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            Engine->Step();
    }
    void KeyDown(uint16_t key) { Engine->LiveInput.KeyDown(key); }
    void KeyUp(uint16_t key) { Engine->LiveInput.KeyUp(key); }
    void Press(uint16_t key)
    {
        KeyDown(key);
        KeyUp(key);
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Engine->LiveInput.KeyChar(c);
    }
    // The pointer at a client position of the main form.
    void Pointer(int x, int y) { TestHooks::SetCursorPos(Form->ClientToScreen(TPoint{x, y})); }
    // Ticks until the mode is reached (true) or the limit passed (false).
    bool RunUntil(uint8_t mode, int limit = 2000)
    {
        for (int i = 0; i < limit; ++i) {
            if (Engine->GameMode == mode)
                return true;
            Tick();
        }
        return Engine->GameMode == mode;
    }
    uint16_t FramePixel(int x, int y) { return Frame->ScanLine(y)[x]; }
    // The frame converted to 24 bits.
    TBitmap FramePicture(TRect area = TRect{0, 0, FrameWidth, FrameHeight}) { return Dib16Picture(*Frame, area); }
    // The playfield's pixels (x 128..639) of every row.
    std::vector<uint16_t> Playfield()
    {
        std::vector<uint16_t> out;
        out.reserve(512 * 480);
        for (int y = 0; y < FrameHeight; ++y) {
            const uint16_t* row = Frame->ScanLine(y);
            out.insert(out.end(), row + 128, row + FrameWidth);
        }
        return out;
    }
    // A file in the scratch program folder ("/" separators).
    std::string ProgramFile(const std::string& relative) const { return Dir / relative; }
    // A loose data file beside the program (overrides the package).
    void WriteLoose(const std::string& relative, const std::string& bytes) { Dir.Write(relative, bytes); }

    // A set file of the given lines and the level files named, written loose.
    void WriteSet(const std::string& name, const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        WriteLoose(name, text);
    }
    // Loads the set and starts the entry, then runs to the start of play.
    void StartEntry(int32_t index)
    {
        Engine->GoToSetEntry(index);
        RunUntil(gmPlaying, 400);
    }
    // The hero of the level (null without one).
    tTestHero* Hero() { return dynamic_cast<tTestHero*>(Engine->Level.Player); }

    tHarnessOptions Options;
    ScratchProgramDir Dir;
    std::unique_ptr<ProgramDirOverride> DirOverride;
    std::unique_ptr<tDib16> Frame;
    std::unique_ptr<TForm> Form;
    std::unique_ptr<tGameEngine> EngineObject;
    std::unique_ptr<tTestDouble> Double;

    // The fixture pictures: tile i of "Tiles.jpg" is a flat colour of its own; overlay
    // tile i a centred 16 x 16 square (the rest masked); "Back.jpg" a gradient.
    static TColor TileColor(int i) { return static_cast<TColor>(((i * 37) & 0xFF) | ((i * 11 + 40) & 0xFF) << 8 | 0x300000); }

private:
    static std::string PackedPictures()
    {
        static const std::string zip = [] {
            std::vector<ZipMember> m;
            // Pictures are stored, as the build stores JPEGs.
            const auto add = [&m](const std::string& name, std::string bytes, bool stored) {
                ZipMember member(name, std::move(bytes));
                m.push_back(std::move(member.WithMethod(stored ? 0 : 8)));
            };
            const auto tileIndex = [](int x, int y) { return 64 * (x / 128) + 4 * (y / 32) + (x % 128) / 32; };
            add("Tiles.jpg", MakeJpegFile(512, 512, [&](int x, int y) { return TileColor(tileIndex(x, y)); }), true);
            const auto overlayCovers = [](int x, int y) { return x % 32 >= 8 && x % 32 < 24 && y % 32 >= 8 && y % 32 < 24; };
            add("Overlay.jpg", MakeJpegFile(512, 512, [&](int x, int y) {
                             return overlayCovers(x, y) ? TColor(0x20C0C0) : harness::Magenta;
                         }), true);
            add("Overlay.jpg.mask", MakeBmpFile(512, 512, 1, [&](int x, int y) {
                             return overlayCovers(x, y) ? clBlack : clWhite;
                         }), false);
            add("Back.jpg", MakeJpegFile(512, 480, [](int x, int y) {
                             return static_cast<TColor>((x / 2) | (y / 2) << 8 | 0x400000);
                         }), true);
            // The cursor cell at (32, 192) and a 64 x 32 strip of unit pictures below it.
            const auto unitColor = [](int x, int y) -> TColor {
                const int cell = x / 32;
                const int dx = x % 32 - 16, dy = y % 32 - 16;
                if (dx * dx + dy * dy > 100)
                    return harness::Magenta;
                static const TColor colors[] = {0x0000E0, 0x00E000, 0xE00000, 0x00E0E0, 0xE000E0};
                return colors[cell % 5];
            };
            add("BaseGfx.jpg", MakeJpegFile(64, 224, [](int x, int y) {
                             return (x >= 32 && y >= 192 && x - 32 < 12 && y - 192 < 12) ? TColor(0xFFFFFF) : harness::Magenta;
                         }), true);
            add("BaseGfx.jpg.mask", MakeBmpFile(64, 224, 1, [](int x, int y) {
                             return (x >= 32 && y >= 192 && x - 32 < 12 && y - 192 < 12) ? clBlack : clWhite;
                         }), false);
            add("Units.jpg", MakeJpegFile(160, 32, unitColor), true);
            // The side panel's pictures, plain, for the panel's painter.
            add("SidePanel.jpg", MakeJpegFile(128, 480, [](int, int) { return TColor(0x203040); }), true);
            add("LevelDigits.jpg", MakeJpegFile(42, 384, [](int, int) { return TColor(0xC0C0C0); }), true);
            add("Units.jpg.mask", MakeBmpFile(160, 32, 1, [&](int x, int y) {
                             return unitColor(x, y) == harness::Magenta ? clWhite : clBlack;
                         }), false);
            return BuildZip(m);
        }();
        return zip;
    }
    void WritePackage()
    {
        std::vector<ZipMember> members;
        for (const auto& [name, bytes] : Options.Files)
            members.push_back({name, bytes});
        // The pictures ride in a package of their own inside the fixture folder when
        // the test adds files; the common case reuses one archive.
        if (Options.RealKinds) {
            if (!members.empty())
                Dir.Write("Base.Tarvol", BuildZip(members));
            return;
        }
        if (members.empty()) {
            Dir.Write("Base.Tarvol", PackedPictures());
            return;
        }
        Dir.Write("Base.Tarvol", BuildZip(members));
        Dir.Write("Pictures.Tarvol", PackedPictures());
        ExtraPackage = true;
    }
    void MakeUnitSprites()
    {
        FindOrLoadDib("Units.jpg", true);
        for (int i = 0; i < harness::kpCount; ++i)
            harness::KindSprite(static_cast<harness::tKindPicture>(i)).SetFrame("Units.jpg", 32 * i, 0, 32, 32);
    }
    static void RegisterHarnessKinds()
    {
        UnitKinds.clear();
        RegisterUnitKind("Player", tTestHero::StaticClass(), nullptr);
        RegisterUnitKind("Exit", tTestExit::StaticClass(), nullptr);
        RegisterUnitKind("Gem", tTestGem::StaticClass(), nullptr);
        RegisterUnitKind("Bouncer", tBouncer::StaticClass(), nullptr);
        RegisterUnitKind("Block", tTestBlock::StaticClass(), nullptr);
    }
    bool ExtraPackage = false;
};
