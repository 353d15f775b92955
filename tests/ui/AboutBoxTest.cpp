// The About box asks the driver each time it opens and shows what the driver answers.
#include <cstdlib>

#include "PanelTestFixture.h"

namespace uitest {
namespace {

constexpr const char* kVersionScenario =
    R"({"version": {"interfaceMajor": 2, "interfaceMinor": 14, "driverMajor": 1,
                    "driverMinor": 5, "driverBuild": 1234}})";

// Opens the About box through the Info menu's command and returns its caption and text.
struct AboutSeen {
    std::string caption;
    std::string text;
    bool answered = false;
    // How far the box's centre lies from its owner's, in pixels.
    long offCentreX = 0, offCentreY = 0;
};

AboutSeen OpenAbout(RunningPanel& panel) {
    AboutSeen seen;
    ModalAnswerer answerer([&](HWND about) {
        seen.caption = WindowText(about);
        seen.text = ControlText(about, IDC_ABOUT_TEXT);
        RECT box{}, owner{};
        ::GetWindowRect(about, &box);
        ::GetWindowRect(::GetWindow(about, GW_OWNER), &owner);
        seen.offCentreX = std::labs((box.left + box.right) / 2 - (owner.left + owner.right) / 2);
        seen.offCentreY = std::labs((box.top + box.bottom) / 2 - (owner.top + owner.bottom) / 2);
        EXPECT_TRUE(ClickButton(about, IDOK));
    });
    panel.Command(ID_APP_ABOUT);
    seen.answered = answerer.Answered() && !answerer.TimedOut();
    return seen;
}

using AboutBox = PanelTest;

TEST_F(AboutBox, ShowsBothDriverVersionsEachOnItsLine) {
    RunningPanel panel("", kVersionScenario);
    ASSERT_TRUE(panel.Started());
    const AboutSeen seen = OpenAbout(panel);
    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(seen.caption, "About Control Panel");
    // It opens over the panel, not at the panel's corner.
    EXPECT_LE(seen.offCentreX, 1);
    EXPECT_LE(seen.offCentreY, 1);
    const std::string closing = LoadStringText(61270).str();
    EXPECT_EQ(seen.text, Title() +
                             ": V 1.01\n\n - Driver Interface Version 2.14\n\n"
                             " - Driver Version 1.5.1234\n\n" +
                             closing);
}

TEST_F(AboutBox, ShowsTheShortTextWithoutAConnection) {
    RunningPanel panel("", R"({"loaded": false})");
    ASSERT_TRUE(panel.Started());
    const AboutSeen seen = OpenAbout(panel);
    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(seen.text, Title() + ": V 1.01\n\n\n" + LoadStringText(61270).str());
    EXPECT_EQ(seen.text.find(" - Driver"), std::string::npos);
}

TEST_F(AboutBox, AsksTheDriverAtEveryOpening) {
    RunningPanel panel("", kVersionScenario);
    ASSERT_TRUE(panel.Started());
    // Connection numbers go on from test to test: count the version requests of any.
    auto versionRequests = [] {
        size_t count = 0;
        for (const std::string& line : TraceLinesStartingWith("ioctl "))
            if (line.find(" 0x80882804 ") != std::string::npos) ++count;
        return count;
    };
    const size_t atStart = versionRequests();
    EXPECT_GE(atStart, 1u);  // the view's open checked the version
    EXPECT_TRUE(OpenAbout(panel).answered);
    EXPECT_EQ(versionRequests(), atStart + 1);

    // A driver update between two openings shows the second time.
    ASSERT_TRUE(sim::Simulator::Instance().Execute(
        R"(set {"version": {"interfaceMinor": 20, "driverMinor": 6, "driverBuild": 77}})"));
    const AboutSeen second = OpenAbout(panel);
    EXPECT_EQ(versionRequests(), atStart + 2);
    EXPECT_NE(second.text.find(" - Driver Interface Version 2.20\n"), std::string::npos)
        << second.text;
    EXPECT_NE(second.text.find(" - Driver Version 1.6.77\n"), std::string::npos) << second.text;
}

}  // namespace
}  // namespace uitest
