#pragma once
// A private X server (Xvfb) with a window manager (openbox), for tests of how the
// programs' windows sit on a real desktop: their frames, places and full-screen states.
// The display number is the first free one of TP_TEST_X_DISPLAYS ("first-last", for
// example "81-89"), else of 140-179.
#include <sys/types.h>

#include <string>

#include "platform/Types.h"

class PrivateXServer {
public:
    PrivateXServer(int width, int height);
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Both run; else Error() says what failed.
    bool Running() const { return FError.empty(); }
    const std::string& Error() const { return FError; }
    // ":n", for DISPLAY.
    std::string Display() const { return ":" + std::to_string(FNumber); }

private:
    std::string FError;
    int FNumber = -1;
    pid_t FServer = 0;
    pid_t FWindowManager = 0;
};

// A top-level window as the window system has it (read with xwininfo and xprop on the
// display DISPLAY names): its client area in screen coordinates and the frame the window
// manager put round it.
struct TWindowSystemGeometry {
    bool Found = false;
    TRect Client{};
    int FrameLeft = 0, FrameTop = 0, FrameRight = 0, FrameBottom = 0;
    TRect Frame() const
    {
        return TRect{Client.Left - FrameLeft, Client.Top - FrameTop, Client.Right + FrameRight,
                     Client.Bottom + FrameBottom};
    }
};
TWindowSystemGeometry WindowSystemGeometry(unsigned long windowId);
