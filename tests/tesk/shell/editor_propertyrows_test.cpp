// The editor's property inspector on the Objects page: a row per published property of
// the inspected unit in name order, a control by the property's kind, values applied by
// Enter, on leaving the field or by the combo's choice and read back after the level
// restarts (a refused value shows the old one), Esc putting the stored value back, the
// rows following a dragged unit, and the rows going whenever their unit does.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Keys.h"
#include "platform/System.h"
#include "tesk/game/Units.h"
#include "tesk/widgets/NumEdits.h"
#include "tests/tesk/shell/ShellHarness.h"
#include "tests/tesk/widgets/EditTestSupport.h"

namespace {

// A kind with a float property and one of a kind no row can edit (none of the game's
// kinds has either).
class tGauge : public tUnit {
    TP_CLASS(tGauge)
public:
    double GetLevel() const { return Level; }
    void SetLevel(double v) { Level = v; }
    double Level = 1.5;
};

const TTypeInfo TypeInfo_tGaugeOwner = MakeClassType("tGaugeOwner");

} // namespace

TP_CLASS_INFO(tGauge, tUnit, FloatProp("Level", &tGauge::GetLevel, &tGauge::SetLevel),
              OpaqueProp("Owner", &TypeInfo_tGaugeOwner))

namespace {

class Inspector : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        setenv("TP_START_ENTRY", "0", 1);
        WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
        Start();
        ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
        TestHooks::KeyStroke(Form1, VK_F12);
        TestHooks::SetActiveForm(Form1);
        Editor->Editing->SetChecked(true);
        Editor->PageControl1->SetActivePage(Editor->ObjectTabSheet);
        Editor->PageControl1Change(Editor->PageControl1);
        Kinds = UnitKinds;
    }
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        if (Editor)
            Editor->SelectUnit(nullptr);
        UnitKinds = Kinds;
        ShellTest::TearDown();
    }
    static TPoint CellPoint(int x, int y) { return TPoint{128 + 32 * x + 16, 32 * y + 16}; }
    // A unit of the kind placed on the cell through the strip and a press; it is inspected.
    tUnit* Place(const std::string& kind, int x, int y, TClass cls = nullptr)
    {
        int32_t index = -1;
        for (size_t i = 0; i < UnitKinds.size(); ++i)
            if (UnitKinds[i].Name == kind)
                index = static_cast<int32_t>(i);
        if (index < 0 && cls) {
            RegisterUnitKind(kind, cls, nullptr);
            index = static_cast<int32_t>(UnitKinds.size()) - 1;
        }
        EXPECT_GE(index, 0) << kind;
        Editor->SelectedTemplate = index;
        TestHooks::SetActiveForm(Form1);
        TestHooks::KeyStroke(Form1, 'A');
        TestHooks::MouseDown(Form1, mbLeft, CellPoint(x, y));
        TestHooks::MouseUp(Form1, mbLeft, CellPoint(x, y));
        EXPECT_NE(Editor->InspectedUnit, nullptr);
        return Editor->InspectedUnit;
    }
    // The editor control of the row named so (null when none).
    static TControl* Row(const std::string& name)
    {
        const tOwnerList<TControl>& rows = Editor->PropertyRows;
        for (int i = 0; i + 1 < rows.Count(); i += 2)
            if (rows[i]->Caption() == name)
                return rows[i + 1];
        return nullptr;
    }
    template <class T>
    static T* RowOf(const std::string& name)
    {
        auto* c = dynamic_cast<T*>(Row(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static std::vector<std::string> RowNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < Editor->PropertyRows.Count(); i += 2)
            names.push_back(Editor->PropertyRows[i]->Caption());
        return names;
    }
    // Gives the row's control the keyboard in the editor's window.
    static void Focus(TControl* control)
    {
        TestHooks::SetActiveForm(Editor);
        Editor->SetActiveControl(static_cast<TWinControl*>(control));
    }
    static void Type(const std::string& text) { TypeText(Editor, text); }
    static void Key(WORD key) { TestHooks::KeyStroke(Editor, key); }
    std::vector<tUnitRecord> Kinds;
};

} // namespace

