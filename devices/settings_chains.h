#pragma once

#include "device_settings.h"
#include "request_chain.h"

#include <cstdint>
#include <functional>
#include <string>

class Link;

// The exchanges on the information block and the shared settings cells that
// several windows make with the same sequence, as steps of their chains.

// First exchange of every "Read From Device": drain, read the information
// block (function 4, register 7936, count 4) from DevAddr. Only a sound reply
// is used; accept then judges the block (false fails the chain, and the
// window's version, model label and serial number keep what they showed).
void appendInfoRead(RequestChain &chain, Link &link, std::function<bool(const InfoBlock &)> accept);

// Puts the module back to its own address and baud code after the scan forced
// address 1 and 19200 baud: reads holding registers reg and reg+1 (low bytes;
// asked once more after an unsound reply), writes cell 19 := address, follows
// the module to that address, writes register 20 := baud code and reopens the
// port at that rate. No echo is checked. Only a sound reply with an address 1..255 and a baud code
// 0..3 is used; otherwise nothing is written and the line stays as it is. shown gets the address
// for the window's address field; read learns whether the module's own settings were read (false:
// the module stays at the scan's address and rate, and its own are not known).
void appendRestore(RequestChain &chain, Link &link, int reg, std::function<void(int)> shown,
                   std::function<void(bool read)> read = {});

// Where the module should answer after a change of its address or baud rate,
// and where it answered before, for the message when it does not.
struct SettingsChange
{
    int oldAddress = 1;
    int oldBaud = 2;
    int address = 1;
    int baud = 2;
};
// The message shown when a module does not answer at its new address and rate.
std::string lostModuleMessage(const SettingsChange &change);

// The baud code a write uses: the one selected, or the line's current code
// when none is (a module is never sent 65535, the port never reopened with a
// code that has no line settings).
int effectiveBaud(const Link &link, int baudIndex);

// Last step of a configuration write: cell 19 := address (echo checked, one
// repeat, both after a drain); when accepted DevAddr := address, register
// 20 := baud code (function 6, after a drain; echo checked with one repeat
// when the rate stays, else not checked) and the port reopened at that rate. When address or rate
// changed, the information block is read at the new ones: no sound answer fails the chain and
// reports where the module may be through lost.
void appendAddressAndBaud(RequestChain &chain, Link &link, int address, int baudIndex,
                          std::function<void(const SettingsChange &)> lost);

// The address "Set" button: cell 19 := address and register 20 := baud code,
// each after a drain, echo checked with one repeat; then DevAddr := address and
// the port reopened; then the confirmation read of appendAddressAndBaud.
void appendSetAddress(RequestChain &chain, Link &link, int address, int baudIndex,
                      std::function<void(const SettingsChange &)> lost);

// The module's storing result after a configuration write: when `timer` has
// run (2000 ms), drain and read input register 4102 (function 4, count 1).
// stored(true) only for a sound reply whose low byte is 0; no reply or a bad
// one counts as not stored, never as stored.
inline constexpr int StoreResultRegister = 4102;
void appendStoringCheck(RequestChain &chain, Link &link, QTimer *timer,
                        std::function<void(bool stored)> stored);

// "Load Serial Number": high word to cell 7938, low word to cell 7939, then
// code 34 to commandCell; no drains, each echo checked and sent once more on
// a mismatch, nothing reported. written runs after the low word, when the
// window shows the next number.
void appendSerialNumber(RequestChain &chain, std::uint32_t number, int commandCell,
                        std::function<void()> written);
