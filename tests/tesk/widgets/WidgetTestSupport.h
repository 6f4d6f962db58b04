#pragma once
// A shown form for widget tests, and the pointer moved, pressed and released over a
// control as a user would (the screen position follows, so tracking sees it); pictures
// compared with the references in tests/tesk/widgets/files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"
#include "tests/support/FormPictures.h"

// Compares a picture with tests/tesk/widgets/files/<name>.png (TP_UPDATE_PICTURES=1 records
// it again).
inline void ComparePicture(const TBitmap& picture, const std::string& name)
{
    ExpectLikeReference(picture, "tests/tesk/widgets/files", name);
}

// Copies the part `r` of `from` into `to`.
inline void CopyPart(TBitmap& to, const TBitmap& from, const TRect& r)
{
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            to.SetPixelColor(x, y, from.PixelColor(x, y));
}

class WidgetForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHooks::SetApplicationActive(true);
        Form = std::make_unique<TForm>();
        Form->SetBounds(40, 30, 320, 240);
        Form->SetClientWidth(320);
        Form->SetClientHeight(240);
        Form->Show();
        // The form is the active window, so that a control it focuses gets the focus.
        TestHooks::SetActiveForm(Form.get());
        TestHooks::RunPostedMessages();
    }
    void TearDown() override
    {
        TestHooks::ReleaseActiveForm();
        Form.reset();
    }

    TPoint OnForm(TControl* c, int x, int y) { return TestHooks::ControlToForm(c, Point(x, y)); }
    void Point_(TControl* c, int x, int y) { TestHooks::SetCursorPos(c->ClientToScreen(Point(x, y))); }
    void Move(TControl* c, int x, int y, TShiftState shift = {})
    {
        Point_(c, x, y);
        TestHooks::MouseMove(Form.get(), OnForm(c, x, y), shift);
    }
    void Press(TControl* c, int x, int y, TMouseButton b = mbLeft, TShiftState shift = {})
    {
        Point_(c, x, y);
        TestHooks::MouseDown(Form.get(), b, OnForm(c, x, y), shift);
    }
    void Release(TControl* c, int x, int y, TMouseButton b = mbLeft, TShiftState shift = {})
    {
        Point_(c, x, y);
        TestHooks::MouseUp(Form.get(), b, OnForm(c, x, y), shift);
    }
    void ClickAt(TControl* c, int x, int y)
    {
        Press(c, x, y);
        Release(c, x, y);
    }

    std::unique_ptr<TForm> Form;
};
