#pragma once
// Shared set-up of the 16-bit graphics tests: a known pixel format and brightness, an
// empty image registry and drawing target, and helpers to make and read surfaces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchDir.h"

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DisplayBrightness = 1.0f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Is565 = true;
        CurrentDib = nullptr;
        ResetPackageFiles(Dir.Path());
    }
    void TearDown() override
    {
        while (DibStackDepthUsed() > 0)
            PopDib();
        CurrentDib = nullptr;
        FreeAllDibs();
        ResetPackageFiles();
        DisplayBrightness = 1.1f;
        Is565 = false;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
    }
    void Use555()
    {
        SetPixelFormat(0x7C00, 0x03E0, 0x001F);
        Is565 = false;
    }

    // Every pixel of a surface, row by row.
    static std::vector<uint16_t> Pixels(tDib16& dib)
    {
        std::vector<uint16_t> out;
        for (int y = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x)
                out.push_back(dib.ScanLine(y)[x]);
        return out;
    }
    static void FillWith(tDib16& dib, uint16_t (*f)(int x, int y))
    {
        for (int y = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x)
                dib.ScanLine(y)[x] = f(x, y);
    }
    static void FillAll(tDib16& dib, uint16_t v)
    {
        for (int y = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x)
                dib.ScanLine(y)[x] = v;
    }

    ScratchDir Dir;
};
