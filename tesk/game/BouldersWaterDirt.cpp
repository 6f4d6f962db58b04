// Boulders, water and dirt: the passive kinds the hero pushes, fills and clears.
#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/Settings.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"

const TTypeInfo TypeInfo_tWaterEdgeStyle = MakeEnumType("tWaterEdgeStyle", {"weTypeA", "weTypeB", "weTypeC", "weSquare"});
const TTypeInfo TypeInfo_tDirectionSet = MakeSetType("tDirectionSet", &TypeInfo_tDirection);

TP_CLASS_INFO(tBoulder, tPlayerAwareUnit)
TP_CLASS_INFO(tWater, tUnit,
              BoolProp("AutoEdge", &tWater::GetAutoEdge, &tWater::SetAutoEdge),
              BoolProp("Boulder", &tWater::GetBoulder, &tWater::SetBoulder),
              OrdProp("Edge", &TypeInfo_tDirectionSet, &tWater::GetEdge, &tWater::SetEdge),
              OrdProp("EdgeStyle", &TypeInfo_tWaterEdgeStyle, &tWater::GetEdgeStyle, &tWater::SetEdgeStyle),
              StrProp("Tint", &tWater::GetTint, &tWater::SetTint))
TP_CLASS_INFO(tDirt, tPlayerAwareUnit)

