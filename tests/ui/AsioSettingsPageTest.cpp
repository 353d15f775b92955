// The ASIO settings page over the simulated driver: sliders and value texts from the driver's
// buffer depths, the Apply sequences, the statistics timer and the note on the ASIO depth.
#include <string>
#include <vector>

#include "PageRequestTrace.h"
#include "PanelTestFixture.h"
#include "pages/DlgPgASIOSettings.h"

namespace uitest {
namespace {

constexpr const char* kGetStreamDepth = "0x80882a80";
constexpr const char* kSetStreamDepth = "0x80882a84";
constexpr const char* kGetAsioDepth = "0x80882a88";
constexpr const char* kSetAsioDepth = "0x80882a8c";
constexpr const char* kGetWdmDepth = "0x80882a90";
constexpr const char* kSetWdmDepth = "0x80882a94";
constexpr const char* kGetStatistics = "0x80882ac8";
constexpr const char* kStopStreaming = "0x80882a04";
constexpr const char* kStartStreaming = "0x80882a00";

struct SliderSeen {
    int minimum, maximum, position, ticks;
    bool enabled;
    bool operator==(const SliderSeen& other) const {
        return minimum == other.minimum && maximum == other.maximum && position == other.position &&
               ticks == other.ticks && enabled == other.enabled;
    }
};

std::ostream& operator<<(std::ostream& out, const SliderSeen& seen) {
    return out << "[" << seen.minimum << ".." << seen.maximum << " at " << seen.position << ", "
               << seen.ticks << " ticks, " << (seen.enabled ? "enabled" : "disabled") << "]";
}

// Ticks a track bar with automatic ticks draws: both ends, and one at every `frequency`-th
// position between them.
int TicksFor(int minimum, int maximum, int frequency) {
    return 2 + (maximum - minimum - 1) / frequency;
}

// The view's ASIO settings page, shown by its tree item ("Settings").
class AsioPageUnderTest {
  public:
    explicit AsioPageUnderTest(RunningPanel& panel)
        : page(panel.View()->m_pageAsioSettings), m_tree(panel.View()->m_navigationTree.m_hWnd) {
        Select("Settings");
        created = page.m_hWnd != nullptr && page.IsWindowVisible();
    }
    void Select(const char* item) {
        ::SendMessageA(m_tree, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(FindTreeItem(m_tree, item)));
    }
    HWND Item(int id) const { return ::GetDlgItem(page.m_hWnd, id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    std::string Text(int id) const { return ControlText(page.m_hWnd, id); }
    SliderSeen Slider(int id) const {
        HWND slider = Item(id);
        return {static_cast<int>(::SendMessageA(slider, TBM_GETRANGEMIN, 0, 0)),
                static_cast<int>(::SendMessageA(slider, TBM_GETRANGEMAX, 0, 0)),
                static_cast<int>(::SendMessageA(slider, TBM_GETPOS, 0, 0)),
                static_cast<int>(::SendMessageA(slider, TBM_GETNUMTICS, 0, 0)),
                ::IsWindowEnabled(slider) != FALSE};
    }
    // Moves a slider as the user's drag ends: the track bar's position, then its notification.
    void Move(int id, int position) { MoveSlider(page.m_hWnd, id, position); }
    void Tick(UINT_PTR id) { ::SendMessageA(page.m_hWnd, WM_TIMER, id, 0); }

    CDlgPgASIOSettings& page;
    bool created = false;

  private:
    HWND m_tree;
};

const std::string kMicroseconds = "\xB5s";

using AsioSettingsPage = PanelTest;

TEST_F(AsioSettingsPage, ShowsTheDriversDepthsOnTheSliders) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    // Stream: 1000..10000 µs in steps of 125, at 2000; a tick at every position.
    EXPECT_EQ(asio.Slider(IDC_STREAM_SLIDER), (SliderSeen{8, 80, 16, TicksFor(8, 80, 1), true}));
    // ASIO: 1000..40000 µs in steps of 125 is 312 steps, so every eighth position has a tick.
    EXPECT_EQ(asio.Slider(IDC_ASIO_SLIDER), (SliderSeen{8, 320, 42, TicksFor(8, 320, 8), true}));
    // WDM: 2000..40000 µs in steps of 1000 is 39 positions, all with a tick.
    EXPECT_EQ(asio.Slider(IDC_WDM_SLIDER), (SliderSeen{2, 40, 10, TicksFor(2, 40, 1), true}));
    EXPECT_EQ(asio.Text(IDC_STREAM_VALUE), "2000 " + kMicroseconds);
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "5.2 ms\n252 samples");
    EXPECT_EQ(asio.Text(IDC_WDM_VALUE), "10.0 ms\n480 samples");
    EXPECT_EQ(asio.Text(IDC_DROPOUTS), "");
    for (int apply : {IDC_STREAM_APPLY, IDC_ASIO_APPLY, IDC_WDM_APPLY})
        EXPECT_FALSE(asio.Enabled(apply)) << apply;
    for (int slider : {IDC_STREAM_SLIDER, IDC_ASIO_SLIDER, IDC_WDM_SLIDER}) {
        EXPECT_EQ(::SendMessageA(asio.Item(slider), TBM_GETPAGESIZE, 0, 0), 1) << slider;
        EXPECT_EQ(::SendMessageA(asio.Item(slider), TBM_GETLINESIZE, 0, 0), 1) << slider;
    }
}

TEST_F(AsioSettingsPage, TickFrequencyThinsOutPastFortyPositions) {
    // 1000..40000 in steps of 1000: 40 positions, a tick at each.
    RunningPanel forty("", R"({"asioBufferDepth": {"current": 5000, "minimum": 1000,
                                                  "step": 1000, "samples": 240}})");
    ASSERT_TRUE(forty.Started());
    AsioPageUnderTest asio(forty);
    ASSERT_TRUE(asio.created);
    EXPECT_EQ(asio.Slider(IDC_ASIO_SLIDER), (SliderSeen{1, 40, 5, TicksFor(1, 40, 1), true}));
    // 0..40000: 41 positions, a tick at every second.
    ASSERT_TRUE(sim::Simulator::Instance().Execute(
        R"(set {"asioBufferDepth": {"current": 5000, "minimum": 0, "step": 1000}})"));
    asio.page.RefreshAsioSettings();
    EXPECT_EQ(asio.Slider(IDC_ASIO_SLIDER), (SliderSeen{0, 40, 5, TicksFor(0, 40, 2), true}));
}

