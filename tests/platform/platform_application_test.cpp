#include <gtest/gtest.h>

#include <ostream>

#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/TestHooks.h"

namespace {

// A hidden window that records what it receives.
struct Recorder {
    std::vector<TMessage> Got;
    std::vector<std::thread::id> Threads;
    HWND Window = AllocateHWnd([this](TMessage& m) {
        Got.push_back(m);
        Threads.push_back(std::this_thread::get_id());
        m.Result = static_cast<LRESULT>(m.Msg) + 1;
    });
    ~Recorder() { DeallocateHWnd(Window); }
};

} // namespace

TEST(PostMessage, DeliversInPostingOrderOnTheUiThread)
{
    Recorder a, b;
    ASSERT_TRUE(PostMessage(a.Window, 0x7818, 1, 2));
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i)
            PostMessage(i % 2 ? a.Window : b.Window, 0x7800, 0, i);
    });
    worker.join();
    ASSERT_TRUE(TestHooks::RunPostedMessages());

    ASSERT_EQ(a.Got.size(), 26u);
    ASSERT_EQ(b.Got.size(), 25u);
    EXPECT_EQ(a.Got[0].Msg, 0x7818u);
    EXPECT_EQ(a.Got[0].WParam, 1u);
    EXPECT_EQ(a.Got[0].LParam, 2);
    for (size_t i = 1; i < a.Got.size(); ++i)
        EXPECT_EQ(a.Got[i].LParam, static_cast<LPARAM>(2 * i - 1));
    for (size_t i = 0; i < b.Got.size(); ++i)
        EXPECT_EQ(b.Got[i].LParam, static_cast<LPARAM>(2 * i));
    for (auto id : a.Threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(PostMessage, AGoneWindowGetsNothing)
{
    HWND stale;
    int calls = 0;
    {
        stale = AllocateHWnd([&](TMessage&) { ++calls; });
        ASSERT_TRUE(PostMessage(stale, 0x7814, 0, 0)); // queued, then the window goes
        DeallocateHWnd(stale);
    }
    EXPECT_FALSE(PostMessage(stale, 0x7814, 0, 0));
    EXPECT_FALSE(PostMessage(nullptr, 0x7814, 0, 0));
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(calls, 0);
    // Handles are never reused.
    Recorder fresh;
    EXPECT_NE(fresh.Window, stale);
}

TEST(SendMessage, CallsTheWindowAtOnce)
{
    Recorder r;
    EXPECT_EQ(SendMessage(r.Window, 0x10, 0, 0), 0x11);
    EXPECT_EQ(r.Got.size(), 1u);
    EXPECT_EQ(SendMessage(nullptr, 0x10, 0, 0), 0);
}

TEST(ProcessMessages, HandlesWhatIsPendingAndMessagesPostedMeanwhileLater)
{
    std::vector<int> order;
    HWND w = nullptr;
    w = AllocateHWnd([&](TMessage& m) {
        order.push_back(static_cast<int>(m.WParam));
        if (m.WParam < 3)
            PostMessage(w, 0x7816, m.WParam + 1, 0);
    });
    PostMessage(w, 0x7816, 1, 0);
    Application->ProcessMessages();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order[0], 1);
    EXPECT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    DeallocateHWnd(w);
}

// Exceptions escaping handlers go to the application's handler; the next message is
// still handled.
struct BarrierCase {
    const char* name;
    std::function<void()> raise;
    std::vector<std::string> shown; // texts of the message boxes
};
void PrintTo(const BarrierCase& c, std::ostream* os) { *os << c.name; }


class ExceptionBarrierTest : public ::testing::TestWithParam<BarrierCase> {};

TEST_P(ExceptionBarrierTest, ShowsTheTextAndGoesOn)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    Application->SetTitle("Gromble");
    int after = 0;
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == 1)
            GetParam().raise();
        else
            ++after;
    });
    PostMessage(w, 1, 0, 0);
    PostMessage(w, 2, 0, 0);
    EXPECT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(after, 1);
    std::vector<std::string> shown;
    for (const auto& box : TestHooks::MessageBoxLog()) {
        shown.push_back(box.Text);
        EXPECT_EQ(box.Caption, "Gromble");
        EXPECT_EQ(box.Type, mtError);
    }
    EXPECT_EQ(shown, GetParam().shown);
    DeallocateHWnd(w);
}

INSTANTIATE_TEST_SUITE_P(Exceptions, ExceptionBarrierTest, ::testing::Values(
    BarrierCase{"Exception", [] { throw EConvertError("'x' is not a valid integer value"); },
                {"'x' is not a valid integer value"}},
    BarrierCase{"Std", [] { throw std::runtime_error("disk full"); }, {"disk full"}},
    BarrierCase{"Other", [] { throw 42; }, {"Unknown exception"}},
    BarrierCase{"Abort", [] { Abort(); }, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExceptionBarrier, OnExceptionReplacesTheMessageBox)
{
    std::string seen;
    Application->OnException = [&](TObject*, const Exception& e) { seen = e.Message(); };
    EXPECT_FALSE(CallProtected([] { throw Exception("Couldn't Create Timer"); }));
    EXPECT_EQ(seen, "Couldn't Create Timer");
    EXPECT_TRUE(TestHooks::MessageBoxLog().empty());
    EXPECT_TRUE(CallProtected([] {}));
}

TEST(Run, TerminateBeforeRunReturnsAtOnce)
{
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->MainForm(), main);
    Application->Terminate();
    Application->Run(); // would wait forever if the loop ran
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(main->Visible());
    main->Free();
    EXPECT_EQ(Application->MainForm(), nullptr);
}

struct EndCase {
    const char* name;
    std::function<void(TForm*)> end;
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }


class RunEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(RunEndTest, RunEndsWhenTheMainFormClosesOrOnTerminate)
{
    TForm* main = nullptr;
    Application->CreateForm(main);
    int handled = 0;
    main->SetMessageHandler(0x7819, [&](TMessage&) {
        ++handled;
        GetParam().end(main);
    });
    PostMessage(main->Handle(), 0x7819, 0, 0);
    Application->Run();
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(main->Visible()); // Run showed it; closing the main form ends the program
    EXPECT_TRUE(Application->Terminated());
    main->Free();
}

INSTANTIATE_TEST_SUITE_P(Ends, RunEndTest, ::testing::Values(
    EndCase{"Close", [](TForm* f) { f->Close(); }},
    EndCase{"Terminate", [](TForm*) { Application->Terminate(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Active, TheHookMakesTheApplicationActiveAndFiresOnActivateOnce)
{
    int activations = 0, deactivations = 0;
    TestHooks::SetApplicationActive(false);
    Application->OnActivate = [&](TObject* s) {
        EXPECT_EQ(s, Application);
        ++activations;
    };
    Application->OnDeactivate = [&](TObject*) { ++deactivations; };
    TestHooks::SetApplicationActive(true);
    EXPECT_TRUE(Application->Active());
    TestHooks::SetApplicationActive(true);
    EXPECT_EQ(activations, 1);
    TestHooks::SetApplicationActive(false);
    EXPECT_FALSE(Application->Active());
    EXPECT_EQ(deactivations, 1);
}
