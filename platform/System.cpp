#include "platform/System.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>

#include <chrono>

#include "platform/Forms.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"

namespace {

std::function<uint32_t()>& TickSource()
{
    static std::function<uint32_t()> source;
    return source;
}

int Beeps = 0;

const TestHooks::TResetStep ResetSystem([] {
    TickSource() = nullptr;
    Beeps = 0;
});

} // namespace

uint32_t GetTickCount()
{
    if (const auto& source = TickSource())
        return source();
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    const auto ms = duration_cast<milliseconds>(steady_clock::now() - start).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void MessageBeep(UINT)
{
    ++Beeps;
    if (QApplication::instance() && !TestHooks::Headless())
        QApplication::beep();
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return Screen->Width();
    case SM_CYSCREEN: return Screen->Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
    }
}

TFont SystemFont()
{
    TFont font;
    font.Name = "System";
    font.Height = 16;
    font.Style = 0;
    if (!QGuiApplication::instance())
        return font;
    // The largest character height of the bundled face whose cell is 16 pixels high.
    static const int height = [] {
        for (int pixels = 16; pixels > 6; --pixels) {
            TFont probe;
            probe.Height = -pixels;
            if (QFontMetrics(ToQFont(probe)).height() <= 16)
                return -pixels;
        }
        return 16;
    }();
    font.Height = height;
    return font;
}

namespace TestHooks {
void SetTickCountSource(std::function<uint32_t()> source) { TickSource() = std::move(source); }
int BeepCount() { return Beeps; }
} // namespace TestHooks
