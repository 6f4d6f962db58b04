#pragma once
// Small unit kinds for the level tests: one of every property type, a pushable block and
// a unit that walks and logs its turns. Registered by RegisterTestKinds.
#include <string>
#include <vector>

#include "tesk/game/Levels.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Misc.h"

enum tTestColour : uint8_t { tcRed, tcGreen, tcBlue };
inline const TTypeInfo TypeInfo_tTestColour = MakeEnumType("tTestColour", {"Red", "Green", "Blue"});
inline const TTypeInfo TypeInfo_tTestDirections = MakeSetType("tTestDirections", &TypeInfo_tDirection);
inline const TTypeInfo TypeInfo_tTestObject = MakeClassType("TObject");  // a class-valued property

// Every kind of property a unit may publish.
class tTestSign : public tUnit {
    TP_CLASS(tTestSign)
public:
    tDirection GetInitialDirection() const { return InitialDirection; }
    void SetInitialDirection(tDirection d) { InitialDirection = d; }
    tTestColour GetColour() const { return FColour; }
    void SetColour(tTestColour c) { FColour = c; }
    uint8_t GetEdge() const { return FEdge; }
    void SetEdge(uint8_t e) { FEdge = e; }
    bool GetPopupOnce() const { return FPopupOnce; }
    void SetPopupOnce(bool b) { FPopupOnce = b; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& s);  // upper-cases
    const std::string& GetTrigger() const { return FTrigger; }
    void SetTrigger(const std::string& s);  // raises on "Bad..."
    int32_t GetTriggerDelay() const { return FTriggerDelay; }
    void SetTriggerDelay(int32_t v) { FTriggerDelay = v; }
    double GetScale() const { return FScale; }
    void SetScale(double v) { FScale = v; }
    char GetLetter() const { return FLetter; }
    void SetLetter(char c) { FLetter = c; }
    const std::string& GetTag() const { return FTag; }
    void SetTag(const std::string& s) { FTag = s; }

    tTestColour FColour = tcRed;
    uint8_t FEdge = 0;
    bool FPopupOnce = false;
    std::string FCaption;
    std::string FTrigger;
    int32_t FTriggerDelay = 0;
    double FScale = 0;
    char FLetter = 0;
    std::string FTag;
};

// A block that moves along when pushed.
class tTestBlock : public tUnit {
    TP_CLASS(tTestBlock)
public:
    bool TryPush(tUnit* pusher, tDirection direction) override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    int Pushes = 0;
};

// Walks in its direction every turn when it can enter; logs its turns and moves.
class tTestWalker : public tUnit {
    TP_CLASS(tTestWalker)
public:
    tDirection GetInitialDirection() const { return InitialDirection; }
    void SetInitialDirection(tDirection d) { InitialDirection = d; }
    void TakeTurn() override;
    void Move() override;
    bool WillInteractWithThePlayerNextTurn() override { return Interacts; }
    void PauseSound() override { ++Pauses; }

    bool Interacts = false;
    int Pauses = 0;
    static inline std::vector<const tUnit*> TurnLog;
    static inline int MoveCount = 0;
};


// Walks every turn; at a wall it turns back. Other units do not stop it, and it claims no
// cells.
class tBouncer : public tUnit {
    TP_CLASS(tBouncer)
public:
    tBouncer()
    {
        ClaimsCells = false;
        Sprite = Picture;
    }
    tDirection GetInitialDirection() const { return InitialDirection; }
    void SetInitialDirection(tDirection d) { InitialDirection = d; }
    void TakeTurn() override
    {
        for (int tries = 0; tries < 2; ++tries) {
            const tCellDelta d = DirectionDelta[Direction];
            if (!IsSolidAt(CellX + d.DX, CellY + d.DY)) {
                StartMoveInDirection(Direction);
                return;
            }
            Direction = static_cast<tDirection>((Direction + 2) & 3);
        }
    }
    // The picture new bouncers get.
    static inline tSprite* Picture = nullptr;
};

