// Level loading, restart, the level start and the game screen: the background with the
// static layers painted in, the units over it restored by dirty rectangles or touched
// rows, the overlay kept on top by the cover mask, the editor's marks and the cursor.
#include <algorithm>

#include "platform/Keys.h"
#include "tesk/game/EngineParts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/Tiles.h"
#include "tesk/toolkit/PackageFiles.h"

using namespace engine_parts;

namespace {

constexpr int32_t LevelStartLength = 100;

// A name from a level that leaves the data folders counts as a missing file.
void RequireContainedName(const std::string& name)
{
    if (!IsContainedDataName(name))
        throw EFileMissing("File Missing '" + name + "'.");
}

// Halves to the even neighbour: the nearest integer to n / d (d > 0).
int32_t RoundQuotient(int64_t n, int64_t d)
{
    int64_t q = n / d;
    int64_t r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0))
        ++q;
    return static_cast<int32_t>(q);
}

// The shown width of a level-start row at progress p.
int32_t LevelStartWidth(int32_t p, int32_t w)
{
    if (p <= 0)
        return 0;
    if (p > 32)
        return w;
    return w - RoundQuotient(static_cast<int64_t>(w) - 20 * static_cast<int64_t>(p), p);
}

} // namespace

// ---- loading

void tGameEngine::LoadLevel(const std::string& name)
{
    tEngineBusyScope busy;
    LevelFileName = name;
    Recorder.Clear();
    try {
        Level.LoadFromFile(name);
        RestartLevel(false);
        LoadLevelGraphics();
    } catch (...) {
        // What was read stays for the editor, but nothing may point into the old level.
        ClearCarriedUnits();
        LookAheadActive = false;
        LookAheadTicks = 0;
        Input = &LiveInput;
        for (auto& row : Level.RowLists)
            row.clear();
        if (Level.Player && Level.UnitList.IndexOf(Level.Player) < 0)
            Level.Player = nullptr;
        throw;
    }
    FullRedraw = true;
    if (CurrentDib)
        CurrentDib->ClearDirtyRects();
}

void tGameEngine::NewLevel()
{
    LoadLevel("Blank.map");
    LevelFileName = "Untitled";
}

void tGameEngine::LoadLevelGraphics()
{
    RequireContainedName(Level.TileSet);
    RequireContainedName(Level.OverlayTileSet);
    LoadTileSet(Level.TileSet);
    LoadOverlayTileSet(Level.OverlayTileSet);
    SetBackground(Level.Background);
}

void tGameEngine::SetMusic(const std::string& name)
{
    MusicModule.reset();
    MusicName.clear();
    // No name only stops the music; a missing or unreadable module leaves the level
    // without music.
    if (name.empty() || !IsContainedDataName(name) || !PackageFileExists("Music\\" + name))
        return;
    auto module = std::make_unique<tGameModule>();
    try {
        module->Load(name);
    } catch (const Exception&) {
        return;
    }
    MusicModule = std::move(module);
    MusicName = name;
}

void tGameEngine::SetBackground(const std::string& name)
{
    if (BackgroundLoaded())
        BackgroundDib->Unload();
    BackgroundDib = nullptr;
    FullRedraw = true;
    RequireContainedName(name);
    BackgroundDib = FindOrLoadDib(name, true);
    if (EditMode())
        return;
    {
        tDibTarget target(BackgroundDib);
        tRestore<int32_t> playfield(PlayfieldX, 0);
        tRestore<bool> predrawing(PreDrawingBackground, true);
        Level.DrawTiles(0);
        Level.DrawBackgroundUnits();
        Level.DrawOverlay(0);
    }
    if (CurrentDib) {
        CurrentDib->ClearCoverMask();
        Level.DrawOverlayToCoverMask(PlayfieldX);
    }
}

// ---- restart and level start

void tGameEngine::RestartLevel(bool withTransition)
{
    ClearCarriedUnits();
    TickCount = TurnCount = FrameCount = FrameTicks = LevelTicks = 0;
    // An early move under way belongs to the play that ends here.
    LookAheadActive = false;
    LookAheadTicks = 0;
    Input = &LiveInput;
    Level.Restart();
    if (GameMode != gmEditing) {
        if (withTransition)
            StartTransition(gmLevelStart);
        else
            SetGameMode(gmLevelStart);
    }
    RestartRequested = false;
}

void tGameEngine::RestartLevelWithMusic()
{
    RestartLevel(true);
    if (MusicModule)
        MusicModule->Play();
}

void tGameEngine::LevelStartStep()
{
    if (LevelStartTicks == 0) {
        LevelStartDib.reset();
        LevelStartDib = NewFrameSizedDib();
        {
            tDibTarget target(LevelStartDib.get());
            Level.MoveUnits();
            FullRedraw = true;
            FrameCount = 1;
            DrawGameScreen();
        }
        if (CurrentDib)
            CurrentDib->Fill(PixelBlack);
    }
    if (LevelStartTicks == LevelStartLength) {
        if (CurrentDib && LevelStartDib)
            CopyWholeDib(*CurrentDib, *LevelStartDib);
        LevelStartDib.reset();
        SetGameMode(gmPlaying);
        TickCount = FrameCount = LevelTicks = 0;
    }
    ++LevelStartTicks;
}

