// Sharing one chart's data list with other charts.
#include "chart/Qorn_kurvo.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// Captures the information messages instead of showing a box.
struct MessageCapture {
    std::vector<std::string> messages;
    TMessageHandler previous;
    MessageCapture()
    {
        previous = SetInfoMessageHandler([this](const std::string& text) { messages.push_back(text); });
    }
    ~MessageCapture() { SetInfoMessageHandler(previous); }
};

}  // namespace

TEST(DataSharing, RefusalsShowTheirMessagesAndChangeNothing)
{
    MessageCapture capture;
    TKurvo a, b, c, d, e, f, g;
    a.SetUseDataOf(&a);
    EXPECT_EQ(a.UseDataOf(), nullptr);

    for (TKurvo* s : {&c, &d, &e, &f}) s->SetUseDataOf(&b);
    EXPECT_EQ(b.SharerCount(), 4);
    g.SetUseDataOf(&b);
    EXPECT_EQ(g.UseDataOf(), nullptr);
    EXPECT_EQ(b.SharerCount(), 4);

    b.SetUseDataOf(&a);  // b has sharers of its own
    EXPECT_EQ(b.UseDataOf(), nullptr);

    ASSERT_EQ(capture.messages.size(), 3u);
    EXPECT_EQ(capture.messages[0], "Kurvo: Cannot share data with myself");
    EXPECT_EQ(capture.messages[1], "Kurvo: Max. number of data shares exceeded");
    EXPECT_EQ(capture.messages[2], "Kurvo: Cannot use foreign data. Other Kurvos are using my own data.");
    for (TKurvo* s : {&c, &d, &e, &f}) s->SetUseDataOf(nullptr);
}

TEST(DataSharing, SharingIsOneLevelDeepAndCommandsReachEveryMember)
{
    MessageCapture capture;
    TKurvo a, b, c;
    b.MoveTo(0, 0);
    a.SetUseDataOf(&b);
    c.SetUseDataOf(&a);  // redirected to a's owner
    EXPECT_EQ(c.UseDataOf(), &b);
    EXPECT_EQ(b.SharerCount(), 2);
    EXPECT_EQ(a.DataCount(), 1);

    for (int i = 0; i < 10; ++i) a.DrawTo(i, 0.5 * i);
    for (TKurvo* k : {&a, &b, &c}) {
        EXPECT_EQ(k->DataCount(), 11);
        EXPECT_EQ(k->ItemCounter(ikLineTo), 10);
        EXPECT_EQ(k->DataItem(10).Y, 4.5);
    }
    b.DrawTo(42, 1.0);  // the owner's commands reach the sharers as well
    EXPECT_EQ(c.DataCount(), 12);
    EXPECT_TRUE(capture.messages.empty());

    // Leaving closes the gap in the owner's list and keeps the items shown.
    a.SetUseDataOf(nullptr);
    EXPECT_EQ(b.SharerCount(), 1);
    EXPECT_EQ(b.Sharer(0), &c);
    EXPECT_EQ(a.DataCount(), 12);
    a.DrawTo(7, 7.0);  // never written into the storage it left
    EXPECT_EQ(b.DataCount(), 12);
    EXPECT_EQ(c.DataCount(), 12);
    EXPECT_EQ(a.DataCount(), 13);
    c.SetUseDataOf(nullptr);
}

TEST(DataSharing, AskingForTheOwnOwnerThroughASharerJoinsItAgain)
{
    MessageCapture capture;
    TKurvo owner, a, b;
    owner.MoveTo(0, 0);
    a.SetUseDataOf(&owner);
    b.SetUseDataOf(&owner);
    owner.DrawTo(1, 1.0);  // a and b see Count 2
    a.HandleNeeded();
    int paints = 0;
    a.OnScalesRendered = [&](TObject*, TCanvas&, int, int) { ++paints; };

    // a asks for b's data, which is its own owner's: a leaves and joins at the end.
    a.SetUseDataOf(&b);
    EXPECT_EQ(a.UseDataOf(), &owner);
    ASSERT_EQ(owner.SharerCount(), 2);
    EXPECT_EQ(owner.Sharer(0), &b);
    EXPECT_EQ(owner.Sharer(1), &a);
    EXPECT_EQ(paints, 1);
    EXPECT_TRUE(capture.messages.empty());

    // An owner with four sharers refuses even one of them.
    TKurvo c, d;
    c.SetUseDataOf(&owner);
    d.SetUseDataOf(&owner);
    a.SetUseDataOf(&d);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0], "Kurvo: Max. number of data shares exceeded");
    EXPECT_EQ(owner.Sharer(1), &a);
    EXPECT_EQ(a.UseDataOf(), &owner);
    for (TKurvo* s : {&a, &b, &c, &d}) s->SetUseDataOf(nullptr);
}

