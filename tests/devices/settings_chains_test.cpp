#include "chain_driver.h"
#include "field_rules.h"
#include "numtext.h"
#include "settings_chains.h"

#include <gtest/gtest.h>

namespace {
using Wire = std::vector<std::tuple<int, int, int, int>>;

int restoredAddress = -1;
RequestChain restore(Link &link)
{
    RequestChain chain;
    appendRestore(chain, link, 24, [](int address) { restoredAddress = address; });
    return chain;
}
} // namespace

TEST(SettingsChains, RestoreFollowsTheModuleToItsOwnAddressAndBaud)
{
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    driver.module->setHolding(24, 5);
    driver.module->setHolding(25, 1);
    restoredAddress = -1;
    EXPECT_TRUE(driver.run(restore(*driver.link)));
    EXPECT_EQ(driver.requests(), (Wire{{1, 3, 24, 2}, {1, 5, 19, 5}, {5, 6, 20, 1}}));
    EXPECT_EQ(restoredAddress, 5);
    EXPECT_EQ(driver.link->ComBuf[cb::DevAddr], 5);
    EXPECT_EQ(driver.line->baudCode(), 1);
    EXPECT_EQ(driver.module->address(), 5);
    EXPECT_EQ(driver.module->baudCode(), 1);
}

TEST(SettingsChains, RestoreWithoutASoundReplyChangesNothing)
{
    // A lost, damaged or foreign reply, twice: the stale bytes of an earlier
    // reply (here an information block) must not move the module anywhere.
    for (const LineFault fault : {LineFault::NoReply, LineFault::BadCrc, LineFault::ShortReply,
                                  LineFault::Exception, LineFault::Garbage}) {
        ChainDriver driver({2, 32, 9, 1, 1, 2});
        driver.link->SendCmd(1, 4, InfoBlockRegister, 4);
        driver.link->ReadReply();
        driver.line->clearLog();
        driver.line->injectFault(fault, 2);
        restoredAddress = -1;
        EXPECT_TRUE(driver.run(restore(*driver.link)));
        EXPECT_EQ(driver.requests(), (Wire{{1, 3, 24, 2}, {1, 3, 24, 2}}))
            << static_cast<int>(fault);
        EXPECT_EQ(restoredAddress, -1);
        EXPECT_EQ(driver.link->ComBuf[cb::DevAddr], 1);
        EXPECT_EQ(driver.line->baudCode(), 2);
        EXPECT_EQ(driver.module->address(), 1);
    }
}

TEST(SettingsChains, RestoreAsksOnceMoreAfterOneUnsoundReply)
{
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    driver.module->setHolding(24, 5);
    driver.module->setHolding(25, 1);
    driver.line->injectFault(LineFault::BadCrc);
    EXPECT_TRUE(driver.run(restore(*driver.link)));
    EXPECT_EQ(driver.requests(),
              (Wire{{1, 3, 24, 2}, {1, 3, 24, 2}, {1, 5, 19, 5}, {5, 6, 20, 1}}));
    EXPECT_EQ(driver.module->address(), 5);
    EXPECT_EQ(driver.module->baudCode(), 1);
}

TEST(SettingsChains, AddressAndBaudWriteEndsTheConfigurationWrite)
{
    struct Case
    {
        int address;
        int baud;
        Wire wire;
        int lineBaud;
    };
    const Case cases[] = {
        // A change: the module is asked at its new address and rate.
        {12, 0, {{1, 5, 19, 12}, {12, 6, 20, 0}, {12, 4, 7936, 4}}, 0},
        // No baud rate selected: the module is told the rate it already runs at.
        {1, -1, {{1, 5, 19, 1}, {1, 6, 20, 2}}, 2},
    };
    for (const Case &c : cases) {
        ChainDriver driver({4, 49, 3, 1, 1, 2});
        RequestChain chain;
        appendAddressAndBaud(chain, *driver.link, c.address, c.baud, {});
        EXPECT_TRUE(driver.run(std::move(chain)));
        EXPECT_EQ(driver.requests(), c.wire);
        EXPECT_EQ(driver.line->baudCode(), c.lineBaud);
        EXPECT_EQ(driver.link->ComBuf[cb::DevAddr], c.address);
    }
}

TEST(SettingsChains, ARejectedAddressWriteSendsNothingElse)
{
    ChainDriver driver({4, 49, 3, 1, 1, 2});
    driver.line->injectFault(LineFault::NoReply, 2);
    const int opens = driver.line->openCount();
    RequestChain chain;
    appendAddressAndBaud(chain, *driver.link, 30, 3, {});
    EXPECT_FALSE(driver.run(std::move(chain)));
    EXPECT_EQ(driver.requests(), (Wire{{1, 5, 19, 30}, {1, 5, 19, 30}}));
    EXPECT_EQ(driver.link->ComBuf[cb::DevAddr], 1);
    EXPECT_EQ(driver.line->openCount(), opens);
}

TEST(SettingsChains, ALostBaudChangeIsReportedWithWhereTheModuleMayBe)
{
    // The baud write is not echo checked: when it is lost the module stays at
    // 19200 while the port moves to 38400, and the confirmation finds nobody.
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    driver.line->injectFault({LineFault::NoReply, 6, 20, 1, 1});
    std::string lost;
    RequestChain chain;
    appendAddressAndBaud(chain, *driver.link, 7, 3,
                         [&](const SettingsChange &change) { lost = lostModuleMessage(change); });
    EXPECT_FALSE(driver.run(std::move(chain)));
    EXPECT_EQ(driver.module->address(), 7);
    EXPECT_EQ(driver.module->baudCode(), 2);
    EXPECT_EQ(lost, "The module did not answer at its new settings (address 7, 38400 baud). It "
                    "may now be at address 7 at 19200 or 38400 baud, or still at address 1, "
                    "19200 baud. Use Scan > Start to find it again.");
}

