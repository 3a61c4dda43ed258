#include "settings_chains.h"

#include "link.h"
#include "modbus_functions.h"

#include <memory>

namespace {
// Reads the information block at the address and rate the line uses now.
void appendConfirmation(RequestChain &chain, std::shared_ptr<SettingsChange> change,
                        std::function<void(const SettingsChange &)> lost)
{
    chain.read(Modbus::ReadInput, InfoBlockRegister, InfoBlockCount)
        .drained()
        .onlyIf([change] {
            return change->address != change->oldAddress || change->baud != change->oldBaud;
        })
        .onFail([change, lost = std::move(lost)] {
            if (lost)
                lost(*change);
        });
}

std::shared_ptr<SettingsChange> changeFrom(const Link &link, int address, int baud)
{
    auto change = std::make_shared<SettingsChange>();
    change->oldAddress = link.ComBuf[cb::DevAddr];
    change->oldBaud = link.currentBaud();
    change->address = address;
    change->baud = baud;
    return change;
}
} // namespace

void appendInfoRead(RequestChain &chain, Link &link, std::function<bool(const InfoBlock &)> accept)
{
    chain.read(Modbus::ReadInput, InfoBlockRegister, InfoBlockCount)
        .drained()
        .andThen([&link, accept = std::move(accept)] { return accept(decodeInfoBlock(link)); });
}

void appendRestore(RequestChain &chain, Link &link, int reg, std::function<void(int)> shown,
                   std::function<void(bool)> read)
{
    struct Restored
    {
        bool sound = false;
        int address = 0;
        int baud = 0;
    };
    auto restored = std::make_shared<Restored>();
    const auto usable = [restored] { return restored->sound; };

    // A reply lost or damaged once is asked for again: without the restore the
    // module would stay at the scan's address and rate, and the next write
    // would make them its own.
    chain.read(Modbus::ReadHolding, reg, 2)
        .drained()
        .retryOnce()
        .orCarryOn()
        .andDo([&link, restored, shown] {
            const int address = link.ComBuf[24] & 0xFF;
            const int baud = link.ComBuf[26] & 0xFF;
            restored->sound = address >= 1 && address <= 255 && isBaudCode(baud);
            restored->address = address;
            restored->baud = baud;
            if (restored->sound && shown)
                shown(address);
        });
    if (read)
        chain.action([restored, read] { read(restored->sound); });
    chain.exchange(Modbus::WriteCoil, AddressCell, 0)
        .onlyIf(usable)
        .valueFrom([restored] { return restored->address; })
        .andDo([&link, restored] {
            link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(restored->address);
        });
    chain.exchange(Modbus::WriteRegister, BaudCell, 0).onlyIf(usable).valueFrom([restored] {
        return restored->baud;
    });
    chain.action([&link, restored] { link.Reopen(restored->baud); }).onlyIf(usable);
}

std::string lostModuleMessage(const SettingsChange &change)
{
    const auto rate = [](int baud) {
        return isBaudCode(baud) ? std::to_string(BaudRates[static_cast<std::size_t>(baud)])
                                : std::string("an unknown rate");
    };
    std::string text = "The module did not answer at its new settings (address " +
                       std::to_string(change.address) + ", " + rate(change.baud) + " baud).";
    text += " It may now be at address " + std::to_string(change.address);
    if (change.baud != change.oldBaud)
        text += " at " + rate(change.oldBaud) + " or " + rate(change.baud) + " baud";
    if (change.address != change.oldAddress)
        text += ", or still at address " + std::to_string(change.oldAddress) + ", " +
                rate(change.oldBaud) + " baud";
    text += ". Use Scan > Start to find it again.";
    return text;
}

int effectiveBaud(const Link &link, int baudIndex)
{
    if (isBaudCode(baudIndex))
        return baudIndex;
    return isBaudCode(link.currentBaud()) ? link.currentBaud() : 2;
}

void appendAddressAndBaud(RequestChain &chain, Link &link, int address, int baudIndex,
                          std::function<void(const SettingsChange &)> lost)
{
    // The old address and rate are taken when the chain gets here.
    auto change = std::make_shared<SettingsChange>();
    chain.write(Modbus::WriteCoil, AddressCell, address)
        .drained()
        .retryOnce()
        .andDo([&link, change, address, baudIndex] {
            *change = *changeFrom(link, address, effectiveBaud(link, baudIndex));
            link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(address);
        });
    // A new rate is confirmed by the read at that rate; the rate the module
    // already runs at is confirmed by its echo, so that a lost write never
    // ends in "Write Success" with the module keeping another rate as its own.
    const auto sameRate = [change] { return change->baud == change->oldBaud; };
    chain.write(Modbus::WriteRegister, BaudCell, 0)
        .drained()
        .retryOnce()
        .onlyIf(sameRate)
        .valueFrom([change] { return change->baud; });
    chain.exchange(Modbus::WriteRegister, BaudCell, 0)
        .drained()
        .onlyIf([sameRate] { return !sameRate(); })
        .valueFrom([change] { return change->baud; });
    chain.action([&link, change] { link.Reopen(change->baud); });
    appendConfirmation(chain, change, std::move(lost));
}

void appendSetAddress(RequestChain &chain, Link &link, int address, int baudIndex,
                      std::function<void(const SettingsChange &)> lost)
{
    auto change = std::make_shared<SettingsChange>();
    chain.write(Modbus::WriteCoil, AddressCell, address)
        .drained()
        .retryOnce()
        .orCarryOn()
        .onlyIf([&link, change, address, baudIndex] {
            *change = *changeFrom(link, address, effectiveBaud(link, baudIndex));
            return true;
        });
    // The baud write goes to the new address: the module answers there now.
    chain.write(Modbus::WriteRegister, BaudCell, 0)
        .drained()
        .retryOnce()
        .orCarryOn()
        .to(address)
        .valueFrom([change] { return change->baud; });
    chain.action([&link, change, address] {
        link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(address);
        link.Reopen(change->baud);
    });
    appendConfirmation(chain, change, std::move(lost));
}

void appendStoringCheck(RequestChain &chain, Link &link, QTimer *timer,
                        std::function<void(bool stored)> stored)
{
    chain.exchange(Modbus::ReadInput, StoreResultRegister, 1)
        .waitFor(timer)
        .drained()
        .andDo([&link, stored = std::move(stored)] {
            stored(link.ReplyOk(1) && (link.ComBuf[24] & 0xFF) == 0);
        });
}

void appendSerialNumber(RequestChain &chain, std::uint32_t number, int commandCell,
                        std::function<void()> written)
{
    chain.write(Modbus::WriteCoil, SerialHighCell, static_cast<int>(number >> 16)).retryUnchecked();
    chain.write(Modbus::WriteCoil, SerialLowCell, static_cast<int>(number & 0xFFFF))
        .retryUnchecked()
        .andDo(std::move(written));
    chain.write(Modbus::WriteCoil, commandCell, SerialCommitCode).retryUnchecked();
}
