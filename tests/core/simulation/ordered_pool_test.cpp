#include "core/simulation/ordered_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace valmora {
namespace {

struct PoolItem {
    long number = 0;
    long result = 0;
    std::thread::id worker;
};

// Items filled as far as the window lets, taken back in order: each comes
// back with its own result, after every item before it.
TEST(OrderedPool, GivesItemsBackInTheOrderFilled) {
    struct Case {
        unsigned threads;
        std::size_t window;
    };
    const Case cases[] = {{1, 1}, {1, 4}, {2, 1}, {2, 3}, {2, 64}, {8, 5}, {8, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.threads << " threads, window " << c.window);
        const std::thread::id caller = std::this_thread::get_id();
        OrderedPool<PoolItem> pool(c.threads, c.window, [](PoolItem& item) {
            // Uneven work: later items often finish before earlier ones.
            long r = item.number;
            for (long k = 0; k < (item.number % 7) * 2000; ++k) r = (r * 31 + k) % 1000003;
            item.result = r;
            item.worker = std::this_thread::get_id();
        });
        EXPECT_EQ(pool.Window(), c.window);
        const long count = 1000;
        long filled = 0;
        for (long number = 1; number <= count; ++number) {
            while (filled < count && pool.InFlight() < pool.Window()) {
                pool.Free().number = ++filled;
                pool.Submit();
            }
            EXPECT_LE(pool.InFlight(), c.window);
            const PoolItem& item = pool.Oldest();
            ASSERT_EQ(item.number, number);
            long expected = number;
            for (long k = 0; k < (number % 7) * 2000; ++k) expected = (expected * 31 + k) % 1000003;
            EXPECT_EQ(item.result, expected);
            EXPECT_NE(item.worker, caller);
            pool.Release();
        }
        EXPECT_EQ(pool.InFlight(), 0u);
    }
}

// A failed item throws where it is taken back; the items around it, and
// the pool, go on.
TEST(OrderedPool, AWorkersExceptionComesBackWithItsItem) {
    OrderedPool<PoolItem> pool(2, 8, [](PoolItem& item) {
        if (item.number == 3) throw std::runtime_error("item 3");
        item.result = item.number * 10;
    });
    for (long n = 1; n <= 6; ++n) {
        pool.Free().number = n;
        pool.Submit();
    }
    for (long n = 1; n <= 6; ++n) {
        if (n == 3) {
            EXPECT_THROW(pool.Oldest(), std::runtime_error);
        } else {
            EXPECT_EQ(pool.Oldest().result, n * 10);
        }
        pool.Release();
    }
}

// Ending with items still in flight finishes the ones being worked on and
// drops the rest; every worker runs its exit work once.
TEST(OrderedPool, EndsWithItemsInFlight) {
    for (unsigned threads : {1u, 2u, 8u}) {
        SCOPED_TRACE(threads);
        std::atomic<int> exits = 0;
        {
            OrderedPool<PoolItem> pool(
                threads, 100, [](PoolItem& item) { item.result = item.number; }, [&exits] { ++exits; });
            for (long n = 1; n <= 100; ++n) {
                pool.Free().number = n;
                pool.Submit();
            }
            EXPECT_EQ(pool.Oldest().result, 1);
        }
        EXPECT_EQ(exits.load(), static_cast<int>(threads));
    }
}

}  // namespace
}  // namespace valmora
