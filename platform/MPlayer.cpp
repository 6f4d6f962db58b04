#include "platform/MPlayer.h"

#include <QAudioOutput>
#include <QImage>
#include <QMediaPlayer>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>

#include <unistd.h>

#include <algorithm>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"

namespace {

// The player's own message: wParam is the serial of the Play it ends.
constexpr UINT WM_PLAYERNOTIFY = 0x7F40;

struct FakeState {
    std::optional<TestHooks::TMediaPlayerFake> Fake;
    std::vector<std::string> Log;
    std::vector<TMediaPlayer*> Live;
};

FakeState& Fakes()
{
    static FakeState s;
    return s;
}

// The picture of a playing video: each frame the player's sink delivers, stretched over
// the widget.
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent) : QWidget(parent), Sink(new QVideoSink(this))
    {
        setObjectName("VideoSurface");
        setAttribute(Qt::WA_OpaquePaintEvent);
        QObject::connect(Sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            Frame = frame.toImage();
            update();
        });
    }
    QVideoSink* Sink;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (Frame.isNull()) {
            p.fillRect(rect(), Qt::black);
            return;
        }
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), Frame);
    }

private:
    QImage Frame;
};

} // namespace

struct TMediaPlayerPrivate {
    // Set when the player was made while a fake was in force; it stays a fake.
    std::optional<TestHooks::TMediaPlayerFake> Fake;
    QMediaPlayer* Player = nullptr;
    QAudioOutput* Audio = nullptr;
    QPointer<VideoSurface> Video;
    QTimer* FakeEnd = nullptr;
    std::string PendingError;

    void FreeQt()
    {
        delete FakeEnd;
        FakeEnd = nullptr;
        if (Player) {
            Player->disconnect();
            Player->stop();
            Player->setVideoSink(nullptr);
        }
        delete Player;
        Player = nullptr;
        delete Audio;
        Audio = nullptr;
        delete Video.data();
        Video = nullptr;
    }
};

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TComponent(AOwner), d(std::make_unique<TMediaPlayerPrivate>())
{
    d->Fake = Fakes().Fake;
    Fakes().Live.push_back(this);
    FWindow = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == WM_PLAYERNOTIFY)
            Deliver(static_cast<unsigned>(m.WParam));
    });
}

TMediaPlayer::~TMediaPlayer()
{
    DeallocateHWnd(FWindow); // drops a notification still queued
    d->FreeQt();
    if (FDisplay)
        FDisplay->RemoveFreeNotification(this);
    if (FParent)
        FParent->RemoveFreeNotification(this);
    auto& live = Fakes().Live;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void TMediaPlayer::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FDisplay)
        FDisplay = nullptr; // its window took the picture with it
    if (AComponent == FParent)
        FParent = nullptr;
}

void TMediaPlayer::SetParent(TWinControl* parent)
{
    if (parent == FParent)
        return;
    if (FParent)
        FParent->RemoveFreeNotification(this);
    FParent = parent;
    if (FParent)
        FParent->FreeNotification(this);
}

void TMediaPlayer::SetDisplay(TWinControl* display)
{
    if (display == FDisplay)
        return;
    if (FDisplay)
        FDisplay->RemoveFreeNotification(this);
    FDisplay = display;
    if (FDisplay)
        FDisplay->FreeNotification(this);
    if (d->Video) {
        d->Video->setParent(FDisplay ? FDisplay->Widget() : nullptr);
        PlaceVideo();
    }
}

void TMediaPlayer::SetDisplayRect(const TRect& rect)
{
    FDisplayRect = rect;
    PlaceVideo();
}

void TMediaPlayer::SetVisible(bool visible)
{
    FVisible = visible;
    PlaceVideo();
}

void TMediaPlayer::PlaceVideo()
{
    QWidget* video = d->Video.data();
    if (!video)
        return;
    const TRect& r = FDisplayRect;
    video->setGeometry(r.Left, r.Top, std::max(0, r.Right - r.Left), std::max(0, r.Bottom - r.Top));
    const bool show = FVisible && FDisplay && video->parentWidget();
    video->setVisible(show);
    if (show)
        video->raise();
}

