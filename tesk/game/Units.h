#pragma once
// The playfield object base class, the hero's carried-units queue and the registry of
// unit kinds.
//
// Every object on the playfield is a tUnit. The base fixes the unit's data (initial cell,
// float position, per-tick velocity, target cell, draw layer, flags), the virtual
// operations through which the level's passes and the engine drive all units alike, the
// grid tests a unit asks before moving and the start-move operations that claim cells.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/TypInfo.h"
#include "tesk/game/WaterPainter.h"

class tLevel;
class tSprite;

enum tDirection : uint8_t { Up, Right, Down, Left };
extern const TTypeInfo TypeInfo_tDirection;

struct tCellDelta {
    int32_t DX;
    int32_t DY;
};
extern const std::array<tCellDelta, 4> DirectionDelta;

// Globals the units read (the engine owns their values).
// x offset of the playfield in the frame: 128 during play, 0 while units are painted
// into the background picture.
extern int32_t PlayfieldX;
// Ticks of one turn (12 + the speed offset).
extern int32_t TicksPerTurn;
// The level the units stand on: the engine's level, set by the engine alone (its
// constructor and destructor); tests without an engine use tests/support/TestGameLevel.h.
extern tLevel* GameLevel;
// The editor's view, while the engine's EditMode is on: cells are looked up by the units'
// initial cells.
bool FindUnitsAtInitialCells();
// Counts the settings of any unit's initial cell (SetInitialX / SetInitialY): what was
// gathered from the initial cells of a level's units is out of date once it changes.
extern uint32_t InitialCellChanges;

class tUnit : public TPersistent {
    TP_CLASS(tUnit)
public:
    tUnit();
    ~tUnit() override;
    tUnit(const tUnit&) = delete;
    tUnit& operator=(const tUnit&) = delete;

    // Published.
    int32_t GetInitialX() const { return InitialX; }
    int32_t GetInitialY() const { return InitialY; }
    void SetInitialX(int32_t x);  // accepts 0..15, ignores other values
    void SetInitialY(int32_t y);  // accepts 0..14, ignores other values

    // Virtual operations, in the order the level and the engine use them.
    virtual bool PartOfBackground() const { return false; }
    virtual void DrawAtInitialCell();
    virtual void PickUp();
    virtual void Drop();
    virtual void Draw();
    virtual void Move();
    virtual void DeathAnimMove() {}
    virtual void TakeTurn() {}
    // Carries out a push by `pusher` in `direction`; answers whether the pusher may enter.
    virtual bool TryPush(tUnit* pusher, tDirection direction);
    // Asks the same without acting.
    virtual bool QueryPush(tUnit* pusher, tDirection direction);
    virtual bool WillInteractWithThePlayerNextTurn() { return false; }
    virtual void Reset();
    void EndMove();
    virtual void PauseSound() {}
    virtual void ResumeSound() {}

    bool IsLive() const { return !Dead && Occupies && !Held; }
    bool AtTarget() const { return CellX == TargetX && CellY == TargetY; }
    // Grid tests against the game level.
    bool IsSolidAt(int32_t x, int32_t y) const;
    bool IsCellBlocked(int32_t x, int32_t y) const;
    bool CanEnter(int32_t x, int32_t y);
    bool CouldEnter(int32_t x, int32_t y);
    // Start-move operations. The target must lie inside the grid (callers test with
    // CanEnter first); a target outside is moved to but never claimed.
    void StartMoveInDirection(tDirection d);
    void StartMoveTo(int32_t x, int32_t y);
    void StartMoveOn() { StartMoveInDirection(Direction); }

    int32_t InitialX = 0;
    int32_t InitialY = 0;
    tDirection InitialDirection = Up;
    bool Occupies = false;
    bool ClaimsCells = true;
    bool Held = false;
    bool Moving = false;
    bool StaticSprite = false;
    float X = 0;
    float Y = 0;
    int32_t CellX = 0;
    int32_t CellY = 0;
    float DX = 0;
    float DY = 0;
    int32_t TargetX = 0;
    int32_t TargetY = 0;
    tDirection Direction = Up;
    uint8_t DrawLayer = 1;
    bool Dead = false;
    bool Temporary = false;
    tSprite* Sprite = nullptr;
};

// Rounds a position in cells to the nearest cell, ties to the even neighbour.
int32_t RoundCell(float v);