TEST(DataSharing, ASharerWithFewerSlotsGrowsPastTheSharedCount)
{
    TKurvo owner, sharer;
    owner.SetAllocSize(1024);
    for (int i = 0; i < 1024; ++i) owner.DrawTo(i, 1.0);  // exactly full
    sharer.SetAllocSize(10);
    sharer.SetUseDataOf(&owner);
    sharer.DrawTo(2000, 2.0);
    EXPECT_EQ(owner.DataCount(), 1025);
    EXPECT_EQ(owner.DataItem(1024).X, 2000.0);
    EXPECT_GT(sharer.DataCapacity(), 1024);
    sharer.SetUseDataOf(nullptr);
}

TEST(DataSharing, DestroyingAMemberLeavesNoDanglingPartner)
{
    TKurvo owner;
    owner.MoveTo(0, 0);
    {
        TKurvo sharer;
        sharer.SetUseDataOf(&owner);
        EXPECT_EQ(owner.SharerCount(), 1);
    }
    EXPECT_EQ(owner.SharerCount(), 0);
    auto doomed = std::make_unique<TKurvo>();
    TKurvo survivor;
    survivor.SetUseDataOf(doomed.get());
    doomed.reset();
    EXPECT_EQ(survivor.UseDataOf(), nullptr);
    survivor.DrawTo(1, 1.0);
    EXPECT_EQ(survivor.DataCount(), 1);
}

// Every way a chart can come to hold storage it did not allocate itself;
// Capacity is the chart's own and must never be taken as the slots that
// exist. Each row returns the chart that draws next.
TEST(DataSharing, CommandsNeverWritePastTheStorageActuallyHeld)
{
    struct Row {
        const char* name;
        std::function<TKurvo*(std::vector<std::unique_ptr<TKurvo>>&)> setup;
    };
    const Row rows[] = {
        {"joining an empty owner",
         [](auto& c) {
             c[1]->MoveTo(1, 1);
             c[1]->SetUseDataOf(c[0].get());
             return c[1].get();
         }},
        {"switching to an owner with less storage",
         [](auto& c) {
             for (int i = 0; i < 1500; ++i) c[0]->DrawTo(i, 0.0);
             c[2]->SetUseDataOf(c[0].get());
             c[2]->SetUseDataOf(c[1].get());
             return c[2].get();
         }},
        {"a copy of a sharer",
         [](auto& c) {
             for (int i = 0; i < 1500; ++i) c[2]->DrawTo(i, 0.0);
             c[1]->SetUseDataOf(c[0].get());
             c[2]->Assign(*c[1]);
             return c[2].get();
         }},
        {"a second sharer of a destroyed owner",
         [](auto& c) {
             for (int i = 0; i < 1500; ++i) c[1]->DrawTo(i, 0.0);
             c[1]->SetUseDataOf(c[0].get());
             c[2]->SetUseDataOf(c[0].get());
             c[0].reset();
             return c[2].get();
         }},
    };
    MessageCapture capture;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::unique_ptr<TKurvo>> charts;
        for (int i = 0; i < 3; ++i) charts.push_back(std::make_unique<TKurvo>());
        TKurvo* chart = row.setup(charts);
        const int before = chart->DataCount();
        for (int i = 0; i < 1100; ++i) chart->DrawTo(i, 7.0);
        ASSERT_EQ(chart->DataCount(), before + 1100);
        EXPECT_GE(chart->DataList().Items->Allocated(), chart->DataCount());
        EXPECT_EQ(chart->DataItem(chart->DataCount() - 1).Y, 7.0);
        for (auto& c : charts)
            if (c && c.get() != chart && c->UseDataOf() == nullptr && c->SharerCount() == 0)
                EXPECT_LE(c->DataCount(), 1500) << "a former partner was written";
        for (auto& c : charts)
            if (c && c->UseDataOf() != nullptr) c->SetUseDataOf(nullptr);
    }
    EXPECT_TRUE(capture.messages.empty());
}

TEST(DataSharing, JoiningHandsOverTheItemCounters)
{
    TKurvo owner, sharer;
    for (int i = 0; i < 99; ++i) owner.DrawTo(i, 1.0);
    sharer.SetUseDataOf(&owner);
    EXPECT_EQ(sharer.ItemCounter(3), owner.ItemCounter(3));
    EXPECT_EQ(sharer.ItemCounter(3), 99);
    sharer.SetUseDataOf(nullptr);
}

TEST(DataSharing, SharersOfADestroyedOwnerNoLongerWriteIntoEachOther)
{
    auto owner = std::make_unique<TKurvo>();
    TKurvo a, b;
    owner->DrawTo(1, 1.0);
    a.SetUseDataOf(owner.get());
    b.SetUseDataOf(owner.get());
    owner.reset();
    a.DrawTo(2, 2.0);
    b.DrawTo(3, 3.0);
    ASSERT_EQ(a.DataCount(), 2);
    ASSERT_EQ(b.DataCount(), 2);
    EXPECT_EQ(a.DataItem(1).X, 2.0);
    EXPECT_EQ(b.DataItem(1).X, 3.0);
}
