#include "platform/System.h"

#include <chrono>

#include "platform/TestHooks.h"

namespace {

std::function<uint32_t()>& TickSource()
{
    static std::function<uint32_t()> source;
    return source;
}

const TestHooks::TResetStep ResetSystem([] { TickSource() = nullptr; });

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

namespace TestHooks {
void SetTickCountSource(std::function<uint32_t()> source) { TickSource() = std::move(source); }
} // namespace TestHooks
