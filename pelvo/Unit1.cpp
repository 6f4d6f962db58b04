#include "pelvo/Unit1.h"

namespace pelvo {

TForm1* Form1 = nullptr;

TForm1::TForm1()
{
    // Layout.
    SetCaption("Pelvo");
    SetBorderStyle(bsSingle);
    SetPosition(poScreenCenter);
    SetLeft(175);
    SetTop(86);
    SetClientWidth(604);
    SetClientHeight(419);
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TForm1::FormActivate(TObject*)
{
    // Only the first activation starts the game; later ones (after a message box
    // closes, for example) change nothing.
    if (Started)
        return;
    Started = true;
    Game.StartUp();
    BlankGlyph.Release();
    Images.Load();
    DossierText = Images.Dossier(1);
}

void TForm1::FormClose(TObject*, TCloseAction&)
{
    BlankGlyph.Release();
    for (TChannel& glyph : Images.CardGlyphs)
        glyph.Release();
}

void TForm1::SkillLevelEnter(int level)
{
    DossierText = Images.Dossier(level);
    Game.SkillLevel = static_cast<std::uint8_t>(level);
}

} // namespace pelvo
