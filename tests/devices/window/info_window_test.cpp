#include "info_window.h"

#include "application.h"
#include "device_enumerator.h"
#include "link.h"
#include "message_sink.h"
#include "print_qstring.h"
#include "scan_window.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
struct NoDevices : DeviceEnumerator
{
    Enumeration enumerate() override { return {}; }
};

struct InfoWindows : ::testing::Test
{
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;
    std::unique_ptr<TForm3> scan;
    std::unique_ptr<SimModule> module;

    void SetUp() override
    {
        auto owned = std::make_unique<SimulatedLine>();
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        scan = std::make_unique<TForm3>(*link, std::make_unique<NoDevices>());
    }

    // A module as the scan leaves it: address 1, 19200 baud.
    void found(const ModuleConfig &config)
    {
        module = SimModule::create(config);
        line->setModule(module.get());
        link->ComBuf[cb::ComNo] = 1;
        link->ComBuf[cb::DevAddr] = 1;
        link->ComBuf[cb::DevVer] = static_cast<std::int16_t>(config.version);
        link->ComBuf[cb::DevModel] = static_cast<std::int16_t>(config.model);
        link->SerialNo = config.serial;
        link->OpenCom(0, 2);
    }
};

// Runs a window's chain to its end on the line's virtual clock.
void drive(DeviceWindow &form, SimulatedLine &line)
{
    ChainRunner &chain = form.chain();
    for (int i = 0; i < 1000 && chain.isRunning(); ++i) {
        if (chain.continuing()) {
            chain.continueNow();
        } else if (QTimer *timer = chain.awaitedTimer()) {
            line.wait(timer->interval());
            form.fireTimer(timer);
        }
    }
}

QString text(QWidget &window, const char *name)
{
    if (auto *edit = window.findChild<QLineEdit *>(name))
        return edit->text();
    return window.findChild<QLabel *>(name)->text();
}
} // namespace

TEST_F(InfoWindows, ActivationShowsTheSerialNumberAndVersionOfTheScan)
{
    InfoWindow form2(transmitterLayout(), *link, *scan);
    found({1, 1, 7, 703070001, 1, 2});
    form2.FormActivate();
    EXPECT_EQ(text(form2, "Serial_Y"), "703070001");
    EXPECT_EQ(text(form2, "Edit1"), "703070001");
    EXPECT_EQ(text(form2, "Label7"), "V07");
    EXPECT_EQ(text(form2, "Label18"), "RX110");
    EXPECT_TRUE(form2.findChild<QLabel *>("Label7")->isHidden());
    EXPECT_TRUE(form2.findChild<QGroupBox *>("GroupBox6")->isHidden());
    EXPECT_TRUE(line->log().empty()); // the transmitter is not restored

    InfoWindow form10(compactResistanceLayout(), *link, *scan);
    found({3, 4, 3, 42, 1, 2});
    form10.FormActivate();
    EXPECT_EQ(text(form10, "Label18"), "RY440");
    EXPECT_EQ(text(form10, "Serial_Y"), "42");
}

TEST_F(InfoWindows, DistributorsAreRestoredToTheirOwnAddressAndBaud)
{
    InfoWindow form7(vmaDistributorLayout(), *link, *scan);
    found({5, 50, 3, 1, 4, 1});
    // The scan's broadcasts move the module to address 1 and 19200 baud.
    const auto broadcast = [this](int function, int reg, int value) {
        link->SendCmd(0, function, reg, value);
    };
    link->Reopen(1);
    broadcast(5, 19, 1);
    broadcast(6, 20, 2);
    link->Reopen(2);
    line->clearLog();

    form7.FormActivate();
    drive(form7, *line);
    ASSERT_EQ(line->log().size(), 3u);
    EXPECT_EQ(line->log()[0], (LoggedRequest{1, 3, 30, 2, 2}));
    EXPECT_EQ(line->log()[1], (LoggedRequest{1, 5, 19, 4, 2}));
    EXPECT_EQ(line->log()[2], (LoggedRequest{4, 6, 20, 1, 2}));
    EXPECT_EQ(text(form7, "ID_Edit"), "4");
    EXPECT_EQ(line->baudCode(), 1);
    EXPECT_EQ(module->address(), 4);

    // Version 2 and below keep the forced settings.
    InfoWindow form5(distributorLayout(), *link, *scan);
    found({4, 49, 2, 1, 1, 2});
    line->clearLog();
    form5.FormActivate();
    EXPECT_TRUE(line->log().empty());
}

