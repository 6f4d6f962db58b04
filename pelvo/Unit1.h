#pragma once
// The main form of Pelvo.
#include <string>

#include "pelvo/CardImages.h"
#include "pelvo/Game.h"
#include "platform/Forms.h"

namespace pelvo {

class TForm1 : public TForm {
public:
    TForm1();

    // True once the first activation has done the start-up.
    bool Started = false;

    // The game and the pictures and texts it is shown with.
    TGame Game;
    TCardImages Images;
    // An empty glyph; assigning it to a card slot blanks the slot.
    TChannel BlankGlyph{ckPicture};
    // The chosen opponent's dossier (the Options page's memo).
    std::string DossierText;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // A level radio button received the focus: level 1..4.
    void SkillLevelEnter(int level);
};

extern TForm1* Form1;

} // namespace pelvo