// The unit at a cell as the engine sees it: by initial cell in the editor view, else by
// current cell.
tUnit* UnitAtCell(int32_t x, int32_t y);

// Marks a cell as the target of a move in this turn pass; cells outside the grid are
// never marked.
void ClaimCell(int32_t x, int32_t y);
bool CellClaimed(int32_t x, int32_t y);

// The hero's carried units: at most three, first in, first out.
constexpr int CarryQueueSize = 3;
extern std::array<tUnit*, CarryQueueSize> CarriedUnits;
extern int32_t CarriedCount;
bool CarryQueueFull();
void CarryUnit(tUnit* unit);
tUnit* TakeCarriedUnit();
void ClearCarriedUnits();
// Takes a unit that is being freed out of the queue (the others move up).
void ForgetCarriedUnit(const tUnit* unit);

// The unit-kind registry: kind names of level files and the editor palette.
struct tUnitRecord {
    std::string Name;
    TClass UnitClass = nullptr;
    tSprite* Sprite = nullptr;  // the editor palette picture (not owned)
};
extern std::vector<tUnitRecord> UnitKinds;

void RegisterUnitKind(const std::string& name, TClass unitClass, tSprite* sprite);
// The class of the first kind of exactly that name (case matters); tUnit when none.
TClass UnitClassByName(const std::string& name);
// The name of the first kind of exactly that class; empty when none.
std::string UnitKindName(TClass unitClass);
// A new unit of a unit class (its virtual constructor).
std::unique_ptr<tUnit> CreateUnit(TClass unitClass);

// The mouse cursor's picture: the 32 x 32 frame at (32, 192) of "BaseGfx.jpg", hot spot
// (2, 2). Null until the engine data is initialised.
extern tSprite* CursorSprite;

// Engine data of the unit module: InitGameEngineData empties the registry and makes the
// cursor sprite (after the graphics loaders have registered "BaseGfx.jpg");
// LoadGameEngineGraphicsData remakes the sprite after a graphics reload and
// FreeGameEngineGraphicsData frees it; FreeGameEngineData frees both. The sound hooks
// have nothing to do.
void InitGameEngineData();
void FreeGameEngineData();
void LoadGameEngineGraphicsData();
void FreeGameEngineGraphicsData();
void LoadGameEngineSoundData();
void FreeGameEngineSoundData();

// ---------------------------------------------------------------------------------------
// The unit kinds of the playfield.

class tPlayer;

// The base of the kinds that look at the hero.
class tPlayerAwareUnit : public tUnit {
    TP_CLASS(tPlayerAwareUnit)
public:
    // The game level's hero; null without a level or a hero.
    tPlayer* Player() const;
};

// Pushed by the hero; fills water.
class tBoulder : public tPlayerAwareUnit {
    TP_CLASS(tBoulder)
public:
    tBoulder();
    bool TryPush(tUnit* pusher, tDirection direction) override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    bool WillInteractWithThePlayerNextTurn() override;
};

enum tWaterEdgeStyle : uint8_t { weTypeA, weTypeB, weTypeC, weSquare };
extern const TTypeInfo TypeInfo_tWaterEdgeStyle;
// Sides of a cell, bit n = tDirection n: Up 1, Right 2, Down 4, Left 8.
extern const TTypeInfo TypeInfo_tDirectionSet;

// Blocks everything but boulders until a boulder fills it; drawn as animated water.
class tWater : public tUnit {
    TP_CLASS(tWater)
public:
    tWater();
    ~tWater() override;
    bool PartOfBackground() const override;
    void DrawAtInitialCell() override;
    void Draw() override;
    void TakeTurn() override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    void Reset() override;

    // Published.
    bool GetAutoEdge() const { return AutoEdge; }
    void SetAutoEdge(bool on) { AutoEdge = on; }
    tWaterEdgeStyle GetEdgeStyle() const { return EdgeStyle; }
    void SetEdgeStyle(tWaterEdgeStyle style);
    bool GetBoulder() const { return Boulder; }
    void SetBoulder(bool on) { Boulder = on; }
    uint8_t GetEdge() const { return Edge; }
    void SetEdge(uint8_t edge) { Edge = edge & 15; }
    // The water tint now in force as hexadecimal text; written only in edit mode, where
    // it sets the level's tint.
    std::string GetTint() const;
    void SetTint(const std::string& text);