TEST_F(InfoWindows, LoadSerialNumberCommitsOnTheFamilysCommandCell)
{
    InfoWindow form7(vmaDistributorLayout(), *link, *scan);
    found({5, 50, 3, 1, 1, 2});
    form7.findChild<QPushButton *>("Button3")->click();
    drive(form7, *line);
    ASSERT_EQ(line->log().size(), 3u);
    EXPECT_EQ(line->log()[0], (LoggedRequest{1, 5, 7938, 10727, 2}));
    EXPECT_EQ(line->log()[1], (LoggedRequest{1, 5, 7939, 65329, 2}));
    EXPECT_EQ(line->log()[2], (LoggedRequest{1, 5, 21, 34, 2}));
    EXPECT_EQ(text(form7, "Edit17"), "703070002");

    InfoWindow form4(resistanceLayout(), *link, *scan);
    found({3, 5, 5, 1, 1, 2});
    form4.findChild<QLineEdit *>("Edit1")->setText("99");
    form4.loadSerialClick();
    drive(form4, *line);
    EXPECT_EQ(line->log().back(), (LoggedRequest{1, 5, 9, 34, 2}));
    EXPECT_EQ(text(form4, "Edit1"), "100");
    EXPECT_EQ(module->serialNumber(), 99u);

    form4.serviceModeChanged(true);
    EXPECT_FALSE(form4.findChild<QGroupBox *>("GroupBox6")->isHidden());
}

TEST_F(InfoWindows, CaptionsFollowTheLanguage)
{
    InfoWindow form5(distributorLayout(), *link, *scan);
    InfoWindow form7(vmaDistributorLayout(), *link, *scan);
    scan->setFamilyWindows({nullptr, nullptr, nullptr, nullptr, &form5, &form7});
    scan->TraditionalClick();
    EXPECT_EQ(form5.findChild<QGroupBox *>("Item8")->title(), QString::fromUtf8("裝置資訊"));
    EXPECT_EQ(form7.findChild<QGroupBox *>("Item_14")->title(), QString::fromUtf8("裝置資訊"));
    EXPECT_EQ(form7.findChild<QGroupBox *>("Item_13")->title(), QString::fromUtf8("位址與鮑率"));
    EXPECT_EQ(text(form5, "Lab82"), QString::fromUtf8("序號        :"));
    scan->EnglishClick();
    EXPECT_EQ(form5.findChild<QGroupBox *>("GroupBox15")->title(), "ID And Baud Rate");
}

TEST_F(InfoWindows, NothingClippedInAnyLanguage)
{
    InfoWindow form7(vmaDistributorLayout(), *link, *scan);
    scan->setFamilyWindows({nullptr, nullptr, nullptr, nullptr, nullptr, &form7});
    form7.serviceModeChanged(true);
    form7.show();
    for (int code : {50, 1028, 2052}) {
        scan->applyLanguage(code);
        form7.adjustSize();
        QApplication::processEvents();
        for (QLabel *label : form7.findChildren<QLabel *>())
            EXPECT_GE(label->width(), label->sizeHint().width())
                << label->objectName().toStdString();
        for (QGroupBox *box : form7.findChildren<QGroupBox *>())
            EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->title()) + 16);
        const QString folder = qEnvironmentVariable("QUORELWIN_SCREENSHOTS");
        if (!folder.isEmpty())
            form7.grab().save(QString("%1/vma-distributor-%2.png").arg(folder).arg(code));
    }
    form7.serviceModeChanged(false);
}
