#pragma once
// Helpers for the shell's tests: pictures made on the spot, a scratch program folder
// with the built data package mounted, and modal forms driven from inside their loop.
#include <functional>
#include <memory>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Params.h"
#include "platform/TestHooks.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/FormPictures.h"
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
// none), so that loose files written into it (or into its "Base" folder) override the
// packaged ones. The folder is the current directory meanwhile, and the package is
// mounted by its plain name, as the main window does.
struct ScratchGame {
    ScratchProgramDir Dir;
    ProgramDirOverride Override{Dir.Path()};
    std::string PreviousDir = GetCurrentDir();
    explicit ScratchGame(bool withPackage = true) : Dir(withPackage)
    {
        SetCurrentDir(Dir.Path());
        if (withPackage)
            AddPackage("Base.Tarvol");
    }
    ~ScratchGame() { SetCurrentDir(PreviousDir); }
    ScratchGame(const ScratchGame&) = delete;
    ScratchGame& operator=(const ScratchGame&) = delete;
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

// A JPEG file of coloured rectangles on black.
struct TColouredRect {
    TRect Rect;
    TColor Color;
};
inline std::string RegionsJpeg(int width, int height, const std::vector<TColouredRect>& rects)
{
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush.Color = clBlack;
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
    for (const TColouredRect& r : rects) {
        bitmap.Canvas().Brush.Color = r.Color;
        bitmap.Canvas().FillRect(r.Rect);
    }
    TJpegEncodeOptions options;
    options.Quality = 100;
    return EncodeJpeg(bitmap, options);
}

// Colours compared after JPEG coding and the 16-bit surfaces.
inline bool NearColour(TColor a, TColor b)
{
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24)
            return false;
    return true;
}

// Compares a picture with tests/tesk/shell/files/screens/<name>.png (24 per channel,
// under 1 % of the pixels differing); a failing comparison leaves <name>.actual.png in
// the build's bin folder. Record again with TP_UPDATE_PICTURES=1 and look at the picture.
inline void ExpectAsRecorded(const TBitmap& picture, const std::string& name)
{
    const std::string reference = std::string(TP_SOURCE_DIR) + "/tests/tesk/shell/files/screens/" + name + ".png";
    const TPictureDifference d = CompareWithReference(picture, reference, 24);
    EXPECT_TRUE(d.SameSize) << "no reference picture of that size: " << reference;
    EXPECT_LT(d.Fraction(), 0.01) << name << ": " << d.Differing << " pixels differ (worst " << d.Worst << ")";
    if (!d.SameSize || d.Fraction() >= 0.01)
        SavePicturePng(picture, std::string(TP_BIN_DIR) + "/" + name + ".actual.png");
}
