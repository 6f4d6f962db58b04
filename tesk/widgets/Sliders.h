#pragma once
// The slider: a focusable control holding an integer Value between MinValue and
// MaxValue, shown as a thumb image on a ruler image (stretched to the control's length,
// its ends never repeated). The user drags the thumb, holds the button on the ruler
// beside it (stepping with repeats) or uses Home, End and the arrow keys. Horizontal or
// vertical, with tick marks beside the ruler; the four images come from the program's
// bitmaps unless the form supplies its own.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Streams.h"
#include "tesk/widgets/WidgetSupport.h"

enum TSliderOrientation : uint8_t { soHorizontal, soVertical };
// Option bits of TSliderOptions.
enum TSliderOption : uint8_t { soShowFocus = 1, soShowPoints = 2, soSmooth = 4 };
using TSliderOptions = uint8_t;

// The four images, by index.
enum TSliderImage : uint8_t { siHThumb = 0, siHRuler = 1, siVThumb = 2, siVRuler = 3 };

// Step kinds of StepBy and HitSide.
enum TSliderStep : uint8_t { skNone = 0, skToMin = 1, skToMax = 2, skUp = 3, skDown = 4 };

class TExCustomSlider : public TCustomControl {
public:
    explicit TExCustomSlider(TComponent* AOwner);
    ~TExCustomSlider() override;

    // Images: 0 horizontal thumb, 1 horizontal ruler, 2 vertical thumb, 3 vertical ruler.
    const TBitmap& Image(int index) const { return FImages[static_cast<size_t>(index & 3)]; }
    // Copies the bitmap into image `index` (a user image); null loads the default back.
    void SetImage(int index, const TBitmap* bitmap);
    const TBitmap& ImageHThumb() const { return Image(siHThumb); }
    const TBitmap& ImageHRuler() const { return Image(siHRuler); }
    const TBitmap& ImageVThumb() const { return Image(siVThumb); }
    const TBitmap& ImageVRuler() const { return Image(siVRuler); }
    void SetImageHThumb(const TBitmap* b) { SetImage(siHThumb, b); }
    void SetImageHRuler(const TBitmap* b) { SetImage(siHRuler, b); }
    void SetImageVThumb(const TBitmap* b) { SetImage(siVThumb, b); }
    void SetImageVRuler(const TBitmap* b) { SetImage(siVRuler, b); }
    // Bit i set: image i was supplied rather than loaded from the program's bitmaps.
    uint8_t UserImages() const { return FUserImages; }
    // The binary property "UserImages": one byte.
    void ReadUserImages(TStream& stream);
    void WriteUserImages(TStream& stream);

    int EdgeSize() const { return FEdgeSize; }
    // Taken only when 0 <= v and 2 v is less than the ruler image's length.
    void SetEdgeSize(int value);
    int NumThumbStates() const { return FNumThumbStates; }
    void SetNumThumbStates(int value);
    TSliderOrientation Orientation() const { return FOrientation; }
    // Also swaps width and height.
    void SetOrientation(TSliderOrientation value);
    TSliderOptions Options() const { return FOptions; }
    void SetOptions(TSliderOptions value);
    TBevelCut BevelStyle() const { return FBevelStyle; }
    void SetBevelStyle(TBevelCut value);
    int BevelWidth() const { return FBevelWidth; }

    int MinValue() const { return FMinValue; }
    void SetMinValue(int value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int value);
    int Increment() const { return FIncrement; }
    // Raises ERangeError "Value must be between 1 and <range>" outside 1..range.
    void SetIncrement(int value);
    int Value() const { return FValue; }
    // Held to MaxValue first, then MinValue.
    void SetValue(int value);
    // Ignored when min >= max.
    void SetRange(int min, int max);
    bool ReadOnly = false;

    // Fired on every change of Value.
    TNotifyEvent OnChange;
    // Fired once at the end of each user action (a key step, a thumb release, the end
    // of a ruler press).
    TNotifyEvent OnChanged;
    // Replaces the tick drawing when assigned.
    TNotifyEvent OnDrawPoints;

