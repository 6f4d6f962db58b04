// Reading a whole data package: mounting it and opening every member through
// OpenPackageFile, beside raw zlib inflate of the same members' deflated bytes (stored
// members copied) and the CRC-32 of what they give, in the same run. Both report the
// members' uncompressed bytes per second, so their ratio is the package layer's overhead.
// Last, mounting archives of many empty members, whose cost must grow in step with their
// number.
#include <zlib.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <chrono>
#include <thread>
#include <random>

#include <benchmark/benchmark.h>

#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ZipBuilder.h"

namespace {

constexpr int MemberCount = 300;

// The package lies in a folder beside the benchmark program, whose parent folders do not
// change while it runs (unlike the system's temporary folder).
struct BenchDir {
    explicit BenchDir(const std::string& name = "packages_bench_data")
    {
        char exe[4096] = {};
        const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        const std::string self(exe, n > 0 ? static_cast<size_t>(n) : 0);
        FPath = self.substr(0, self.rfind('/')) + "/" + name;
        std::filesystem::remove_all(FPath);
        std::filesystem::create_directories(FPath);
    }
    ~BenchDir() { std::filesystem::remove_all(FPath); }
    const std::string& Path() const { return FPath; }
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(FPath + "/" + name, std::ios::binary) << bytes;
    }

private:
    std::string FPath;
};

struct Package {
    BenchDir Dir;
    std::vector<ZipMember> Members;
    std::vector<std::string> Data; // each member's bytes as stored in the archive
    int64_t TotalBytes = 0;

    Package()
    {
        std::mt19937 rng(1234);
        static const char* const Words[] = {"boulder", "water", "snake", "key", "jewel", "spider", "exit", "dirt"};
        for (int i = 0; i < MemberCount; ++i) {
            const size_t size = 2000 + rng() % 20000;
            std::string content;
            const bool stored = i % 3 == 0; // a third are pictures-like: incompressible, stored
            if (stored) {
                content.resize(size);
                for (char& c : content)
                    c = static_cast<char>(rng());
            } else {
                while (content.size() < size) {
                    content += Words[rng() % 8];
                    content += (rng() % 10 == 0) ? "\r\n" : " ";
                }
                content.resize(size);
            }
            ZipMember m("Data/File" + std::to_string(i) + (stored ? ".jpg" : ".txt"), content);
            if (stored)
                m.Stored();
            Data.push_back(stored ? content : RawDeflate(content));
            Members.push_back(m);
            TotalBytes += static_cast<int64_t>(size);
        }
        Dir.Write("Base.Tarvol", BuildZip(Members));
        // An installed game's folders have not changed for a while; folders changed in
        // the last seconds are listed anew at every lookup (see platform/Files.cpp).
        std::this_thread::sleep_for(std::chrono::milliseconds(4500));
    }
};

Package& ThePackage()
{
    static Package package;
    return package;
}

void OpenEveryMember(const Package& p, std::vector<char>& buffer)
{
    ResetPackageFiles(p.Dir.Path());
    AddPackage(p.Dir.Path() + "\\Base.Tarvol");
    for (const ZipMember& m : p.Members) {
        auto s = OpenPackageFile(m.Name);
        const int32_t n = s->Read(buffer.data(), static_cast<int32_t>(buffer.size()));
        benchmark::DoNotOptimize(n);
    }
}

void RawInflateEveryMember(const Package& p, std::vector<char>& out)
{
    for (size_t i = 0; i < p.Members.size(); ++i) {
        const std::string& in = p.Data[i];
        if (p.Members[i].Method == 0) {
            std::memcpy(out.data(), in.data(), in.size());
            benchmark::DoNotOptimize(crc32(0, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(in.size())));
            continue;
        }
        z_stream z{};
        inflateInit2(&z, -MAX_WBITS);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        benchmark::DoNotOptimize(inflate(&z, Z_FINISH));
        benchmark::DoNotOptimize(crc32(0, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(z.total_out)));
        inflateEnd(&z);
    }
}

void BM_OpenEveryPackageMember(benchmark::State& state)
{
    Package& p = ThePackage();
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state)
        OpenEveryMember(p, buffer);
    ResetPackageFiles();
    state.SetBytesProcessed(state.iterations() * p.TotalBytes);
}
BENCHMARK(BM_OpenEveryPackageMember)->Unit(benchmark::kMillisecond);

