#pragma once
// A 640 x 480 frame for the tests of the screens drawn into it: 565 pixels, display
// brightness 1.1, the real art of the built "Base.Tarvol" behind a scratch program folder
// (a loose file written there replaces the packaged one), the menu font loaded, the
// random generator seeded. Frames can be compared with reference pictures under
// tests/tesk/game/files/screens/.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tesk/toolkit/Random.h"
#include "tests/support/FormPictures.h"
#include "tests/tesk/game/Dib16Pictures.h"
#include "tests/support/ScratchProgram.h"

class tScreenFixture {
public:
    struct tOptions {
        bool RealArt = true;
        bool LoadFont = true;
    };
    tScreenFixture() : tScreenFixture(tOptions{}) {}
    explicit tScreenFixture(tOptions options)
    {
        DisplayBrightness = 1.1f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Is565 = true;
        CurrentDib = nullptr;
        FreeAllDibs();
        Override = std::make_unique<ProgramDirOverride>(Dir.Path());
        ResetPackageFiles(Dir.Path());
        if (options.RealArt)
            AddPackage(ScratchProgramDir::BuiltPackage());
        SetRandomSeed(1);
        Frame = std::make_unique<tDib16>(FrameWidth, FrameHeight);
        Frame->ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
        Frame->Fill(PixelBlack);
        CurrentDib = Frame.get();
        if (options.LoadFont)
            LoadFontGraphicsData();
    }
    ~tScreenFixture()
    {
        FreeFontGraphicsData();
        while (DibStackDepthUsed() > 0)
            PopDib();
        CurrentDib = nullptr;
        Frame.reset();
        FreeAllDibs();
        Override.reset();
        ResetPackageFiles();
        DisplayBrightness = 1.1f;
        Is565 = false;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
    }
    tScreenFixture(const tScreenFixture&) = delete;
    tScreenFixture& operator=(const tScreenFixture&) = delete;

    // A loose data file beside the program (replaces the packaged one of that name).
    void WriteLoose(const std::string& relative, const std::string& bytes) { Dir.Write(relative, bytes); }

    uint16_t Pixel(int x, int y) { return Frame->ScanLine(y)[x]; }
    std::vector<uint16_t> Pixels(TRect area = TRect{0, 0, FrameWidth, FrameHeight})
    {
        std::vector<uint16_t> out;
        for (int y = area.Top; y < area.Bottom; ++y) {
            const uint16_t* row = Frame->ScanLine(y);
            out.insert(out.end(), row + area.Left, row + area.Right);
        }
        return out;
    }

    TBitmap Picture() { return Dib16Picture(*Frame, TRect{0, 0, FrameWidth, FrameHeight}); }

    // Compares the frame with tests/tesk/game/files/screens/<name>.png (tolerance 24 per
    // channel, under 1 % of the pixels differing); a failing comparison leaves the frame
    // as <name>.actual.png in the build's bin folder.
    static void ExpectLooksLike(tDib16& dib, const std::string& name)
    {
        const TBitmap picture = Dib16Picture(dib, TRect{0, 0, dib.Width, dib.Height});
        const std::string reference = std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/screens/" + name + ".png";
        const TPictureDifference d = CompareWithReference(picture, reference, 24);
        EXPECT_TRUE(d.SameSize) << "no reference picture " << reference;
        EXPECT_LT(d.Fraction(), 0.01) << name << ": " << d.Differing << " pixels differ (worst " << d.Worst << ")";
        if (!d.SameSize || d.Fraction() >= 0.01)
            SavePicturePng(picture, std::string(TP_BIN_DIR) + "/" + name + ".actual.png");
    }
    void ExpectLooksLike(const std::string& name) { ExpectLooksLike(*Frame, name); }

    ScratchDir Dir;
    std::unique_ptr<ProgramDirOverride> Override;
    std::unique_ptr<tDib16> Frame;
};
