// The main window's video entries (played through the media player over the whole
// client area, then the level set moves on) and its web link (the help page).
#include <iostream>
#include <string>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Files.h"
#include "platform/MPlayer.h"
#include "platform/ShellAPI.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Settings.h"
#include "tesk/shell/LaunchBrowserU.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/PackageFiles.h"

void TForm1::StartVideoEntry()
{
    if (!Engine)
        return;
    if (NoVideo) {
        Engine->NextSetEntry();
        return;
    }
    if (MediaPlayer1)
        return; // a video is playing already: one player at a time
    VideoPlaying = true;
    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->SetParent(VideoPanel);
    MediaPlayer1->SetDisplay(VideoPanel);
    MediaPlayer1->OnNotify = [this](TObject* s) { MediaPlayer1Notify(s); };
    VideoPanel->SetBounds(0, 0, ClientWidth(), ClientHeight());
    VideoPanel->Show();
    VideoPanel->BringToFront();
    // The player opens files on disk: a video counts only as a loose file, whose full
    // path the package layer gives.
    std::string file = Engine->VideoFileName;
    FindLooseFile(file);
    try {
        MediaPlayer1->SetFileName(file);
        MediaPlayer1->Open();
        MediaPlayer1->SetDisplayRect(VideoPanel->BoundsRect());
        MediaPlayer1->Play();
    } catch (const Exception& e) {
        EndVideo(e.Message());
    }
}

void TForm1::VideoPanelResized()
{
    if (!VideoPlaying || !VideoPanel)
        return;
    VideoPanel->SetBounds(0, 0, ClientWidth(), ClientHeight());
    if (MediaPlayer1)
        MediaPlayer1->SetDisplayRect(VideoPanel->BoundsRect());
}

void TForm1::MediaPlayer1Notify(TObject* Sender)
{
    if (Sender != MediaPlayer1)
        return;
    // Inside a rebuild (or other code pumping messages) the set moves on afterwards.
    if (SettingUp || ShuttingDown || MustDefer()) {
        FDeferredVideoEnd = MediaPlayer1->Error();
        return;
    }
    EndVideo(MediaPlayer1->Error());
}

void TForm1::RunDeferredVideoEnd()
{
    if (!FDeferredVideoEnd || SettingUp || ShuttingDown || MustDefer())
        return;
    const std::string error = *FDeferredVideoEnd;
    FDeferredVideoEnd.reset();
    EndVideo(error);
}

void TForm1::EndVideo(const std::string& error)
{
    TMediaPlayer* player = MediaPlayer1;
    FDeferredVideoEnd.reset();
    if (!player)
        return;
    if (!error.empty())
        std::cerr << "The video \"" << (Engine ? Engine->VideoFileName : player->FileName()) << "\" was skipped: " << error
                  << std::endl;
    player->Close();
    VideoPlaying = false;
    VideoPanel->Hide();
    player->Hide();
    // The player may be the one whose notification is running: it goes once that
    // handler has returned.
    MediaPlayer1 = nullptr;
    FPlayersToFree.push_back(player);
    PostMessage(Handle(), WM_FREEPLAYERS, 0, 0);
    if (Engine)
        Engine->NextSetEntry();
}

void TForm1::WMFreePlayers(TMessage&)
{
    std::vector<TMediaPlayer*> players;
    players.swap(FPlayersToFree);
    for (TMediaPlayer* player : players)
        delete player;
}

void TForm1::OpenWebLink()
{
    // The browser launcher minimises the game once it has found a browser.
    const std::string page = HelpPagePath();
    if (FileExists(page))
        LaunchBrowser(this, FileUrlOf(page));
    else
        ShowMessage("Could not find the help page\r" + page);
    if (Engine)
        Engine->WebLinkRequested = false;
}
