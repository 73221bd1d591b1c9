#include <gtest/gtest.h>

#include <thread>

#include "recognition/EventPoster.h"

namespace zel {
namespace {

TEST(EventQueue, EventsPostedFromOtherThreadsRunOnTheOwnersThreadInOrder) {
    TEventQueue q;
    std::vector<int> seen;
    std::thread::id owner = std::this_thread::get_id();
    bool allOnOwner = true;
    std::thread t([&] {
        for (int i = 0; i < 100; ++i)
            q.Post([&, i] {
                seen.push_back(i);
                allOnOwner = allOnOwner && std::this_thread::get_id() == owner;
            });
    });
    t.join();
    EXPECT_TRUE(seen.empty());  // nothing runs before the owner asks
    EXPECT_EQ(q.RunPending(), 100u);
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
    EXPECT_TRUE(allOnOwner);
}

TEST(EventQueue, RunUntilWaitsForTheConditionAndGivesUpAtTheDeadline) {
    TEventQueue q;
    bool done = false;
    std::thread t([&] { q.Post([&] { done = true; }); });
    EXPECT_TRUE(q.RunUntil([&] { return done; }, std::chrono::seconds(10)));
    t.join();
    EXPECT_FALSE(q.RunUntil([] { return false; }, std::chrono::milliseconds(20)));
}

TEST(EventQueue, AnEventPostedWhileRunningWaitsForTheNextRound) {
    TEventQueue q;
    int runs = 0;
    q.Post([&] {
        ++runs;
        q.Post([&] { ++runs; });
    });
    EXPECT_EQ(q.RunPending(), 1u);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(q.RunPending(), 1u);
    EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace zel