TEST_F(AsioSettingsPage, MovingASliderEnablesItsApplyUntilTheNextRefresh) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    sim::Simulator::Instance().ClearTrace();

    asio.Move(IDC_STREAM_SLIDER, 17);
    EXPECT_EQ(asio.Text(IDC_STREAM_VALUE), "2125 " + kMicroseconds);
    EXPECT_TRUE(asio.Enabled(IDC_STREAM_APPLY));
    EXPECT_FALSE(asio.Enabled(IDC_ASIO_APPLY));
    EXPECT_EQ(asio.page.m_streamDepth.Current, 2125u);

    asio.Move(IDC_ASIO_SLIDER, 43);
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "5.3 ms") << "no sample count while a change waits";
    EXPECT_TRUE(asio.Enabled(IDC_ASIO_APPLY));
    // Back to the value read: Apply stays enabled, the text keeps to one line.
    asio.Move(IDC_ASIO_SLIDER, 42);
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "5.2 ms");
    EXPECT_TRUE(asio.Enabled(IDC_ASIO_APPLY));
    EXPECT_FALSE(asio.Enabled(IDC_WDM_APPLY));
    EXPECT_TRUE(Requests().empty()) << "nothing is sent before Apply";

    asio.page.RefreshAsioSettings();
    for (int apply : {IDC_STREAM_APPLY, IDC_ASIO_APPLY, IDC_WDM_APPLY})
        EXPECT_FALSE(asio.Enabled(apply)) << apply;
    EXPECT_EQ(asio.Text(IDC_STREAM_VALUE), "2000 " + kMicroseconds);
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "5.2 ms\n252 samples");
}

