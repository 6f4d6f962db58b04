#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

#include "platform/Application.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"

namespace {

struct ButtonMap {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Qt;
    TModalResult Result;
};

constexpr ButtonMap Buttons[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
    {mbAll, QMessageBox::YesToAll, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, mrNo},
    {mbYesToAll, QMessageBox::YesToAll, mrYes},
    {mbHelp, QMessageBox::Help, mrNone},
};

// The answer of a box closed without pressing a button.
TModalResult ClosedResult(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbNo))
        return mrNo;
    if (buttons.Contains(mbCancel))
        return mrCancel;
    for (const auto& b : Buttons)
        if (buttons.Contains(b.Button))
            return b.Result;
    return mrCancel;
}

std::string TitleOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirmation";
    default: return Application ? Application->Title() : std::string();
    }
}

} // namespace

TModalResult RunMessageBox(const TMessageBoxRequest& request)
{
    // A box counts as a modal loop while it waits, also while a test answers it.
    const TModalLoopCount counted;
    TModalResult answer = mrNone;
    if (TestHooks::AnswerMessageBox(request, answer))
        return answer;
    // Without a screen nobody could answer: the box counts as closed, and its text
    // goes to standard error.
    if (!QApplication::instance() || QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::fprintf(stderr, "[message box] %s\n", request.Text.c_str());
        return ClosedResult(request.Buttons);
    }

    QMessageBox box;
    switch (request.Type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    box.setWindowTitle(ToQString(request.Caption));
    box.setText(ToQString(request.Text));
    const TMsgDlgButtons buttons = request.Buttons.Empty() ? TMsgDlgButtons{mbOK} : request.Buttons;
    QMessageBox::StandardButtons qtButtons;
    for (const auto& b : Buttons)
        if (buttons.Contains(b.Button))
            qtButtons |= b.Qt;
    box.setStandardButtons(qtButtons);
    const TModalResult closed = ClosedResult(buttons);
    for (const auto& b : Buttons)
        if (buttons.Contains(b.Button) && b.Result == closed) {
            box.setEscapeButton(b.Qt);
            break;
        }
    const int pressed = box.exec();
    for (const auto& b : Buttons)
        if (b.Qt == pressed && buttons.Contains(b.Button))
            return b.Result;
    return closed;
}

void ShowMessage(const std::string& Msg)
{
    RunMessageBox(TMessageBoxRequest{Application ? Application->Title() : std::string(), Msg, mtCustom, {mbOK}});
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/)
{
    return RunMessageBox(TMessageBoxRequest{TitleOf(DlgType), Msg, DlgType, Buttons});
}
