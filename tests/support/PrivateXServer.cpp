#include "tests/support/PrivateXServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

extern char** environ;

namespace {

bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Starts a program with its output thrown away and DISPLAY set as given (when not empty);
// with a descriptor given, the program has it as its descriptor 3.
pid_t Spawn(const std::vector<std::string>& args, const std::string& display, int fd3 = -1)
{
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e)
        if (display.empty() || std::strncmp(*e, "DISPLAY=", 8) != 0)
            envStore.emplace_back(*e);
    if (!display.empty())
        envStore.push_back("DISPLAY=" + display);
    std::vector<char*> env;
    for (auto& e : envStore)
        env.push_back(e.data());
    env.push_back(nullptr);
    std::vector<std::string> argStore = args;
    std::vector<char*> argv;
    for (auto& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (fd3 >= 0)
        posix_spawn_file_actions_adddup2(&actions, fd3, 3);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : 0;
}

bool Alive(pid_t pid) { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

void Stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = 0;
}

// What a command prints on standard output (with DISPLAY as the process has it).
std::string Output(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"), pclose);
    if (!pipe)
        return out;
    std::array<char, 512> buffer{};
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        out.append(buffer.data(), n);
    return out;
}

// The number after "label" in text, or fallback.
int NumberAfter(const std::string& text, const std::string& label, int fallback)
{
    const size_t at = text.find(label);
    if (at == std::string::npos)
        return fallback;
    return std::atoi(text.c_str() + at + label.size());
}

template <class F>
bool WaitFor(F condition, int seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace

PrivateXServer::PrivateXServer(int width, int height)
{
    int first = 140, last = 179;
    if (const char* range = std::getenv("TP_TEST_X_DISPLAYS"); range && std::sscanf(range, "%d-%d", &first, &last) < 1)
        first = last = -1;
    if (last < first)
        last = first;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    for (int n = first; n >= 0 && n <= last && FServer == 0; ++n) {
        const std::string number = std::to_string(n);
        if (Exists("/tmp/.X" + number + "-lock") || Exists("/tmp/.X11-unix/X" + number))
            continue;
        // The server writes its display number to descriptor 3 once it is ready; one that
        // finds the number taken (another may take it first) ends without, and the next
        // number is tried.
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) {
            FError = "no pipe for Xvfb";
            return;
        }
        pid_t server = Spawn({"Xvfb", ":" + number, "-screen", "0", screen, "-nolisten", "tcp", "-displayfd", "3"}, "",
                             ready[1]);
        close(ready[1]);
        if (server == 0) {
            close(ready[0]);
            FError = "Xvfb cannot be started (apt-get install xvfb)";
            return;
        }
        std::string said;
        pollfd p{ready[0], POLLIN, 0};
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (said.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
            if (poll(&p, 1, 100) <= 0)
                continue;
            char c[16];
            const ssize_t got = read(ready[0], c, sizeof c);
            if (got <= 0)
                break;
            said.append(c, static_cast<size_t>(got));
        }
        close(ready[0]);
        if (std::atoi(said.c_str()) == n && said.find('\n') != std::string::npos && Alive(server)) {
            FServer = server;
            FNumber = n;
        } else {
            Stop(server);
        }
    }
    if (FServer == 0) {
        FError = "no free X display number in " + std::to_string(first) + "-" + std::to_string(last);
        return;
    }
    FWindowManager = Spawn({"openbox"}, Display());
    const std::string check = "DISPLAY=" + Display() + " xprop -root _NET_SUPPORTING_WM_CHECK";
    if (FWindowManager == 0 ||
        !WaitFor([&] { return !Alive(FWindowManager) || Output(check).find("window id") != std::string::npos; }, 15) ||
        !Alive(FWindowManager))
        FError = "openbox did not start on " + Display() + " (apt-get install openbox x11-utils)";
}

PrivateXServer::~PrivateXServer()
{
    Stop(FWindowManager);
    Stop(FServer);
}

TWindowSystemGeometry WindowSystemGeometry(unsigned long windowId)
{
    TWindowSystemGeometry g;
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", windowId);
    const std::string info = Output(std::string("xwininfo -id ") + id);
    const int x = NumberAfter(info, "Absolute upper-left X:", -1 << 20);
    const int y = NumberAfter(info, "Absolute upper-left Y:", -1 << 20);
    const int w = NumberAfter(info, "Width:", -1);
    const int h = NumberAfter(info, "Height:", -1);
    if (w < 0 || h < 0 || x == -1 << 20 || y == -1 << 20)
        return g;
    g.Found = true;
    g.Client = TRect{x, y, x + w, y + h};
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"; none without a frame.
    const std::string extents = Output(std::string("xprop -id ") + id + " _NET_FRAME_EXTENTS");
    if (const size_t at = extents.find(" = "); at != std::string::npos)
        std::sscanf(extents.c_str() + at + 3, "%d, %d, %d, %d", &g.FrameLeft, &g.FrameRight, &g.FrameTop, &g.FrameBottom);
    return g;
}