void TMediaPlayer::Open()
{
    Close();
    FError.clear();
    FEarlyFailure.reset();
    if (d->Fake) {
        Fakes().Log.push_back(FFileName);
        if (d->Fake->Failure == TestHooks::TMediaPlayerFake::AtOpen)
            throw EMCIDeviceError(d->Fake->ErrorText);
        FOpened = true;
        return;
    }

    const std::string path = ResolvePath(FFileName);
    const std::string what = "Cannot open the video \"" + FFileName + "\": ";
    if (FFileName.empty())
        throw EMCIDeviceError("Cannot open a video: no file name was given");
    if (DirectoryExists(path))
        throw EMCIDeviceError(what + "it is a folder");
    if (!FileExists(path))
        throw EMCIDeviceError(what + "the file does not exist");
    if (::access(path.c_str(), R_OK) != 0)
        throw EMCIDeviceError(what + "the file cannot be read");

    d->Player = new QMediaPlayer;
    d->Audio = new QAudioOutput;
    d->Player->setAudioOutput(d->Audio);
    d->Video = new VideoSurface(FDisplay ? FDisplay->Widget() : nullptr);
    d->Player->setVideoSink(d->Video->Sink);
    PlaceVideo();

    QObject::connect(d->Player, &QMediaPlayer::mediaStatusChanged, d->Player, [this](QMediaPlayer::MediaStatus s) {
        CallProtected([&] {
            if (s == QMediaPlayer::EndOfMedia)
                PlaybackEnded({});
            else if (s == QMediaPlayer::InvalidMedia)
                PlaybackEnded(d->Player->errorString().isEmpty() ? "The video cannot be played"
                                                                  : FromQString(d->Player->errorString()));
        });
    });
    QObject::connect(d->Player, &QMediaPlayer::errorOccurred, d->Player,
                     [this](QMediaPlayer::Error, const QString& text) {
                         CallProtected([&] {
                             PlaybackEnded(text.isEmpty() ? "The video cannot be played" : FromQString(text));
                         });
                     });
    d->Player->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    FOpened = true;
}

void TMediaPlayer::Play()
{
    if (!FOpened)
        throw EMCIDeviceError("Cannot play: no video is open");
    ++FSerial;
    FArmed = true;
    FError.clear();
    if (d->Fake) {
        using F = TestHooks::TMediaPlayerFake;
        if (d->Fake->Failure == F::AtPlay) {
            FArmed = false;
            throw EMCIDeviceError(d->Fake->ErrorText);
        }
        const std::string error = d->Fake->Failure == F::WhilePlaying ? d->Fake->ErrorText : std::string();
        if (d->Fake->EndAfterMs <= 0) {
            PlaybackEnded(error);
            return;
        }
        delete d->FakeEnd;
        d->FakeEnd = new QTimer;
        d->FakeEnd->setSingleShot(true);
        QObject::connect(d->FakeEnd, &QTimer::timeout, d->FakeEnd,
                         [this, error] { CallProtected([&] { PlaybackEnded(error); }); });
        d->FakeEnd->start(d->Fake->EndAfterMs);
        return;
    }
    if (FEarlyFailure) {
        PlaybackEnded(*FEarlyFailure);
        return;
    }
    d->Player->play();
}

void TMediaPlayer::Close()
{
    FArmed = false;
    ++FSerial;
    FOpened = false;
    FEarlyFailure.reset();
    d->FreeQt();
}

void TMediaPlayer::EndFakeNow()
{
    if (d->FakeEnd && d->FakeEnd->isActive()) {
        d->FakeEnd->stop();
        PlaybackEnded(d->Fake && d->Fake->Failure == TestHooks::TMediaPlayerFake::WhilePlaying ? d->Fake->ErrorText
                                                                                                 : std::string());
    }
}

void TMediaPlayer::PlaybackEnded(const std::string& error)
{
    if (!FArmed) {
        // A failure while loading, before Play: reported by the Play that follows.
        if (!error.empty() && FOpened)
            FEarlyFailure = error;
        return;
    }
    FArmed = false;
    d->PendingError = error;
    PostMessage(FWindow, WM_PLAYERNOTIFY, FSerial, 0);
}

void TMediaPlayer::Deliver(unsigned serial)
{
    if (serial != FSerial)
        return;
    FError = d->PendingError;
    // The handler may free the player, and its closure with it: run a copy, and touch
    // nothing of the player afterwards.
    if (TNotifyEvent handler = OnNotify)
        handler(this);
}

namespace TestHooks {

void SetMediaPlayerFake(std::optional<TMediaPlayerFake> fake)
{
    Fakes().Fake = std::move(fake);
    Fakes().Log.clear();
}

const std::vector<std::string>& MediaPlayerLog() { return Fakes().Log; }

int LiveMediaPlayers() { return static_cast<int>(Fakes().Live.size()); }

void EndFakeVideosNow()
{
    const std::vector<TMediaPlayer*> players = Fakes().Live;
    for (TMediaPlayer* player : players)
        player->EndFakeNow();
}

void ResetMediaPlayerHooks()
{
    Fakes().Fake.reset();
    Fakes().Log.clear();
}

const TResetStep ResetMediaPlayer(ResetMediaPlayerHooks);

} // namespace TestHooks
