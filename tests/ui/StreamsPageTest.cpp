// The Streams page over the simulated driver: plug cells, the selected device's detail and
// the streaming summary in status-bar pane 3.
#include <string>
#include <vector>

#include "PageRequestTrace.h"
#include "PanelTestFixture.h"
#include "model/Drv.h"
#include "pages/DlgPgStreams.h"

namespace uitest {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The view's Streams page: created and refreshed with the others, though no tree item shows it.
class StreamsPageUnderTest {
  public:
    explicit StreamsPageUnderTest(RunningPanel& panel)
        : page(panel.View()->m_pageStreams), m_panel(panel) {}
    Rows ListedRows() const { return ListRows(page.m_streamList.m_hWnd, 5); }
    std::string Detail() const { return ControlText(page.m_hWnd, IDC_STREAM_DETAIL); }
    std::string Summary() const { return PaneText(m_panel.Frame()->m_wndStatusBar.m_hWnd, 3); }
    int Selected() const { return page.m_streamList.GetSelectedIndex(); }

    CDlgPgStreams& page;

  private:
    RunningPanel& m_panel;
};

const std::string kRates = "Supported sampling rates (Hz): ";

std::string Connected(const std::string& label, int stream, const std::string& rates) {
    return label +
           ": successfully connected\n   Isochronous stream number: " + std::to_string(stream) +
           "\n   " + kRates + rates;
}

using StreamsPage = PanelTest;

TEST_F(StreamsPage, ListsEveryDevicesPlugsWithTheSelectedDevicesDetail) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    StreamsPageUnderTest streams(panel);
    ASSERT_NE(streams.page.m_hWnd, nullptr);
    const Rows expected = {{"Studio Interface", "connected (0)", "connected (1)", "", ""},
                           {"Portable Interface", "connected (2)", "connected (3)", "", ""},
                           {"Preamp Rack", "connected (4)", "connected (5)", "connect failed", ""}};
    EXPECT_EQ(streams.ListedRows(), expected);
    EXPECT_TRUE(streams.page.m_streamList.GetExtendedStyle() & 0x31);
    EXPECT_EQ(streams.page.m_streamList.GetItemData(2), 2u);
    // The Synch plugs are not connected and do not count.
    EXPECT_EQ(streams.Summary(), "streaming");

    // Nothing was selected before: row 0 is, and its detail is shown.
    EXPECT_EQ(streams.Selected(), 0);
    const std::string studio = "44100  [48000]  88200  96000  ";
    EXPECT_EQ(streams.Detail(), Connected("AudioOutPlug", 0, studio) + "\n" +
                                    Connected("AudioInPlug", 1, studio) + "\n\n");

    streams.page.m_streamList.SelectRow(2);
    EXPECT_EQ(streams.Detail(),
              Connected("AudioOutPlug", 4, studio) + "\n" + Connected("AudioInPlug", 5, studio) +
                  "\nSynchOutPlug: connect failed (Error code 0xE0000073: Bandwidth allocation "
                  "failed.)\n   " +
                  kRates + "44100  48000  88200  96000  \n");
}

TEST_F(StreamsPage, AFailedAudioPlugMakesTheSummaryConnectFailed) {
    RunningPanel panel("", R"({"devices": [
        {"id": "0x1001", "rank": 0, "name": "Good",
         "streams": {"plugs": [
            {"state": 3, "streamNumber": 0, "currentRate": 48000, "rates": [48000]},
            {"state": 3, "streamNumber": 1, "currentRate": 48000, "rates": [48000]},
            {"state": 0}, {"state": 0}]}},
        {"id": "0x1002", "rank": 1, "name": "Broken",
         "streams": {"plugs": [
            {"state": 3, "streamNumber": 63, "currentRate": 48000, "rates": [44100]},
            {"state": 4, "errorCode": "0xE0000099", "rates": [44100, 22050]},
            {"state": 7, "streamNumber": 9}, {"state": 2}]}}]})");
    ASSERT_TRUE(panel.Started());
    StreamsPageUnderTest streams(panel);
    const Rows expected = {{"Good", "connected (0)", "connected (1)", "", ""},
                           {"Broken", "connected (63)", "connect failed", "", ""}};
    EXPECT_EQ(streams.ListedRows(), expected);
    EXPECT_EQ(streams.Summary(), "connect failed");

    streams.page.m_streamList.SelectRow(1);
    // A code without a text of its own ends in the colon; the current rate is not offered, so
    // no rate is marked.
    EXPECT_EQ(streams.Detail(), Connected("AudioOutPlug", 63, "44100  ") +
                                    "\nAudioInPlug: connect failed (Error code 0xE0000099: )\n   " +
                                    kRates + "44100  unknown    \n\n");

    // A device whose stream record cannot be read keeps its row, empty, and counts for nothing.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882928 0x0000001f 1 1"));
    streams.page.RefreshStreams();
    EXPECT_EQ(streams.ListedRows()[1], (std::vector<std::string>{"Broken", "", "", "", ""}));
    EXPECT_EQ(streams.Summary(), "streaming");
    // The selection stayed on row 1, whose record is read again for the detail.
    EXPECT_EQ(streams.Selected(), 1);
    EXPECT_NE(streams.Detail(), "");
}

