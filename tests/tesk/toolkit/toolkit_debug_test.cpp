#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/TestHooks.h"
#include "tesk/toolkit/Misc.h"

TEST(DebugMessage, RemembersTheStepWhenBoxesAreOff)
{
    ShowDebugMessages = false;
    DebugMessage("Display init done");
    EXPECT_EQ(LastOperation, "DebugMessage('Display init done')");
    EXPECT_TRUE(TestHooks::MessageBoxLog().empty());
}

TEST(DebugMessage, ShowsEveryStepInABoxWhenOn)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    ShowDebugMessages = true;
    LastOperation = "before";
    DebugMessage("Attempting to init DirectDraw");
    ShowDebugMessages = false;
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Attempting to init DirectDraw");
    EXPECT_EQ(LastOperation, "before");
}

TEST(PumpMessages, HandlersRunWithPumpingMessagesSet)
{
    std::vector<bool> seen;
    HWND w = AllocateHWnd([&](TMessage& m) {
        seen.push_back(PumpingMessages);
        if (m.Msg == 1)
            PumpMessages(); // a loader inside a handler pumps too
        seen.push_back(PumpingMessages);
    });
    PostMessage(w, 1, 0, 0);
    PumpMessages();
    EXPECT_FALSE(PumpingMessages);
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
    DeallocateHWnd(w);
}

namespace {
struct Item {
    Item(int id, std::vector<int>& freed, const tOwnerList<Item>* list) : Id(id), Freed(freed), List(list) {}
    virtual ~Item()
    {
        Freed.push_back(Id);
        if (List) {
            EXPECT_EQ(List->IndexOf(this), -1) << "an item sees itself in the list while it is freed";
        }
    }
    int Id;
    std::vector<int>& Freed;
    const tOwnerList<Item>* List;
};
struct SubItem : Item {
    using Item::Item;
    std::string Payload = std::string(100, 'x'); // freed through the base: needs the virtual destructor
};
} // namespace

TEST(OwnerList, FreesItsItemsLastFirst)
{
    std::vector<int> freed;
    {
        tOwnerList<Item> list;
        list.Add(new Item(1, freed, &list));
        list.Add(new SubItem(2, freed, &list));
        list.Add(std::make_unique<Item>(3, freed, &list));
        EXPECT_EQ(list.Count(), 3);
        EXPECT_EQ(list.Last()->Id, 3);
    }
    EXPECT_EQ(freed, (std::vector<int>{3, 2, 1}));
}

TEST(OwnerList, DeleteFreesExtractHandsBack)
{
    std::vector<int> freed;
    tOwnerList<Item> list;
    for (int i = 1; i <= 4; ++i)
        list.Add(new Item(i, freed, nullptr));
    list.Delete(1);
    EXPECT_EQ(freed, (std::vector<int>{2}));
    std::unique_ptr<Item> taken(list.Extract(0));
    EXPECT_EQ(taken->Id, 1);
    std::unique_ptr<Item> removed(list[1]);
    EXPECT_EQ(list.Remove(removed.get()), 1);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0]->Id, 3);
    EXPECT_THROW(list.Delete(5), EListError);
    EXPECT_THROW(list.Extract(-1), EListError);
    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(freed, (std::vector<int>{2, 3}));
}

TEST(Profiling, SamplesAreZero)
{
    TPoint p{7, 9};
    ProfileReset();
    ProfileBegin();
    ProfileEnd();
    ProfileSample(p);
    EXPECT_EQ(p, (TPoint{0, 0}));
}
