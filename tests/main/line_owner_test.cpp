// Work that meets other work: each window owns the line one exchange after
// another and runs one activity at a time, so two requests never overlap
// and every piece of work ends with the command controls back.
#include "window_rig.h"

#include "status_label.h"

namespace {

const ModuleConfig Resistance{3, 7, 5, 703070001, 1, 2};

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

} // namespace