    bool Filled = false;
    bool AutoEdge = true;
    tWaterEdgeStyle EdgeStyle = weSquare;
    bool Boulder = false;
    tWaterPixels SavedPixels{};
    uint8_t Edge = 0;

private:
    // The cell's rectangle in the current target; in the frame buffer only.
    void MarkCellDirty() const;
    void MarkFrameCellDirty() const;
};

// Rubble the hero clears by stepping on it.
class tDirt : public tPlayerAwareUnit {
    TP_CLASS(tDirt)
public:
    tDirt();
    void TakeTurn() override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
};

// Spins in place; taken when the hero stands on it.
class tKey : public tPlayerAwareUnit {
    TP_CLASS(tKey)
public:
    tKey();
    void Move() override;
    void TakeTurn() override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    void Reset() override;

    int32_t SpinTicks = 0;
};

enum tJewelkinds : uint8_t { Blue_50, Magenta_100, Yellow_250, Green_1000 };
extern const TTypeInfo TypeInfo_tJewelkinds;

class tJewel : public tPlayerAwareUnit {
    TP_CLASS(tJewel)
public:
    tJewel();
    void Move() override;
    void TakeTurn() override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    void Reset() override;

    tJewelkinds GetKind() const { return Kind; }
    void SetKind(tJewelkinds kind);

    tJewelkinds Kind = Blue_50;
    int32_t SpinTicks = 0;
};

enum tExitKind : uint8_t { ExitDoor, ExitUpDoor, ExitLeft, ExitRight, ExitHatch };
extern const TTypeInfo TypeInfo_tExitKind;

// The goal: opens when every key is held and the hero walks against it; two turns later
// the level ends.
class tExit : public tPlayerAwareUnit {
    TP_CLASS(tExit)
public:
    tExit();
    void Move() override;
    void TakeTurn() override;
    bool TryPush(tUnit* pusher, tDirection direction) override;
    void Reset() override;

    tExitKind GetKind() const { return Kind; }
    void SetKind(tExitKind kind);

    tExitKind Kind = ExitDoor;
    int32_t OpenTurns = 0;
    bool Opening = false;
};

// A fixed guard: faces the hero and spits a fireball along its row when the line is
// clear (Snakes.cpp).
class tSnake : public tPlayerAwareUnit {
    TP_CLASS(tSnake)
public:
    tSnake();
    void Move() override;
    void TakeTurn() override;
    void Reset() override;

    int32_t Phase = 0;  // sway picture, 0..30
    int32_t PhaseStep = 1;
    bool FacingLeft = false;
};

// The snake's shot: flies towards the hero while he dies and burns him (run-time only).
class tFireBall : public tPlayerAwareUnit {
    TP_CLASS(tFireBall)
public:
    tFireBall();
    void DeathAnimMove() override;

    bool Hit = false;
    float Burn = 0;  // flame time in half-ticks
};

enum tWallFollowing : uint8_t { LeftWall, RightWall };
extern const TTypeInfo TypeInfo_tWallFollowing;

// Spider states.
constexpr uint8_t ssRoaming = 0, ssTrapped = 2, ssExploded = 3, ssBlastDone = 4, ssAttacking = 5, ssGone = 6;

// The roaming enemy: follows a wall, attacks a hero next to it in its row or column, and
// blows up when boxed in (Spiders.cpp).
class tSpider : public tPlayerAwareUnit {
    TP_CLASS(tSpider)
public:
    tSpider();
    void TakeTurn() override;
    void Move() override;
    void DeathAnimMove() override;
    bool TryPush(tUnit* pusher, tDirection direction) override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    bool WillInteractWithThePlayerNextTurn() override;
    void Reset() override;

    // Published.
    tDirection GetInitialDirection() const { return InitialDirection; }
    void SetInitialDirection(tDirection d);
    tWallFollowing GetWallFollowing() const { return WallFollowing; }
    void SetWallFollowing(tWallFollowing w);

    tWallFollowing WallFollowing = LeftWall;
    uint8_t SpiderState = ssRoaming;
    int32_t Patience = 0;
    int32_t MunchTicks = 0;
    int32_t WallTurns = 0;

private:
    void Roam();
    void HitNeighbours();
    void ShowFrame();
};

// Cherry bomb states.
constexpr uint8_t bsLying = 0, bsLit = 1, bsFlashing = 2, bsDetonated = 3, bsExploding = 4;

