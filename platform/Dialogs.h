#pragma once
// Simple modal message dialogs. Both wait until the user answers; posted messages and
// timers go on meanwhile. Headless tests answer them through TestHooks.
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (auto b : buttons)
            FBits |= 1u << b;
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (FBits & (1u << b)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    friend constexpr bool operator==(TMsgDlgButtons, TMsgDlgButtons) = default;

private:
    unsigned FBits = 0;
};

// The text in a box with an OK button, titled with the program's title.
void ShowMessage(const std::string& Msg);

// The text in a box of the given kind with the given buttons. Returns the answer as a
// modal result (mrYes, mrNo, mrOk...). Closing the box without a button gives mrNo
// when the box has a No button, else mrCancel when it has a Cancel button, else the
// result of its only button.
TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);

// One message box as asked for; what the test hooks see.
struct TMessageBoxRequest {
    std::string Caption;
    std::string Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
    // The buttons' captions as the box shows them, in the order of TMsgDlgBtn (filled
    // in when the box is run).
    std::vector<std::string> ButtonCaptions;
};

// Message boxes in the program's own language, whatever the desktop's: "ru" gives
// Russian titles and buttons ("Информация", "Да", "Нет", "OK"); "" gives the desktop's
// language back (English titles, buttons as Qt's translations for the system locale).
void SetMessageBoxLanguage(const std::string& language);
const std::string& MessageBoxLanguage();

// A caption of the program's own for a button of its message boxes, in place of what the
// language gives ("" gives that back): Pelvo's Cyrillic "ОК" where the Russian translation
// keeps the Latin "OK".
void SetMessageBoxButtonCaption(TMsgDlgBtn button, const std::string& caption);

// The captions the buttons of a box would show, in the order of TMsgDlgBtn, without
// their mnemonic marks.
std::vector<std::string> MessageBoxButtonCaptions(TMsgDlgButtons buttons);

// Shows a message box (or lets the test hook answer it) and returns the answer.
TModalResult RunMessageBox(const TMessageBoxRequest& request);

// ---------------------------------------------------------------------------------------
// File dialogs
//
// Filter: "description|patterns|description|patterns..."; patterns separated by ";" or
// ",", blanks around them trimmed, "*.*" every file, matched ignoring ASCII case; an empty
// filter, or a description without patterns, shows every file. FilterIndex is 1-based
// (0 or beyond the list: the first); after Execute it is the filter chosen.
// Start: the folder InitialDir names; else FileName's folder when it exists; else the
// current directory. The name shown first is FileName's name part.
// Result: FileName := the chosen file's absolute path ("/" separators, existing parts in
// their letter case on disk), Files := every chosen file (several only with
// ofAllowMultiSelect). A chosen name without an extension gets "." + DefaultExt (a save
// dialog always, an open dialog when no file of the name as typed exists). The checks
// (ofPathMustExist, ofFileMustExist, ofOverwritePrompt) show their message and ask
// again. Names are handed over whole at any length. The current directory is the same
// after Execute as before.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Classes.h"

enum TOpenOption : uint8_t { ofHideReadOnly, ofNoChangeDir, ofPathMustExist, ofFileMustExist, ofOverwritePrompt, ofAllowMultiSelect };

class TOpenOptions {
public:
    constexpr TOpenOptions() = default;
    constexpr TOpenOptions(std::initializer_list<TOpenOption> options)
    {
        for (auto o : options)
            FBits |= 1u << o;
    }
    constexpr bool Contains(TOpenOption o) const { return (FBits & (1u << o)) != 0; }
    void Include(TOpenOption o) { FBits |= 1u << o; }
    void Exclude(TOpenOption o) { FBits &= ~(1u << o); }
    friend constexpr bool operator==(TOpenOptions, TOpenOptions) = default;

private:
    unsigned FBits = 0;
};

enum TFileEditStyle { fsEdit, fsComboBox };

struct TFileFilter {
    std::string Description;
    std::vector<std::string> Patterns; // empty: every file
    friend bool operator==(const TFileFilter&, const TFileFilter&) = default;
};
std::vector<TFileFilter> ParseFileFilter(const std::string& filter);

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner = nullptr);

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& name) { FFileName = name; }
    std::vector<std::string>& Files() { return FFiles; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& filter) { FFilter = filter; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int index) { FFilterIndex = index; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& dir) { FInitialDir = dir; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& ext) { FDefaultExt = ext; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions options) { FOptions = options; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int context) { FHelpContext = context; }
    std::vector<std::string>& HistoryList() { return FHistoryList; }
    TFileEditStyle FileEditStyle() const { return FFileEditStyle; }
    void SetFileEditStyle(TFileEditStyle style) { FFileEditStyle = style; }

    // True when a file was chosen.
    virtual bool Execute();

protected:
    bool FSave = false;

private:
    std::string FTitle, FFileName, FFilter, FInitialDir, FDefaultExt;
    std::vector<std::string> FFiles, FHistoryList;
    int FFilterIndex = 1;
    TOpenOptions FOptions;
    int FHelpContext = 0;
    TFileEditStyle FFileEditStyle = fsEdit;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner = nullptr);
};

// The same dialogs under their own class names (no preview).
class TOpenPictureDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
};
class TSavePictureDialog : public TSaveDialog {
public:
    using TSaveDialog::TSaveDialog;
};

namespace TestHooks {
// One request of a file dialog, as the scripted answer sees it.
struct TFileDialogRequest {
    bool Save = false;
    std::string Title;
    std::string Folder;   // absolute
    std::string FileName; // as shown
    std::vector<TFileFilter> Filters;
    int FilterIndex = 1;
    std::string DefaultExt;
    TOpenOptions Options;
    int Attempt = 1; // 2, 3... after a check refused an answer
};
struct TFileDialogAnswer {
    bool Accepted = false;
    std::vector<std::string> Names; // absolute or relative to Folder; "\" accepted
    int FilterIndex = 0;            // 0: unchanged
};
// With an answer set, no dialog is shown. Headless without one, Execute returns false at
// once. Every request is logged either way.
void SetFileDialogAnswer(std::function<TFileDialogAnswer(const TFileDialogRequest&)> answer);
const std::vector<TFileDialogRequest>& FileDialogLog();
} // namespace TestHooks
