#include "chain_driver.h"

#include <gtest/gtest.h>

namespace {
using Wire = std::vector<std::tuple<int, int, int, int>>;

// Three echoed writes to a converter, each repeated once on a rejected echo.
RequestChain threeWrites()
{
    RequestChain chain;
    for (int reg : {14, 15, 16})
        chain.write(5, reg, reg - 10).retryOnce();
    return chain;
}
} // namespace

TEST(RequestChain, RejectedEchoIsSentOnceMoreAndASecondRejectionEndsTheChain)
{
    struct Case
    {
        LineFault fault;
        int count;
        bool ok;
        Wire wire;
    };
    const Case cases[] = {
        {LineFault::BadCrc, 0, true, {{1, 5, 14, 4}, {1, 5, 15, 5}, {1, 5, 16, 6}}},
        {LineFault::BadCrc, 1, true, {{1, 5, 14, 4}, {1, 5, 14, 4}, {1, 5, 15, 5}, {1, 5, 16, 6}}},
        {LineFault::NoReply, 1, true, {{1, 5, 14, 4}, {1, 5, 14, 4}, {1, 5, 15, 5}, {1, 5, 16, 6}}},
        // Nothing goes out after the second rejection.
        {LineFault::BadCrc, 2, false, {{1, 5, 14, 4}, {1, 5, 14, 4}}},
        {LineFault::NoReply, 2, false, {{1, 5, 14, 4}, {1, 5, 14, 4}}},
        {LineFault::Exception, 2, false, {{1, 5, 14, 4}, {1, 5, 14, 4}}},
        {LineFault::ShortReply, 2, false, {{1, 5, 14, 4}, {1, 5, 14, 4}}},
    };
    for (const Case &c : cases) {
        ChainDriver driver({2, 32, 9, 1, 1, 2});
        driver.line->injectFault(c.fault, c.count);
        EXPECT_EQ(driver.run(threeWrites()), c.ok) << static_cast<int>(c.fault) << " x" << c.count;
        EXPECT_EQ(driver.requests(), c.wire) << static_cast<int>(c.fault) << " x" << c.count;
    }
}

TEST(RequestChain, AWriteThatGotNoReplyNeverPassesOnAnEarlierEcho)
{
    // The same request twice: the first echo still in the reply area matches
    // the second request byte for byte, but it did not arrive in this exchange.
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    const auto writeOnce = [&] {
        RequestChain chain;
        chain.write(5, 14, 3);
        return driver.run(std::move(chain));
    };
    ASSERT_TRUE(writeOnce());
    driver.line->injectFault(LineFault::NoReply, 1);
    EXPECT_FALSE(writeOnce());
}

TEST(RequestChain, TimersRetriesAndDrainsEachReturnToTheEventLoop)
{
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    QTimer timer;
    timer.setInterval(300);
    RequestChain chain;
    chain.drain();
    chain.send(3, 0, 24);
    chain.collect().waitFor(&timer).sound(24);
    chain.write(5, 14, 3).retryOnce();
    driver.line->injectFault({LineFault::BadCrc, 5, 14});
    bool result = false;
    driver.runner->start(std::move(chain), [&](bool ok) { result = ok; });
    // The drain ran at once; the next step waits for the event loop.
    EXPECT_TRUE(driver.runner->continuing());
    EXPECT_TRUE(driver.line->log().empty());
    driver.runner->continueNow(); // the request goes out, the timer is started
    EXPECT_EQ(driver.runner->awaitedTimer(), &timer);
    EXPECT_TRUE(timer.isActive());
    driver.line->wait(300);
    driver.runner->timerFired(&timer); // collects, then yields before the write
    EXPECT_TRUE(driver.runner->continuing());
    driver.runner->continueNow(); // the write, its echo rejected
    EXPECT_EQ(driver.line->log().size(), 2u);
    driver.runner->continueNow(); // the repetition
    EXPECT_EQ(driver.line->log().size(), 3u);
    EXPECT_FALSE(driver.runner->isRunning());
    EXPECT_TRUE(result);
}

TEST(RequestChain, StoppingInTheMiddleSendsNothingMore)
{
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    QTimer timer;
    timer.setInterval(500);
    RequestChain chain;
    chain.write(5, 14, 1);
    chain.write(5, 15, 2).waitFor(&timer);
    bool finished = false;
    driver.runner->start(std::move(chain), [&](bool) { finished = true; });
    driver.runner->continueNow();
    ASSERT_TRUE(timer.isActive());
    driver.runner->stop();
    EXPECT_FALSE(timer.isActive());
    driver.runner->timerFired(&timer); // a tick already queued changes nothing
    driver.runner->continueNow();
    EXPECT_EQ(driver.line->log().size(), 1u);
    EXPECT_FALSE(finished);
    EXPECT_FALSE(driver.runner->isRunning());
}

TEST(RequestChain, AnExceptionInAStepEndsTheChainAtItsAbortHandler)
{
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    RequestChain chain;
    chain.action([] { throw std::runtime_error("bad text"); });
    chain.write(5, 14, 1);
    std::exception_ptr aborted;
    EXPECT_NO_THROW(driver.runner->start(
        std::move(chain), [](bool) {}, [&](std::exception_ptr error) { aborted = error; }));
    EXPECT_THROW(std::rethrow_exception(aborted), std::runtime_error);
    EXPECT_FALSE(driver.runner->isRunning());
    EXPECT_TRUE(driver.line->log().empty());
}

TEST(RequestChain, OthersUseTheLineOnlyBetweenTheHeldExchangesOfAChain)
{
    // A poll whose request is out when a chain starts with a write that has
    // no drain of its own; the poll falls due between the chain's two writes.
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    QTimer timer;
    Poll poll(*driver.link, &timer);
    poll.start({4, 4099, 5, false}, {}, true);
    RequestChain chain;
    chain.write(5, 14, 1);
    chain.write(5, 15, 2);
    driver.runner->start(std::move(chain), [](bool) {});
    poll.tick();
    EXPECT_EQ(driver.requests(),
              (Wire{{1, 4, 4099, 5}, {1, 5, 14, 1}, {1, 5, 15, 2}, {1, 4, 4099, 5}}));
    EXPECT_FALSE(driver.runner->isRunning());
    EXPECT_EQ(driver.line->collisions(), 0);
}
