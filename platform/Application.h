#pragma once
// The application object: the one per process that owns the forms, runs the
// message loop and is the exception barrier of every handler.
//
// A program block reads:
//
//     int main(int argc, char** argv)
//     {
//         SetCommandLine(argc, argv);
//         TApplication app(argc, argv);      // Application now points to it
//         Application->Initialize();
//         Application->SetTitle("Gromble");
//         Application->CreateForm(Form1);    // the first form created is MainForm
//         Application->Run();                // until MainForm closes or Terminate
//     }                                      // forms freed, last created first
//
// Exception barrier: no exception ever crosses from a handler into Qt. Everything the
// platform calls on the programs' behalf (events, posted messages, timers, paints)
// runs inside CallProtected, which hands an escaping exception to
// Application->HandleException: OnException when assigned, else a message box with
// the exception's text (EAbort shows nothing). The program then goes on.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Types.h"

class TForm;

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TObject {
public:
    // Makes the process's application (Qt's included) and points Application to it.
    // One at a time; argc must outlive the object.
    TApplication(int& argc, char** argv);
    // Frees the forms it created, the last created first.
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // From here on SIGINT, SIGTERM and SIGHUP (Ctrl+C, a kill, a logout) close the main
    // form as its close button would, also while the program is still starting; Run does
    // it when the program block did not.
    void Initialize();

    // The program's title: the text message boxes carry, and the name the desktop
    // shows for the program and its windows.
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title);

    // Creates a form of class T (default-constructible, deriving from TForm) and points
    // reference to it before its OnCreate runs. The application owns it. The first
    // form created becomes MainForm. An exception from the constructor leaves
    // reference null and propagates; one from OnCreate is shown and swallowed.
    template <class T>
    void CreateForm(T*& reference);

    TForm* MainForm() const { return FMainForm; }
    // Every form alive, in the order created.
    const std::vector<TForm*>& Forms() const { return FForms; }

    // Shows the main form and runs the message loop until the main form closes or
    // Terminate is called. Returns at once when Terminate came first.
    void Run();
    // Ends Run (and every modal loop inside it) once the current handler returns.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Handles every message and event that is pending now, once; their handlers run
    // inside this call.
    void ProcessMessages();

    // The application is the one the user works with (one of its windows is active).
    bool Active() const;
    // The form that is the active window, if any.
    TForm* ActiveForm() const;

    // Minimises every window of the program.
    void Minimize();
    // Gives every minimised window of the program back its state (a window that covered
    // the screen covers it again).
    void Restore();

    // Handles the exception being handled (call it inside a catch block).
    void HandleException(TObject* Sender);
    void HandleException(TObject* Sender, std::exception_ptr e);
    // Shows the exception's text in a message box titled with the program's title.
    void ShowException(const Exception& E);

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;

    // For the platform layer: bookkeeping of the forms and of activation.
    void AddForm(TForm* form);
    void FormDestroyed(TForm* form);
    void CheckActivation();
    // Clears Terminated (tests reuse one application object).
    void ClearTerminated() { FTerminated = false; }

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::string FTitle;
    std::vector<TForm*> FForms;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FRunning = false;
    bool FWasActive = false;
};

// The process's application object, or null when none exists.
extern TApplication* Application;

// Hands the exception being handled to the application's handler; never throws.
// Without an application the text goes to standard error.
void HandleCurrentException() noexcept;

// Runs f behind the exception barrier. True when it returned normally.
template <class F>
bool CallProtected(F&& f) noexcept
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        HandleCurrentException();
        return false;
    }
}

#include "platform/Forms.h"

template <class T>
void TApplication::CreateForm(T*& reference)
{
    reference = nullptr;
    T* form = new T();
    reference = form;
    form->AfterConstruction();
    if (!FMainForm)
        FMainForm = form;
}