TEST_F(AsioSettingsPage, EachApplySendsItsRecordAsReadWithOnlyCurrentChanged) {
    RunningPanel panel("", R"({"streamBufferDepth": {"minimum": 1000, "reserved": "0x5a5a0001",
                                                     "step": 125, "current": 2000}})");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    const std::vector<std::string> rereads = {kGetStreamDepth, kGetAsioDepth, kGetWdmDepth};
    auto with = [&](std::vector<std::string> codes) {
        codes.insert(codes.end(), rereads.begin(), rereads.end());
        return codes;
    };

    // WDM: set, then stop and restart streaming, then everything is read again.
    asio.Move(IDC_WDM_SLIDER, 11);
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(asio.page.m_hWnd, IDC_WDM_APPLY));
    std::vector<Request> requests = Requests();
    EXPECT_EQ(Codes(requests), with({kSetWdmDepth, kStopStreaming, kStartStreaming}));
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].in, HexWords({11000, 2000, 1000, 480}));
    EXPECT_EQ(requests[0].status, "0x00000000");
    EXPECT_EQ(asio.Text(IDC_WDM_VALUE), "11.0 ms\n528 samples");
    EXPECT_FALSE(asio.Enabled(IDC_WDM_APPLY));

    // ASIO: the set alone; streaming goes on.
    asio.Move(IDC_ASIO_SLIDER, 48);
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(asio.page.m_hWnd, IDC_ASIO_APPLY));
    requests = Requests();
    EXPECT_EQ(Codes(requests), with({kSetAsioDepth}));
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].in, HexWords({6000, 1000, 125, 252}));
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "6.0 ms\n288 samples");
    EXPECT_FALSE(asio.Enabled(IDC_ASIO_APPLY));

    // Stream: Reserved goes back as read.
    asio.Move(IDC_STREAM_SLIDER, 24);
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(asio.page.m_hWnd, IDC_STREAM_APPLY));
    requests = Requests();
    EXPECT_EQ(Codes(requests), with({kSetStreamDepth, kStopStreaming, kStartStreaming}));
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].in, HexWords({1000, 0x5a5a0001, 125, 3000}));
    EXPECT_EQ(asio.Text(IDC_STREAM_VALUE), "3000 " + kMicroseconds);
    EXPECT_EQ(asio.Slider(IDC_STREAM_SLIDER).position, 24);
}

TEST_F(AsioSettingsPage, ADepthBetweenStepsShowsTheLowerStepWithApplyEnabled) {
    RunningPanel panel("",
                       R"({"raw": {"0x80882a88": ")" + HexWords({5300, 1000, 125, 254}) + R"("}})");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    EXPECT_EQ(asio.Slider(IDC_ASIO_SLIDER).position, 42);
    EXPECT_EQ(asio.page.m_asioDepth.Current, 5250u);
    EXPECT_TRUE(asio.Enabled(IDC_ASIO_APPLY));
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "5.2 ms");
    EXPECT_FALSE(asio.Enabled(IDC_STREAM_APPLY));
    EXPECT_FALSE(asio.Enabled(IDC_WDM_APPLY));
}

TEST_F(AsioSettingsPage, AFailedReadOrAZeroStepDisablesOnlyThatSlider) {
    // Step 0 could not be put on a slider without dividing by zero.
    RunningPanel panel("",
                       R"({"raw": {"0x80882a88": ")" + HexWords({5250, 1000, 0, 252}) + R"("}})");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    EXPECT_FALSE(asio.Enabled(IDC_ASIO_SLIDER));
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "");
    EXPECT_FALSE(asio.Enabled(IDC_ASIO_APPLY));
    EXPECT_TRUE(asio.Enabled(IDC_STREAM_SLIDER));
    EXPECT_EQ(asio.Text(IDC_WDM_VALUE), "10.0 ms\n480 samples");
    // Its Apply cannot send what the page failed to use.
    sim::Simulator::Instance().ClearTrace();
    ::SendMessageA(asio.page.m_hWnd, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                   reinterpret_cast<LPARAM>(asio.Item(IDC_ASIO_SLIDER)));
    EXPECT_FALSE(asio.Enabled(IDC_ASIO_APPLY));
    EXPECT_EQ(asio.Text(IDC_ASIO_VALUE), "");

    // All three reads fail: nothing is enabled and every value text is empty.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882a80 0x0000001f -1"));
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882a90 0x0000001f -1"));
    asio.page.RefreshAsioSettings();
    asio.Tick(CDlgPgASIOSettings::STATISTICS_TIMER_ID);  // the next copy into the controls
    for (int id : {IDC_STREAM_SLIDER, IDC_ASIO_SLIDER, IDC_WDM_SLIDER, IDC_STREAM_APPLY,
                   IDC_ASIO_APPLY, IDC_WDM_APPLY})
        EXPECT_FALSE(asio.Enabled(id)) << id;
    for (int id : {IDC_STREAM_VALUE, IDC_ASIO_VALUE, IDC_WDM_VALUE})
        EXPECT_EQ(asio.Text(id), "") << id;
}

