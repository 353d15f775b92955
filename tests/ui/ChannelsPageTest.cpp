// The two Channels pages over the simulated driver: their lists and display names, the
// include-device-name box kept in step on both, the hardware-name field, and renaming.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "PageRequestTrace.h"
#include "PanelTestFixture.h"

namespace uitest {
namespace {

constexpr char kSetAsioNameIncludesDevice[] = "0x80882814";
constexpr char kGetChannelList[] = "0x80882864";
constexpr char kGetChannelProperties[] = "0x80882980";
constexpr char kSetChannelProperties[] = "0x80882984";
// Hex offset of the 40-byte channel name field in a channel record.
constexpr size_t kChannelNameHex = 52 * 2;

using Rows = std::vector<std::vector<std::string>>;

Rows ChannelRows(const CDlgPgChannels& page) {
    return ListRows(page.m_channelList.m_hWnd, 3);
}

bool Enabled(const CWnd& control) {
    return ::IsWindowEnabled(control.m_hWnd) != FALSE;
}

// The Edit Channel Name button, the caption and the field: enabled, and the field's text.
struct Selection {
    bool button, caption, field;
    std::string text;
    bool operator==(const Selection& o) const {
        return button == o.button && caption == o.caption && field == o.field && text == o.text;
    }
};

std::ostream& operator<<(std::ostream& out, const Selection& s) {
    return out << "button " << s.button << " caption " << s.caption << " field " << s.field
               << " text '" << s.text << "'";
}

Selection SelectionOf(const CDlgPgChannels& page) {
    return {Enabled(page.m_editNameButton), Enabled(page.m_hardwareNameCaption),
            Enabled(page.m_hardwareNameField), ControlText(page.m_hWnd, IDC_CHANNEL_HW_NAME)};
}

int BoxState(const CDlgPgChannels& page) {
    return static_cast<int>(
        ::SendMessageA(page.m_includeDeviceNameCheck.m_hWnd, BM_GETCHECK, 0, 0));
}

void Show(RunningPanel& panel, const char* item) {
    CTreeCtrlEx& tree = panel.View()->m_navigationTree;
    tree.SelectItem(FindTreeItem(tree.m_hWnd, item));
}

void DoubleClickList(const CDlgPgChannels& page) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = page.m_channelList.m_hWnd;
    click.hdr.idFrom = IDC_CHANNEL_LIST;
    click.hdr.code = NM_DBLCLK;
    click.iItem = -1;
    ::SendMessageA(page.m_hWnd, WM_NOTIFY, IDC_CHANNEL_LIST, reinterpret_cast<LPARAM>(&click));
}

// Answers the name dialog: notes its title and text, runs `beforeOk`, types `typed` and
// presses OK, or cancels when there is nothing to type.
struct NameDialogAnswer {
    std::string title, shown;
    std::optional<std::string> typed;
    std::function<void()> beforeOk;
    std::unique_ptr<ModalAnswerer> answerer;
    explicit NameDialogAnswer(std::optional<std::string> text,
                              std::function<void()> whileOpen = nullptr)
        : typed(std::move(text)), beforeOk(std::move(whileOpen)) {
        answerer = std::make_unique<ModalAnswerer>([this](HWND dialog) {
            title = WindowText(dialog);
            shown = ControlText(dialog, IDC_CHANNEL_NAME_EDIT);
            if (!typed) {
                ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            if (beforeOk) beforeOk();
            ::SetWindowTextA(::GetDlgItem(dialog, IDC_CHANNEL_NAME_EDIT), typed->c_str());
            ClickButton(dialog, IDOK);
        });
    }
};

// The channel record as last read for `channelId`.
std::string ChannelRead(uint32_t channelId) {
    std::string out;
    for (const Request& request : Requests())
        if (request.code == kGetChannelProperties && request.in == HexWords({channelId}) &&
            request.status == "0x00000000")
            out = request.out;
    return out;
}

using ChannelsPage = PanelTest;

TEST_F(ChannelsPage, ListsShowEveryChannelOfTheirDirectionAndTheSelectedHardwareName) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    CDlgPgChannels& inputs = view.m_pageInputChannels;
    CDlgPgChannels& outputs = view.m_pageOutputChannels;

