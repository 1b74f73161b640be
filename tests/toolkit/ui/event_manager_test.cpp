#include "toolkit/ui/event_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/toolkit/ui/event_manager_test_api.h"

using namespace qzsdk::ui;

namespace {

struct object : event_object {
    object() = default;
    object(std::vector<std::string>* log, std::string name) : log(log), name(std::move(name)) {}
    std::vector<std::string>* log = nullptr;
    std::string name;
    void heard() { log->push_back(name); }
    void heard_info(const event_info& info) { log->push_back(name + ":" + std::to_string(info.param)); }
};

event_manager& manager() { return event_manager::instance(); }

}  // namespace

// Each test runs in a process of its own, so the first connection of this one is the process's first.
TEST(EventManager, IdsStartAtZeroHandlersRunInConnectionOrderAndInfoArrivesWhole)
{
    std::vector<std::string> log;
    object source, a(&log, "a"), b(&log, "b");
    EXPECT_EQ(connect_member(&source, event_id::activated, &object::heard, &a), 0u);
    EXPECT_EQ(connect_member_info(&source, event_id::activated, &object::heard_info, &b), 1u);
    EXPECT_EQ(connect_member(&source, event_id::activated, &object::heard, &a), 2u);
    EXPECT_TRUE(manager().fire(&source, event_id::activated, 2, 1, 7));
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b:7", "a"}));
    EXPECT_FALSE(manager().fire(&a, event_id::activated));
    EXPECT_FALSE(manager().fire(&source, event_id::cancelled));

    event_info seen;
    manager().connect(&source, &source, event_id::value_changed, [&](const event_info& info) { seen = info; });
    manager().fire(&source, event_id::value_changed, 0, 5, 0x1234567890ull);
    EXPECT_EQ(seen.sender, &source);
    EXPECT_EQ(seen.id, event_id::value_changed);
    EXPECT_EQ(seen.phase, 0u);
    EXPECT_EQ(seen.flag, 5u);
    EXPECT_EQ(seen.param, 0x1234567890ull);
}

TEST(EventManager, ConnectOrDisconnectDuringAFireTakesEffectFromTheNextFire)
{
    object source;
    std::vector<int> calls;
    uint32_t later = 0;
    bool connected = false;
    manager().connect(&source, &source, 1, [&](const event_info&) {
        calls.push_back(1);
        manager().disconnect(later);
        if (!std::exchange(connected, true))
            manager().connect(&source, &source, 1, [&](const event_info&) { calls.push_back(3); });
    });
    later = manager().connect(&source, &source, 1, [&](const event_info&) { calls.push_back(2); });
    manager().fire(&source, 1);
    manager().fire(&source, 1);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 1, 3}));
}

TEST(EventManager, EmptiedListStillCountsAsHandled)
{
    object source;
    uint32_t id = manager().connect(&source, &source, event_id::mouse_wheel, [](const event_info&) {});
    manager().disconnect(id);
    manager().disconnect(id);
    manager().disconnect(123456);
    EXPECT_TRUE(manager().fire(&source, event_id::mouse_wheel));
}

TEST(EventManager, DestroyedListenerIsNeverCalledAgainAlsoWithinTheSameFire)
{
    object source;
    std::vector<std::string> log;
    auto gone = std::make_unique<object>(&log, "gone");
    connect_member(&source, 1, &object::heard, gone.get());
    gone.reset();
    EXPECT_TRUE(manager().fire(&source, 1));
    auto victim = std::make_unique<object>(&log, "victim");
    manager().connect(&source, &source, 2, [&](const event_info&) { victim.reset(); });
    connect_member(&source, 2, &object::heard, victim.get());
    manager().fire(&source, 2);
    EXPECT_TRUE(log.empty());
}

TEST(EventManager, SourceDestroyedByItsOwnHandlerFinishesTheFire)
{
    auto source = std::make_unique<object>();
    std::vector<std::string> log;
    object other(&log, "other");
    uint32_t first = manager().connect(source.get(), &other, 1, [&](const event_info&) { source.reset(); });
    connect_member(source.get(), 1, &object::heard, &other);
    manager().fire(source.get(), 1);
    // The source died, not the listener: the later handler still ran.
    EXPECT_EQ(log, (std::vector<std::string>{"other"}));
    // Its ids are stale now; disconnecting them does nothing.
    manager().disconnect(first);
    EXPECT_EQ(event_manager_test_api::connections(), 0u);
}

TEST(EventManager, StaleIdNeverUnlinksAHandlerOfALaterObject)
{
    int calls = 0;
    uint32_t stale;
    {
        object first;
        stale = manager().connect(&first, &first, 1, [](const event_info&) {});
    }
    object second;  // may well reuse the first one's address
    manager().connect(&second, &second, 1, [&](const event_info&) { ++calls; });
    manager().disconnect(stale);
    manager().fire(&second, 1);
    EXPECT_EQ(calls, 1);
}

TEST(EventManager, TablesDoNotGrowOverCreateConnectDestroyCycles)
{
    object window_like;
    size_t sources = event_manager_test_api::sources();
    size_t connections = event_manager_test_api::connections();
    size_t listeners = event_manager_test_api::listeners();
    for (int i = 0; i < 1000; ++i) {
        auto row = std::make_unique<object>();
        // The row listens to the window, and the window to the row.
        manager().connect(&window_like, row.get(), event_id::resized, [](const event_info&) {});
        manager().connect(row.get(), &window_like, event_id::activated, [](const event_info&) {});
    }
    EXPECT_EQ(event_manager_test_api::connections(), connections);
    EXPECT_EQ(event_manager_test_api::listeners(), listeners);
    // The window's own list for the event stays (also empty): nothing else.
    EXPECT_LE(event_manager_test_api::sources(), sources + 1);
}

TEST(EventManager, ThrowingHandlerStopsTheFireAndLeavesTheTables)
{
    object source;
    int later = 0;
    manager().connect(&source, &source, 1, [](const event_info&) { throw std::runtime_error("boom"); });
    manager().connect(&source, &source, 1, [&](const event_info&) { ++later; });
    size_t connections = event_manager_test_api::connections();
    EXPECT_THROW(manager().fire(&source, 1), std::runtime_error);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(event_manager_test_api::connections(), connections);
}

// Built at load, before anything in this process used the manager, so it dies after the manager
// was emptied at exit: the process must still end cleanly (the test fails on a crash at exit).
event_object constructed_at_load;

TEST(EventManager, ObjectDyingAfterTheManagerAtExitIsHarmless)
{
    manager().connect(&constructed_at_load, &constructed_at_load, 1, [](const event_info&) {});
    EXPECT_TRUE(manager().fire(&constructed_at_load, 1));
}