TEST_F(Inspector, RowsFollowThePropertyTableInNameOrderWithAControlByKind)
{
    const struct {
        const char* Kind;
        const char* ClassName;
        std::vector<std::string> Rows;
    } kinds[] = {
        {"Spider", "tSpider", {"InitialDirection", "InitialX", "InitialY", "WallFollowing"}},
        {"Water", "tWater", {"AutoEdge", "Boulder", "Edge", "EdgeStyle", "InitialX", "InitialY", "Tint"}},
        {"Info", "tInfo", {"Caption", "ImageName", "InitialX", "InitialY", "PopupOnce", "Trigger", "TriggerDelay"}},
        {"Boulder", "tBoulder", {"InitialX", "InitialY"}},
    };
    int x = 3;
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.Kind);
        Place(k.Kind, x++, 5);
        EXPECT_EQ(Editor->SelectedUnitLabel->Caption(), k.ClassName);
        EXPECT_EQ(RowNames(), k.Rows);
    }
    // Water: the layout and the controls.
    Place("Water", 9, 9);
    const int page = Editor->ObjectTabSheet->Width();
    const tOwnerList<TControl>& rows = Editor->PropertyRows;
    for (int n = 0; n < rows.Count() / 2; ++n) {
        EXPECT_EQ(rows[2 * n]->Left(), 8);
        EXPECT_EQ(rows[2 * n]->Top(), n * 20 + 36);
        EXPECT_EQ(rows[2 * n + 1]->Top(), n * 20 + 32);
        EXPECT_EQ(rows[2 * n + 1]->Left(), page - 90 - 4);
        EXPECT_EQ(rows[2 * n + 1]->Width(), 90);
        EXPECT_TRUE(rows[2 * n + 1]->Enabled());
    }
    auto* autoEdge = RowOf<TComboBox>("AutoEdge");
    EXPECT_EQ(autoEdge->Items(), (std::vector<std::string>{"False", "True"}));
    EXPECT_EQ(autoEdge->Text(), "True");
    auto* water = static_cast<tWater*>(Editor->InspectedUnit);
    EXPECT_EQ(RowOf<TComboBox>("EdgeStyle")->Text(),
              GetEnumName(GetPropInfo(tWater::StaticClass(), "EdgeStyle")->PropType, water->GetEdgeStyle()));
    auto* edge = RowOf<TExCalcEdit>("Edge");
    EXPECT_EQ(edge->ButtonWidth(), 0);
    EXPECT_EQ(edge->Value(), water->GetEdge()) << "a set shows its bit mask";
    EXPECT_EQ(RowOf<TExCalcEdit>("InitialX")->Value(), 9);
    EXPECT_NE(dynamic_cast<TEdit*>(Row("Tint")), nullptr);

    // A float property has a numeric row; a kind of property no row edits an empty label.
    tUnit* gauge = Place("Gauge", 2, 12, tGauge::StaticClass());
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"InitialX", "InitialY", "Level", "Owner"}));
    EXPECT_EQ(RowOf<TExCalcEdit>("Level")->Value(), 1.5);
    auto* owner = dynamic_cast<TLabel*>(Row("Owner"));
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->Caption(), "");
    EXPECT_EQ(owner->Tag(), 0);

    // Editing off disables every row control, labels too.
    Editor->Editing->SetChecked(false);
    for (int i = 0; i < rows.Count(); ++i)
        EXPECT_FALSE(rows[i]->Enabled());
    EXPECT_EQ(Editor->InspectedUnit, gauge);
}

TEST_F(Inspector, NumberRowsApplyOnEnterAndOnLeavingAndReadTheValueBack)
{
    auto* info = static_cast<tInfo*>(Place("Info", 4, 6));
    auto* delay = RowOf<TExCalcEdit>("TriggerDelay");
    auto* column = RowOf<TExCalcEdit>("InitialX");
    const uint32_t restarts = Engine->Level.ResetCount;
    Focus(delay);
    delay->SelectAll();
    Type("3.9");
    Key(VK_RETURN);
    EXPECT_EQ(info->GetTriggerDelay(), 3) << "truncated";
    EXPECT_EQ(delay->Text(), "3");
    EXPECT_GT(Engine->Level.ResetCount, restarts) << "the level restarted";
    // Beyond the 32-bit range it is held to it.
    delay->SelectAll();
    Type("99999999999");
    Key(VK_RETURN);
    EXPECT_EQ(info->GetTriggerDelay(), 2147483647);
    // A column off the grid is refused by the setter: the old one shows again.
    Focus(column);
    column->SelectAll();
    Type("20");
    Key(VK_RETURN);
    EXPECT_EQ(info->InitialX, 4);
    EXPECT_EQ(column->Value(), 4);
    // Leaving the field applies too.
    column->SelectAll();
    Type("7");
    Editor->SetActiveControl(delay);
    EXPECT_EQ(info->InitialX, 7);
    EXPECT_EQ(info->X, 7.0f);
    // Esc puts the stored value back.
    Focus(column);
    column->SelectAll();
    Type("11");
    Key(VK_ESCAPE);
    EXPECT_EQ(column->Value(), 7);
    EXPECT_EQ(info->InitialX, 7);
    // Text that is no number cannot even be typed.
    column->SelectAll();
    const int beeps = TestHooks::BeepCount();
    Type("abc");
    EXPECT_GT(TestHooks::BeepCount(), beeps);
    Key(VK_RETURN);
    EXPECT_EQ(info->InitialX, 7);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});

    // The float row.
    auto* gauge = static_cast<tGauge*>(Place("Gauge", 2, 12, tGauge::StaticClass()));
    auto* level = RowOf<TExCalcEdit>("Level");
    Focus(level);
    level->SelectAll();
    Type("2.25");
    Key(VK_RETURN);
    EXPECT_EQ(gauge->Level, 2.25);
}