namespace {

tCellDelta Step(tDirection d) { return DirectionDelta[static_cast<size_t>(d) & 3]; }

// Restores a value on every way out of a scope.
template <class T>
class tKeep {
public:
    explicit tKeep(T& target) : FTarget(target), FSaved(target) {}
    ~tKeep() { FTarget = FSaved; }
    tKeep(const tKeep&) = delete;
    tKeep& operator=(const tKeep&) = delete;

private:
    T& FTarget;
    T FSaved;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// tBoulder

tBoulder::tBoulder()
{
    Sprite = &UnitSprites.Boulder;
    StaticSprite = true;
}

bool tBoulder::QueryPush(tUnit* pusher, tDirection direction)
{
    const tCellDelta d = Step(direction);
    return IsHeroUnit(pusher) && CouldEnter(CellX + d.DX, CellY + d.DY);
}

bool tBoulder::TryPush(tUnit* pusher, tDirection direction)
{
    const tCellDelta d = Step(direction);
    if (!IsHeroUnit(pusher) || !CanEnter(CellX + d.DX, CellY + d.DY))
        return false;
    StartMoveInDirection(direction);
    PlayUnitSound(usSlideStone);
    return true;
}

bool tBoulder::WillInteractWithThePlayerNextTurn()
{
    const tPlayer* hero = Player();
    if (!hero || !GameLevel)
        return false;
    const int32_t dx = CellX - hero->CellX, dy = CellY - hero->CellY;
    if (dx != 0 && dy != 0)
        return false;
    // The cell beyond the boulder, seen from the hero.
    const int32_t cx = CellX + dx, cy = CellY + dy;
    if (!tLevel::InGrid(cx, cy))
        return false;
    for (const int32_t y : {cy - 1, cy + 1, cy}) {
        const tUnit* u = GameLevel->UnitHeadingTo(cx, y);
        if (u && !u->AtTarget())
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// tWater

namespace {

// Where water units start, per level restart: one scan of the unit list serves every
// water unit's edge. Gathered again for another level, after a restart, when the unit
// count changed or when any unit was placed on another initial cell.
struct tWaterStarts {
    const tLevel* Level = nullptr;
    uint32_t Restarts = 0;
    int32_t Units = -1;
    uint32_t Placements = 0;
    std::array<uint8_t, LevelCells> Cells{};
};
tWaterStarts WaterStarts;

const tWaterStarts& CurrentWaterStarts()
{
    tWaterStarts& w = WaterStarts;
    if (w.Level != GameLevel || w.Restarts != GameLevel->ResetCount || w.Units != GameLevel->UnitList.Count() ||
        w.Placements != InitialCellChanges) {
        w.Level = GameLevel;
        w.Restarts = GameLevel->ResetCount;
        w.Units = GameLevel->UnitList.Count();
        w.Placements = InitialCellChanges;
        w.Cells.fill(0);
        const TClass water = tWater::StaticClass();
        for (int32_t i = 0; i < w.Units; ++i) {
            const tUnit* u = GameLevel->UnitList[i];
            if (u->InheritsFrom(water) && tLevel::InGrid(u->InitialX, u->InitialY))
                w.Cells[static_cast<size_t>(u->InitialX * LevelHeight + u->InitialY)] = 1;
        }
    }
    return w;
}

}  // namespace

tWater::tWater()
{
    Sprite = &UnitSprites.WaterPalette;
    DrawLayer = 0;
}

tWater::~tWater()
{
    try {
        MarkFrameCellDirty();
    } catch (...) {
    }
}

bool tWater::PartOfBackground() const { return DontAnimateWater; }

void tWater::SetEdgeStyle(tWaterEdgeStyle style)
{
    if (style <= weSquare)
        EdgeStyle = style;
}

std::string tWater::GetTint() const { return IntToHexStr(GetWaterTint()); }

void tWater::SetTint(const std::string& text)
{
    if (Engine && Engine->EditMode() && GameLevel)
        GameLevel->WaterTint = HexToInt(text);
}

void tWater::MarkCellDirty() const
{
    if (CurrentDib)
        CurrentDib->AddDirtyRect(TRect{CellX * 32 + PlayfieldX, CellY * 32, CellX * 32 + PlayfieldX + 32, CellY * 32 + 32});
}

void tWater::MarkFrameCellDirty() const
{
    // The frame buffer is the target only while nothing else is drawn into (no target
    // pushed); the shell's teardown clears CurrentDib before it frees the frame.
    if (DibStackDepthUsed() == 0)
        MarkCellDirty();
}

void tWater::DrawAtInitialCell()
{
    CellX = InitialX;
    CellY = InitialY;
    Draw();
    MarkCellDirty();
}

void tWater::Draw()
{
    tDib16* target = CurrentDib;
    if (!target)
        return;
    const int32_t frame = Engine ? Engine->FrameCount : 0;
    bool paint = true, compose = true;
    if (DontAnimateWater)
        paint = Engine && (Engine->PreDrawingBackground || Engine->EditMode());
    else
        compose = frame < 2 || ((CellX ^ CellY ^ frame) & 1) != 0;
    if (paint) {
        if (compose) {
            if (WaterTemplates) {
                WaterTemplates->Load();
                const int32_t ticks = Engine ? Engine->TickCount : 0;
                ComposeWaterCell(*target, *WaterTemplates, WaterTemplateOrigin(EdgeStyle, Edge), CellX, CellY, PlayfieldX,
                                 ticks, SavedPixels);
            }
        } else {
            RestoreWaterCell(*target, CellX, CellY, PlayfieldX, SavedPixels);
        }
    }
    if (Filled) {
        tKeep<tSprite*> keep(Sprite);
        Sprite = &UnitSprites.FilledWater;
        tUnit::Draw();
    }
}

void tWater::TakeTurn()
{
    if (Filled || !GameLevel)
        return;
    tUnit* boulder = GameLevel->UnitOfClassAt(CellX, CellY, tBoulder::StaticClass());
    if (!boulder)
        return;
    Filled = true;
    Occupies = false;
    boulder->Dead = true;
    PlayUnitSound(usSplosh);
}

bool tWater::QueryPush(tUnit* pusher, tDirection)
{
    return Filled || (pusher && pusher->InheritsFrom(tBoulder::StaticClass()));
}

void tWater::Reset()
{
    tUnit::Reset();
    Filled = Boulder;
    Occupies = !Boulder;
    if (AutoEdge && GameLevel) {
        const tWaterStarts& starts = CurrentWaterStarts();
        const auto at = [&](int32_t x, int32_t y) {
            return tLevel::InGrid(x, y) && starts.Cells[static_cast<size_t>(x * LevelHeight + y)] != 0;
        };
        Edge = static_cast<uint8_t>((at(InitialX, InitialY - 1) ? 1 : 0) | (at(InitialX + 1, InitialY) ? 2 : 0) |
                                    (at(InitialX, InitialY + 1) ? 4 : 0) | (at(InitialX - 1, InitialY) ? 8 : 0));
    }
    MarkFrameCellDirty();
}

// ---------------------------------------------------------------------------------------
// tDirt

tDirt::tDirt()
{
    Sprite = &UnitSprites.Dirt;
    StaticSprite = true;
}

void tDirt::TakeTurn()
{
    const tPlayer* hero = Player();
    if (hero && hero->IsAt(CellX, CellY)) {
        Dead = true;
        PlayUnitSound(usClearRubble);
    }
}

bool tDirt::QueryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }
