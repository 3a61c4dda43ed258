#include "app_fixture.h"

#include "crc.h"
#include "help_file.h"
#include "numtext.h"
#include "status_label.h"

#include <QListWidget>
#include <QTest>

namespace {
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

LoggedRequest request(int address, int function, int reg, int value, int baud)
{
    LoggedRequest r;
    r.address = address;
    r.function = function;
    r.reg = reg;
    r.value = value;
    r.baud = baud;
    return r;
}

// The probe's requests: the plain information-block query at 4800 baud, then
// per forced attempt at baud code b the two broadcasts and the query at 19200.
std::vector<LoggedRequest> probeSequence(int forcedAttempts)
{
    std::vector<LoggedRequest> expected = {request(1, 4, 7936, 4, 0)};
    for (int b = 0; b < forcedAttempts; ++b) {
        expected.push_back(request(0, 5, 19, 1, b));
        expected.push_back(request(0, 6, 20, 2, b));
        expected.push_back(request(1, 4, 7936, 4, 2));
    }
    return expected;
}
} // namespace

using ScanWindow = AppFixture;

TEST_F(ScanWindow, NoSerialDeviceIsACommunicationError)
{
    enumerator->names = {"Standard PS/2 Keyboard", "USB Root Hub", "Comm. adapter"};
    scan->Button1Click();
    EXPECT_EQ(scan->ListBox1->count(), 0);
    EXPECT_EQ(scan->Label5->text(), "Communication Error");
    EXPECT_EQ(scan->Label5->fontColor(), Red);
    EXPECT_FALSE(scan->Timer1->isActive());
    EXPECT_EQ(link->ComBuf[cb::ComNo], 0);
}

TEST_F(ScanWindow, TheUsbAdapterIsSelectedAndProbed)
{
    attach({});
    scan->Button1Click();
    ASSERT_EQ(scan->ListBox1->count(), 2);
    EXPECT_EQ(scan->ListBox1->item(0)->text(), "Communications Port (COM1)");
    EXPECT_EQ(scan->ListBox1->currentRow(), 1);
    EXPECT_EQ(link->ComBuf[cb::ComNo], 7);
    EXPECT_EQ(link->ComBuf[cb::PortIdx], 2);
    EXPECT_EQ(link->ComBuf[cb::ParseStart], 29); // the "7" of "(COM7)", counted from 1
    EXPECT_EQ(link->ComBuf[cb::ParseLength], 1);
    EXPECT_EQ(scan->Label5->text(), "Scan...");
    EXPECT_EQ(scan->Label5->fontColor(), Blue);
    EXPECT_TRUE(scan->Timer1->isActive());
    EXPECT_EQ(scan->Timer1->interval(), 20);

    scan->Timer1Timer();
    EXPECT_FALSE(scan->Timer1->isActive());
    EXPECT_EQ(line->portIndex(), 6); // COM7
}

TEST_F(ScanWindow, PortNumbersAreReadBetweenComAndTheParenthesis)
{
    // The last adapter in enumeration order wins.
    enumerator->names = {"USB to Serial Port (COM3)", "USB-to-Serial Comm Port (COM12)"};
    scan->Button1Click();
    EXPECT_EQ(link->ComBuf[cb::ComNo], 12);

    // Only COM1..COM16 can be opened. A second Start before the first probe
    // began also cancels that probe.
    enumerator->names = {"USB-to-Serial Comm Port (COM17)"};
    scan->Button1Click();
    EXPECT_EQ(scan->Label5->text(), "Communication Error");
    EXPECT_FALSE(scan->Timer1->isActive());

    // An adapter name without a number is the standard conversion error.
    enumerator->names = {"USB-to-Serial Comm Port (COMx)"};
    EXPECT_THROW(scan->Button1Click(), ConversionError);
    enumerator->names = {"USB-to-Serial) Comm Port COM5"};
    EXPECT_THROW(scan->Button1Click(), ConversionError);
}

TEST_F(ScanWindow, EnumerationFailureShowsItsEnglishMessageAndEndsTheProgram)
{
    enumerator->failure = Enumeration::Security;
    scan->Button1Click();
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Failed to initialize security. Error code = 80041003"}));
    EXPECT_FALSE(scan->isVisible());
    const auto failed = [](Enumeration::Failure failure, std::uint32_t code) {
        Enumeration result;
        result.failure = failure;
        result.code = code;
        return result;
    };
    EXPECT_EQ(enumerationMessage(failed(Enumeration::Locator, 5)),
              "Failed to create IWbemLocator object. Err code = 00000005");
    EXPECT_EQ(enumerationMessage(failed(Enumeration::Connect, 0x8004100E)),
              "Could not connect. Error code = 8004100E");
    EXPECT_EQ(enumerationMessage(failed(Enumeration::ProxyBlanket, 1)),
              "Could not set proxy blanket. Error code = 00000001");
    EXPECT_EQ(enumerationMessage(failed(Enumeration::Enumerator, 1)), "Error");
}

TEST_F(ScanWindow, ResistanceTransmitterAnswersThePlainAttemptAndOpensByVersion)
{
    attach({3, 5, 4, 1234, 1, 0});
    scanNow();
    EXPECT_EQ(shownWindow(), form10.get());
    EXPECT_FALSE(scan->isVisible());
    EXPECT_EQ(line->log(), probeSequence(0)); // no broadcast at all
    EXPECT_EQ(link->ComBuf[cb::DevFamily], 3);
    EXPECT_EQ(link->ComBuf[cb::DevVer], 4);
    EXPECT_EQ(link->SerialNo, 1234u);

    form10->hide();
    scan->show();
    line->clearLog();
    attach({3, 5, 5, 1234, 1, 0});
    scanNow();
    EXPECT_EQ(shownWindow(), form4.get());
    EXPECT_EQ(line->log(), probeSequence(0));
}

TEST_F(ScanWindow, ConverterAt38400IsForcedToAddressOneAndFoundAfterTheFourthBroadcast)
{
    attach({2, 32, 9, 703070001, 9, 3});
    scanNow();
    EXPECT_EQ(shownWindow(), form1.get());
    EXPECT_EQ(scan->ListBox2->currentItem()->text(), "38400,N,8,1");
    EXPECT_EQ(line->log(), probeSequence(4));
    EXPECT_EQ(module->address(), 1);
    EXPECT_EQ(module->baudCode(), 2);
    EXPECT_EQ(link->ComBuf[cb::DevFamily], 2);
    EXPECT_EQ(link->ComBuf[cb::DevAddr], 1);
    EXPECT_EQ(link->SerialNo, 703070001u);
    EXPECT_EQ(line->baudCode(), 2); // the port stays open at 19200
}

TEST_F(ScanWindow, ForcedFamiliesAreNotAcceptedInThePlainAttempt)
{
    // A converter already at 4800 and address 1 answers the plain attempt, yet
    // it is found by the first forced attempt.
    attach({2, 33, 9, 1, 1, 0});
    scanNow();
    EXPECT_EQ(shownWindow(), form1.get());
    EXPECT_EQ(line->log(), probeSequence(1));

    for (const auto &[model, window] : std::vector<std::pair<int, StubWindow *>>{
             {49, form5.get()}, {55, form5.get()}, {50, form7.get()}, {54, form7.get()}}) {
        for (StubWindow *shown : familyWindows())
            shown->hide();
        line->clearLog();
        attach({model >= 50 && model <= 54 ? 5 : 4, model, 3, 1, 7, 1});
        scanNow();
        EXPECT_EQ(shownWindow(), window) << "model " << model;
        EXPECT_EQ(line->log(), probeSequence(2)) << "model " << model;
    }
}

TEST_F(ScanWindow, FamilyDecisionOfTransmitterModelCodes)
{
    for (int model : {1, 2, 17, 18}) {
        form2->hide();
        attach({1, model, 7, 1, 1, 0});
        scanNow();
        EXPECT_EQ(shownWindow(), form2.get()) << "model " << model;
        EXPECT_EQ(link->ComBuf[cb::DevModel], model);
    }
    form2->hide();
    attach({1, 12, 38, 1, 1, 0});
    scanNow();
    EXPECT_EQ(shownWindow(), form2.get());
    EXPECT_EQ(link->ComBuf[cb::DevModel], 12);

    form2->hide();
    scan->show();
    attach({1, 12, 37, 1, 1, 0});
    scanNow();
    EXPECT_EQ(shownWindow(), nullptr);
    EXPECT_EQ(scan->Label5->text(), "Device Not Found");
    EXPECT_EQ(link->ComBuf[cb::DevFamily], 0);
}

TEST_F(ScanWindow, UnforcedFamilyAnsweringOnlyAt19200IsOpenedToo)
{
    attach({1, 1, 7, 1, 1, 2}); // a transmitter already at 19200
    scanNow();
    EXPECT_EQ(shownWindow(), form2.get());
    EXPECT_EQ(line->log(), probeSequence(1));

    form2->hide();
    scan->show();
    attach({3, 4, 3, 1, 1, 2});
    scanNow();
    EXPECT_EQ(shownWindow(), form10.get());
}

TEST_F(ScanWindow, NoModuleIsDeviceNotFoundAfterTheWholeProbe)
{
    scanNow();
    EXPECT_EQ(shownWindow(), nullptr);
    EXPECT_TRUE(scan->isVisible());
    EXPECT_EQ(scan->Label5->text(), "Device Not Found");
    EXPECT_EQ(scan->Label5->fontColor(), Red);
    EXPECT_EQ(line->log(), probeSequence(4));
    // One plain attempt (two read time-outs) and four forced ones (six each).
    EXPECT_GE(line->clockMs(), 2600);
    EXPECT_LT(line->clockMs(), 2750);
    EXPECT_EQ(line->baudCode(), 2);
}

TEST_F(ScanWindow, BytesOfAnEarlierExchangeNeverIdentifyAModule)
{
    // A serial number whose reply ends in the byte 0x01: after a quiet read
    // the reply area still holds the whole earlier reply, address byte and
    // CRC included.
    std::uint32_t serial = 1;
    for (;; ++serial) {
        std::uint8_t reply[11] = {1,
                                  4,
                                  8,
                                  32,
                                  9,
                                  0,
                                  0,
                                  std::uint8_t(serial >> 24),
                                  std::uint8_t(serial >> 16),
                                  std::uint8_t(serial >> 8),
                                  std::uint8_t(serial)};
        if ((crc16Modbus(reply, 11) >> 8) == 1)
            break;
    }
    attach({2, 32, 9, serial, 1, 2});
    scanNow();
    ASSERT_EQ(shownWindow(), form1.get());
    form1->hide();
    scan->show();

    line->setModule(nullptr);
    scanNow();
    EXPECT_EQ(shownWindow(), nullptr);
    EXPECT_EQ(scan->Label5->text(), "Device Not Found");
}

TEST_F(ScanWindow, ScanStartOfAFamilyWindowReturnsAndScansAtOnce)
{
    attach({2, 32, 9, 1, 1, 2});
    scanNow();
    ASSERT_EQ(shownWindow(), form1.get());
    const int callsBefore = enumerator->calls;

    form1->StartClick();
    EXPECT_EQ(form1->stops, 1);
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(scan->isVisible());
    EXPECT_EQ(enumerator->calls, callsBefore + 1);
    EXPECT_TRUE(scan->Timer1->isActive());
    EXPECT_EQ(scan->Label5->text(), "Scan...");
}

TEST_F(ScanWindow, ClosingAFamilyWindowOrItsExitEndsTheProgram)
{
    form5->show();
    form5->close();
    EXPECT_FALSE(form5->isVisible());
    EXPECT_FALSE(scan->isVisible());

    scan->show();
    form7->show();
    form7->Exit1Click();
    EXPECT_FALSE(scan->isVisible());
}

TEST_F(ScanWindow, AnExceptionLeavingAHandlerIsShownAndTheProgramGoesOn)
{
    enumerator->names = {"USB-to-Serial Comm Port (COMbad)"};
    QTest::mouseClick(scan->Button1, Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'bad' is not a valid integer value");
    EXPECT_TRUE(scan->isVisible());
}

TEST(HelpFiles, NameFollowsTheLanguageCode)
{
    EXPECT_EQ(helpFileName("QRC", 2052), "QRC-S.chm");
    EXPECT_EQ(helpFileName("QRC", 1028), "QRC-T.chm");
    EXPECT_EQ(helpFileName("QRT", 50), "QRT-E.chm");
    EXPECT_EQ(helpFileName("QRW", 7), "QRW-E.chm");
}

TEST_F(ScanWindow, AnAdapterThisUserMayNotOpenIsToldOncePerScanBesideThePartsStatus)
{
    // Two adapters and a built-in port denied: one message per scan, naming the adapters.
    enumerator->denied = {{"/dev/ttyUSB0", "dialout", true},
                          {"/dev/ttyS0", "dialout", false},
                          {"/dev/ttyUSB1", "uucp", true}};
    scanNow();
    scanNow();
    EXPECT_EQ(messages, std::vector<std::string>(
                            2, "Permission denied: your user may not open /dev/ttyUSB0 (owned by "
                               "group dialout), /dev/ttyUSB1 (owned by group uucp). Add your user "
                               "to the group with: sudo usermod -aG dialout,uucp $USER, then log "
                               "out and in again (check with: groups)."));
    EXPECT_EQ(scan->Label5->text(), "Device Not Found");
    enumerator->denied.erase(enumerator->denied.begin());
    enumerator->denied.pop_back();
    scanNow();
    EXPECT_EQ(messages.size(), 2u);
}
