#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <QWidget>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/MPlayer.h"
#include "platform/TestHooks.h"
#include "tests/support/ScratchDir.h"

namespace {

// Runs the event loop until the condition holds or the time is up.
bool RunUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        Application->ProcessMessages();
        QThread::msleep(5);
    }
    return true;
}

// Keeps the loop running a little longer, to catch a notification that should not come.
void RunFor(int ms)
{
    RunUntil([] { return false; }, ms);
}

struct VideoForm : TForm {
    TPanel* Panel;
    VideoForm()
    {
        SetClientWidth(320);
        SetClientHeight(240);
        Panel = PlaceControl<TPanel>(this, 0, 0, 320, 240);
        Panel->SetColor(clBlack);
    }
};

// A player on a panel, counting its notifications and the errors they carried.
struct Watched {
    VideoForm Form;
    TMediaPlayer* Player = new TMediaPlayer(&Form);
    int Notified = 0;
    std::string Error;
    Watched()
    {
        Player->SetParent(Form.Panel);
        Player->SetDisplay(Form.Panel);
        Player->OnNotify = [this](TObject* sender) {
            ++Notified;
            Error = static_cast<TMediaPlayer*>(sender)->Error();
        };
    }
};

std::string TestClip()
{
    return TP_TEST_CLIP;
}

} // namespace

TEST(MediaPlayer, PlaysARealClipToItsEndWithOneNotification)
{
    Watched w;
    w.Form.Show();
    w.Player->SetFileName(TestClip());
    w.Player->Open();
    w.Player->SetDisplayRect(Rect(0, 0, 320, 240));
    w.Player->Play();
    EXPECT_EQ(w.Notified, 0) << "Play returns before the end is told";
    ASSERT_TRUE(RunUntil([&] { return w.Notified > 0; }, 10000)) << "the one-second clip never ended";
    EXPECT_EQ(w.Error, "");
    RunFor(200);
    EXPECT_EQ(w.Notified, 1);
    // The last picture stays until the player closes: the test source's colour bars.
    QWidget* surface = w.Form.Panel->Widget()->findChild<QWidget*>("VideoSurface");
    ASSERT_NE(surface, nullptr);
    const QImage shown = surface->grab().toImage();
    int coloured = 0;
    for (int x = 10; x < shown.width(); x += 40)
        coloured += qGray(shown.pixel(x, shown.height() / 4)) > 40 ? 1 : 0;
    EXPECT_GT(coloured, 3);
    w.Player->Close();
}

TEST(MediaPlayer, FilesItCannotOpenRaiseWithTheirNameAndTheReason)
{
    ScratchDir dir;
    const std::string folder = dir / "Intro.ogv";
    std::filesystem::create_directories(folder);
    const std::string locked = dir.Write("Locked.ogv", "x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    struct Case {
        std::string Name;
        std::string Reason;
    };
    std::vector<Case> cases = {{dir / "Missing.ogv", "does not exist"}, {folder, "folder"}, {"", "no file name"}};
    if (geteuid() != 0) // root reads anything
        cases.push_back({locked, "cannot be read"});
    for (const Case& c : cases) {
        Watched w;
        w.Player->SetFileName(c.Name);
        try {
            w.Player->Open();
            ADD_FAILURE() << c.Name << " opened";
        } catch (const EMCIDeviceError& e) {
            EXPECT_NE(e.Message().find(c.Reason), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(ExtractFileName(c.Name)), std::string::npos) << e.Message();
        }
        EXPECT_THROW(w.Player->Play(), EMCIDeviceError);
        RunFor(50);
        EXPECT_EQ(w.Notified, 0);
    }
}

TEST(MediaPlayer, FilesThatCannotBePlayedEndWithOneNotificationCarryingTheError)
{
    ScratchDir dir;
    for (const std::string& file : {dir.Write("Empty.ogv", ""), dir.Write("Text.ogv", "This is no video.\r\n")}) {
        Watched w;
        w.Player->SetFileName(file);
        try {
            w.Player->Open();
            w.Player->Play();
        } catch (const EMCIDeviceError&) {
            continue; // refusing at once is as good
        }
        EXPECT_EQ(w.Notified, 0);
        ASSERT_TRUE(RunUntil([&] { return w.Notified > 0; }, 10000)) << file;
        EXPECT_NE(w.Error, "") << file;
        RunFor(100);
        EXPECT_EQ(w.Notified, 1) << file;
    }
}

