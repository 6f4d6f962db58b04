// artframes: the contact sheet as the game shows it. Reads the pictures from the data
// package through the game's image loader, cuts every sheet into its frames and draws
// each frame with the game's sprite code (keyed or additive, at its hot spot) into one
// PNG. Not run by the build:
//
//   artframes <folder holding Base.Tarvol> <out.png>
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Strip {
    const char* Sheet;
    int X, Y, W, H;   // first frame
    int DX, DY;       // step to the next frame
    int Count;
    int HotX, HotY;
    int Mode;         // 0 keyed, 1 opaque, 2 additive
};

const Strip kStrips[] = {
    {"ZoraWalking.jpg", 0, 0, 32, 64, 0, 64, 16, 16, 34, 0},
    {"ZoraWalking.jpg", 32, 0, 32, 64, 0, 64, 16, 16, 34, 0},
    {"ZoraWalking.jpg", 64, 0, 32, 64, 0, 64, 16, 16, 34, 0},
    {"ZoraWalking.jpg", 96, 0, 32, 64, 0, 64, 16, 16, 34, 0},
    {"ZoraStanding.jpg", 0, 0, 32, 64, 32, 0, 4, 16, 34, 0},
    {"ZoraStanding.jpg", 0, 64, 32, 64, 32, 0, 4, 16, 34, 0},
    {"ZoraStanding.jpg", 0, 128, 32, 64, 32, 0, 4, 16, 34, 0},
    {"ZoraDying.jpg", 0, 0, 40, 40, 0, 40, 14, 20, 22, 0},
    {"Snake1.jpg", 0, 0, 32, 48, 0, 48, 31, 16, 32, 0},
    {"Snake1.jpg", 32, 0, 32, 48, 0, 48, 31, 16, 32, 0},
    {"Spider.jpg", 0, 0, 36, 26, 36, 0, 10, 18, 13, 0},
    {"Spider.jpg", 0, 26, 36, 26, 36, 0, 10, 18, 13, 0},
    {"Spider.jpg", 0, 52, 36, 26, 36, 0, 10, 18, 13, 0},
    {"Spider.jpg", 0, 78, 36, 26, 36, 0, 10, 18, 13, 0},
    {"SpinningThings.jpg", 0, 0, 32, 24, 0, 24, 32, 16, 12, 0},
    {"SpinningThings.jpg", 32, 0, 32, 24, 0, 24, 32, 16, 12, 0},
    {"SpinningThings.jpg", 64, 0, 32, 24, 0, 24, 16, 16, 12, 0},
    {"SpinningThings.jpg", 96, 0, 32, 24, 0, 24, 16, 16, 12, 0},
    {"SpinningThings.jpg", 128, 0, 32, 24, 0, 24, 13, 16, 12, 0},
    {"Exits.Jpg", 0, 0, 32, 64, 32, 0, 7, 16, 16, 0},
    {"Exits.Jpg", 0, 64, 32, 64, 32, 0, 7, 16, 16, 0},
    {"Exits.Jpg", 0, 128, 32, 32, 32, 0, 7, 16, 16, 0},
    {"Exits.Jpg", 0, 160, 32, 32, 32, 0, 7, 16, 16, 0},
    {"Exits.Jpg", 0, 192, 32, 64, 32, 0, 7, 16, 45, 0},
    {"BaseGfx.jpg", 0, 160, 32, 32, 32, 0, 7, 16, 16, 2},
    {"BaseGfx.jpg", 0, 224, 32, 32, 32, 0, 2, 16, 16, 0},
    {"BaseGfx.jpg", 64, 224, 32, 32, 0, 0, 1, 16, 16, 2},
    {"BaseGfx.jpg", 96, 224, 32, 32, 0, 0, 1, 16, 16, 0},
    {"BaseGfx.jpg", 0, 256, 32, 32, 0, 0, 1, 16, 16, 0},
    {"BaseGfx.jpg", 64, 256, 32, 32, 32, 0, 2, 16, 16, 2},
    {"BaseGfx.jpg", 0, 288, 32, 32, 32, 0, 5, 16, 16, 0},
    {"BaseGfx.jpg", 0, 320, 32, 32, 32, 0, 11, 16, 16, 0},
    {"BaseGfx.jpg", 32, 192, 32, 32, 0, 0, 1, 2, 2, 0},
    {"BaseGfx.jpg", 384, 0, 96, 48, 0, 48, 6, 48, 24, 1},
    {"BaseGfx.jpg", 480, 240, 96, 48, 0, 0, 1, 48, 24, 1},
    {"LevelDigits.jpg", 0, 0, 14, 32, 0, 32, 12, 7, 16, 0},
    {"Explosion1.jpg", 0, 0, 52, 54, 52, 0, 27, 26, 27, 2},
    {"Warp.jpg", 0, 0, 66, 30, 0, 30, 71, 33, 15, 2},
    {"FireBall.jpg", 0, 264, 160, 132, 0, 132, 26, 78, 85, 2},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: artframes <folder holding Base.Tarvol> <out.png>\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Drawn off screen: no display is needed unless a platform is chosen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    DisplayBrightness = 1.1f;
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    Is565 = true;
    ResetPackageFiles(argv[1]);
    AddPackage(std::string(argv[1]) + "/Base.Tarvol");
    for (const char* additiveOnly : {"Warp.jpg", "FireBall.jpg"})
        FindOrLoadDib(additiveOnly, false)->NoBrightnessChange = true;

    // Lay the frames out in rows, one strip after another, wrapping at the sheet width.
    const int W = 1600, pad = 4;
    struct Placed {
        const Strip* S;
        int Index, X, Y;
    };
    std::vector<Placed> placed;
    int x = 0, y = 0, rowH = 0;
    for (const Strip& s : kStrips) {
        for (int i = 0; i < s.Count; ++i) {
            if (x + s.W + pad > W) {
                x = 0;
                y += rowH;
                rowH = 0;
            }
            placed.push_back({&s, i, x, y});
            x += s.W + pad;
            rowH = std::max(rowH, s.H + pad);
        }
        x += 12;
    }
    const int H = y + rowH;
    try {
        tDib16 sheet(W, H);
        tDibTarget target(&sheet);
        // A grass-green ground under keyed frames, near-black under additive ones.
        sheet.Fill(RGBToPixel(70, 120, 50));
        const uint16_t dark = RGBToPixel(16, 16, 24);
        for (const Placed& p : placed)
            if (p.S->Mode == 2)
                for (int yy = p.Y; yy < p.Y + p.S->H; ++yy)
                    std::fill_n(sheet.ScanLine(yy) + p.X, p.S->W, dark);
        for (const Placed& p : placed) {
            FindOrLoadDib(p.S->Sheet, false);
            tSprite sprite;
            sprite.SetFrame(p.S->Sheet, p.S->X + p.S->DX * p.Index, p.S->Y + p.S->DY * p.Index, p.S->W, p.S->H);
            sprite.HotSpotX = p.S->HotX;
            sprite.HotSpotY = p.S->HotY;
            sprite.DrawMode = static_cast<uint8_t>(p.S->Mode);
            sprite.Draw(p.X + p.S->HotX, p.Y + p.S->HotY);
        }
        QImage out(W, H, QImage::Format_RGB32);
        for (int yy = 0; yy < H; ++yy) {
            const uint16_t* row = sheet.ScanLine(yy);
            for (int xx = 0; xx < W; ++xx) {
                uint8_t r, g, b;
                PixelToRGB(row[xx], r, g, b);
                out.setPixel(xx, yy, qRgb(r, g, b));
            }
        }
        FreeAllDibs();
        return out.save(argv[2]) ? 0 : 1;
    } catch (const Exception& e) {
        std::cerr << "artframes: " << e.Message() << "\n";
        return 1;
    }
}
