#include "pelvo/Unit1.h"

#include "platform/Dialogs.h"
#include "platform/Messages.h"

namespace pelvo {

TForm1* Form1 = nullptr;

namespace {

// Card slots: a 71 x 96 face inside a 73 x 99 slot, dim while the mouse is away.
constexpr int SlotWidth = 73;
constexpr int SlotHeight = 99;
constexpr int SlotLefts[4] = {16, 96, 176, 256};
constexpr uint8_t SlotLevelAway = 180;
constexpr uint8_t SlotLevelOver = 255;

TLabel* PlaceLabel(TWinControl* parent, int left, int top, const std::string& caption, bool bold = false)
{
    TLabel* label = new TLabel(parent);
    label->SetParent(parent);
    label->SetLeft(left);
    label->SetTop(top);
    if (bold) {
        label->Font().Style = fsBold;
        label->SetFont(label->Font());
    }
    label->SetCaption(caption);
    return label;
}

TButton* PlaceButton(TWinControl* parent, int left, int top, int width, const std::string& caption)
{
    TButton* button = PlaceControl<TButton>(parent, left, top, width, 25);
    button->SetCaption(caption);
    return button;
}

TLayer* TexturedLayer(TWinControl* parent, const std::string& name)
{
    TLayer* layer = new TLayer(parent);
    layer->SetParent(parent);
    layer->SetColor(clNone);
    layer->SetMaskAlign(aTile);
    LoadLayerMask(layer->Mask(), name);
    return layer;
}

TButtonLayer* PlaceSlot(TWinControl* parent, int left, int top)
{
    TButtonLayer* slot = PlaceControl<TButtonLayer>(parent, left, top, SlotWidth, SlotHeight);
    // The margins keep a 71 x 96 face from shrinking the slot.
    slot->SetOffsetLeft(1);
    slot->SetOffsetTop(1);
    slot->SetOffsetRight(1);
    slot->SetOffsetBottom(2);
    slot->SetGlyphActive(SlotLevelOver);
    slot->SetGlyphInactive(SlotLevelAway);
    return slot;
}

} // namespace

TForm1::TForm1()
{
    SetCaption("Pelvo");
    // Every text of the game is Russian, and so are its dialogs' titles and buttons,
    // whatever the desktop's language.
    SetMessageBoxLanguage("ru");
    // The Russian translation keeps a Latin "OK": the game's reads "ОК" in Cyrillic.
    SetMessageBoxButtonCaption(mbOK, "\u041E\u041A");
    // Its Cyrillic captions read cleanly only smoothed.
    SetSmoothText(true);
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(poScreenCenter);
    SetColor(clActiveBorder);
    SetLeft(175);
    SetTop(86);
    SetClientWidth(604);
    SetClientHeight(419);
    CreateLayout();
    GameState.SetView(this);
    OnActivate = [this](TObject* s) { FormActivate(s); };
    // Showing the form starts it up as well: some window systems activate a window only
    // once it is clicked, and that click must already find the game ready.
    OnShow = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TForm1::~TForm1()
{
    // The controls go before the game that points at this view.
    GameState.SetView(nullptr);
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::CreateLayout()
{
    Layer1 = TexturedLayer(this, "Layer1");
    Layer1->SetAlign(alClient);
    Layer1->SetEnabled(false);
    Label1 = PlaceLabel(Layer1, 160, 264, "");
    Label1->SetTransparent(true);

    // The Game page: the table, the computer's cards above the user's.
    GamePanel = PlaceControl<TPanel>(this, 24, 8, 345, 249);
    Layer2 = TexturedLayer(GamePanel, "Layer2");
    Layer2->SetBounds(1, 1, 343, 247);
    for (int k = 0; k < 4; ++k) {
        StolPC[k] = PlaceSlot(Layer2, SlotLefts[k], 14);
        StolUS[k] = PlaceSlot(Layer2, SlotLefts[k], 126);
        StolUS[k]->OnClick = [this, k](TObject*) { StolUSClick(k + 1); };
    }

    OptionsPanel = PlaceControl<TPanel>(this, 24, 8, 345, 249);
    OptionsPanel->Hide();
    CreateOptionsPage();

    HelpTxt = PlaceControl<TMemo>(this, 24, 8, 345, 249);
    HelpTxt->SetReadOnly(true);
    HelpTxt->SetScrollBars(ssVertical);
    HelpTxt->Hide();

    AboutPanel = PlaceControl<TPanel>(this, 24, 8, 345, 249);
    AboutPanel->Hide();
    CreateAboutPage();

    // The user's hand.
    Panel1 = PlaceControl<TPanel>(this, 24, 288, 345, 113);
    Panel1->SetColor(clInactiveBorder);
    Layer3 = TexturedLayer(Panel1, "Layer3");
    Layer3->SetAlign(alClient);
    for (int k = 0; k < 4; ++k) {
        US[k] = PlaceSlot(Layer3, SlotLefts[k], 6);
        US[k]->OnClick = [this, k](TObject*) { USClick(k + 1); };
    }

    CreateScorePanel();

    NewGame = PlaceButton(this, 408, 24, 161, "Новая игра");
    NewGame->OnClick = [this](TObject* s) { NewGameClick(s); };
    Game = PlaceButton(this, 408, 56, 161, "Игра");
    Game->SetEnabled(false);
    Game->OnClick = [this](TObject* s) { GameClick(s); };
    Options = PlaceButton(this, 408, 88, 161, "Настройки");
    Options->OnClick = [this](TObject* s) { OptionsClick(s); };
    Help = PlaceButton(this, 408, 120, 161, "Помощь");
    Help->OnClick = [this](TObject* s) { HelpClick(s); };
    About = PlaceButton(this, 408, 152, 161, "О программе");
    About->OnClick = [this](TObject* s) { AboutClick(s); };
    Exit = PlaceButton(this, 408, 184, 161, "Выход");
    Exit->Font().Charset = RUSSIAN_CHARSET;
    Exit->Font().Height = -13;
    Exit->SetFont(Exit->Font());
    Exit->OnClick = [this](TObject* s) { ExitClick(s); };

    BRUN = PlaceButton(this, 408, 264, 89, "Ход сделан");
    BRUN->Font().Style = fsBold;
    BRUN->SetFont(BRUN->Font());
    BRUN->SetEnabled(false);
    BRUN->OnClick = [this](TObject* s) { BRUNClick(s); };
    INV = PlaceButton(this, 504, 264, 65, "Мухлевать");
    INV->SetEnabled(false);
    INV->OnClick = [this](TObject* s) { INVClick(s); };

    for (int k = 0; k < 4; ++k) {
        Flags[k] = PlaceControl<TRadioButton>(this, 576, 60 + 32 * k, 17, 17);
        Flags[k]->SetEnabled(false);
    }
    Flags[0]->SetChecked(true);
}

void TForm1::CreateScorePanel()
{
    Panel3 = PlaceControl<TPanel>(this, 392, 296, 201, 105);
    Panel3->SetBevelInner(bvLowered);
    info1 = PlaceLabel(Panel3, 24, 8, "Общий счет по игре:", true);
    GlCount = PlaceLabel(Panel3, 152, 8, "0:0", true);
    Info2 = PlaceLabel(Panel3, 24, 32, "Мои очки.......................");
    CountPC = PlaceLabel(Panel3, 144, 32, "0");
    info3 = PlaceLabel(Panel3, 24, 48, "Ваши очки.....................");
    CountUS = PlaceLabel(Panel3, 144, 48, "0");
    info4 = PlaceLabel(Panel3, 24, 64, "Осталось карт..............");
    KolKrt = PlaceLabel(Panel3, 144, 64, "28");
    Label3 = PlaceLabel(Panel3, 32, 84, "Козырь:");
    KozImg = PlaceControl<TImage>(Panel3, 80, 80, 19, 19);
    Button1 = PlaceButton(Panel3, 168, 32, 25, "Button1");
    Button1->SetHeight(49);
    Button1->Hide();
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
}

void TForm1::CreateOptionsPage()
{
    GroupBox1 = PlaceControl<TGroupBox>(OptionsPanel, 24, 16, 121, 105);
    GroupBox1->SetCaption("Ваш соперник");
    static const char* const levels[4] = {"Чайник", "Продвинутый", "Профессионал", "Студент"};
    static const int tops[4] = {16, 34, 54, 72};
    for (int k = 0; k < 4; ++k) {
        TRadioButton* button = PlaceControl<TRadioButton>(GroupBox1, 16, tops[k], 97, 17);
        button->SetCaption(levels[k]);
        button->OnEnter = [this, k](TObject*) { RadioButtonEnter(k + 1); };
        SkillButtons[k] = button;
    }
    SkillButtons[0]->SetChecked(true);

    Label2 = PlaceLabel(OptionsPanel, 144, 128, "Наше досье");
    Memo1 = PlaceControl<TMemo>(OptionsPanel, 24, 144, 297, 81);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(ssVertical);

    GroupBox2 = PlaceControl<TGroupBox>(OptionsPanel, 152, 16, 169, 105);
    GroupBox2->SetCaption("Соглашения");
    CheckBox1 = PlaceControl<TCheckBox>(GroupBox2, 8, 18, 157, 17);
    CheckBox1->SetCaption("Ход вне очереди, если на ");
    CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
    Label4 = PlaceLabel(GroupBox2, 24, 35, "руках 4 карты одной масти.");
    CheckBox2 = PlaceControl<TCheckBox>(GroupBox2, 8, 56, 157, 17);
    CheckBox2->SetCaption("Автоматическое зачисле-");
    Label5 = PlaceLabel(GroupBox2, 24, 73, "ние очков за карты на руках, ");
    Label6 = PlaceLabel(GroupBox2, 24, 86, "если их сумма больше 42");
}

void TForm1::CreateAboutPage()
{
    Label7 = PlaceLabel(AboutPanel, 0, 40, "Игра");
    Label7->Font().Height = -16;
    Label7->SetFont(Label7->Font());
    Label8 = PlaceLabel(AboutPanel, 0, 40, "PELVO 1.2", true);
    Label8->Font().Height = -16;
    Label8->SetFont(Label8->Font());
    // The title line centred, whatever the font's widths.
    const int gap = 6;
    const int left = (AboutPanel->ClientWidth() - (Label7->Width() + gap + Label8->Width())) / 2;
    Label7->SetLeft(left);
    Label8->SetLeft(left + Label7->Width() + gap);

    auto note = [this](int top, const char* text) {
        TLabel* label = PlaceControl<TLabel>(AboutPanel, 24, top, 297, 56);
        label->SetAutoSize(false);
        label->SetWordWrap(true);
        label->SetAlignment(taCenter);
        label->SetCaption(text);
        return label;
    };
    Label9 = note(88, "Карточная игра для двоих: вы против компьютера. Четыре карты на руках, "
                      "козырь, взятки и немного хитрости.");
    Label10 = note(160, "Кто первым наберёт 12 очков, тот и победил. "
                        "Мухлевать можно, но совесть всё видит.");
}

// ---------------------------------------------------------------------------------------
// Start-up and closing

void TForm1::FormActivate(TObject*)
{
    // Only the first activation starts up; later ones (after a message box closes, for
    // example) change nothing.
    if (Started)
        return;
    Started = true;
    GameState.StartUp();
    BlankGlyph.Release();
    Images.Load();
    Memo1->SetCaption(Images.Chaynik);
}

void TForm1::FormClose(TObject*, TCloseAction&)
{
    BlankGlyph.Release();
    for (TChannel& glyph : Images.CardGlyphs)
        glyph.Release();
}

void TForm1::ExitClick(TObject*) { Close(); }

// ---------------------------------------------------------------------------------------
// Pages

TPage TForm1::Page() const
{
    if (OptionsPanel->Visible())
        return TPage::Options;
    if (HelpTxt->Visible())
        return TPage::Help;
    if (AboutPanel->Visible())
        return TPage::About;
    return TPage::Game;
}

void TForm1::ShowPage(TPage page)
{
    const int index = static_cast<int>(page);
    TControl* pages[4] = {GamePanel, OptionsPanel, HelpTxt, AboutPanel};
    TButton* buttons[4] = {Game, Options, Help, About};
    // The new page first, so that no moment shows none.
    pages[index]->Show();
    for (int k = 0; k < 4; ++k) {
        if (k != index)
            pages[k]->Hide();
        buttons[k]->SetEnabled(k != index);
    }
    Flags[size_t(index)]->SetChecked(true);
}

void TForm1::NewGameClick(TObject*) { GameState.NewGame(); }

void TForm1::GameClick(TObject*) { ShowPage(TPage::Game); }

void TForm1::OptionsClick(TObject*) { ShowPage(TPage::Options); }

void TForm1::HelpClick(TObject*)
{
    HelpTxt->SetCaption(Images.Help);
    ShowPage(TPage::Help);
}

void TForm1::AboutClick(TObject*) { ShowPage(TPage::About); }

// ---------------------------------------------------------------------------------------
// Options

void TForm1::RadioButtonEnter(int level)
{
    Memo1->SetCaption(Images.Dossier(level));
    GameState.SkillLevel = static_cast<std::uint8_t>(level);
}

void TForm1::CheckBox1Click(TObject*) { GameState.OutOfTurnAllowed = CheckBox1->Checked(); }

// ---------------------------------------------------------------------------------------
// Play

void TForm1::USClick(int n)
{
    if (!GameState.ShowOpponentCards)
        GameState.PlayUserCard(n);
}

void TForm1::StolUSClick(int n)
{
    if (!GameState.ShowOpponentCards && GameState.UserTable.Count >= n)
        GameState.TakeBackTableCard(n);
}

void TForm1::BRUNClick(TObject*) { GameState.MoveDone(); }

void TForm1::INVClick(TObject*) { GameState.ToggleOpponentCards(); }

void TForm1::Button1Click(TObject*) { GameState.SetTestPosition(); }

// ---------------------------------------------------------------------------------------
// The game's view

TButtonLayer* TForm1::Slot(TSlotRow row, int n) const
{
    const size_t k = size_t(n - 1) & 3;
    switch (row) {
    case TSlotRow::ComputerTable:
        return StolPC[k];
    case TSlotRow::UserTable:
        return StolUS[k];
    default:
        return US[k];
    }
}

void TForm1::SetLabel(TGameLabel label, const std::string& text)
{
    switch (label) {
    case TGameLabel::CountPC:
        CountPC->SetCaption(text);
        break;
    case TGameLabel::CountUS:
        CountUS->SetCaption(text);
        break;
    case TGameLabel::KolKrt:
        KolKrt->SetCaption(text);
        break;
    case TGameLabel::GlCount:
        GlCount->SetCaption(text);
        break;
    case TGameLabel::Label1:
        Label1->SetCaption(text);
        break;
    }
}

void TForm1::SetButtonEnabled(TGameButton button, bool enabled)
{
    (button == TGameButton::BRUN ? BRUN : INV)->SetEnabled(enabled);
}

void TForm1::ShowTrump(int suit)
{
    if (suit >= 1 && suit <= SuitCount && Images.TrumpPictures[size_t(suit)])
        KozImg->Picture().SetGraphic(Images.TrumpPictures[size_t(suit)].get());
    else
        KozImg->Picture().SetGraphic(nullptr);
}

void TForm1::SetSlot(TSlotRow row, int slot, const TCard* card)
{
    if (slot < 1 || slot > HandSize)
        return;
    TButtonLayer* control = Slot(row, slot);
    const int face = card ? FacePicture(*card) : 0;
    control->SetGlyph(face >= 1 && face <= DeckSize ? Images.CardGlyphs[size_t(face)] : BlankGlyph);
    control->Repaint();
}

void TForm1::ShowGamePage() { ShowPage(TPage::Game); }

void TForm1::ShowMessage(const std::string& text) { MessageDlg(text, mtInformation, {mbOK}); }

bool TForm1::AskYesNo(const std::string& text) { return MessageDlg(text, mtInformation, {mbYes, mbNo}) == mrYes; }

void TForm1::DiscardInput() { DiscardPendingInput(); }

} // namespace pelvo