    const char* const headers[] = {"Device name", "Channel name", "ASIO display name"};
    const int widths[] = {160, 160, 180};
    for (int column = 0; column < 3; ++column) {
        char header[64] = "";
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        lvc.pszText = header;
        lvc.cchTextMax = sizeof header;
        ASSERT_TRUE(::SendMessageA(outputs.m_channelList.m_hWnd, LVM_GETCOLUMNA, column,
                                   reinterpret_cast<LPARAM>(&lvc)));
        EXPECT_EQ(std::string(header), headers[column]);
        EXPECT_EQ(lvc.cx, widths[column]);
        EXPECT_EQ(lvc.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(inputs.m_channelList.GetExtendedStyle() & 0x31u, 0x31u);

    const Rows in = ChannelRows(inputs);
    ASSERT_EQ(in.size(), 18u);
    EXPECT_EQ(in[0], (std::vector<std::string>{"Studio Interface", "Vocal", "Vocal"}));
    EXPECT_EQ(in[8], (std::vector<std::string>{"Portable Interface", "Talkback", "Talkback"}));
    EXPECT_EQ(in[17], (std::vector<std::string>{"Preamp Rack", "Preamp In 8", "Preamp In 8"}));
    const Rows out = ChannelRows(outputs);
    ASSERT_EQ(out.size(), 12u);
    EXPECT_EQ(out[11], (std::vector<std::string>{"Preamp Rack", "ADAT Out 2", "ADAT Out 2"}));

    Show(panel, "Input Channels");
    EXPECT_EQ(SelectionOf(inputs), (Selection{false, false, false, ""}));
    inputs.m_channelList.SelectRow(9);
    EXPECT_EQ(SelectionOf(inputs), (Selection{true, true, true, " Mic/Line In 2"}));
    inputs.m_channelList.SetItemState(9, 0, LVIS_SELECTED);
    EXPECT_EQ(SelectionOf(inputs), (Selection{false, false, false, ""}));
    {
        NameDialogAnswer never(std::nullopt);
        DoubleClickList(inputs);
        EXPECT_FALSE(never.answerer->Answered());
    }

    // The first device's record cannot be read: its eight channels have no rows, and every
    // other row still leads to its own channel.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882920 0x0000001f 8 0"));
    inputs.RefreshChannels();
    const Rows fewer = ChannelRows(inputs);
    ASSERT_EQ(fewer.size(), 10u);
    EXPECT_EQ(fewer[0], (std::vector<std::string>{"Portable Interface", "Talkback", "Talkback"}));
    EXPECT_EQ(fewer[9], in[17]);
    EXPECT_EQ(inputs.m_channelList.GetItemData(0), 8u);
    inputs.m_channelList.SelectRow(1);
    EXPECT_EQ(SelectionOf(inputs), (Selection{true, true, true, " Mic/Line In 2"}));
}

TEST_F(ChannelsPage, IncludeDeviceNameBoxIsSentAndKeptInStepOnBothPages) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    CDlgPgChannels& inputs = view.m_pageInputChannels;
    CDlgPgChannels& outputs = view.m_pageOutputChannels;
    EXPECT_EQ(BoxState(inputs), BST_UNCHECKED);
    EXPECT_EQ(BoxState(outputs), BST_UNCHECKED);

    Show(panel, "Input Channels");
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(inputs.m_hWnd, IDC_CHANNEL_INCLUDE_DEVICE));
    // One request, and nothing read again.
    std::vector<Request> requests = Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, kSetAsioNameIncludesDevice);
    EXPECT_EQ(requests[0].in, HexWords({1}));
    EXPECT_EQ(BoxState(outputs), BST_CHECKED);
    EXPECT_EQ(outputs.m_includeDeviceName, 1);
    EXPECT_EQ(theDrv.m_asioNameIncludesDevice, 1u);
    Rows in = ChannelRows(inputs);
    Rows out = ChannelRows(outputs);
    EXPECT_EQ(in[0][2], "Studio Interface - Vocal");
    // "Portable Interface - Mic/Line In 2" is 34 characters: cut to 32.
    EXPECT_EQ(in[9][2], "Portable Interface - Mic/Line In");
    EXPECT_EQ(out[8][2], "Portable Interface - Line Out 1");

    Show(panel, "Output Channels");
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(outputs.m_hWnd, IDC_CHANNEL_INCLUDE_DEVICE));
    requests = Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].in, HexWords({0}));
    EXPECT_EQ(BoxState(inputs), BST_UNCHECKED);
    EXPECT_EQ(ChannelRows(inputs)[9][2], "Mic/Line In 2");
    EXPECT_EQ(ChannelRows(outputs)[8][2], "Line Out 1");
    // A refresh reads the channels, not the setting.
    sim::Simulator::Instance().ClearTrace();
    inputs.RefreshChannels();
    EXPECT_EQ(CountOf(Requests(), "0x80882810"), 0u);
}

TEST_F(ChannelsPage, TheDriversSettingIsReadAtStartAndAFailedReadLeavesTheBoxClear) {
    {
        RunningPanel panel("", R"({"asioNameIncludesDevice": 7})");
        ASSERT_TRUE(panel.Started());
        CDlgPgChannels& outputs = panel.View()->m_pageOutputChannels;
        EXPECT_EQ(BoxState(outputs), BST_CHECKED);
        EXPECT_EQ(outputs.m_includeDeviceName, 1);
        EXPECT_EQ(ChannelRows(outputs)[0][2], "Studio Interface - Main L");
    }
    RunningPanel panel("", R"({"asioNameIncludesDevice": 1,
        "faults": [{"code": "0x80882810", "status": "0x0000001f", "count": -1}]})");
    ASSERT_TRUE(panel.Started());
    EXPECT_EQ(BoxState(panel.View()->m_pageInputChannels), BST_UNCHECKED);
    EXPECT_EQ(ChannelRows(panel.View()->m_pageInputChannels)[0][2], "Vocal");
}

