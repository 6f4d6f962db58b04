#include <gtest/gtest.h>

#include <string>

#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"
#include "tests/support/FormPictures.h"

namespace {

// The kinds of control the level editor's window holds, laid out as it lays them out:
// check boxes at the top, a page control with a disabled sheet, a hidden tab and the
// active page holding a palette, two vertical scroll bars and a horizontal one, and a
// status bar with three panels.
struct EditorControlsForm : TForm {
    TPageControl* Pages = nullptr;
    TStatusBar* Status = nullptr;

    EditorControlsForm()
    {
        SetBorderStyle(bsSingle);
        SetCaption("Editor");
        TFont font;
        font.Name = "MS Sans Serif";
        font.Height = -11;
        SetFont(font);
        SetClientWidth(185);
        SetClientHeight(300);
        auto* menu = new TMainMenu(this);
        auto* file = new TMenuItem(this);
        file->SetCaption("&File");
        menu->Items()->Add(file);
        SetMenu(menu);

        auto* editing = PlaceControl<TCheckBox>(this, 8, 8, 70, 17);
        editing->SetCaption("Editing");
        editing->SetChecked(true);
        auto* solid = PlaceControl<TCheckBox>(this, 81, 8, 90, 17);
        solid->SetCaption("Show Solid");

        Status = new TStatusBar(this);
        Status->SetParent(this);
        const char* texts[] = {"640,480", "3,4", "1234"};
        const int widths[] = {60, 50, 50};
        for (int i = 0; i < 3; ++i) {
            TStatusPanel* panel = Status->Panels()->Add();
            panel->SetWidth(widths[i]);
            panel->SetText(texts[i]);
        }

        Pages = new TPageControl(this);
        Pages->SetParent(this);
        Pages->SetBounds(0, 32, 185, 249);
        Pages->SetAlign(alBottom);
        Pages->SetTabWidth(43);
        Pages->SetHotTrack(true);
        Sheet("Tiles")->SetEnabled(false);
        TTabSheet* vars = Sheet("Vars");
        vars->SetTabVisible(false);
        TTabSheet* objects = Sheet("Objects");
        Sheet("Data");
        Pages->SetActivePage(objects);

        auto* palette = PlaceControl<TPaintBox>(objects, 4, 8, 120, 176);
        palette->OnPaint = [palette](TObject*) {
            // A chequer of tiles in four colours.
            const TColor colours[] = {clMaroon, clGreen, clPurple, clNavy};
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 7; ++x) {
                    palette->Canvas().Brush.Color = colours[(x + y) % 4];
                    palette->Canvas().FillRect(Rect(x * 16 + 4, y * 16, x * 16 + 20, y * 16 + 16));
                }
        };
        auto* tiles = new TScrollBar(this);
        tiles->SetKind(sbVertical);
        tiles->SetParent(objects);
        tiles->SetBounds(128, 8, 16, 176);
        tiles->SetTabStop(false);
        tiles->SetParams(10, 0, 54);
        auto* overlay = new TScrollBar(this);
        overlay->SetKind(sbVertical);
        overlay->SetParent(objects);
        overlay->SetBounds(148, 8, 16, 176);
        overlay->SetParams(0, 0, 54);
        auto* templates = PlaceControl<TScrollBar>(objects, 4, 190, 160, 17);
        templates->SetTabStop(false);
        templates->SetParams(3, 0, 20);
    }
    TTabSheet* Sheet(const std::string& caption)
    {
        auto* sheet = new TTabSheet(this);
        sheet->SetPageControl(Pages);
        sheet->SetCaption(caption);
        return sheet;
    }
};

} // namespace

TEST(EditorControlsPicture, MatchesTheReference)
{
    EditorControlsForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    EXPECT_EQ(f.ClientHeight(), 300) << "the menu bar lies outside the picture";
    const TBitmap picture = DrawControlPicture(f);
    // Text may render a little differently on another machine; the shapes may not.
    ExpectLikeReference(picture, "tests/platform/files", "editor_controls");
}
