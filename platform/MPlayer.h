#pragma once
// The media player: plays one video file (with its sound) in a rectangle of a windowed
// control, and tells its owner once when playback is over.
//
// - FileName, then Open: the file must exist, be a regular file and be readable, or Open
//   raises EMCIDeviceError naming the file and the reason. Whether its contents can be
//   decoded is only known once it plays.
// - Play starts playback and returns at once. OnNotify then fires exactly once for that
//   Play, on the UI thread, queued behind the handler that is running (never from inside
//   Open or Play): at the end of the video with Error() empty, or when playing fails
//   (no decoder, a damaged or unsupported file) with Error() saying why.
// - Close stops playback; a notification not yet delivered is dropped. Freeing the
//   player (also from inside its own OnNotify) drops it too.
// - The picture fills DisplayRect (client coordinates of Display) while the player is
//   Visible. The formats are those of the system's GStreamer plug-ins: Ogg files with
//   Theora video and Vorbis sound always play.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Exceptions.h"
#include "platform/Types.h"

// A file the player cannot open or play.
class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

struct TMediaPlayerPrivate;

class TMediaPlayer : public TComponent {
public:
    explicit TMediaPlayer(TComponent* AOwner);
    ~TMediaPlayer() override;

    // The control the player belongs to (the player draws no buttons of its own).
    TWinControl* Parent() const { return FParent; }
    void SetParent(TWinControl* parent);
    // The windowed control the picture shows in.
    TWinControl* Display() const { return FDisplay; }
    void SetDisplay(TWinControl* display);
    TRect DisplayRect() const { return FDisplayRect; }
    void SetDisplayRect(const TRect& rect);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& name) { FFileName = name; }

    void Open();
    void Play();
    void Close();
    bool Opened() const { return FOpened; }
    // Why the last playback failed; empty after a normal end.
    const std::string& Error() const { return FError; }

    TNotifyEvent OnNotify;

    // For the test hooks: a fake player's video ends now.
    void EndFakeNow();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct TMediaPlayerPrivate;
    void PlaybackEnded(const std::string& error);
    void Deliver(unsigned serial);
    void PlaceVideo();

    std::unique_ptr<TMediaPlayerPrivate> d;
    TWinControl* FParent = nullptr;
    TWinControl* FDisplay = nullptr;
    TRect FDisplayRect{};
    bool FVisible = true;
    std::string FFileName;
    std::string FError;
    bool FOpened = false;
    // Raised by Play, lowered when the notification is posted.
    bool FArmed = false;
    // A failure seen before Play was called.
    std::optional<std::string> FEarlyFailure;
    // Counts Plays and Closes; a posted notification of an older one is dropped.
    unsigned FSerial = 0;
    HWND FWindow = nullptr;
};

namespace TestHooks {

// Makes every player a fake that opens and shows nothing.
struct TMediaPlayerFake {
    enum TFailure { None, AtOpen, AtPlay, WhilePlaying };
    // Milliseconds from Play to the end (0: at the next pass of the event loop).
    int EndAfterMs = 0;
    TFailure Failure = None;
    // The error the fake reports (raised by Open or Play, or carried by the notification).
    std::string ErrorText = "The fake player was told to fail";
};
// nullopt: the real player again.
void SetMediaPlayerFake(std::optional<TMediaPlayerFake> fake);
// The files the fake opened (Open calls, in order), while a fake is set.
const std::vector<std::string>& MediaPlayerLog();
// Players alive now (real or fake).
int LiveMediaPlayers();
// Every fake player still playing ends now, as if its time had passed.
void EndFakeVideosNow();
void ResetMediaPlayerHooks();

} // namespace TestHooks