TEST(SettingsChains, ABaudWriteAtTheSameRateCountsOnlyWithItsEcho)
{
    // No read at a new rate confirms it: the echo does, with one repeat.
    for (const int lost : {1, 2}) {
        ChainDriver driver({2, 32, 9, 1, 1, 2});
        driver.line->injectFault({LineFault::NoReply, 6, 20, 1, lost});
        RequestChain chain;
        appendAddressAndBaud(chain, *driver.link, 1, 2, {});
        EXPECT_EQ(driver.run(std::move(chain)), lost == 1);
        EXPECT_EQ(driver.requests(), (Wire{{1, 5, 19, 1}, {1, 6, 20, 2}, {1, 6, 20, 2}}));
    }
}

TEST(SettingsChains, SetButtonWritesAddressThenBaudAtTheNewAddress)
{
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    RequestChain chain;
    appendSetAddress(chain, *driver.link, 7, 3, {});
    EXPECT_TRUE(driver.run(std::move(chain)));
    EXPECT_EQ(driver.requests(), (Wire{{1, 5, 19, 7}, {7, 6, 20, 3}, {7, 4, 7936, 4}}));
    EXPECT_EQ(driver.link->ComBuf[cb::DevAddr], 7);
    EXPECT_EQ(driver.line->baudCode(), 3);
}

TEST(SettingsChains, SerialNumberIsWrittenAsTwoWordsAndCommitted)
{
    struct Case
    {
        const char *text;
        int commandCell;
        Wire wire;
    };
    const Case cases[] = {
        {"0703070001", 21, {{1, 5, 7938, 10727}, {1, 5, 7939, 65329}, {1, 5, 21, 34}}},
        {"4294967295", 9, {{1, 5, 7938, 65535}, {1, 5, 7939, 65535}, {1, 5, 9, 34}}},
        {"12.9", 9, {{1, 5, 7938, 0}, {1, 5, 7939, 12}, {1, 5, 9, 34}}},
    };
    for (const Case &c : cases) {
        ChainDriver driver({2, 32, 9, 1, 1, 2});
        bool written = false;
        RequestChain chain;
        appendSerialNumber(chain, serialNumberOf(c.text), c.commandCell,
                           [&] { written = driver.line->log().size() == 2; });
        EXPECT_TRUE(driver.run(std::move(chain)));
        EXPECT_EQ(driver.requests(), c.wire) << c.text;
        EXPECT_TRUE(written); // the next number is shown before the commit
    }
    ChainDriver driver({2, 32, 9, 1, 1, 2});
    RequestChain chain;
    appendSerialNumber(chain, serialNumberOf("0703070001"), 21, {});
    driver.run(std::move(chain));
    EXPECT_EQ(driver.module->serialNumber(), 703070001u);

    // A rejected echo is sent once more, then the sequence goes on.
    driver.line->clearLog();
    driver.line->injectFault(LineFault::BadCrc);
    RequestChain again;
    appendSerialNumber(again, 12, 9, {});
    EXPECT_TRUE(driver.run(std::move(again)));
    EXPECT_EQ(driver.line->log().size(), 4u);
    EXPECT_THROW(serialNumberOf("07O3"), ConversionError);
}

TEST(SettingsChains, StoringResultCountsOnlyFromASoundReply)
{
    struct Case
    {
        bool storeFails;
        LineFault fault;
        bool faulted;
        bool stored;
    };
    const Case cases[] = {
        {false, LineFault::NoReply, false, true},   {true, LineFault::NoReply, false, false},
        {false, LineFault::NoReply, true, false},   {false, LineFault::BadCrc, true, false},
        {false, LineFault::Exception, true, false}, {false, LineFault::ShortReply, true, false},
    };
    for (const Case &c : cases) {
        ChainDriver driver({1, 1, 7, 1, 1, 2});
        driver.module->setStoreFails(c.storeFails);
        // The echo of a write still in the reply area must not read as "stored".
        driver.link->SendCmd(1, 6, 0, 0);
        driver.link->ReadReply();
        if (c.faulted)
            driver.line->injectFault(c.fault);
        QTimer timer;
        timer.setInterval(2000);
        bool stored = !c.stored;
        RequestChain chain;
        appendStoringCheck(chain, *driver.link, &timer, [&](bool result) { stored = result; });
        const std::int64_t start = driver.line->clockMs();
        EXPECT_TRUE(driver.run(std::move(chain)));
        EXPECT_EQ(stored, c.stored) << c.storeFails << ' ' << c.faulted;
        EXPECT_GE(driver.line->clockMs() - start, 2000);
        EXPECT_EQ(driver.line->log().back().reg, 4102);
    }
}

TEST(SettingsChains, AddressFieldFallsBackToOne)
{
    for (const char *text : {"0", "256", "", "  ", "-4"}) {
        EXPECT_EQ(addressExit(text), "1") << '"' << text << '"';
        EXPECT_FALSE(validAddress(text)) << '"' << text << '"';
    }
    for (const char *text : {"255", "1", "42"}) {
        EXPECT_EQ(addressExit(text), text);
        EXPECT_TRUE(validAddress(text));
    }
    EXPECT_THROW(addressExit("1a"), ConversionError);
    EXPECT_FALSE(validAddress("1a"));
}
