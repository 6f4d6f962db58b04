// The whole program and the presentation of its frames, each figure beside its goal:
//   BM_StartupToFirstMenuFrame  the built tesk started headless until it presents the
//                               main menu's first frame, median of 10 starts (goal 0.5 s)
//   BM_IdleInTheMainMenu        CPU time of tesk idling in the main menu on its 20 ms timer
//                               over 10 s, in percent of one core (goal 5 %)
//   BM_PeakMemoryWhilePlaying   peak resident memory while the first level plays for 10 s
//                               (goal 80 MB)
//   BM_PresentFrame/1 and /2    one 640 x 480 frame (a new one each time) presented to a
//                               window at 1x and 2x, measured in turn with a plain
//                               conversion loop of the same frame (at 2x: the loop plus a
//                               plain pixel doubling); the ratio to that loop is reported
//                               (goal 1.3)
// The first three run bin/tesk beside the bench folder, over a scratch program folder.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/FramePresenter.h"
#include "platform/Graphics.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string BuildFolder()
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return ".";
    self[n] = 0;
    return std::filesystem::path(self).parent_path().parent_path().string();
}

// A program folder of its own with a link to the built data package.
class ScratchGame {
public:
    ScratchGame()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tp_bench_XXXXXX").string();
        if (mkdtemp(pattern.data()))
            FPath = pattern;
        std::filesystem::create_symlink(BuildFolder() + "/bin/Base.Tarvol", FPath + "/Base.Tarvol");
    }
    ~ScratchGame()
    {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// tesk running headless; standard error is read as it comes.
class Game {
public:
    Game(const ScratchGame& dir, const std::vector<std::string>& extra)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        for (const char* e : {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "TP_REPORT_FIRST_FRAME=1"})
            env.emplace_back(e);
        env.push_back("TP_PROGRAM_DIR=" + dir.Path());
        env.insert(env.end(), extra.begin(), extra.end());
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = BuildFolder() + "/bin/tesk";
        char* argv[] = {program.data(), nullptr};
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        Started = Clock::now();
        posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        FRead = fds[0];
    }
    ~Game()
    {
        if (Pid > 0) {
            kill(Pid, SIGTERM);
            int status = 0;
            waitpid(Pid, &status, 0);
        }
        if (FRead >= 0)
            close(FRead);
    }
    // Reads standard error until it holds text; false after the limit.
    bool WaitFor(const std::string& text, double limitSeconds)
    {
        const auto deadline = Clock::now() + std::chrono::duration<double>(limitSeconds);
        char buffer[4096];
        while (Stderr.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p{FRead, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0)
                continue;
            const ssize_t n = read(FRead, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            Stderr.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }
    // User plus system CPU seconds so far.
    double CpuSeconds() const
    {
        std::ifstream in("/proc/" + std::to_string(Pid) + "/stat");
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t close = all.rfind(')');
        std::istringstream fields(all.substr(close + 2));
        std::string f;
        long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> f; ++i) {
            if (i == 14)
                utime = std::stol(f);
            if (i == 15)
                stime = std::stol(f);
        }
        return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
    }
    // The peak resident set, in MB.
    double PeakMegabytes() const
    {
        std::ifstream in("/proc/" + std::to_string(Pid) + "/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("VmHWM:", 0) == 0)
                return std::stod(line.substr(6)) / 1024.0;
        return 0;
    }

    pid_t Pid = 0;
    Clock::time_point Started;
    std::string Stderr;

private:
    int FRead = -1;
};

// Waits for the main menu's first frame; false (the benchmark marked failed) when it
// does not come.
bool ReachedTheMenu(Game& game, benchmark::State& state)
{
    if (game.WaitFor("[first frame]", 60))
        return true;
    state.SkipWithError("no first frame");
    return false;
}

void BM_StartupToFirstMenuFrame(benchmark::State& state)
{
    std::vector<double> seconds;
    for (auto _ : state) {
        for (int i = 0; i < 10; ++i) {
            ScratchGame dir;
            Game game(dir, {});
            if (!ReachedTheMenu(game, state))
                return;
            seconds.push_back(std::chrono::duration<double>(Clock::now() - game.Started).count());
        }
    }
    std::sort(seconds.begin(), seconds.end());
    state.counters["median_s"] = seconds[seconds.size() / 2];
    state.counters["goal_s"] = 0.5;
}
BENCHMARK(BM_StartupToFirstMenuFrame)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_IdleInTheMainMenu(benchmark::State& state)
{
    double percent = 0;
    for (auto _ : state) {
        ScratchGame dir;
        Game game(dir, {});
        if (!ReachedTheMenu(game, state))
            return;
        const double before = game.CpuSeconds();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        percent = 100.0 * (game.CpuSeconds() - before) / wall;
    }
    state.counters["cpu_percent"] = percent;
    state.counters["goal_percent"] = 5;
}
BENCHMARK(BM_IdleInTheMainMenu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PeakMemoryWhilePlaying(benchmark::State& state)
{
    double peak = 0;
    for (auto _ : state) {
        ScratchGame dir;
        Game game(dir, {"TP_START_ENTRY=0"});
        std::this_thread::sleep_for(std::chrono::seconds(10));
        peak = game.PeakMegabytes();
    }
    state.counters["peak_MB"] = peak;
    state.counters["goal_MB"] = 80;
}
BENCHMARK(BM_PeakMemoryWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// ---------------------------------------------------------------------------------------
// Presenting frames

TApplication& App()
{
    static int argc = 1;
    static char name[] = "shell_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<TApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<TApplication>(argc, argv);
    }();
    return *app;
}

std::vector<uint16_t> TestFrame()
{
    std::vector<uint16_t> frame(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            frame[static_cast<size_t>(y) * 640 + x] = static_cast<uint16_t>(x * 97 + y * 31);
    return frame;
}

// The plain conversion of a 565 frame to 32 bits, as anyone would write it.
void PlainConvert(const uint16_t* src, uint32_t* dst, int pixels)
{
    for (int i = 0; i < pixels; ++i) {
        const uint32_t p = src[i];
        dst[i] = 0xFF000000u | ((p & 0xF800u) << 8) | ((p & 0x07E0u) << 5) | ((p & 0x001Fu) << 3);
    }
}

// Each pixel of a 640 x 480 picture as a 2 x 2 block of a 1280 x 960 one.
void PlainDouble(const uint32_t* src, uint32_t* dst)
{
    for (int y = 0; y < 480; ++y) {
        uint32_t* row = dst + static_cast<size_t>(2 * y) * 1280;
        for (int x = 0; x < 640; ++x)
            row[2 * x] = row[2 * x + 1] = src[static_cast<size_t>(y) * 640 + x];
        std::memcpy(row + 1280, row, 1280 * 4);
    }
}

void BM_PresentFrame(benchmark::State& state)
{
    App();
    const int scale = static_cast<int>(state.range(0));
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetClientWidth(640 * scale);
    form->SetClientHeight(480 * scale);
    form->Show();
    Application->ProcessMessages();
    std::vector<uint16_t> frame = TestFrame();
    std::vector<uint32_t> plain(640 * 480), doubled(1280 * 960);
    double presentSeconds = 0, plainSeconds = 0;
    size_t changing = 0;
    for (auto _ : state) {
        // A new frame each time, differing in its last row: a frame shown unchanged is not
        // converted again, and the comparison runs to the end here.
        frame[frame.size() - 1 - changing++ % 640] ^= 0x0841;
        auto t0 = Clock::now();
        PresentFrame(PresentWindowOf(form), reinterpret_cast<const uint8_t*>(frame.data()), 640, 480, 1280,
                     BitFields565);
        auto t1 = Clock::now();
        PlainConvert(frame.data(), plain.data(), 640 * 480);
        if (scale == 2)
            PlainDouble(plain.data(), doubled.data());
        benchmark::DoNotOptimize(plain.data());
        benchmark::DoNotOptimize(doubled.data());
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        presentSeconds += std::chrono::duration<double>(t1 - t0).count();
        plainSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["present_ms"] = 1000 * presentSeconds / double(state.iterations());
    state.counters["plain_loop_ms"] = 1000 * plainSeconds / double(state.iterations());
    state.counters["ratio"] = presentSeconds / plainSeconds;
    state.counters["goal_ratio"] = 1.3;
    form->Free();
}
BENCHMARK(BM_PresentFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
