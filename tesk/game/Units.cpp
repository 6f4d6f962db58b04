#include "tesk/game/Units.h"

#include <cmath>

#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/toolkit/Dib16.h"

const TTypeInfo TypeInfo_tDirection = MakeEnumType("tDirection", {"Up", "Right", "Down", "Left"});

const std::array<tCellDelta, 4> DirectionDelta = {{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};

int32_t PlayfieldX = 128;
int32_t TicksPerTurn = 12;
tLevel* GameLevel = nullptr;
uint32_t InitialCellChanges = 0;

std::array<tUnit*, CarryQueueSize> CarriedUnits{};
int32_t CarriedCount = 0;
std::vector<tUnitRecord> UnitKinds;

TP_CLASS_INFO(tUnit, TPersistent,
              IntProp("InitialX", &tUnit::GetInitialX, &tUnit::SetInitialX),
              IntProp("InitialY", &tUnit::GetInitialY, &tUnit::SetInitialY))
TP_CLASS_INFO(tPlayerAwareUnit, tUnit)

tPlayer* tPlayerAwareUnit::Player() const
{
    return GameLevel ? dynamic_cast<tPlayer*>(GameLevel->Player) : nullptr;
}

int32_t RoundCell(float v)
{
    // Positions stay within a few cells of the grid; anything else (a broken velocity)
    // is pinned far outside it rather than overflowing.
    if (!(v > -1.0e6f && v < 1.0e6f))
        return v > 0 ? 1000000 : -1000000;
    return static_cast<int32_t>(std::nearbyint(v));
}

tUnit::tUnit() = default;

tUnit::~tUnit()
{
    ForgetCarriedUnit(this);
}

void tUnit::SetInitialX(int32_t x)
{
    if (x >= 0 && x < LevelWidth) {
        InitialX = x;
        ++InitialCellChanges;
    }
}

void tUnit::SetInitialY(int32_t y)
{
    if (y >= 0 && y < LevelHeight) {
        InitialY = y;
        ++InitialCellChanges;
    }
}

void tUnit::PickUp()
{
    if (CarryQueueFull())
        return;
    CarryUnit(this);
    Held = true;
}

void tUnit::Drop()
{
    Held = false;
}

void tUnit::Move()
{
    X += DX;
    Y += DY;
}

bool tUnit::TryPush(tUnit* pusher, tDirection direction)
{
    return QueryPush(pusher, direction);
}

bool tUnit::QueryPush(tUnit*, tDirection)
{
    return false;
}

void tUnit::Reset()
{
    X = static_cast<float>(InitialX);
    Y = static_cast<float>(InitialY);
    CellX = TargetX = InitialX;
    CellY = TargetY = InitialY;
    Dead = false;
    Occupies = true;
    Held = false;
    Direction = InitialDirection;
}

void tUnit::EndMove()
{
    DX = 0;
    DY = 0;
    Moving = false;
}

bool tUnit::IsSolidAt(int32_t x, int32_t y) const
{
    if (!tLevel::InGrid(x, y) || !GameLevel)
        return true;
    return GameLevel->Cell(x, y).Solid != 0;
}

bool tUnit::IsCellBlocked(int32_t x, int32_t y) const
{
    if (!tLevel::InGrid(x, y) || !GameLevel)
        return true;
    if (GameLevel->UnitAt(x, y) || GameLevel->Cell(x, y).Solid)
        return true;
    return CellClaimed(x, y);
}

bool tUnit::CanEnter(int32_t x, int32_t y)
{
    if (IsSolidAt(x, y) || CellClaimed(x, y))
        return false;
    tUnit* occupant = UnitAtCell(x, y);
    if (!occupant || occupant->TargetX != x || occupant->TargetY != y)
        return true;
    return occupant->TryPush(this, Direction);
}

bool tUnit::CouldEnter(int32_t x, int32_t y)
{
    if (IsSolidAt(x, y) || CellClaimed(x, y))
        return false;
    tUnit* occupant = UnitAtCell(x, y);
    if (!occupant || occupant->TargetX != x || occupant->TargetY != y)
        return true;
    return occupant->QueryPush(this, Direction);
}

void tUnit::StartMoveInDirection(tDirection d)
{
    const tCellDelta delta = DirectionDelta[static_cast<size_t>(d) & 3];
    TargetX = CellX + delta.DX;
    TargetY = CellY + delta.DY;
    if (ClaimsCells)
        ClaimCell(TargetX, TargetY);
    const float ticks = static_cast<float>(TicksPerTurn > 0 ? TicksPerTurn : 1);
    DX = static_cast<float>(delta.DX) / ticks;
    DY = static_cast<float>(delta.DY) / ticks;
    Moving = true;
}

void tUnit::StartMoveTo(int32_t x, int32_t y)
{
    TargetX = x;
    TargetY = y;
    ClaimCell(x, y);
    const float ticks = static_cast<float>(TicksPerTurn > 0 ? TicksPerTurn : 1);
    DX = static_cast<float>(x - CellX) / ticks;
    DY = static_cast<float>(y - CellY) / ticks;
    Moving = true;
}

bool FindUnitsAtInitialCells()
{
    return Engine && Engine->EditMode();
}

tUnit* UnitAtCell(int32_t x, int32_t y)
{
    if (!GameLevel)
        return nullptr;
    return FindUnitsAtInitialCells() ? GameLevel->UnitAtInitialCell(x, y) : GameLevel->UnitAt(x, y);
}

void ClaimCell(int32_t x, int32_t y)
{
    if (GameLevel && tLevel::InGrid(x, y))
        GameLevel->ClaimMap[static_cast<size_t>(x * LevelHeight + y)] = 1;
}

bool CellClaimed(int32_t x, int32_t y)
{
    return GameLevel && tLevel::InGrid(x, y) && GameLevel->ClaimMap[static_cast<size_t>(x * LevelHeight + y)] != 0;
}

bool CarryQueueFull()
{
    return CarriedCount >= CarryQueueSize;
}

void CarryUnit(tUnit* unit)
{
    if (CarryQueueFull())
        return;
    CarriedUnits[static_cast<size_t>(CarriedCount++)] = unit;
}

tUnit* TakeCarriedUnit()
{
    if (CarriedCount <= 0)
        return nullptr;
    tUnit* first = CarriedUnits[0];
    for (int32_t i = 1; i < CarriedCount; ++i)
        CarriedUnits[static_cast<size_t>(i - 1)] = CarriedUnits[static_cast<size_t>(i)];
    CarriedUnits[static_cast<size_t>(--CarriedCount)] = nullptr;
    return first;
}

void ClearCarriedUnits()
{
    CarriedCount = 0;
    CarriedUnits.fill(nullptr);
}

void ForgetCarriedUnit(const tUnit* unit)
{
    int32_t kept = 0;
    for (int32_t i = 0; i < CarriedCount; ++i)
        if (CarriedUnits[static_cast<size_t>(i)] != unit)
            CarriedUnits[static_cast<size_t>(kept++)] = CarriedUnits[static_cast<size_t>(i)];
    for (int32_t i = kept; i < CarriedCount; ++i)
        CarriedUnits[static_cast<size_t>(i)] = nullptr;
    CarriedCount = kept;
}

void RegisterUnitKind(const std::string& name, TClass unitClass, tSprite* sprite)
{
    UnitKinds.push_back(tUnitRecord{name, unitClass, sprite});
}

TClass UnitClassByName(const std::string& name)
{
    for (const tUnitRecord& r : UnitKinds)
        if (r.Name == name)
            return r.UnitClass;
    return tUnit::StaticClass();
}

std::string UnitKindName(TClass unitClass)
{
    for (const tUnitRecord& r : UnitKinds)
        if (r.UnitClass == unitClass)
            return r.Name;
    return {};
}

std::unique_ptr<tUnit> CreateUnit(TClass unitClass)
{
    if (!unitClass || !unitClass->InheritsFrom(tUnit::StaticClass()))
        throw EPropertyError("Not a unit class");
    std::unique_ptr<TPersistent> obj = unitClass->Create();
    return std::unique_ptr<tUnit>(static_cast<tUnit*>(obj.release()));
}

namespace {

std::unique_ptr<tSprite> OwnedCursorSprite;

}  // namespace

tSprite* CursorSprite = nullptr;

void LoadGameEngineGraphicsData()
{
    // Registered without loading: the picture loads on its first draw.
    FindOrLoadDib("BaseGfx.jpg", false);
    auto sprite = std::make_unique<tSprite>();
    sprite->SetFrame("BaseGfx.jpg", 32, 192, 32, 32);
    sprite->HotSpotX = 2;
    sprite->HotSpotY = 2;
    OwnedCursorSprite = std::move(sprite);
    CursorSprite = OwnedCursorSprite.get();
}

void FreeGameEngineGraphicsData()
{
    CursorSprite = nullptr;
    OwnedCursorSprite.reset();
}

void LoadGameEngineSoundData() {}
void FreeGameEngineSoundData() {}

void InitGameEngineData()
{
    UnitKinds.clear();
    LoadGameEngineGraphicsData();
}

void FreeGameEngineData()
{
    FreeGameEngineGraphicsData();
    UnitKinds.clear();
    ClearCarriedUnits();
}
