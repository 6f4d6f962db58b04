#include "tesk/editor/LevelEditing.h"

#include <cmath>
#include <limits>
#include <variant>

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "tesk/toolkit/Misc.h"

namespace {

// The tile a layer names in a cell, or null for the layer None.
int32_t* LayerTile(tCell& cell, tTileLayer layer)
{
    switch (layer) {
    case tTileLayer::Lower: return &cell.LowerTile;
    case tTileLayer::Base: return &cell.BaseTile;
    case tTileLayer::Upper: return &cell.UpperTile;
    case tTileLayer::None: break;
    }
    return nullptr;
}

// A property's value as it stands, to put back when a new one is refused.
class tSavedValue {
public:
    tSavedValue(const TPersistent& obj, const TPropInfo& prop) : FProp(prop)
    {
        switch (prop.Kind()) {
        case tkInteger:
        case tkChar:
        case tkEnumeration:
        case tkSet: FValue = GetOrdProp(obj, prop); break;
        case tkFloat: FValue = GetFloatProp(obj, prop); break;
        case tkString:
        case tkLString: FValue = GetStrProp(obj, prop); break;
        default: break;
        }
    }
    // Puts the value back; a setter that raises now too leaves what it left.
    void Restore(TPersistent& obj) const noexcept
    {
        try {
            if (const auto* ord = std::get_if<int64_t>(&FValue))
                SetOrdProp(obj, FProp, *ord);
            else if (const auto* number = std::get_if<double>(&FValue))
                SetFloatProp(obj, FProp, *number);
            else if (const auto* text = std::get_if<std::string>(&FValue))
                SetStrProp(obj, FProp, *text);
        } catch (...) {
        }
    }

private:
    const TPropInfo& FProp;
    std::variant<std::monostate, int64_t, double, std::string> FValue;
};

tPropertyEdit Refused(std::string reason) { return tPropertyEdit{false, std::move(reason)}; }

// Runs the write; a setter that raises has the old value put back and gives the reason.
// The level restarts after a write that went through.
template <class Write>
tPropertyEdit WriteProperty(tLevel& level, tUnit& unit, const TPropInfo& prop, Write write)
{
    const tSavedValue old(unit, prop);
    try {
        write();
    } catch (const std::exception& e) {
        old.Restore(unit);
        return Refused(e.what());
    }
    level.Restart();
    return tPropertyEdit{true, {}};
}

std::string MemberNames(const TTypeInfo& type)
{
    std::string names;
    for (const std::string& n : type.Names)
        names += (names.empty() ? "" : ", ") + n;
    return names;
}

} // namespace

tTileLayer TileLayerOfTag(intptr_t tag)
{
    switch (tag) {
    case -1: return tTileLayer::Lower;
    case 0: return tTileLayer::Base;
    case 1: return tTileLayer::Upper;
    default: return tTileLayer::None;
    }
}

void PaintTile(tLevel& level, int32_t x, int32_t y, tTileLayer layer, int32_t tile, bool solid)
{
    if (!tLevel::InGrid(x, y))
        return;
    tCell& cell = level.Cell(x, y);
    if (int32_t* t = LayerTile(cell, layer))
        *t = tile;
    cell.Solid = solid ? 1 : 0;
}

void ClearTile(tLevel& level, int32_t x, int32_t y, tTileLayer layer)
{
    if (!tLevel::InGrid(x, y))
        return;
    tCell& cell = level.Cell(x, y);
    if (int32_t* t = LayerTile(cell, layer))
        *t = 0;
    cell.Solid = 0;
}

void SetOverlayTile(tLevel& level, int32_t x, int32_t y, int32_t tile)
{
    if (tLevel::InGrid(x, y))
        level.Cell(x, y).OverlayTile = tile;
}

tUnit* PlaceUnit(tLevel& level, TClass kind, int32_t x, int32_t y)
{
    if (!kind || !tLevel::InGrid(x, y) || !kind->InheritsFrom(tUnit::StaticClass()))
        return nullptr;
    std::unique_ptr<TPersistent> made = kind->Create();
    if (!made)
        return nullptr;
    std::unique_ptr<tUnit> unit(static_cast<tUnit*>(made.release()));
    unit->SetInitialX(x);
    unit->SetInitialY(y);
    tUnit* placed = level.AddUnit(std::move(unit));
    placed->Reset();
    return placed;
}

