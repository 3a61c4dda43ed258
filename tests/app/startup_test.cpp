// The program's start-up: the scan window shows first; the family windows are
// made right after its first paint, or at once when a hand-over or a language
// switch needs them sooner.
#include "app_fixture.h"
#include "paint_watch.h"

#include <QAction>
#include <QTest>

namespace {

struct StartUp : ::testing::Test
{
    Link link{std::make_unique<SimulatedLine>()};
    TForm3 scan{link, std::make_unique<FakeEnumerator>()};
    PaintWatch scanPaints{&scan};
    std::vector<std::unique_ptr<StubWindow>> windows;
    int scanPaintsWhenMade = -1;

    void SetUp() override
    {
        scan.setFamilyWindowMaker([this] {
            scanPaintsWhenMade = scanPaints.paints;
            for (const char *name : {"TForm1", "TForm2", "TForm4", "TForm5", "TForm7", "TForm10"})
                windows.push_back(std::make_unique<StubWindow>(name, link, scan));
            return TForm3::FamilyWindows{windows[1].get(), windows[0].get(), windows[2].get(),
                                         windows[5].get(), windows[3].get(), windows[4].get()};
        });
    }
};

} // namespace

TEST_F(StartUp, FamilyWindowsFollowTheScanWindowsFirstPaint)
{
    scan.show();
    EXPECT_TRUE(windows.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !windows.empty(); }, 5000));
    EXPECT_GT(scanPaintsWhenMade, 0);
    EXPECT_EQ(scan.familyWindows().converter, windows[0].get());
    EXPECT_EQ(windows.size(), 6u); // made once
    for (const auto &window : windows)
        EXPECT_FALSE(window->isVisible());
}

TEST_F(StartUp, ALanguageSwitchBeforeThenMakesThemAtOnce)
{
    scan.SimplifiedClick();
    ASSERT_EQ(windows.size(), 6u);
    for (const auto &window : windows)
        EXPECT_TRUE(window->findChild<QAction *>("Simplified")->isChecked());
}
