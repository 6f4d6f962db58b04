#pragma once
// Helpers for the shell's tests: pictures made on the spot, a scratch program folder
// with the built data package mounted, and modal forms driven from inside their loop.
#include <functional>
#include <memory>
#include <string>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/TestHooks.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchProgram.h"

// A JPEG file of one colour.
inline std::string SolidJpeg(int width, int height, TColor color = clRed)
{
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
    return EncodeJpeg(bitmap);
}

// A program folder of its own for one test, with the built "Base.Tarvol" mounted (or
// none), so that loose files written into it override the packaged ones.
struct ScratchGame {
    ScratchProgramDir Dir;
    ProgramDirOverride Override{Dir.Path()};
    explicit ScratchGame(bool withPackage = true) : Dir(withPackage)
    {
        if (withPackage)
            AddPackage(Dir / "Base.Tarvol");
    }
};

// Shows a form modally and runs the script inside its modal loop; returns the modal
// result, or -1 when the script left none.
template <class F>
TModalResult ShowModalWith(F& form, const std::function<void(F&)>& script)
{
    TestHooks::SetModalStarted([&](TForm*) {
        script(form);
        if (form.ModalResult() == mrNone)
            form.SetModalResult(-1);
    });
    const TModalResult result = form.ShowModal();
    TestHooks::SetModalStarted(nullptr);
    return result;
}

// Frees a form made with new (forms are freed with Free, never deleted).
template <class F>
using FormPtr = std::unique_ptr<F, void (*)(F*)>;
template <class F>
FormPtr<F> MakeForm()
{
    F* form = new F;
    form->AfterConstruction();
    return FormPtr<F>(form, [](F* f) { f->Free(); });
}