void BM_RawInflateEveryMember(benchmark::State& state)
{
    Package& p = ThePackage();
    std::vector<char> out(64 * 1024);
    for (auto _ : state)
        RawInflateEveryMember(p, out);
    state.SetBytesProcessed(state.iterations() * p.TotalBytes);
}
BENCHMARK(BM_RawInflateEveryMember)->Unit(benchmark::kMillisecond);

// The two above, taking turns within each iteration, so that a machine whose speed drifts
// (shared, virtual) slows both alike. The counter OpenOverRaw is the package layer's
// throughput as a fraction of raw inflate's: the figure to watch.
void BM_OpenBesideRawInflate(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Package& p = ThePackage();
    std::vector<char> buffer(64 * 1024);
    Clock::duration open{};
    Clock::duration raw{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        OpenEveryMember(p, buffer);
        const auto t1 = Clock::now();
        RawInflateEveryMember(p, buffer);
        const auto t2 = Clock::now();
        open += t1 - t0;
        raw += t2 - t1;
    }
    ResetPackageFiles();
    state.counters["OpenOverRaw"] = std::chrono::duration<double>(raw).count() / std::chrono::duration<double>(open).count();
    state.SetBytesProcessed(state.iterations() * p.TotalBytes * 2);
}
BENCHMARK(BM_OpenBesideRawInflate)->Unit(benchmark::kMillisecond);

// Where the time goes: the members read straight from the mounted archive (no lookups),
// and the loose-file lookups alone (four candidates per name, none of them present).
void BM_ReadEveryMemberWithoutLookup(benchmark::State& state)
{
    Package& p = ThePackage();
    std::vector<char> buffer(64 * 1024);
    ResetPackageFiles(p.Dir.Path());
    AddPackage(p.Dir.Path() + "\\Base.Tarvol");
    tZipFile& zip = *Packages()[0];
    for (auto _ : state) {
        for (int i = 0; i < zip.Count(); ++i) {
            const std::unique_ptr<TStream> s = ReadZippedFile(zip.Entries(i));
            benchmark::DoNotOptimize(s->Read(buffer.data(), static_cast<int32_t>(buffer.size())));
        }
    }
    ResetPackageFiles();
    state.SetBytesProcessed(state.iterations() * p.TotalBytes);
}
BENCHMARK(BM_ReadEveryMemberWithoutLookup)->Unit(benchmark::kMillisecond);

void BM_LooseFileLookupsOnly(benchmark::State& state)
{
    Package& p = ThePackage();
    ResetPackageFiles(p.Dir.Path());
    AddPackage(p.Dir.Path() + "\\Base.Tarvol");
    for (auto _ : state) {
        for (const ZipMember& m : p.Members) {
            std::string n = m.Name;
            benchmark::DoNotOptimize(FindLooseFile(n));
        }
    }
    ResetPackageFiles();
    state.SetBytesProcessed(state.iterations() * p.TotalBytes);
}
BENCHMARK(BM_LooseFileLookupsOnly)->Unit(benchmark::kMillisecond);

// Mounting archives of many empty stored members (as a set of many small levels would
// be): the time per archive for 655 and for 65,534 entries, whose ratio shows whether
// building the directory stays linear (goal: 65,534 entries in under 50 ms, and under 100
// times the 655-entry archive). ManyOverFew is that ratio, measured in turns.
struct ManyEntryArchive {
    BenchDir Dir;
    std::string Path;
    explicit ManyEntryArchive(int count) : Dir("packages_bench_" + std::to_string(count))
    {
        std::vector<ZipMember> members;
        for (int i = 0; i < count; ++i)
            members.push_back(ZipMember("Levels/Level" + std::to_string(i) + ".map").Stored());
        Path = Dir.Path() + "/Many.zip";
        Dir.Write("Many.zip", BuildZip(members));
    }
};

double MountSeconds(const std::string& path)
{
    const auto t0 = std::chrono::steady_clock::now();
    const tZipFile zip(path);
    benchmark::DoNotOptimize(zip.FindEntry("levels\\level0.map"));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_MountManyEntries(benchmark::State& state)
{
    static const ManyEntryArchive few(655);
    static const ManyEntryArchive many(65534);
    double fewTime = 0, manyTime = 0;
    for (auto _ : state) {
        fewTime += MountSeconds(few.Path);
        manyTime += MountSeconds(many.Path);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["FewMs"] = fewTime / n * 1000;
    state.counters["ManyMs"] = manyTime / n * 1000;
    state.counters["ManyOverFew"] = manyTime / fewTime;
}
BENCHMARK(BM_MountManyEntries)->Unit(benchmark::kMillisecond);

} // namespace