tUnit* PickUnit(const tLevel& level, int32_t x, int32_t y)
{
    for (int32_t i = 0; i < level.UnitList.Count(); ++i) {
        tUnit* u = level.UnitList[i];
        if (!u->Temporary && u->InitialX == x && u->InitialY == y)
            return u;
    }
    return nullptr;
}

bool MoveUnit(tLevel& level, tUnit& unit, int32_t x, int32_t y)
{
    const int32_t oldX = unit.InitialX, oldY = unit.InitialY;
    unit.SetInitialX(x);
    unit.SetInitialY(y);
    if (unit.InitialX == oldX && unit.InitialY == oldY)
        return false;
    level.Restart();
    return true;
}

void DeleteUnit(tLevel& level, tUnit* unit)
{
    if (!unit || level.UnitList.IndexOf(unit) < 0)
        return;
    level.FreeUnit(unit);
    level.Restart();
}

bool OrdinalOfNumber(double value, int64_t& ordinal)
{
    if (!std::isfinite(value))
        return false;
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    ordinal = static_cast<int64_t>(std::trunc(std::fmin(std::fmax(value, low), high)));
    return true;
}

tPropertyEdit SetUnitPropertyNumber(tLevel& level, tUnit& unit, const TPropInfo& prop, double value)
{
    if (!std::isfinite(value))
        return Refused(prop.Name + ": the value is not a finite number.");
    switch (prop.Kind()) {
    case tkInteger:
    case tkSet: {
        int64_t ordinal = 0;
        OrdinalOfNumber(value, ordinal);
        return WriteProperty(level, unit, prop, [&] { SetOrdProp(unit, prop, ordinal); });
    }
    case tkFloat: return WriteProperty(level, unit, prop, [&] { SetFloatProp(unit, prop, value); });
    default: return Refused(prop.Name + " does not hold a number.");
    }
}

tPropertyEdit SetUnitProperty(tLevel& level, tUnit& unit, const TPropInfo& prop, const std::string& text)
{
    switch (prop.Kind()) {
    case tkInteger:
    case tkSet:
    case tkFloat: {
        double value = 0;
        if (!TryStrToFloat(text, value))
            return Refused(prop.Name + ": '" + text + "' is not a number.");
        return SetUnitPropertyNumber(level, unit, prop, value);
    }
    case tkEnumeration: {
        const int64_t ordinal = GetEnumValue(prop.PropType, TrimBlanks(text));
        if (ordinal < 0)
            return Refused(prop.Name + ": '" + text + "' is not one of " + MemberNames(*prop.PropType) + ".");
        return WriteProperty(level, unit, prop, [&] { SetOrdProp(unit, prop, ordinal); });
    }
    case tkString:
    case tkLString: return WriteProperty(level, unit, prop, [&] { SetStrProp(unit, prop, text); });
    default: return Refused(prop.Name + " cannot be edited.");
    }
}

tCellEdit EditCell(tLevel& level, const tEditChoices& choices, TMouseButton button, int32_t x, int32_t y)
{
    tCellEdit done;
    if (!tLevel::InGrid(x, y))
        return done;
    switch (choices.Page) {
    case tEditPage::Tiles:
        if (button == mbLeft)
            PaintTile(level, x, y, choices.Layer, choices.Tile, choices.Solid);
        else if (button == mbRight)
            ClearTile(level, x, y, choices.Layer);
        break;
    case tEditPage::Overlay:
        if (button == mbLeft)
            SetOverlayTile(level, x, y, choices.OverlayTile);
        else if (button == mbRight)
            SetOverlayTile(level, x, y, 0);
        break;
    case tEditPage::Objects:
        if (choices.ArmedKind)
            done.Placed = PlaceUnit(level, choices.ArmedKind, x, y);
        else
            done.Picked = PickUnit(level, x, y);
        break;
    case tEditPage::None: break;
    }
    return done;
}
