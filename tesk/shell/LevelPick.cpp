// The level-pick screen of the main window: a grid of 9 x 6 buttons for the first 54
// entries of the level set and a row of 9 bonus buttons for entries 54..62, each painted
// from a picture in a look that tells the entry's progress.
#include <algorithm>
#include <string>

#include "platform/ExtCtrls.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/shell/ClearProgressDialogs.h"
#include "tesk/shell/LayoutPictures.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/ImgBtn.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tesk/toolkit/QuibComponents.h"
#include "tesk/toolkit/Random.h"

namespace {

constexpr int32_t LevelButtonCount = 54;
constexpr int32_t PickableEntries = 63;
// The normal face of "LevelPickButton.jpg", used for the work surface when the picture
// cannot be read.
constexpr int32_t FaceWidth = 72;
constexpr int32_t FaceHeight = 70;

// An entry's status as the painters know it: anything but 1 and 2 paints as unsolved.
int32_t PaintedStatus(int32_t entry)
{
    const int32_t status = Engine ? Engine->GetLevelStatus(entry) : lsUnsolved;
    return status == lsPartiallySolved || status == lsSolved ? status : lsUnsolved;
}

// Loads a picture on first use; a picture that cannot be read is reported once and
// leaves the screen working without it.
tDib16* LoadFace(const std::string& name)
{
    try {
        return FindOrLoadDib(name, true);
    } catch (const Exception& e) {
        ReportProblem(e.Message());
        tDib16* dib = FindDib(name);
        return dib && dib->Loaded ? dib : nullptr;
    }
}

bool HasPixels(const tDib16* dib)
{
    return dib && dib->Loaded && dib->Width > 0 && dib->Height > 0;
}

TRect InsetBy(const TControl& control, int32_t border)
{
    return Rect(border, border, control.Width() - border, control.Height() - border);
}

void LoadJpegIntoImage(TImage& image, const std::string& name)
{
    std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(*stream);
    ClosePackageFile(stream);
    image.Picture().SetGraphic(&jpeg);
}

} // namespace

void TForm1::CreateLevelPickButtons()
{
    LevelPickScreen = PlaceControl<TPanel>(this, 0, 0, ClientWidth(), ClientHeight());
    LevelPickScreen->SetAlign(alClient);
    LevelPickScreen->SetColor(clMaroon);
    LevelPickScreen->Hide();

    PickLevelCaptionImage = PlaceControl<TImage>(LevelPickScreen, 0, 0, ClientWidth(), 40);
    PickLevelCaptionImage->SetAlign(alTop);
    PickLevelCaptionImage->SetStretch(true);

    auto pictureButton = [this](const std::string& name, int left) {
        auto* button = PlaceControl<TImgBtn>(LevelPickScreen, left, 8, 140, 24);
        button->SetName(name);
        TPicture picture;
        LoadLayoutPicture(picture, "TForm1." + name + ".PicUp");
        button->SetPicUp(&picture);
        LoadLayoutPicture(picture, "TForm1." + name + ".PicDown");
        button->SetPicDown(&picture);
        LoadLayoutPicture(picture, "TForm1." + name + ".Pic");
        button->SetPic(&picture);
        return button;
    };
    BackToMenuButton = pictureButton("BackToMenuButton", 8);
    BackToMenuButton->OnClick = [this](TObject* s) { BackToMenuButtonClick(s); };
    ClearProgressButton = pictureButton("ClearProgressButton", 492);
    ClearProgressButton->OnClick = [this](TObject* s) { ClearProgressButtonClick(s); };

    auto levelButton = [this](int32_t tag, int height, bool bonus) {
        auto* button = new TColorButton(this);
        button->SetParent(LevelPickScreen);
        button->SetTag(tag);
        button->SetBorderSize(0);
        button->SetBounds(0, 0, 71, height);
        button->DrawFace = false;
        if (bonus)
            button->OnPaint = [this](TObject* s, TCanvas& c, bool d, bool h) { BonusLevelPickButtonPaint(s, c, d, h); };
        else
            button->OnPaint = [this](TObject* s, TCanvas& c, bool d, bool h) { LevelPickButtonPaint(s, c, d, h); };
        button->OnClick = [this](TObject* s) { LevelPickButtonClick(s); };
        return button;
    };
    for (int32_t i = 0; i < LevelButtonCount; ++i)
        LevelPickButtons[static_cast<size_t>(i)] = levelButton(i + 1, 68, false);
    for (int32_t i = 0; i < 9; ++i) {
        TColorButton* button = levelButton(LevelButtonCount + 1 + i, 20, true);
        button->Hide();
        BonusLevelPickButtons[static_cast<size_t>(i)] = button;
    }
}