TEST_F(Inspector, StringRowsApplyOnEnterOnlyAndARefusedTriggerKeepsTheTypedText)
{
    auto* info = static_cast<tInfo*>(Place("Info", 4, 6));
    auto* caption = RowOf<TEdit>("Caption");
    Focus(caption);
    caption->SelectAll();
    Type("two words");
    const int beeps = TestHooks::BeepCount();
    Key(VK_RETURN);
    EXPECT_EQ(TestHooks::BeepCount(), beeps) << "Enter is swallowed";
    EXPECT_EQ(info->GetCaption(), "TWO WORDS");
    EXPECT_EQ(caption->Text(), "TWO WORDS") << "read back";
    // Leaving does not apply; Esc puts the stored text back without a restart.
    caption->SelectAll();
    Type("other");
    Editor->SetActiveControl(RowOf<TEdit>("ImageName"));
    EXPECT_EQ(info->GetCaption(), "TWO WORDS");
    Focus(caption);
    const uint32_t restarts = Engine->Level.ResetCount;
    Key(VK_ESCAPE);
    EXPECT_EQ(caption->Text(), "TWO WORDS");
    EXPECT_EQ(Engine->Level.ResetCount, restarts);

    // A trigger that does not parse: the message says why, the row keeps what was typed,
    // the sign keeps its trigger.
    const std::string trigger = info->GetTrigger();
    auto* row = RowOf<TEdit>("Trigger");
    Focus(row);
    row->SetText("KeysLeft>>1");
    Key(VK_RETURN);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(BoxTexts()[0].find("Couldn't Interpret Trigger String"), std::string::npos);
    EXPECT_EQ(row->Text(), "KeysLeft>>1");
    EXPECT_EQ(info->GetTrigger(), trigger);
}

TEST_F(Inspector, EnumerationRowsApplyTheChoiceAndSwallowEveryKey)
{
    auto* spider = static_cast<tSpider*>(Place("Spider", 6, 6));
    auto* direction = RowOf<TComboBox>("InitialDirection");
    const std::string before = direction->Text();
    Focus(direction);
    for (WORD key : {WORD(VK_DOWN), WORD(VK_UP), WORD('L'), WORD(VK_RETURN)})
        Key(key);
    EXPECT_EQ(direction->Text(), before);
    EXPECT_EQ(GetEnumName(&TypeInfo_tDirection, spider->GetInitialDirection()), before);
    // The user's choice from the list applies at once.
    direction->SetItemIndex(3);
    direction->OnChange(direction);
    EXPECT_EQ(spider->GetInitialDirection(), Left);
    EXPECT_EQ(direction->Text(), "Left");
}

TEST_F(Inspector, SelectingTheSameUnitRebuildsNothingAndDraggingUpdatesTheCellRows)
{
    tUnit* key = Place("Key", 5, 5);
    auto* column = RowOf<TExCalcEdit>("InitialX");
    Focus(column);
    column->SelectAll();
    Type("12");
    TestHooks::SetActiveForm(Form1);
    Editor->SelectUnit(key);
    EXPECT_EQ(Row("InitialX"), column) << "the same controls";
    EXPECT_EQ(column->Text(), "12") << "typed but not applied";
    Editor->RefreshInspector();
    EXPECT_EQ(column->Value(), 5);

    // Dragging: the rows follow the unit cell by cell.
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(5, 5));
    TestHooks::MouseMove(Form1, CellPoint(9, 11));
    EXPECT_EQ(RowOf<TExCalcEdit>("InitialX")->Value(), 9);
    EXPECT_EQ(RowOf<TExCalcEdit>("InitialY")->Value(), 11);
    // Dragged to the side panel it stays where it was.
    TestHooks::MouseMove(Form1, TPoint{40, 40});
    EXPECT_EQ(key->InitialX, 9);
    TestHooks::MouseUp(Form1, mbLeft, TPoint{40, 40});
    // Deleted: the page is empty.
    TestHooks::KeyStroke(Form1, VK_DELETE);
    EXPECT_EQ(Editor->InspectedUnit, nullptr);
    EXPECT_EQ(Editor->PropertyRows.Count(), 0);
    EXPECT_EQ(Editor->SelectedUnitLabel->Caption(), "");
}
