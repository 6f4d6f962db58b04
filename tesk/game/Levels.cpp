#include "tesk/game/Levels.h"

#include "tesk/toolkit/Dib16.h"

int32_t LevelKeys = 0;
int32_t CollectedKeys = 0;
int32_t LevelGems = 0;
int32_t CollectedGems = 0;

tUnit* tUnitList::Add(std::unique_ptr<tUnit> unit)
{
    FItems.push_back(std::move(unit));
    return FItems.back().get();
}

int32_t tUnitList::IndexOf(const tUnit* unit) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == unit)
            return static_cast<int32_t>(i);
    return -1;
}

std::unique_ptr<tUnit> tUnitList::Extract(const tUnit* unit)
{
    const int32_t i = IndexOf(unit);
    if (i < 0)
        return nullptr;
    std::unique_ptr<tUnit> out = std::move(FItems[static_cast<size_t>(i)]);
    FItems.erase(FItems.begin() + i);
    return out;
}

tLevel::tLevel() = default;

tLevel::~tLevel()
{
    FreeAllUnits();
}

tUnit* tLevel::AddUnit(std::unique_ptr<tUnit> unit)
{
    return UnitList.Add(std::move(unit));
}

void tLevel::DropReferences(const tUnit* unit)
{
    for (auto& row : RowLists)
        std::erase(row, unit);
    if (Player == unit)
        Player = nullptr;
    ForgetCarriedUnit(unit);
}

void tLevel::FreeUnit(tUnit* unit)
{
    std::unique_ptr<tUnit> owned = UnitList.Extract(unit);
    if (!owned)
        return;
    DropReferences(unit);
    if (OnUnitsFreed)
        OnUnitsFreed(unit);
}

void tLevel::FreeAllUnits()
{
    for (auto& row : RowLists)
        row.clear();
    Player = nullptr;
    // Units leave the list before they are freed, so nothing walks a half-freed list.
    std::vector<std::unique_ptr<tUnit>> units = std::move(UnitList.Items());
    UnitList.Items().clear();
    for (auto& u : units)
        ForgetCarriedUnit(u.get());
    if (!units.empty() && OnUnitsFreed)
        OnUnitsFreed(nullptr);
    units.clear();
}

void tLevel::BeginTurn()
{
    for (auto& row : RowLists)
        row.clear();
    for (int32_t i = 0, n = UnitList.Count(); i < n && i < UnitList.Count(); ++i) {
        tUnit* u = UnitList[i];
        u->EndMove();
        u->CellX = RoundCell(u->X);
        u->CellY = RoundCell(u->Y);
        if (u->CellY >= 0 && u->CellY < LevelHeight)
            RowLists[static_cast<size_t>(u->CellY)].push_back(u);
    }
}

void tLevel::TakeTurns()
{
    // Units created during the pass (shots, explosions) act from the next turn on.
    tUnit* player = Player;
    if (player)
        player->TakeTurn();
    for (int32_t i = 0, n = UnitList.Count(); i < n && i < UnitList.Count(); ++i) {
        tUnit* u = UnitList[i];
        if (!u->Dead && u != player)
            u->TakeTurn();
    }
}

void tLevel::MoveUnits()
{
    ClaimMap.fill(0);
    for (int32_t i = 0, n = UnitList.Count(); i < n && i < UnitList.Count(); ++i)
        UnitList[i]->Move();
    SortDrawOrder();
}

void tLevel::DeathAnimUnits()
{
    for (int32_t i = 0, n = UnitList.Count(); i < n && i < UnitList.Count(); ++i) {
        tUnit* u = UnitList[i];
        u->DeathAnimMove();
        u->CellX = RoundCell(u->X);
        u->CellY = RoundCell(u->Y);
    }
}

bool tLevel::AnyUnitWillInteract()
{
    for (int32_t i = 0, n = UnitList.Count(); i < n && i < UnitList.Count(); ++i)
        if (UnitList[i]->WillInteractWithThePlayerNextTurn())
            return true;
    return false;
}

void tLevel::PauseUnitSounds()
{
    for (int32_t i = 0; i < UnitList.Count(); ++i)
        UnitList[i]->PauseSound();
}

void tLevel::ResumeUnitSounds()
{
    for (int32_t i = 0; i < UnitList.Count(); ++i)
        UnitList[i]->ResumeSound();
}

void tLevel::ResetUnits()
{
    ++ResetCount;
    FreeTemporaryUnits();
    for (int32_t i = 0, n = UnitList.Count(); i < n && i < UnitList.Count(); ++i)
        UnitList[i]->Reset();
}

void tLevel::FreeTemporaryUnits()
{
    for (int32_t i = UnitList.Count() - 1; i >= 0; --i)
        if (UnitList[i]->Temporary)
            FreeUnit(UnitList[i]);
}

void tLevel::FreeDeadTemporaryUnits()
{
    for (int32_t i = UnitList.Count() - 1; i >= 0; --i)
        if (UnitList[i]->Temporary && UnitList[i]->Dead)
            FreeUnit(UnitList[i]);
}

void tLevel::Restart()
{
    LevelKeys = CollectedKeys = LevelGems = CollectedGems = 0;
    BeginTurn();
    // Units freed here leave the row lists with them (FreeUnit).
    ResetUnits();
    SetWaterTint(WaterTint);
}

int CompareDrawOrder(const tUnit* a, const tUnit* b)
{
    if (a->DrawLayer < b->DrawLayer)
        return -1;
    if (a->DrawLayer > b->DrawLayer)
        return 1;
    const int32_t ya = RoundCell(a->Y);
    const int32_t yb = RoundCell(b->Y);
    if (ya < yb)
        return -1;
    if (ya > yb)
        return 1;
    return 0;
}

void tLevel::SortDrawOrder()
{
    UnitList.Sort(CompareDrawOrder);
}

tUnit* tLevel::UnitAt(int32_t x, int32_t y) const
{
    if (y < 0 || y >= LevelHeight)
        return nullptr;
    for (tUnit* u : RowLists[static_cast<size_t>(y)])
        if (u->IsLive() && RoundCell(u->X) == x && RoundCell(u->Y) == y)
            return u;
    return nullptr;
}

tUnit* tLevel::UnitHeadingTo(int32_t x, int32_t y) const
{
    if (y < 0 || y >= LevelHeight)
        return nullptr;
    for (tUnit* u : RowLists[static_cast<size_t>(y)])
        if (u->IsLive() && u->TargetX == x)
            return u;
    return nullptr;
}

tUnit* tLevel::UnitOfClassAt(int32_t x, int32_t y, TClass cls) const
{
    if (y < 0 || y >= LevelHeight)
        return nullptr;
    for (tUnit* u : RowLists[static_cast<size_t>(y)])
        if (u->IsLive() && u->CellX == x && u->ClassType() == cls)
            return u;
    return nullptr;
}

tUnit* tLevel::UnitAtInitialCell(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < UnitList.Count(); ++i) {
        tUnit* u = UnitList[i];
        if (u->InitialX == x && u->InitialY == y)
            return u;
    }
    return nullptr;
}