class tTestPlayer : public tTestWalker {
    TP_CLASS(tTestPlayer)
};

inline TP_CLASS_INFO(tTestSign, tUnit,
              StrProp("Caption", &tTestSign::GetCaption, &tTestSign::SetCaption),
              OrdProp("Colour", &TypeInfo_tTestColour, &tTestSign::GetColour, &tTestSign::SetColour),
              OrdProp("Edge", &TypeInfo_tTestDirections, &tTestSign::GetEdge, &tTestSign::SetEdge),
              OrdProp("InitialDirection", &TypeInfo_tDirection, &tTestSign::GetInitialDirection,
                      &tTestSign::SetInitialDirection),
              OrdProp("Letter", &TypeInfo_Char, &tTestSign::GetLetter, &tTestSign::SetLetter),
              OpaqueProp("OnPopup", &TypeInfo_Method),
              OpaqueProp("Owner", &TypeInfo_tTestObject),
              BoolProp("PopupOnce", &tTestSign::GetPopupOnce, &tTestSign::SetPopupOnce),
              FloatProp("Scale", &tTestSign::GetScale, &tTestSign::SetScale),
              StrProp("Tag", &tTestSign::GetTag, &tTestSign::SetTag, &TypeInfo_ShortString),
              StrProp("Trigger", &tTestSign::GetTrigger, &tTestSign::SetTrigger),
              IntProp("TriggerDelay", &tTestSign::GetTriggerDelay, &tTestSign::SetTriggerDelay))

inline TP_CLASS_INFO(tTestBlock, tUnit)

inline TP_CLASS_INFO(tTestWalker, tUnit,
              OrdProp("InitialDirection", &TypeInfo_tDirection, &tTestWalker::GetInitialDirection,
                      &tTestWalker::SetInitialDirection))

inline TP_CLASS_INFO(tTestPlayer, tTestWalker)

inline TP_CLASS_INFO(tBouncer, tUnit,
                     OrdProp("InitialDirection", &TypeInfo_tDirection, &tBouncer::GetInitialDirection,
                             &tBouncer::SetInitialDirection))


inline void tTestSign::SetCaption(const std::string& s)
{
    FCaption = UpperCased(s);
}

inline void tTestSign::SetTrigger(const std::string& s)
{
    if (s.rfind("Bad", 0) == 0)
        throw Exception("Couldn't Interpret Trigger String " + s);
    FTrigger = s;
}

inline bool tTestBlock::QueryPush(tUnit*, tDirection direction)
{
    const tCellDelta d = DirectionDelta[direction];
    return CouldEnter(CellX + d.DX, CellY + d.DY);
}

inline bool tTestBlock::TryPush(tUnit*, tDirection direction)
{
    const tCellDelta d = DirectionDelta[direction];
    Direction = direction;
    if (!CanEnter(CellX + d.DX, CellY + d.DY))
        return false;
    ++Pushes;
    StartMoveInDirection(direction);
    return true;
}

inline void tTestWalker::TakeTurn()
{
    TurnLog.push_back(this);
    const tCellDelta d = DirectionDelta[Direction];
    if (CanEnter(CellX + d.DX, CellY + d.DY))
        StartMoveOn();
}

inline void tTestWalker::Move()
{
    ++MoveCount;
    tUnit::Move();
}

inline void RegisterTestKinds()
{
    UnitKinds.clear();
    RegisterUnitKind("Player", tTestPlayer::StaticClass(), nullptr);
    RegisterUnitKind("FakePlayer", tTestPlayer::StaticClass(), nullptr);
    RegisterUnitKind("Sign", tTestSign::StaticClass(), nullptr);
    RegisterUnitKind("Block", tTestBlock::StaticClass(), nullptr);
    RegisterUnitKind("Walker", tTestWalker::StaticClass(), nullptr);
}

inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

inline std::vector<std::string> GridLines(const std::string& cell)
{
    std::string line;
    for (int x = 0; x < 16; ++x)
        line += (x ? "," : "") + cell;
    return std::vector<std::string>(15, line);
}