TEST_F(AsioSettingsPage, StatisticsTimerRunsOnlyWhileShownAndOtherTicksPassOn) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    HWND page = asio.page.m_hWnd;
    EXPECT_EQ(asio.page.m_timerId, CDlgPgASIOSettings::STATISTICS_TIMER_ID);
    // The timer exists: killing it succeeds once (and it is started again for the page).
    EXPECT_TRUE(::KillTimer(page, CDlgPgASIOSettings::STATISTICS_TIMER_ID));
    ::SetTimer(page, CDlgPgASIOSettings::STATISTICS_TIMER_ID, 1000, nullptr);

    // Each tick reads the statistics once and shows the drop-outs.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("dropouts 4294967295"));
    sim::Simulator::Instance().ClearTrace();
    asio.Tick(CDlgPgASIOSettings::STATISTICS_TIMER_ID);
    EXPECT_EQ(Codes(Requests()), (std::vector<std::string>{kGetStatistics}));
    EXPECT_EQ(asio.Text(IDC_DROPOUTS), "4294967295");
    // A tick of another timer is not the page's.
    sim::Simulator::Instance().ClearTrace();
    asio.Tick(5);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(asio.Text(IDC_DROPOUTS), "4294967295");
    // A failed read empties the count.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882ac8 0x0000001f 1"));
    asio.Tick(CDlgPgASIOSettings::STATISTICS_TIMER_ID);
    EXPECT_EQ(asio.Text(IDC_DROPOUTS), "");

    // Hidden: no timer, and the depths were read again.
    sim::Simulator::Instance().ClearTrace();
    asio.Select("Devices");
    EXPECT_FALSE(asio.page.IsWindowVisible());
    EXPECT_EQ(asio.page.m_timerId, 0u);
    EXPECT_FALSE(::KillTimer(page, CDlgPgASIOSettings::STATISTICS_TIMER_ID));
    EXPECT_EQ(CountOf(Requests(), kGetAsioDepth), 1u);
    // Shown again: one timer again; a second show while shown starts no other.
    asio.Select("Settings");
    EXPECT_EQ(asio.page.m_timerId, CDlgPgASIOSettings::STATISTICS_TIMER_ID);
    ::SendMessageA(page, WM_SHOWWINDOW, TRUE, 0);
    EXPECT_EQ(asio.page.m_timerId, CDlgPgASIOSettings::STATISTICS_TIMER_ID);
    EXPECT_TRUE(::KillTimer(page, CDlgPgASIOSettings::STATISTICS_TIMER_ID));
    EXPECT_FALSE(::KillTimer(page, CDlgPgASIOSettings::STATISTICS_TIMER_ID));
    ::SetTimer(page, CDlgPgASIOSettings::STATISTICS_TIMER_ID, 1000, nullptr);
}

TEST_F(AsioSettingsPage, TheNoteIsOnTheFourAsioControlsOnly) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    AsioPageUnderTest asio(panel);
    ASSERT_TRUE(asio.created);
    HWND tip = asio.page.m_toolTip.m_hWnd;
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(::GetWindowLongA(tip, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 180);
    ASSERT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 4);
    std::vector<HWND> tools;
    for (int i = 0; i < 4; ++i) {
        char text[256] = "";
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.lpszText = text;
        ASSERT_TRUE(::SendMessageA(tip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i),
                                   reinterpret_cast<LPARAM>(&tool)));
        EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
        tools.push_back(reinterpret_cast<HWND>(tool.uId));
        // A tooltip may hand a tool's text back cut to about 80 characters.
        const std::string note =
            "Note: Some applications such as ProTools 9 may round up samples to the next "
            "power of 2.";
        const std::string shown = text;
        EXPECT_GE(shown.size(), 79u);
        EXPECT_EQ(note.compare(0, shown.size(), shown), 0) << shown;
    }
    EXPECT_EQ(tools, (std::vector<HWND>{asio.Item(IDC_ASIO_APPLY), asio.Item(IDC_ASIO_SLIDER),
                                        asio.Item(IDC_ASIO_VALUE), asio.Item(IDC_ASIO_LABEL)}));
}

}  // namespace
}  // namespace uitest