TEST_F(ChannelsPage, NamesAreShownAsStoredAndDisplayNamesCutTo32) {
    RunningPanel panel("", R"({"devices": [{"id": "0x1001", "rank": 0, "name": "Dev & 100%",
        "serial": "S", "outputs": [],
        "inputs": [{"id": "0x2001", "hardwareName": "HW %s &x",
                    "channelName": "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklm"},
                   {"id": "0x2002", "hardwareName": "In 2", "channelName": "%s & %n"}]}]})");
    ASSERT_TRUE(panel.Started());
    CDlgPgChannels& inputs = panel.View()->m_pageInputChannels;
    EXPECT_EQ(ChannelRows(inputs), (Rows{{"Dev & 100%", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklm",
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"},
                                         {"Dev & 100%", "%s & %n", "%s & %n"}}));
    EXPECT_TRUE(ChannelRows(panel.View()->m_pageOutputChannels).empty());
    Show(panel, "Input Channels");
    inputs.m_channelList.SelectRow(0);
    EXPECT_EQ(SelectionOf(inputs).text, " HW %s &x");
    ASSERT_TRUE(ClickButton(inputs.m_hWnd, IDC_CHANNEL_INCLUDE_DEVICE));
    EXPECT_EQ(ChannelRows(inputs)[1][2], "Dev & 100% - %s & %n");
    EXPECT_EQ(ChannelRows(inputs)[0][2], "Dev & 100% - ABCDEFGHIJKLMNOPQRS");
}

TEST_F(ChannelsPage, RenameSendsTheWholeRecordBackAndRefreshesOnlyThisPage) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    CDlgPgChannels& inputs = view.m_pageInputChannels;
    const std::string guitar = ChannelRead(0x2002);
    ASSERT_EQ(guitar.size(), 92u * 2);
    // The leading fields are the scenario's, not zero.
    ASSERT_NE(guitar.substr(0, 8), "00000000");
    ASSERT_NE(guitar.substr(16, 8), "00000000");
    Show(panel, "Input Channels");
    inputs.m_channelList.SelectRow(1);
    sim::Simulator& simulator = sim::Simulator::Instance();

    simulator.ClearTrace();
    {
        NameDialogAnswer cancel(std::nullopt);
        ASSERT_TRUE(ClickButton(inputs.m_hWnd, IDC_CHANNEL_EDIT_NAME));
        EXPECT_EQ(cancel.title, "Edit Channel Name");
        EXPECT_EQ(cancel.shown, "Guitar");
    }
    EXPECT_TRUE(Requests().empty());

    const std::string typed = "A channel name of forty-five characters .....";
    ASSERT_EQ(typed.size(), 45u);
    {
        NameDialogAnswer answer(typed);
        DoubleClickList(inputs);
        EXPECT_EQ(answer.shown, "Guitar");
    }
    const std::vector<Request> requests = Requests();
    std::vector<Request> sets;
    for (const Request& request : requests)
        if (request.code == kSetChannelProperties) sets.push_back(request);
    ASSERT_EQ(sets.size(), 1u);
    std::string expected = guitar;
    expected.replace(kChannelNameHex, 80, Hex(typed.data(), 39) + "00");
    EXPECT_EQ(sets[0].in, expected);
    // Only this page reads its channels again, and keeps its selected row.
    EXPECT_EQ(CountOf(requests, kGetChannelList), 1u);
    EXPECT_EQ(ChannelRows(inputs)[1][1], typed.substr(0, 39));
    EXPECT_EQ(ChannelRows(inputs)[1][2], typed.substr(0, 32));
    EXPECT_EQ(inputs.m_channelList.GetSelectedIndex(), 1);
    EXPECT_EQ(SelectionOf(inputs), (Selection{true, true, true, " Analog In 2"}));

    // When the rebuilt list has no row with the selected index, nothing is selected.
    inputs.m_channelList.SelectRow(17);
    {
        NameDialogAnswer answer(
            "Last", [&] { ASSERT_TRUE(simulator.Execute("fail 0x80882920 0x0000001f 1 0")); });
        ASSERT_TRUE(ClickButton(inputs.m_hWnd, IDC_CHANNEL_EDIT_NAME));
        EXPECT_EQ(answer.shown, "Preamp In 8");
    }
    EXPECT_EQ(inputs.m_channelList.GetItemCount(), 17);
    EXPECT_EQ(inputs.m_channelList.GetSelectedIndex(), -1);
    EXPECT_EQ(SelectionOf(inputs), (Selection{false, false, false, ""}));
    EXPECT_EQ(ChannelRows(inputs)[16][1], "Last");
}

}  // namespace
}  // namespace uitest