void TForm1::LayoutLevelPickButtons()
{
    if (!Engine || !LevelPickScreen)
        return;
    const int32_t w = ClientWidth();
    const int32_t h = ClientHeight();
    const int32_t column = w / 9;
    const int32_t row = std::max(0, (h - 20 - 40) / 6);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 9; ++x)
            LevelPickButtons[static_cast<size_t>(y * 9 + x)]->SetBounds(x * column, 40 + y * row, column + 1, row);
    for (int32_t x = 0; x < 9; ++x) {
        TColorButton* button = BonusLevelPickButtons[static_cast<size_t>(x)];
        button->Show();
        button->SetBounds(x * column, h - 20, column + 1, 20);
    }

    auto hint = [this](TColorButton* button) {
        const int32_t entry = static_cast<int32_t>(button->Tag()) - 1;
        std::string text;
        if (entry < Engine->LevelSet.Count()) {
            if (entry < Engine->LevelTitles.Count())
                text = Engine->LevelTitles[entry];
            const int32_t status = Engine->GetLevelStatus(entry);
            const char* note = status == lsPartiallySolved ? "(Partially Solved)" : status == lsSolved ? "(Solved)" : nullptr;
            if (note) {
                if (!text.empty())
                    text += "\r\n";
                text += note;
            }
        }
        button->SetHint(text);
        button->SetShowHint(true);
    };
    for (TColorButton* button : LevelPickButtons)
        hint(button);
    for (TColorButton* button : BonusLevelPickButtons)
        hint(button);
}

void TForm1::LoadBonusButtonImages()
{
    for (int32_t n = 1; n <= 9; ++n)
        BonusButtonImages[static_cast<size_t>(n - 1)] = LoadFace("Bonus" + std::to_string(n) + "Button.jpg");
}

void TForm1::FreeBonusButtonImages()
{
    for (int32_t n = 1; n <= 9; ++n)
        if (tDib16* dib = FindDib("Bonus" + std::to_string(n) + "Button.jpg"))
            dib->Unload();
    BonusButtonImages.fill(nullptr);
}

void TForm1::ShowLevelPickScreen()
{
    LoadBonusButtonImages();
    LayoutLevelPickButtons();
    LevelPickButtonDib = LoadFace("LevelPickButton.jpg");
    if (HasPixels(LevelPickButtonDib))
        LevelPickWorkDib = std::make_unique<tDib16>(std::max(1, LevelPickButtonDib->Width / 2), LevelPickButtonDib->Height);
    else
        LevelPickWorkDib = std::make_unique<tDib16>(FaceWidth, FaceHeight);
    BonusWorkDib = std::make_unique<tDib16>(72, 20);
    LevelPickScreen->Show();
    LevelPickScreen->BringToFront();
    try {
        LoadJpegIntoImage(*PickLevelCaptionImage, "PickALevelCaption.jpg");
    } catch (const Exception& e) {
        ReportProblem(e.Message());
    }
    if (Engine)
        SelectLevelButton(Engine->EntryIndex);
}

void TForm1::HideLevelPickScreen()
{
    LevelPickScreen->Hide();
    LevelPickButtonDib = nullptr;
    LevelPickWorkDib.reset();
    BonusWorkDib.reset();
    PickLevelCaptionImage->Picture().SetGraphic(nullptr);
    FreeBonusButtonImages();
}

void TForm1::SelectLevelButton(int32_t i)
{
    if (i < 0 || i >= PickableEntries || i == SelectedLevel)
        return;
    MenuMoveSound.Play();
    const int32_t old = SelectedLevel;
    SelectedLevel = i;
    RepaintLevelButton(i);
    RepaintLevelButton(old);
}

void TForm1::RepaintLevelButton(int32_t i)
{
    if (i >= 0 && i < LevelButtonCount)
        LevelPickButtons[static_cast<size_t>(i)]->Repaint();
    else if (i >= LevelButtonCount && i < PickableEntries)
        BonusLevelPickButtons[static_cast<size_t>(i - LevelButtonCount)]->Repaint();
}