TEST_F(StreamsPage, WithoutDevicesOrWithoutTheDriverThereAreNoStreams) {
    RunningPanel none("", R"({"devices": []})");
    ASSERT_TRUE(none.Started());
    StreamsPageUnderTest streams(none);
    EXPECT_TRUE(streams.ListedRows().empty());
    EXPECT_EQ(streams.Detail(), "");
    EXPECT_EQ(streams.Summary(), "no streams available");
    EXPECT_EQ(streams.Selected(), -1);

    // The device list loads, but one device record fails: the whole list stays empty.
    ASSERT_TRUE(sim::Simulator::Instance().Execute(
        R"(add-device {"id": "0x1009", "rank": 0, "name": "Late"})"));
    streams.page.RefreshStreams();
    EXPECT_EQ(streams.ListedRows().size(), 1u);
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882920 0x0000001f 1"));
    streams.page.RefreshStreams();
    EXPECT_TRUE(streams.ListedRows().empty());
    EXPECT_EQ(streams.Detail(), "");
    EXPECT_EQ(streams.Summary(), "no streams available");
}

TEST_F(StreamsPage, SelectionIsKeptByIndexAndClampedToRowZero) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    StreamsPageUnderTest streams(panel);
    streams.page.m_streamList.SelectRow(1);
    streams.page.RefreshStreams();
    EXPECT_EQ(streams.Selected(), 1);
    EXPECT_EQ(streams.Detail().rfind("AudioOutPlug: successfully connected\n"
                                     "   Isochronous stream number: 2\n",
                                     0),
              0u);

    streams.page.m_streamList.SelectRow(2);
    ASSERT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1003"));
    streams.page.RefreshStreams();
    EXPECT_EQ(streams.ListedRows().size(), 2u);
    EXPECT_EQ(streams.Selected(), 0);
    EXPECT_EQ(streams.page.m_streamList.GetItemState(0, LVIS_FOCUSED),
              static_cast<UINT>(LVIS_FOCUSED));
    EXPECT_EQ(streams.Detail().rfind("AudioOutPlug: successfully connected\n"
                                     "   Isochronous stream number: 0\n",
                                     0),
              0u);
}

TEST_F(StreamsPage, ARowWhoseDeviceRecordIsGoneGetsNoDetail) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    StreamsPageUnderTest streams(panel);
    // Another page reloads the devices after two have left; the list still has three rows.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1002"));
    ASSERT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1003"));
    ASSERT_EQ(theDrv.LoadDevices(), 0u);
    ASSERT_EQ(theDrv.m_devices.GetSize(), 1);
    streams.page.m_streamList.SelectRow(2);
    EXPECT_EQ(streams.Detail(), "");
    streams.page.m_streamList.SelectRow(0);
    EXPECT_NE(streams.Detail(), "");
}

TEST_F(StreamsPage, RateCountsPastTheRecordListOnlyItsEightRates) {
    _VESK_STREAM_INFO info{};
    info.Plugs[0].State = PLUG_STATE_CONNECTED;
    info.Plugs[0].StreamNumber = 63;
    info.Plugs[0].CurrentRate = 192000;
    info.Plugs[0].RateCount = 1000;
    const uint32_t rates[] = {32000, 44100, 48000, 88200, 96000, 176400, 192000, 22050};
    for (uint32_t i = 0; i < VESK_MAX_PLUG_RATES; ++i) info.Plugs[0].Rates[i] = rates[i];
    RunningPanel panel("", R"({"raw": {"0x80882928": ")" + Hex(&info, sizeof info) + R"("}})");
    ASSERT_TRUE(panel.Started());
    StreamsPageUnderTest streams(panel);
    EXPECT_EQ(streams.ListedRows()[0],
              (std::vector<std::string>{"Studio Interface", "connected (63)", "", "", ""}));
    // Not every device streams: the Audio In plugs are empty.
    EXPECT_EQ(streams.Summary(), "connect failed");
    EXPECT_EQ(streams.Detail(),
              Connected("AudioOutPlug", 63,
                        "32000  44100  48000  88200  96000  176400  [192000]  unknown    ") +
                  "\n\n\n");
}

}  // namespace
}  // namespace uitest
