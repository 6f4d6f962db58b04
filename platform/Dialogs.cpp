#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <map>
#include <memory>

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

struct Language {
    std::string Name;
    std::unique_ptr<QTranslator> Translator;
};

Language& BoxLanguage()
{
    static Language language;
    return language;
}

// The captions a program gave its boxes' buttons, by TMsgDlgBtn.
std::map<TMsgDlgBtn, std::string>& OwnCaptions()
{
    static std::map<TMsgDlgBtn, std::string> captions;
    return captions;
}

const TestHooks::TResetStep ResetBoxLanguage([] {
    SetMessageBoxLanguage("");
    OwnCaptions().clear();
});

// A box wide enough for its title: the window manager's title bar cuts a title it has no
// room for ("И… я"). The title bar's face is bold in most desktops and often larger than
// the box's own, and beside the title the bar holds the window's icon and three buttons.
void MakeRoomForTitle(QMessageBox& box, const QString& title)
{
    QFont font = box.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int wanted = metrics.horizontalAdvance(title) * 5 / 4 + 4 * (metrics.height() + 12);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

std::string TitleOf(TMsgDlgType type)
{
    if (BoxLanguage().Name == "ru") {
        switch (type) {
        case mtWarning: return "Предупреждение";
        case mtError: return "Ошибка";
        case mtInformation: return "Информация";
        case mtConfirmation: return "Подтверждение";
        default: return Application ? Application->Title() : std::string();
        }
    }
    switch (type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirmation";
    default: return Application ? Application->Title() : std::string();
    }
}

} // namespace

void SetMessageBoxLanguage(const std::string& language)
{
    Language& current = BoxLanguage();
    if (language == current.Name)
        return;
    if (current.Translator) {
        QCoreApplication::removeTranslator(current.Translator.get());
        current.Translator.reset();
    }
    current.Name.clear();
    if (language.empty())
        return;
    current.Name = language;
    // Qt's own translations name the standard buttons; installed last, they win over
    // the ones for the system locale.
    auto translator = std::make_unique<QTranslator>();
    if (QCoreApplication::instance() &&
        translator->load(QLocale(ToQString(language)), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        current.Translator = std::move(translator);
    }
}

const std::string& MessageBoxLanguage() { return BoxLanguage().Name; }

void SetMessageBoxButtonCaption(TMsgDlgBtn button, const std::string& caption)
{
    if (caption.empty())
        OwnCaptions().erase(button);
    else
        OwnCaptions()[button] = caption;
}

std::vector<std::string> MessageBoxButtonCaptions(TMsgDlgButtons buttons)
{
    std::vector<std::string> captions;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return captions;
    // Asked of a box itself, so that the window system's theme has its say as well.
    QMessageBox box;
    for (const auto& b : Buttons) {
        if (!buttons.Contains(b.Button))
            continue;
        if (auto own = OwnCaptions().find(b.Button); own != OwnCaptions().end()) {
            captions.push_back(own->second);
            continue;
        }
        QPushButton* button = box.addButton(b.Qt);
        QString text = button ? button->text() : QString();
        // "&&" stands for a plain "&"; a single one marks the mnemonic.
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        text.remove(QLatin1Char('&'));
        text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
        captions.push_back(text.toStdString());
    }
    return captions;
}

TModalResult RunMessageBox(const TMessageBoxRequest& asked)
{
    // A box counts as a modal loop while it waits, also while a test answers it.
    const TModalLoopCount counted;
    TMessageBoxRequest request = asked;
    if (request.ButtonCaptions.empty())
        request.ButtonCaptions = MessageBoxButtonCaptions(request.Buttons.Empty() ? TMsgDlgButtons{mbOK} : request.Buttons);
    TModalResult answer = mrNone;
    if (TestHooks::AnswerMessageBox(request, answer))
        return answer;
    // Without a screen nobody could answer (unless a test looks at the box as it opens):
    // the box counts as closed, and its text goes to standard error.
    if (!QApplication::instance() || (TestHooks::Headless() && !TestHooks::WindowShownHookSet())) {
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
    // A program that draws smooth text has its boxes in the same face.
    if (SmoothText())
        box.setFont(ToQFont(TFont{}));
    box.setWindowTitle(ToQString(request.Caption));
    box.setText(ToQString(request.Text));
    const TMsgDlgButtons buttons = request.Buttons.Empty() ? TMsgDlgButtons{mbOK} : request.Buttons;
    QMessageBox::StandardButtons qtButtons;
    for (const auto& b : Buttons)
        if (buttons.Contains(b.Button))
            qtButtons |= b.Qt;
    box.setStandardButtons(qtButtons);
    for (const auto& [button, caption] : OwnCaptions())
        for (const auto& b : Buttons)
            if (b.Button == button && buttons.Contains(button))
                if (QAbstractButton* shown = box.button(b.Qt))
                    shown->setText(ToQString(caption));
    MakeRoomForTitle(box, ToQString(request.Caption));
    const TModalResult closed = ClosedResult(buttons);
    for (const auto& b : Buttons)
        if (buttons.Contains(b.Button) && b.Result == closed) {
            box.setEscapeButton(b.Qt);
            break;
        }
    TestHooks::NotifyWindowShown(TestHooks::wkMessageBox);
    const int pressed = box.exec();
    for (const auto& b : Buttons)
        if (b.Qt == pressed && buttons.Contains(b.Button))
            return b.Result;
    return closed;
}

void ShowMessage(const std::string& Msg)
{
    RunMessageBox(TMessageBoxRequest{Application ? Application->Title() : std::string(), Msg, mtCustom, {mbOK}, {}});
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/)
{
    return RunMessageBox(TMessageBoxRequest{TitleOf(DlgType), Msg, DlgType, Buttons, {}});
}