void TForm1::LevelPickButtonPaint(TObject* Sender, TCanvas& Canvas, bool Down, bool HeldDown)
{
    auto* button = static_cast<TColorButton*>(Sender);
    if (!LevelPickScreen->Visible() || !LevelPickWorkDib)
        return;
    const int32_t entry = static_cast<int32_t>(button->Tag()) - 1;
    const int32_t status = PaintedStatus(entry);
    const std::string text = std::to_string(button->Tag());
    tDib16& work = *LevelPickWorkDib;
    {
        tDibTarget target(&work);
        work.Fill(PixelBlack);
        if (HasPixels(LevelPickButtonDib)) {
            const bool pressedFace = Down || HeldDown || status == lsSolved;
            work.BlitFrom(*LevelPickButtonDib, pressedFace ? LevelPickButtonDib->Width / 2 : 0, 0, work.Width, work.Height,
                          0, 0);
        }
        auto draw = status == lsSolved ? DrawMenuTextMarkedCentred : DrawMenuTextCentred;
        const int32_t x = work.Width / 2;
        const int32_t y = work.Height * 3 / 4;
        int32_t glow = status == lsUnsolved ? 15 : 0;
        if (entry == SelectedLevel) {
            for (int k = 0; k < 3; ++k)
                draw(x, y, text, Random(24) + 6);
            glow = 24;
        }
        draw(x, y, text, glow);
    }
    Canvas.StretchDraw(InsetBy(*button, button->BorderSize()), work.Bitmap());
}

void TForm1::BonusLevelPickButtonPaint(TObject* Sender, TCanvas& Canvas, bool Down, bool HeldDown)
{
    auto* button = static_cast<TColorButton*>(Sender);
    if (!LevelPickScreen->Visible() || !BonusWorkDib)
        return;
    const int32_t entry = static_cast<int32_t>(button->Tag()) - 1;
    const int32_t status = PaintedStatus(entry);
    const int32_t row = entry == SelectedLevel ? Random(2) * 20 + 40 : status == lsUnsolved ? 40 : status == lsPartiallySolved ? 20 : 0;
    const int32_t column = Down || HeldDown || status == lsSolved ? 72 : 0;
    const size_t sheet = static_cast<size_t>(std::clamp<intptr_t>(button->Tag() - 55, 0, 8));
    BonusWorkDib->Fill(PixelBlack);
    if (tDib16* faces = BonusButtonImages[sheet]; HasPixels(faces))
        BonusWorkDib->BlitFrom(*faces, column, row, 72, 20, 0, 0);
    Canvas.StretchDraw(InsetBy(*button, button->BorderSize()), BonusWorkDib->Bitmap());
}

void TForm1::StartPickedLevel(int32_t i)
{
    if (!Engine || i < 0 || i >= Engine->LevelSet.Count())
        return;
    HideLevelPickScreen();
    PaintBox2->Canvas().FillRect(PaintBox2->ClientRect());
    Engine->CloseMenu();
    Engine->GoToSetEntry(i);
}

void TForm1::LevelPickButtonClick(TObject* Sender)
{
    StartPickedLevel(static_cast<int32_t>(static_cast<TComponent*>(Sender)->Tag()) - 1);
}

void TForm1::BackToMenuButtonClick(TObject*)
{
    if (!Engine)
        return;
    HideLevelPickScreen();
    MenuCloseSound.Play();
    Engine->SetGameMode(gmMainMenu);
}

void TForm1::ClearProgressButtonClick(TObject*)
{
    if (!ClearProgressDialog)
        return;
    TClearProgressDialog& dialog = *ClearProgressDialog;
    dialog.SetBounds(Left() + (Width() - dialog.Width()) / 2, Top() + (Height() - dialog.Height()) / 2, dialog.Width(),
                     dialog.Height());
    if (dialog.ShowModal() != mrClearProgress || !Engine)
        return;
    Engine->ClearProgress();
    LayoutLevelPickButtons();
    LevelPickScreen->Hide();
    LevelPickScreen->Show();
}

void TForm1::LevelPickKeyDown(WORD& Key, TShiftState)
{
    if (!Engine)
        return;
    switch (Key) {
    case VK_ESCAPE:
        HideLevelPickScreen();
        MenuCloseSound.Play();
        Engine->SetGameMode(gmMainMenu);
        break;
    case VK_LEFT: SelectLevelButton(SelectedLevel - 1); break;
    case VK_UP: SelectLevelButton(SelectedLevel - 9); break;
    case VK_RIGHT: SelectLevelButton(SelectedLevel + 1); break;
    case VK_DOWN: SelectLevelButton(SelectedLevel + 9); break;
    default: break;
    }
}

bool TForm1::LevelPickScreenVisible() const
{
    return LevelPickScreen && LevelPickScreen->Visible();
}

void TForm1::LevelPickKeyPress(char& Key)
{
    if (Key != 13 || !LevelPickScreenVisible())
        return;
    MenuSelectSound.Play();
    StartPickedLevel(SelectedLevel);
}
