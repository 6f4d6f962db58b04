#pragma once
// The main form of Pelvo.
#include "platform/Forms.h"

namespace pelvo {

class TForm1 : public TForm {
public:
    TForm1();

    // True once the first activation has done the start-up.
    bool Started = false;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

extern TForm1* Form1;

} // namespace pelvo