TEST(MediaPlayer, MayBeFreedInsideItsOwnNotification)
{
    VideoForm form;
    auto* player = new TMediaPlayer(&form);
    player->SetDisplay(form.Panel);
    player->SetFileName(TestClip());
    bool freed = false;
    player->OnNotify = [&](TObject* sender) {
        auto* p = static_cast<TMediaPlayer*>(sender);
        p->Close();
        delete p;
        freed = true;
    };
    player->Open();
    player->Play();
    ASSERT_TRUE(RunUntil([&] { return freed; }, 10000));
    EXPECT_EQ(form.ComponentCount(), 1) << "only the panel is left";
    EXPECT_EQ(TestHooks::LiveMediaPlayers(), 0);
}

TEST(MediaPlayer, FreeingOrClosingDropsANotificationStillQueued)
{
    TestHooks::SetMediaPlayerFake(TestHooks::TMediaPlayerFake{});
    {
        Watched w;
        w.Player->Open();
        w.Player->Play(); // the fake ends at the next pass of the loop
        w.Player->Close();
        ASSERT_TRUE(TestHooks::RunPostedMessages());
        EXPECT_EQ(w.Notified, 0);
    }
    int notified = 0;
    {
        VideoForm form;
        auto* player = new TMediaPlayer(&form);
        player->OnNotify = [&](TObject*) { ++notified; };
        player->Open();
        player->Play();
        delete player;
    }
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(notified, 0);
}

TEST(MediaPlayer, TheFakeLogsItsFilesAndEndsOrFailsAsTold)
{
    using F = TestHooks::TMediaPlayerFake;
    TestHooks::SetMediaPlayerFake(F{});
    {
        Watched w;
        w.Player->SetFileName("Intro.ogv");
        w.Player->Open();
        w.Player->Play();
        EXPECT_EQ(w.Notified, 0) << "never from inside Play";
        ASSERT_TRUE(TestHooks::RunPostedMessages());
        EXPECT_EQ(w.Notified, 1);
        EXPECT_EQ(w.Error, "");
        // Played again, it tells again.
        w.Player->Play();
        ASSERT_TRUE(TestHooks::RunPostedMessages());
        EXPECT_EQ(w.Notified, 2);
    }
    TestHooks::SetMediaPlayerFake(F{50, F::None, ""});
    {
        Watched w;
        w.Player->SetFileName("Later.ogv");
        w.Player->Open();
        QElapsedTimer clock;
        clock.start();
        w.Player->Play();
        ASSERT_TRUE(RunUntil([&] { return w.Notified > 0; }, 5000));
        EXPECT_GE(clock.elapsed(), 45);
        EXPECT_EQ(TestHooks::MediaPlayerLog(), std::vector<std::string>{"Later.ogv"});
    }
    TestHooks::SetMediaPlayerFake(F{0, F::AtOpen, "no such device"});
    {
        Watched w;
        EXPECT_THROW(w.Player->Open(), EMCIDeviceError);
    }
    TestHooks::SetMediaPlayerFake(F{0, F::AtPlay, "no such device"});
    {
        Watched w;
        w.Player->Open();
        EXPECT_THROW(w.Player->Play(), EMCIDeviceError);
        ASSERT_TRUE(TestHooks::RunPostedMessages());
        EXPECT_EQ(w.Notified, 0);
    }
    TestHooks::SetMediaPlayerFake(F{0, F::WhilePlaying, "damaged stream"});
    {
        Watched w;
        w.Player->Open();
        w.Player->Play();
        ASSERT_TRUE(TestHooks::RunPostedMessages());
        EXPECT_EQ(w.Notified, 1);
        EXPECT_EQ(w.Error, "damaged stream");
    }
    EXPECT_EQ(TestHooks::LiveMediaPlayers(), 0);
}

TEST(MediaPlayer, ThePictureFollowsTheDisplayRectangleAndVisibility)
{
    Watched w;
    w.Form.Show();
    w.Player->SetFileName(TestClip());
    w.Player->Open();
    w.Player->SetDisplayRect(Rect(10, 20, 110, 70));
    QWidget* video = nullptr;
    for (QObject* child : w.Form.Panel->Widget()->children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && widget->objectName() == "VideoSurface")
            video = widget;
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->geometry(), QRect(10, 20, 100, 50));
    EXPECT_TRUE(video->isVisible());
    w.Player->Hide();
    EXPECT_FALSE(video->isVisible());
    w.Player->Close();
}