// Picked up by walking over it, dropped with Space; the fuse burns 20 turns, then the
// blast kills a hero next to it and blows up its neighbours (CherryBombs.cpp).
class tCherryBomb : public tPlayerAwareUnit {
    TP_CLASS(tCherryBomb)
public:
    tCherryBomb();
    ~tCherryBomb() override;
    void Drop() override;
    void Draw() override;
    void Move() override;
    void DeathAnimMove() override { Move(); }
    void TakeTurn() override;
    bool TryPush(tUnit* pusher, tDirection direction) override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    bool WillInteractWithThePlayerNextTurn() override;
    void Reset() override;
    void PauseSound() override;
    void ResumeSound() override;

    void Detonate();
    // Stops the looping fuse sample (when it has a channel) and forgets the channel.
    void StopFuseSound();

    int32_t Fuse = 20;
    int32_t LitFrame = 0;
    int32_t FlashTicks = 0;
    int32_t BlastTicks = 0;
    int32_t BlastTurns = 0;
    uint8_t BombState = bsLying;
    int32_t FuseChannel = -1;

private:
    void AreaBlast();
};

// The engine TurnCount at which the pick-up sound last played; -9 after any bomb's reset.
extern int32_t LastPickupSoundTurn;

// The blast picture of a spider or over a unit being blown up (run-time only). Attached
// to a unit, it follows it and kills it at its next turn.
class tExplosion1 : public tUnit {
    TP_CLASS(tExplosion1)
public:
    tExplosion1();
    void AttachTo(tUnit* unit);
    void Move() override;
    void DeathAnimMove() override { Move(); }
    void TakeTurn() override;

    int32_t BlastTicks = 0;
    // Never a temporary unit: explosions are freed (restart, level load) before their
    // targets can be.
    tUnit* Target = nullptr;
};

// Adds an explosion attached to the unit; it joins after the current pass.
void ExplodeOver(tUnit* unit);
// Stops the fuse sound of every cherry bomb of the game level (before the sound system
// closes, so no bomb keeps a channel across it).
void StopFuseSounds();

// One term of a sign's trigger.
enum tTriggerQuantity : uint8_t { tqKeysLeft, tqKeysCollected, tqGemsLeft, tqGemsCollected };
enum tTriggerTest : uint8_t { ttEqual, ttLess, ttGreater, ttLessOrEqual, ttGreaterOrEqual, ttDifferent, ttBeenTo, ttAt };
struct tTriggerTerm {
    uint8_t Quantity = tqKeysLeft;
    int32_t Value = 0;
    int32_t X = 0;
    int32_t Y = 0;
    uint8_t Test = ttEqual;
};

// An invisible information sign: when its trigger holds (or, without one, when the hero
// stands on it), and after a delay, it opens the information pop-up (InfoSigns.cpp).
class tInfo : public tPlayerAwareUnit {
    TP_CLASS(tInfo)
public:
    tInfo();
    void DrawAtInitialCell() override;
    void Draw() override {}
    void TakeTurn() override;
    bool TryPush(tUnit*, tDirection) override { return true; }
    bool QueryPush(tUnit*, tDirection) override { return true; }
    void Reset() override;

    // Published.
    const std::string& GetImageName() const { return ImageName; }
    void SetImageName(const std::string& name) { ImageName = name; }
    const std::string& GetTrigger() const { return Trigger; }
    // Parses the text into terms; raises Exception "Couldn't Interpret Trigger String"
    // CR + the reason (the text is kept, with no terms).
    void SetTrigger(const std::string& text);
    int32_t GetTriggerDelay() const { return TriggerDelay; }
    void SetTriggerDelay(int32_t delay) { TriggerDelay = delay; }
    const std::string& GetCaption() const { return Caption; }
    void SetCaption(const std::string& text);
    bool GetPopupOnce() const { return PopupOnce; }
    void SetPopupOnce(bool once) { PopupOnce = once; }

    // Whether every term holds now (true without terms).
    bool TermsHold() const;

    std::string ImageName;
    bool Triggered = false;
    std::string Trigger;
    int32_t TriggerDelay = 0;
    std::string Caption;
    bool PopupOnce = true;
    std::vector<tTriggerTerm> Terms;
    int32_t Countdown = 0;
    bool Shown = false;

private:
    void OpenPopUp();
};

// The unit module: InitUnitData registers the kinds; the loaders make and free every
// unit sprite and sample.
void InitUnitData();
void FreeUnitData();
void LoadUnitGraphicsData();
void FreeUnitGraphicsData();
void LoadUnitSoundData();
void FreeUnitSoundData();