void tGameEngine::DrawLevelStart()
{
    if (LevelStartTicks == 0 || !CurrentDib || !LevelStartDib)
        return;
    tDib16& frame = *CurrentDib;
    tDib16& picture = *LevelStartDib;
    const int32_t w = std::min(frame.Width, picture.Width);
    const int32_t h = std::min(frame.Height, picture.Height);
    const int64_t t = LevelStartTicks;
    tDrawScope frameScope(frame);
    tDrawScope pictureScope(picture);
    for (int32_t i = 0; i < h; ++i) {
        // Odd rows start at the top, even rows at the bottom, a row of delay per 0.2.
        const int64_t tenths = (i & 1) ? 15 * t - 2 * i : 2 * i - 2 * static_cast<int64_t>(h) + 15 * t;
        const int32_t s = LevelStartWidth(RoundQuotient(tenths, 10), w);
        if (s <= 0)
            continue;
        const uint16_t* from = picture.ScanLine(i);
        uint16_t* to = frame.ScanLine(i);
        if (i & 1)
            std::copy(from, from + s, to + (w - s));
        else
            std::copy(from + (w - s), from + w, to);
    }
}

// ---- the game screen

void tGameEngine::DrawGameScreen()
{
    if (!CurrentDib)
        return;
    if (FullRedraw) {
        RedrawAll();
    } else {
        RestoreBackground();
        {
            tDrawScope scope(*CurrentDib);
            DrawPlayfield();
        }
        RedrawSidePanel();
        if (EditorVisible)
            DrawEditorCursor();
    }
    if (GameMode == gmVideo)
        CurrentDib->Fill(PixelBlack);
}

void tGameEngine::RedrawAll()
{
    FullRedraw = false;
    DrawSidePanelBackground();
    CopyBackground();
    DrawPlayfield();
    Level.DrawOverlay(PlayfieldX);
    InvalidateSidePanel();
    RedrawSidePanel();
    if (EditorVisible)
        DrawEditorCursor();
}

namespace {

// Copies one row of the playfield from the background; what the background does not
// cover (a picture smaller than the playfield, or none) is black.
void CopyPlayfieldRow(tDib16& frame, tDib16* background, int32_t y, int32_t left, int32_t right)
{
    left = std::max(left, PlayfieldX);
    right = std::min(right, frame.Width);
    if (left >= right || y < 0 || y >= frame.Height)
        return;
    uint16_t* row = frame.ScanLine(y);
    int32_t covered = left;
    if (background && y < background->Height) {
        const int32_t end = std::min(right, PlayfieldX + background->Width);
        if (end > left) {
            const uint16_t* from = background->ScanLine(y) + (left - PlayfieldX);
            std::copy(from, from + (end - left), row + left);
            covered = end;
        }
    }
    if (covered < right)
        std::fill(row + covered, row + right, PixelBlack);
}

bool CoversPlayfield(const tDib16& frame, const tDib16& background)
{
    return background.Width >= frame.Width - PlayfieldX && background.Height >= frame.Height;
}

// The edit view's tile layers over the bare background, with the cover mask made anew.
// They cover the whole playfield every frame, so nothing of them is recorded for
// restoring.
void DrawTilesLive(tLevel& level, tDib16& frame)
{
    tRestore<bool> suspended(frame.DirtyRectsSuspended, true);
    level.DrawTiles(PlayfieldX);
    level.DrawOverlay(PlayfieldX);
    frame.ClearCoverMask();
    level.DrawOverlayToCoverMask(PlayfieldX);
}

} // namespace

