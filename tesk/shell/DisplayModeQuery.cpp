#include "tesk/shell/DisplayModeQuery.h"

#include <memory>

#include "platform/Application.h"

TQueryDisplayForm* QueryDisplayForm = nullptr;

std::string DisplayQuestionText()
{
    return "Your desktop is not running in a 16 bit per pixel display mode.\r\n"
           "\r\n"
           "This game is designed to run in 16 bits per pixel.   Although the\r\n"
           "game can run in other modes, it may may not perfom as well.\r\n"
           "\r\n"
           "If you play the game Full-Screen, the Screen will be \r\n"
           "changed to the appropriate mode.";
}

TQueryDisplayForm::TQueryDisplayForm()
{
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    SetCaption("Hmmm Interesting");
    TFont font = Font();
    font.Name = "Arial";
    font.Height = -12;
    SetFont(font);
    SetClientWidth(312);
    SetClientHeight(162);

    Label1 = PlaceControl<TLabel>(this, 4, 10, 304, 104);
    Label1->SetAutoSize(false);
    Label1->SetAlignment(taCenter);
    Label1->SetFont(font);
    Label1->SetCaption(DisplayQuestionText());

    FullScreenButton = PlaceControl<TButton>(this, 44, 126, 105, 25);
    FullScreenButton->SetFont(font);
    FullScreenButton->SetCaption("Run Full-Screen");
    FullScreenButton->SetHint("For higher perfomance");
    FullScreenButton->SetShowHint(true);
    FullScreenButton->SetModalResult(mrRunFullScreen);
    FullScreenButton->SetTabStop(true);
    FullScreenButton->SetTabOrder(0);

    WindowedButton = PlaceControl<TButton>(this, 163, 126, 105, 25);
    WindowedButton->SetFont(font);
    WindowedButton->SetCaption("Run Windowed");
    WindowedButton->SetHint("Possibly slower");
    WindowedButton->SetShowHint(true);
    WindowedButton->SetModalResult(mrRunWindowed);
    WindowedButton->SetTabStop(true);
    WindowedButton->SetTabOrder(1);
}

TModalResult AskDisplayQuestion()
{
    if (QueryDisplayForm)
        return QueryDisplayForm->ShowModal();
    // Before the forms of start-up exist (a tool or a test): a form for this question.
    std::unique_ptr<TQueryDisplayForm, void (*)(TQueryDisplayForm*)> form(new TQueryDisplayForm,
                                                                          [](TQueryDisplayForm* f) { f->Free(); });
    return form->ShowModal();
}
