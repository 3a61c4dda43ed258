// Work that meets other work: each window owns the line one exchange after
// another and runs one activity at a time, so two requests never overlap
// and every piece of work ends with the command controls back.
#include "window_rig.h"

#include "status_label.h"

namespace {

const ModuleConfig Converter{2, 32, 9, 703070001, 1, 2};
const ModuleConfig Transmitter{1, 1, 9, 703070001, 1, 2};
const ModuleConfig Resistance{3, 7, 5, 703070001, 1, 2};

// The chain of the work under way, one step (one exchange at most) at a time,
// until the line has seen `requests` requests.
void stepTo(Rig &rig, std::size_t requests)
{
    ChainRunner &chain = rig.window().chain();
    for (int i = 0; i < 100 && rig.line().log().size() < requests; ++i) {
        if (chain.continuing())
            chain.continueNow();
        else if (QTimer *timer = chain.awaitedTimer())
            rig.fire(timer);
        else
            break;
    }
}

bool enabled(Rig &rig, const char *name)
{
    return rig.find<QWidget>(name)->isEnabled();
}

TEST(LineOwner, AModeChangeKeepsTheLineUntilItsCommitWhateverTheCountPollDoes)
{
    const auto rig = makeRig("TForm4", Resistance);
    rig->press("BtnP1");
    rig->window().serviceModeChanged(true);
    rig->leave("Edit25_1", "100");
    rig->press("Btn25_1");
    rig->ticks(1);
    // The count poll falls due between the mode write and its commit.
    rig->find<QAbstractButton>("Button10")->click();
    rig->fire(rig->timer("Timer1"));
    rig->runChain();
    rig->fire(rig->timer("Timer7"));
    EXPECT_EQ(rig->find<StatusLabel>("Label29")->text(), "OK!");
    EXPECT_EQ(rig->line().collisions(), 0);
}

TEST(LineOwner, LeavingServiceModeDuringACalibrationStartEndsThePoint)
{
    for (const auto &[window, config] : {std::pair{"TForm1", Converter}, {"TForm2", Transmitter}}) {
        SCOPED_TRACE(window);
        const auto rig = makeRig(window, config);
        rig->press("BtnP1");
        rig->window().serviceModeChanged(true);
        rig->line().clearLog();
        rig->find<QAbstractButton>("Btn11")->click();
        stepTo(*rig, 1); // the type write is on the wire
        rig->window().serviceModeChanged(false);
        const std::size_t sent = rig->line().log().size();
        rig->settle();
        rig->ticks(3);
        EXPECT_EQ(rig->line().log().size(), sent);
        for (QTimer *timer : rig->window().timers())
            EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
        EXPECT_TRUE(enabled(*rig, "BtnP1"));
        EXPECT_FALSE(enabled(*rig, "Btn13"));
    }
}

TEST(LineOwner, APointCutShortByScanStartIsOverForGood)
{
    const auto rig = makeRig("TForm1", Converter);
    rig->press("BtnP1");
    rig->window().serviceModeChanged(true);
    rig->press("Btn11");
    rig->ticks(1);
    rig->window().StartClick();
    rig->reattach(Converter); // the scan found it again
    rig->press("BtnP1");
    // Later, a write meets the end of service mode after two of its writes.
    rig->line().clearLog();
    rig->find<QAbstractButton>("BtnP2")->click();
    stepTo(*rig, 2);
    rig->window().serviceModeChanged(false);
    rig->settle();
    EXPECT_EQ(rig->window().statusLabel()->text(), "Write Success");
    EXPECT_EQ(rig->line().log().size(), 18u);
}

TEST(LineOwner, TransmitterSerialNumberWaitsForTheWorkUnderWay)
{
    const auto rig = makeRig("TForm2", Transmitter);
    rig->press("BtnP1");
    rig->window().serviceModeChanged(true);
    rig->find<QLineEdit>("Edit1")->setText("703070002");
    const auto load = [&] { rig->find<QAbstractButton>("Button1")->click(); };

    rig->line().clearLog();
    rig->find<QAbstractButton>("BtnP2")->click();
    stepTo(*rig, 3);
    load();
    rig->settle();
    EXPECT_EQ(rig->window().statusLabel()->text(), "Write Success");

    rig->press("Btn11");
    rig->ticks(2);
    load();
    rig->ticks(2);
    EXPECT_TRUE(enabled(*rig, "Btn13"));
    EXPECT_TRUE(rig->timer("Timer4")->isActive());
    rig->press("Btn13");
    EXPECT_TRUE(enabled(*rig, "BtnP1"));
    EXPECT_FALSE(rig->timer("Timer4")->isActive());
}

TEST(LineOwner, AHandlerExceptionEndsItsWorkAtTheConnection)
{
    const auto rig = makeRig("TForm1", Converter);
    rig->press("BtnP1");
    rig->find<QLineEdit>("Edit8")->setText("abc");
    EXPECT_NO_THROW(rig->find<QAbstractButton>("BtnP2")->click());
    EXPECT_EQ(rig->errors(), std::vector<QString>{"'abc' is not a valid integer value"});
    EXPECT_EQ(rig->window().statusLabel()->text(), "Write Fail");
    EXPECT_TRUE(enabled(*rig, "BtnP2"));
    auto *field = rig->find<ExitEdit>("Edit11");
    field->setText("seven");
    EXPECT_NO_THROW(emit field->exited());
    EXPECT_EQ(rig->errors().size(), 2u);
}

} // namespace