    // Draws the tick marks on the control's canvas (for OnDrawPoints handlers).
    virtual void DrawTicks(int step, int length, int extremeLength);

    struct TTick {
        int Value = 0;
        int Position = 0; // along the axis, at the thumb's middle
        int Length = 0;
    };
    // The tick marks the spacing rule gives for a step.
    std::vector<TTick> Ticks(int step, int length, int extremeLength) const;

    // Geometry and state.
    const TBitmap& Ruler() const { return FRuler; }
    TPoint RulerOrigin() const { return FRulerOrigin; }
    TRect ThumbRect() const { return FThumbRect; }
    TRect TickArea() const { return FTickArea; }
    bool ThumbDown() const { return FThumbDown; }
    bool Sliding() const { return FSliding; }
    bool RulerPressed() const { return FRulerPressed; }
    bool TimerRunning() const { return FTimerRunning; }
    bool SliderFocused() const { return FFocused; }
    // The repeat timer of a ruler press (400 ms).
    TTimer& RepeatTimer() { return *FRepeatTimer; }
    // The ruler length the thumb can travel (ruler length less the thumb's).
    int TrackRange() const;
    // The thumb's size (a state's frame of the current thumb image).
    TPoint ThumbSize() const;

    int PositionOfValue(int value) const;
    int ValueAtPosition(int position) const;
    int SnapPosition(int position) const;
    void MoveThumbTo(int position);
    void StepBy(int kind);
    int HitSide(int x, int y) const;

    void Loaded() override;
    TCursor CursorAt(int X, int Y) override;
    void FocusChanged(TWinControl* NewFocus) override;
    void AlignControls(TControl* control, TRect& rect) override;

protected:
    virtual bool CanChangeValue() { return true; }
    virtual TRect SliderArea() const;
    virtual int CurrentValue() { return FValue; }
    virtual void Relayout();
    virtual void RangeChanged() {}
    virtual void ThumbPress(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ThumbDrag(TShiftState Shift, int X, int Y);
    virtual void ThumbRelease(TMouseButton Button, TShiftState Shift, int X, int Y);
    // OnChange and OnChanged.
    virtual void Change();
    virtual void Changed();

    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void EnabledChanged() override;
    void BoundsChanged() override;

    void ComposeRuler(const TRect& area);
    void LayoutParts();
    void ApplyThumbSize();
    void PaintThumb(TPoint at, bool secondState);
    void PaintTicks(TCanvas& canvas, int step, int length, int extremeLength);
    void RepeatStep();
    void EndRulerPress();
    void LoadDefaultImage(int index);

    int FMinValue = 0;
    int FMaxValue = 100;
    int FIncrement = 10;
    int FValue = 0;

private:
    uint8_t FUserImages = 0;
    TBitmap FImages[4];
    int FEdgeSize = 2;
    TBitmap FRuler;
    TBitmap FThumbBuffer;
    TPoint FRulerOrigin{};
    TRect FThumbRect{};
    bool FThumbDown = false;
    int FNumThumbStates = 2;
    TRect FTickArea{};
    TSliderOrientation FOrientation = soHorizontal;
    TSliderOptions FOptions = soShowFocus | soShowPoints | soSmooth;
    TBevelCut FBevelStyle = bvNone;
    int FBevelWidth = 1;
    int FHitOffset = 0;
    bool FFocused = false;
    bool FSliding = false;
    bool FRulerPressed = false;
    bool FTimerRunning = false;
    TPoint FPressPoint{};
    int FPressSide = 0;
    bool FCreating = true;
    std::unique_ptr<TTimer> FRepeatTimer;
    // False once the slider is destroyed (handlers check it after an event that may
    // free it).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TExSlider : public TExCustomSlider {
public:
    using TExCustomSlider::TExCustomSlider;
};
