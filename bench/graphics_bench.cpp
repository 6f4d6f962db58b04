// 16-bit drawing and image loading, each beside the bound it is measured against:
//   BM_SpriteFrame       240 keyed 32 x 32 sprites and 240 opaque 32 x 32 tiles into a
//                        640 x 480 frame; BM_SpriteFrameCopyBound copies the same number of
//                        bytes with one memcpy (goal: the frame within 4x of the copy).
//   BM_LoadJpegIntoDib   a 512 x 512 JPEG loaded into a registered surface (decode,
//                        brightness pass, conversion); BM_DecodeJpegBound only decodes the
//                        same file with libjpeg (goal: loading at least half as fast).
// Both also report their ratio to the bound measured in the same run (x_copy: frame time
// over copy time; speed_vs_decode: loading speed over decoding speed).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include <unistd.h>

#include "platform/Graphics.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"

namespace {

constexpr int Sprites = 240;
constexpr size_t FrameBytes = size_t(2) * Sprites * 32 * 32 * 2;

struct SpriteScene {
    SpriteScene()
    {
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Sheet = tDib16::CreateNamed("bench_sheet.jpg", false);
        Sheet->SetWidth(512);
        Sheet->SetHeight(512);
        Sheet->CreateSurface();
        Sheet->Loaded = true;
        std::mt19937 rng(7);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                Sheet->ScanLine(y)[x] = ((x / 8 + y / 8) % 4 == 0) ? 0xF81F : static_cast<uint16_t>(rng());
        Frame = std::make_unique<tDib16>(640, 480);
        Frame->RecordDirtyRects = true;
        for (int i = 0; i < Sprites; ++i) {
            tSprite keyed;
            keyed.SetFrame("bench_sheet.jpg", (i % 16) * 32, (i / 16 % 16) * 32, 32, 32);
            keyed.DrawMode = 0;
            Keyed.push_back(keyed);
            tSprite tile = keyed;
            tile.DrawMode = 1;
            Tiles.push_back(tile);
        }
    }
    ~SpriteScene() { FreeAllDibs(); }
    void DrawFrame()
    {
        CurrentDib = Frame.get();
        Frame->ClearDirtyRects();
        for (int i = 0; i < Sprites; ++i)
            Tiles[i].Draw(16 + (i % 20) * 32, 16 + (i / 20) * 32);
        for (int i = 0; i < Sprites; ++i)
            Keyed[i].Draw(7 + (i * 37) % 620, 5 + (i * 53) % 470);
    }
    tDib16* Sheet;
    std::unique_ptr<tDib16> Frame;
    std::vector<tSprite> Keyed, Tiles;
};

double SecondsPerCopy(int rounds)
{
    std::vector<uint8_t> a(FrameBytes, 1), b(FrameBytes);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::memcpy(b.data(), a.data(), FrameBytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_SpriteFrame(benchmark::State& state)
{
    SpriteScene scene;
    const auto start = std::chrono::steady_clock::now();
    int64_t frames = 0;
    for (auto _ : state) {
        scene.DrawFrame();
        benchmark::DoNotOptimize(scene.Frame->ScanLine(0));
        ++frames;
    }
    const double perFrame = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / frames;
    state.counters["x_copy"] = perFrame / SecondsPerCopy(200);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FrameBytes));
}
BENCHMARK(BM_SpriteFrame)->Unit(benchmark::kMicrosecond);

void BM_SpriteFrameCopyBound(benchmark::State& state)
{
    std::vector<uint8_t> a(FrameBytes, 1), b(FrameBytes);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), FrameBytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FrameBytes));
}
BENCHMARK(BM_SpriteFrameCopyBound)->Unit(benchmark::kMicrosecond);

// A 512 x 512 photograph-like picture: smooth gradients with some noise.
std::string MakeJpeg512()
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(512, 512);
    std::mt19937 rng(3);
    for (int y = 0; y < 512; ++y) {
        uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < 512; ++x) {
            row[3 * x] = static_cast<uint8_t>((x + y) / 4 + rng() % 16);
            row[3 * x + 1] = static_cast<uint8_t>(y / 2 + rng() % 16);
            row[3 * x + 2] = static_cast<uint8_t>(x / 2 + rng() % 16);
        }
    }
    return EncodeJpeg(b, {85});
}

struct JpegFile {
    JpegFile()
    {
        Dir = std::filesystem::temp_directory_path() / ("tp_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        Bytes = MakeJpeg512();
        std::ofstream(Dir / "Picture.jpg", std::ios::binary) << Bytes;
        ResetPackageFiles(Dir.string());
    }
    ~JpegFile()
    {
        ResetPackageFiles();
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    std::filesystem::path Dir;
    std::string Bytes;
};

void BM_LoadJpegIntoDib(benchmark::State& state)
{
    JpegFile file;
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    tDib16* dib = FindOrLoadDib("Picture.jpg", false);
    const auto start = std::chrono::steady_clock::now();
    int64_t loads = 0;
    for (auto _ : state) {
        dib->Unload();
        dib->Load();
        benchmark::DoNotOptimize(dib->ScanLine(0));
        ++loads;
    }
    const double perLoad = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / loads;
    FreeAllDibs();
    // Bare decoding of the same file, measured now: the speed of loading relative to it.
    const auto decodeStart = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(file.Bytes);
        benchmark::DoNotOptimize(jpeg.Bitmap().ScanLine(0));
    }
    const double perDecode = std::chrono::duration<double>(std::chrono::steady_clock::now() - decodeStart).count() / 50;
    state.counters["speed_vs_decode"] = perDecode / perLoad;
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadJpegIntoDib)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegBound(benchmark::State& state)
{
    const std::string bytes = MakeJpeg512();
    for (auto _ : state) {
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(jpeg.Bitmap().ScanLine(0));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeJpegBound)->Unit(benchmark::kMillisecond);

} // namespace
