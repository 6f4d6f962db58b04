// Information signs: the trigger grammar and its errors, the conditions, the delay, the
// stand-on rule, the recorder's silence, once per level, the pictures that may be shown
// and the pop-up call itself.
#include "tests/tesk/game/KindsFixture.h"

#include <filesystem>

#include "tesk/game/Levels.h"

namespace {

const std::string Picture = "BaseGfx.jpg";  // any packaged file will do: the hook shows it

class SignTest : public KindsSuite {
protected:
    tInfo* Sign(int32_t x, int32_t y, const std::string& trigger, int32_t delay)
    {
        tInfo* s = Put<tInfo>(x, y);
        s->SetTrigger(trigger);
        s->TriggerDelay = delay;
        s->ImageName = Picture;
        s->SetCaption("Read me");
        return s;
    }
    // One turn pass at the current positions.
    void Pass()
    {
        Boundary();
        Level().TakeTurns();
        ++Eng->TurnCount;
    }
    // Turns until the first pop-up (at most n); the number of turns taken, 0 for none.
    int PassesUntilPopUp(int n)
    {
        for (int i = 1; i <= n; ++i) {
            Pass();
            if (!PopUps.empty())
                return i;
        }
        return 0;
    }
    void Clear()
    {
        Level().FreeAllUnits();
        Recorder.Clear();
        PopUps.clear();
        Eng->GameMode = gmPlaying;
    }
};

std::string ErrorOf(const std::string& trigger)
{
    tInfo sign;
    try {
        sign.SetTrigger(trigger);
    } catch (const Exception& e) {
        EXPECT_TRUE(sign.Terms.empty()) << trigger;
        EXPECT_EQ(sign.Trigger, trigger);
        return e.Message();
    }
    return "no error";
}

TEST(SignTrigger, TheGrammarParsesTermByTerm)
{
    struct Want {
        uint8_t Test, Quantity;
        int32_t Value, X, Y;
    };
    const struct {
        std::string Text;
        std::vector<Want> Terms;
    } cases[] = {
        {"KeysLeft=0", {{ttEqual, tqKeysLeft, 0, 0, 0}}},
        {"keysleft = 0", {{ttEqual, tqKeysLeft, 0, 0, 0}}},
        {"KeysLeft=0;", {{ttEqual, tqKeysLeft, 0, 0, 0}}},
        {"GemsCollected >= 3", {{ttGreaterOrEqual, tqGemsCollected, 3, 0, 0}}},
        {"KEYSCOLLECTED<2;gemsleft<>1;GemsLeft<=4;KeysLeft>0", {{ttLess, tqKeysCollected, 2, 0, 0},
                                                                    {ttDifferent, tqGemsLeft, 1, 0, 0},
                                                                    {ttLessOrEqual, tqGemsLeft, 4, 0, 0},
                                                                    {ttGreater, tqKeysLeft, 0, 0, 0}}},
        {"At(4,7);beento(0,14)", {{ttAt, 0, 0, 4, 7}, {ttBeenTo, 0, 0, 0, 14}}},
        {"BeenTo(99,99)", {{ttBeenTo, 0, 0, 99, 99}}},
        {"At(-1,5)", {{ttAt, 0, 0, -1, 5}}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        tInfo sign;
        sign.SetTrigger(c.Text);
        EXPECT_EQ(sign.Trigger, c.Text);
        ASSERT_EQ(sign.Terms.size(), c.Terms.size());
        for (size_t i = 0; i < c.Terms.size(); ++i) {
            const tTriggerTerm& t = sign.Terms[i];
            EXPECT_EQ(t.Test, c.Terms[i].Test) << i;
            if (t.Test == ttAt || t.Test == ttBeenTo) {
                EXPECT_EQ(t.X, c.Terms[i].X) << i;
                EXPECT_EQ(t.Y, c.Terms[i].Y) << i;
            } else {
                EXPECT_EQ(t.Quantity, c.Terms[i].Quantity) << i;
                EXPECT_EQ(t.Value, c.Terms[i].Value) << i;
            }
        }
    }
}

TEST(SignTrigger, ErrorsNameTheTermAndLeaveNoTerms)
{
    const std::string head = "Couldn't Interpret Trigger String\r";
    const struct {
        std::vector<std::string> Texts;
        std::string Error;
    } cases[] = {
        {{"KeysLeft=>1", "KeysLeft", "KeysLeft==1", "GemsLeft<>x"}, "Invalid operator in trigger 1"},
        {{"At(3,4);Foo", "At(1,1);;KeysLeft=0", "KeysLeft=0;;"}, "Bad start to trigger 2"},
        {{";At(1,1)", "Foo", "=3"}, "Bad start to trigger 1"},
        {{"At 3,4", "At(", "BeenTo3,4)", "At(3,4"}, "Not a valid location Specified in trigger 1"},
        {{"KeysLeft=12x"}, "'12x' is not a valid integer value"},
        {{"KeysLeft=99999999999"}, "'99999999999' is not a valid integer value"},
        {{"KeysLeft=1e3"}, "'1e3' is not a valid integer value"},
        {{"KeysLeft=0x10"}, "'0x10' is not a valid integer value"},
        {{"At(1)", "At()"}, "'' is not a valid integer value"},
        {{"At(a,b)"}, "'b' is not a valid integer value"},
        {{"At(a,5)"}, "'a' is not a valid integer value"},
        {{"KeysLeft=1;GemsLeft=1;At(1,2);Bogus"}, "Bad start to trigger 4"},
    };
    for (const auto& c : cases)
        for (const std::string& text : c.Texts)
            EXPECT_EQ(ErrorOf(text), head + c.Error) << text;
    // A new parse frees the old terms; an error leaves none.
    tInfo sign;
    sign.SetTrigger("KeysLeft=0;At(1,1)");
    ASSERT_EQ(sign.Terms.size(), 2u);
    EXPECT_THROW(sign.SetTrigger("KeysLeft=0;Nope"), Exception);
    EXPECT_TRUE(sign.Terms.empty());
    sign.SetTrigger("GemsLeft=1");
    EXPECT_EQ(sign.Terms.size(), 1u);
}

TEST(SignTrigger, AMegabyteTriggerParsesTermByTermAndJunkFailsAtTermOne)
{
    std::string valid;
    while (valid.size() < (1u << 20))
        valid += "KeysLeft >= 0;";
    tInfo sign;
    sign.SetTrigger(valid);
    EXPECT_EQ(sign.Terms.size(), valid.size() / 14);
    EXPECT_TRUE(sign.TermsHold());
    EXPECT_EQ(ErrorOf(std::string(1u << 20, '#')), "Couldn't Interpret Trigger String\rBad start to trigger 1");
    const std::string caption(1u << 20, 'q');
    sign.SetCaption(caption);
    EXPECT_EQ(sign.Caption, std::string(1u << 20, 'Q'));
}

TEST_F(SignTest, KeysLeftZeroOpensInTheTurnTheLastKeyIsTakenOrAfterTheDelay)
{
    for (int32_t delay : {0, 3}) {
        SCOPED_TRACE(delay);
        tActualPlayer* hero = ActiveHero(2, 2);
        Put<tKey>(3, 2);
        Put<tKey>(4, 2);
        Sign(9, 9, "KeysLeft=0", delay);
        Restart();
        hero->PlayerState = psActive;
        Level().FreeTemporaryUnits();
        ASSERT_EQ(LevelKeys, 2);
        hero->X = 3;
        Pass();
        EXPECT_EQ(CollectedKeys, 1);
        hero->X = 4;
        Pass();
        ASSERT_EQ(CollectedKeys, 2);
        EXPECT_EQ(PopUps.size(), delay == 0 ? 1u : 0u);
        // The condition goes on holding; the sign still opens after the delay.
        for (int i = 1; i <= delay; ++i) {
            Pass();
            EXPECT_EQ(PopUps.size(), i == delay ? 1u : 0u) << i;
        }
        Pass();
        EXPECT_EQ(PopUps.size(), 1u);
        Clear();
    }
}

TEST_F(SignTest, AtOpensTheDelayAfterTheFirstTurnItHeld)
{
    tActualPlayer* hero = ActiveHero(5, 4);
    tInfo* sign = Sign(9, 9, "At(5,5)", 2);
    Pass();
    EXPECT_FALSE(sign->Triggered);
    hero->Y = 5;
    EXPECT_EQ(PassesUntilPopUp(4), 3);  // the turn it first held, then two more
    EXPECT_TRUE(hero->IsAt(5, 5));
    EXPECT_TRUE(sign->Dead);
}

TEST_F(SignTest, WithoutATriggerTheHeroStandingOnItOpensIt)
{
    for (int32_t delay : {0, 3}) {
        SCOPED_TRACE(delay);
        tActualPlayer* hero = ActiveHero(5, 4);
        tInfo* sign = Sign(5, 5, "", delay);
        Pass();
        EXPECT_FALSE(sign->Triggered);
        hero->Y = 5;
        Pass();
        EXPECT_TRUE(sign->Triggered);
        EXPECT_EQ(PopUps.size(), delay == 0 ? 1u : 0u);
        hero->Y = 6;  // once triggered, leaving does not stop it
        if (delay) {
            EXPECT_EQ(PassesUntilPopUp(5), delay);
        }
        EXPECT_EQ(PopUps.size(), 1u);
        Clear();
    }
}

TEST_F(SignTest, BeenToHoldsOnceTheHeroHasStoodThereSinceTheRestart)
{
    tActualPlayer* hero = ActiveHero(2, 2);
    tInfo* sign = Sign(9, 9, "BeenTo(2,3)", 5);
    Pass();
    EXPECT_FALSE(sign->TermsHold());
    hero->Y = 3;
    Pass();
    EXPECT_TRUE(sign->TermsHold());
    hero->Y = 4;
    Pass();
    EXPECT_TRUE(sign->TermsHold());
    tInfo* outside = Sign(9, 10, "BeenTo(99,99)", 0);
    tInfo* negative = Sign(9, 11, "At(-1,5)", 0);
    EXPECT_FALSE(outside->TermsHold());
    EXPECT_FALSE(negative->TermsHold());
    hero->Reset();
    EXPECT_FALSE(sign->TermsHold());
}

TEST_F(SignTest, NoSignOpensOrCountsDownWhileRecordingOrPlayingBack)
{
    for (int mode = 0; mode < 2; ++mode) {
        SCOPED_TRACE(mode);
        tActualPlayer* hero = ActiveHero(5, 5);
        tInfo* sign = Sign(5, 5, "", 0);
        tInfo* counting = Sign(9, 9, "At(5,5)", 3);
        counting->Triggered = true;
        counting->Countdown = 2;
        if (mode == 0)
            Recorder.StartRecording();
        else
            Recorder.StartPlayback();
        for (int i = 0; i < 5; ++i)
            Pass();
        EXPECT_TRUE(PopUps.empty());
        EXPECT_FALSE(sign->Triggered);
        EXPECT_EQ(counting->Countdown, 2);
        (void)hero;
        Clear();
    }
}

TEST_F(SignTest, PopupOnceHoldsAcrossRestartsUntilTheEditorViewDrawsIt)
{
    for (bool once : {true, false}) {
        SCOPED_TRACE(once);
        tActualPlayer* hero = ActiveHero(5, 5);
        tInfo* sign = Sign(5, 5, "", 0);
        sign->PopupOnce = once;
        Pass();
        ASSERT_EQ(PopUps.size(), 1u);
        EXPECT_TRUE(sign->Shown);
        Pass();
        EXPECT_EQ(PopUps.size(), 1u);  // once per life either way: the sign is dead
        for (int life = 2; life <= 3; ++life) {
            Restart();
            hero->PlayerState = psActive;
            Level().FreeTemporaryUnits();
            EXPECT_FALSE(sign->Triggered);
            EXPECT_EQ(sign->Countdown, 0);
            Pass();
            Pass();
            EXPECT_EQ(PopUps.size(), once ? 1u : static_cast<size_t>(life));
        }
        sign->DrawAtInitialCell();
        EXPECT_FALSE(sign->Shown);
        EXPECT_EQ(sign->Sprite, &UnitSprites.SignPalette);
        Restart();
        hero->PlayerState = psActive;
        Level().FreeTemporaryUnits();
        const size_t before = PopUps.size();
        Pass();
        EXPECT_EQ(PopUps.size(), before + 1);
        Clear();
    }
}

TEST_F(SignTest, ANameThatIsNoPackagedFileShowsNothingAndTheSignDies)
{
    std::filesystem::create_directories(std::filesystem::path(Program().Path()) / "Folder");
    for (const std::string& name :
         {std::string("NoSuchPicture.jpg"), std::string(""), std::string("Folder"), std::string("/etc/passwd"),
          std::string("\\BaseGfx.jpg"), std::string("C:BaseGfx.jpg"), std::string("samples/../BaseGfx.jpg"),
          std::string("..\\Base.Tarvol")}) {
        SCOPED_TRACE(name);
        ActiveHero(5, 5);
        tInfo* sign = Sign(5, 5, "", 0);
        sign->ImageName = name;
        Pass();
        EXPECT_TRUE(PopUps.empty());
        EXPECT_TRUE(sign->Dead);
        EXPECT_FALSE(sign->Shown);
        Pass();
        EXPECT_TRUE(PopUps.empty());
        Clear();
    }
}

TEST_F(SignTest, TheCallCarriesTheNameTheCaptionAndTheScreenAnchor)
{
    ActiveHero(3, 4);
    tInfo* sign = Sign(3, 4, "", 0);
    sign->SetCaption("Mind the gap, Zora! 1-2 a..z");
    ASSERT_EQ(DirectDrawObject, nullptr);
    Pass();
    ASSERT_EQ(PopUps.size(), 1u);
    EXPECT_EQ(PopUps[0].Image, Picture);
    EXPECT_EQ(PopUps[0].Caption, "MIND THE GAP, ZORA! 1-2 A..Z");
    EXPECT_EQ(PopUps[0].Anchor.X, 3 * 32 + 16 + 128);
    EXPECT_EQ(PopUps[0].Anchor.Y, 4 * 32 + 16);

    // Through the main form's client origin on the screen.
    TForm form;
    form.SetBounds(100, 60, 700, 520);
    MainFormRef = &form;
    PopUps.clear();
    Level().FreeAllUnits();
    ActiveHero(3, 4);
    Sign(3, 4, "", 0);
    Pass();
    MainFormRef = nullptr;
    ASSERT_EQ(PopUps.size(), 1u);
    const TPoint want = form.ClientToScreen(TPoint{3 * 32 + 16 + 128, 4 * 32 + 16});
    EXPECT_EQ(PopUps[0].Anchor.X, want.X);
    EXPECT_EQ(PopUps[0].Anchor.Y, want.Y);
}

TEST_F(SignTest, InsideTheCallTheSignIsDoneAndTheRestOfThePassGoesOn)
{
    ActiveHero(5, 5);
    tInfo* first = Sign(5, 5, "", 0);
    tInfo* second = Sign(8, 8, "At(5,5)", 0);
    second->SetCaption("second");
    tKey* later = Put<tKey>(5, 5);  // after the signs in the list: taken in the same pass
    const int32_t units = Level().UnitList.Count();
    std::vector<std::string> seen;
    OnPopUp = [&] {
        const tInfo* now = PopUps.size() == 1 ? first : second;
        EXPECT_TRUE(now->Dead);
        EXPECT_TRUE(now->Shown);
        EXPECT_EQ(Level().UnitList.Count(), units);
        EXPECT_FALSE(later->Dead);
        seen.push_back(PopUps.back().Caption);
    };
    Pass();
    EXPECT_EQ(seen, (std::vector<std::string>{"READ ME", "SECOND"}));
    EXPECT_TRUE(later->Dead);
}

TEST_F(SignTest, ANegativeDelayNeverOpens)
{
    ActiveHero(5, 5);
    tInfo* sign = Sign(5, 5, "", -5);
    EXPECT_EQ(PassesUntilPopUp(20), 0);
    EXPECT_TRUE(sign->Triggered);
    EXPECT_FALSE(sign->Dead);
}

TEST_F(SignTest, SignsNeverBlockAndAreNeverLive)
{
    tActualPlayer* hero = ActiveHero(4, 5);
    tInfo* sign = Sign(5, 5, "KeysLeft=99", 0);
    tBoulder* boulder = Put<tBoulder>(5, 6);
    tSpider* spider = Put<tSpider>(5, 7);
    Boundary();
    EXPECT_FALSE(sign->IsLive());
    EXPECT_EQ(Level().UnitAt(5, 5), nullptr);
    for (tUnit* u : std::initializer_list<tUnit*>{hero, boulder, spider}) {
        EXPECT_TRUE(sign->QueryPush(u, Up));
        EXPECT_TRUE(sign->TryPush(u, Up));
        EXPECT_TRUE(u->CouldEnter(5, 5));
    }
    EXPECT_FALSE(sign->Occupies);
    // Drawing in play shows nothing.
    FillFrame(0);
    sign->Draw();
    for (int32_t y = 5 * 32; y < 6 * 32; ++y)
        for (int32_t x = 128 + 5 * 32; x < 128 + 6 * 32; ++x)
            ASSERT_EQ(Frame->ScanLine(y)[x], 0);
}

}  // namespace
