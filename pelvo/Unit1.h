#pragma once
// The main form of Pelvo: the card slots, the score panel, the page buttons and the
// four pages (Game, Options, Help and About). It is the game's view: the rules in
// TGame tell it what to show, and its clicks go to the rules.
#include <array>
#include <string>

#include "pelvo/CardImages.h"
#include "pelvo/Game.h"
#include "pelvo/GameView.h"
#include "pelvo/Layers.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace pelvo {

// The pages, in the order of their buttons and markers.
enum class TPage { Game, Options, Help, About };

class TForm1 : public TForm, public TGameView {
public:
    TForm1();
    ~TForm1() override;

    // --- Controls (owned by the form) --------------------------------------------------
    TLayer* Layer1 = nullptr;  // the textured background of the whole client area
    TLabel* Label1 = nullptr;  // the view-opponent warning
    TPanel* GamePanel = nullptr;
    TLayer* Layer2 = nullptr;
    std::array<TButtonLayer*, 4> StolPC{};  // the computer's table cards, left to right
    std::array<TButtonLayer*, 4> StolUS{};  // the user's table cards
    TPanel* OptionsPanel = nullptr;
    TMemo* HelpTxt = nullptr;
    TPanel* AboutPanel = nullptr;
    TPanel* Panel1 = nullptr;
    TLayer* Layer3 = nullptr;
    std::array<TButtonLayer*, 4> US{};  // the user's hand
    TButton* NewGame = nullptr;
    TButton* Game = nullptr;
    TButton* Options = nullptr;
    TButton* Help = nullptr;
    TButton* About = nullptr;
    TButton* Exit = nullptr;
    TButton* BRUN = nullptr;
    TButton* INV = nullptr;
    std::array<TRadioButton*, 4> Flags{};  // flag1..flag4, the page markers

    // The score panel.
    TPanel* Panel3 = nullptr;
    TLabel* info1 = nullptr;
    TLabel* GlCount = nullptr;
    TLabel* Info2 = nullptr;
    TLabel* CountPC = nullptr;
    TLabel* info3 = nullptr;
    TLabel* CountUS = nullptr;
    TLabel* info4 = nullptr;
    TLabel* KolKrt = nullptr;
    TLabel* Label3 = nullptr;
    TImage* KozImg = nullptr;
    TButton* Button1 = nullptr;

    // The Options page.
    TGroupBox* GroupBox1 = nullptr;
    std::array<TRadioButton*, 4> SkillButtons{};  // RadioButton1..RadioButton4
    TLabel* Label2 = nullptr;
    TMemo* Memo1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TLabel* Label4 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;

    // The About page.
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label9 = nullptr;
    TLabel* Label10 = nullptr;

    // --- State -------------------------------------------------------------------------
    // True once the first activation has done the start-up.
    bool Started = false;
    // The game and the pictures and texts it is shown with.
    TGame GameState;
    TCardImages Images;
    // An empty glyph; assigning it to a card slot blanks the slot.
    TChannel BlankGlyph{ckPicture};

    // The page shown.
    TPage Page() const;
    // The slot control of a row, n = 1..4.
    TButtonLayer* Slot(TSlotRow row, int n) const;

    // --- Handlers ----------------------------------------------------------------------
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ExitClick(TObject* Sender);
    void NewGameClick(TObject* Sender);
    void GameClick(TObject* Sender);
    void OptionsClick(TObject* Sender);
    void HelpClick(TObject* Sender);
    void AboutClick(TObject* Sender);
    // A level radio button received the focus: level 1..4.
    void RadioButtonEnter(int level);
    void CheckBox1Click(TObject* Sender);
    // Hand slot n (1..4) and the user's table slot n.
    void USClick(int n);
    void StolUSClick(int n);
    void BRUNClick(TObject* Sender);
    void INVClick(TObject* Sender);
    void Button1Click(TObject* Sender);

    // --- What the game shows -----------------------------------------------------------
    void SetLabel(TGameLabel label, const std::string& text) override;
    void SetButtonEnabled(TGameButton button, bool enabled) override;
    void ShowTrump(int suit) override;
    void SetSlot(TSlotRow row, int slot, const TCard* card) override;
    void ShowGamePage() override;
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    void DiscardInput() override;

private:
    void CreateLayout();
    void CreateScorePanel();
    void CreateOptionsPage();
    void CreateAboutPage();
    void ShowPage(TPage page);
};

extern TForm1* Form1;

} // namespace pelvo