void tGameEngine::CopyBackground()
{
    if (!CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    tDib16* background = BackgroundLoaded() ? BackgroundDib : nullptr;
    frame.CoverMaskActive = false;
    {
        tDrawScope frameScope(frame);
        if (background && CoversPlayfield(frame, *background)) {
            frame.CopyBlockFrom(*background, 0, 0, frame.Width - PlayfieldX, frame.Height, PlayfieldX, 0);
        } else {
            for (int32_t y = 0; y < frame.Height; ++y)
                CopyPlayfieldRow(frame, background, y, PlayfieldX, frame.Width);
        }
    }
    frame.ClearTouchedRows();
    if (EditMode())
        DrawTilesLive(Level, frame);
    frame.CoverMaskActive = frame.UseCoverMask;
    if (frame.RecordDirtyRects)
        frame.ClearDirtyRects();
}

void tGameEngine::RestoreBackground()
{
    if (!CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    tDib16* background = BackgroundLoaded() ? BackgroundDib : nullptr;
    frame.CoverMaskActive = false;
    if (frame.RecordDirtyRects) {
        if (background && CoversPlayfield(frame, *background)) {
            frame.RestoreDirtyRects(*background, TPoint{-PlayfieldX, 0});
        } else {
            tDrawScope frameScope(frame);
            for (int32_t i = 0; i < frame.DirtyRectCount; ++i) {
                const TRect& r = frame.DirtyRects[static_cast<size_t>(i)];
                for (int32_t y = std::max(r.Top, 0); y < std::min(r.Bottom, frame.Height); ++y)
                    CopyPlayfieldRow(frame, background, y, r.Left, r.Right);
            }
            frame.ClearDirtyRects();
        }
    } else {
        tDrawScope frameScope(frame);
        const int32_t rows = std::min<int32_t>(frame.Height, static_cast<int32_t>(frame.TouchedRows.size()));
        for (int32_t y = 0; y < rows; ++y)
            if (frame.TouchedRows[static_cast<size_t>(y)])
                CopyPlayfieldRow(frame, background, y, PlayfieldX, frame.Width);
    }
    frame.ClearTouchedRows();
    if (EditMode())
        DrawTilesLive(Level, frame);
    frame.CoverMaskActive = frame.UseCoverMask;
}

void tGameEngine::DrawPlayfield()
{
    if (!CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    frame.ClipRect = TRect{PlayfieldX, 0, frame.Width, frame.Height};
    frame.CoverMaskActive = frame.UseCoverMask;
    if (EditMode())
        Level.DrawUnitsAtInitialCells();
    else
        Level.DrawUnits();
    if (LookAheadActive && LookAheadPlayer) {
        const float p = LookAheadProgress;
        LookAheadPlayer->X = (1 - p) * static_cast<float>(LookAheadFromX) + p * static_cast<float>(LookAheadToX);
        LookAheadPlayer->Y = (1 - p) * static_cast<float>(LookAheadFromY) + p * static_cast<float>(LookAheadToY);
        LookAheadPlayer->Move();
        LookAheadPlayer->Draw();
    }
}

void tGameEngine::DrawEditorCursor()
{
    if (!CurrentDib)
        return;
    if (tLevel::InGrid(MouseCellX, MouseCellY)) {
        const int32_t x = MouseCellX * 32 + PlayfieldX;
        const int32_t y = MouseCellY * 32;
        if (CursorUnitSprite) {
            CursorUnitSprite->Draw(x + 16, y + 16);
        } else {
            CurrentDib->PenColor = ColorToPixel(EditorCursorColor);
            CurrentDib->FrameRect(x, y, x + 32, y + 32);
        }
    }
    if (ShowSolid)
        Level.DrawSolidMarks();
}

// ---- the mouse

void tGameEngine::UpdateMousePosition()
{
    if (!MainFormRef)
        return;
    const int32_t clientWidth = MainFormRef->ClientWidth();
    const int32_t clientHeight = MainFormRef->ClientHeight();
    if (clientWidth <= 0 || clientHeight <= 0) {
        // A window without a client area: the position stays, no cell is under it.
        MouseMoved = false;
        MouseCellX = MouseCellY = -1;
        return;
    }
    const TPoint p = MainFormRef->ScreenToClient(GetCursorPos());
    const int64_t frameWidth = CurrentDib ? CurrentDib->Width : FrameWidth;
    const int64_t frameHeight = CurrentDib ? CurrentDib->Height : FrameHeight;
    const auto x = static_cast<int32_t>(static_cast<int64_t>(p.X) * frameWidth / clientWidth);
    const auto y = static_cast<int32_t>(static_cast<int64_t>(p.Y) * frameHeight / clientHeight);
    MouseMoved = x != MouseX || y != MouseY;
    MouseX = x;
    MouseY = y;
}

void tGameEngine::DrawMouseCursor()
{
    if (!InputAllowed) {
        CursorDrawn = false;
        return;
    }
    if (!CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    tRestore<TRect> clip(frame.ClipRect, TRect{0, 0, frame.Width, frame.Height});
    CursorSaveX = MouseX - 14;
    CursorSaveY = MouseY - 12;
    // Only the part of the 32 x 32 area inside the frame is saved (and restored).
    CursorSaveDib->BlitFrom(frame, CursorSaveX, CursorSaveY, 32, 32, 0, 0);
    if (CursorSprite) {
        tRestore<bool> recording(frame.RecordDirtyRects, false);
        CursorSprite->Draw(MouseX - 12, MouseY - 10);
    }
    CursorDrawn = true;
}

void tGameEngine::EraseMouseCursor()
{
    if (!CursorDrawn || !InputAllowed || !CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    tRestore<TRect> clip(frame.ClipRect, TRect{0, 0, frame.Width, frame.Height});
    frame.BlitFrom(*CursorSaveDib, 0, 0, 32, 32, CursorSaveX, CursorSaveY);
    CursorDrawn = false;
}
