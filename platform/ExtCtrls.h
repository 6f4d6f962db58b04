#pragma once
// Panels, paint boxes, images and the window timer.
#include <memory>

#include "platform/Controls.h"
#include "platform/Graphics.h"

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

// A windowed container: fills itself with Color, draws its outer and inner bevels
// (raised: light top-left, shadow bottom-right) and its caption centred.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut bevel);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int width);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

protected:
    void Paint() override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    TAlignment FAlignment = taCenter;
};

// A window-less drawing area: OnPaint draws it; its Canvas may also be drawn on at any
// time (what is drawn stays until the parent paints again).
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// A window-less picture: drawn at the top-left corner (or centred), or stretched to
// the bounds. Changing the picture repaints it (and sizes the control with AutoSize).
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    TPicture& Picture() { return FPicture; }
    void SetPicture(const TPicture* picture) { FPicture.Assign(picture); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool on);
    bool Center() const { return FCenter; }
    void SetCenter(bool on);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool on) { FTransparent = on; }

protected:
    void Paint() override;
    virtual void PictureChanged();

private:
    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FAutoSize = false;
    bool FTransparent = false;
};

struct TTimerPrivate;

// A periodic event on the UI thread (a QTimer). It runs while Enabled with an
// Interval above 0; a change of either restarts it. Exceptions from OnTimer are shown
// and the timer goes on.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner = nullptr);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t interval);
    bool Running() const;
    // Runs one period at once, as when the interval has passed (tests advance time so).
    void Timer();
    TNotifyEvent OnTimer;

private:
    void UpdateTimer();
    std::unique_ptr<TTimerPrivate> FPriv;
    bool FEnabled = true;
    uint32_t FInterval = 1000;
};
