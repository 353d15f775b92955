// The Devices page over the simulated driver: its list and buttons, moving rows and storing
// the ranking, renaming, and names shown as the driver holds them.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>

#include "PageRequestTrace.h"
#include "PanelTestFixture.h"
#include "res/StringIds.h"

namespace uitest {
namespace {

constexpr char kGetDeviceList[] = "0x80882860";
constexpr char kGetDeviceProperties[] = "0x80882920";
constexpr char kSetDeviceProperties[] = "0x80882924";
constexpr char kGetChannelList[] = "0x80882864";
// Hex offsets into a device record: the name field's 40 bytes start at byte 8.
constexpr size_t kNameHex = 8 * 2;
constexpr size_t kNameFieldHex = 40 * 2;

const std::string kLongName = "A name that is forty-five characters long...!";
static_assert(sizeof "A name that is forty-five characters long...!" == 46);

std::vector<Request> RequestsWithCode(const std::string& code) {
    std::vector<Request> matching;
    for (const Request& request : Requests())
        if (request.code == code) matching.push_back(request);
    return matching;
}

// The device records as last read, by identifier (hex of the identifier's four bytes).
std::map<std::string, std::string> RecordsRead() {
    std::map<std::string, std::string> records;
    for (const Request& request : RequestsWithCode(kGetDeviceProperties))
        if (request.status == "0x00000000") records[request.in] = request.out;
    return records;
}

// `record` with its name field holding `name` as the panel's rename copy writes it: the
// characters, a zero, the old bytes, and a zero in the field's last byte.
std::string WithName(std::string record, const std::string& name) {
    const std::string text = Hex(name.data(), name.size()) + "00";
    record.replace(kNameHex, text.size(), text);
    record.replace(kNameHex + kNameFieldHex - 2, 2, "00");
    return record;
}

std::string WithRank(std::string record, uint32_t rank) {
    record.replace(8, 8, HexWords({rank}));
    return record;
}

bool Enabled(const CWnd& control) {
    return ::IsWindowEnabled(control.m_hWnd) != FALSE;
}

bool Shown(const CWnd& control) {
    return (::GetWindowLongA(control.m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

struct Buttons {
    bool edit, up, down, hint, apply;
    bool operator==(const Buttons& o) const {
        return edit == o.edit && up == o.up && down == o.down && hint == o.hint && apply == o.apply;
    }
};

std::ostream& operator<<(std::ostream& out, const Buttons& b) {
    return out << "edit " << b.edit << " up " << b.up << " down " << b.down << " hint " << b.hint
               << " apply " << b.apply;
}

Buttons ButtonsOf(const CDlgPgDevices& page) {
    return {Enabled(page.m_editNameButton), Enabled(page.m_upButton), Enabled(page.m_downButton),
            Shown(page.m_hintStatic), Enabled(page.m_applyButton)};
}

using Rows = std::vector<std::vector<std::string>>;

Rows DeviceRows(const CDlgPgDevices& page) {
    return ListRows(page.m_deviceList.m_hWnd, 2);
}

void DoubleClickList(const CDlgPgDevices& page) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = page.m_deviceList.m_hWnd;
    click.hdr.idFrom = IDC_DEVICE_LIST;
    click.hdr.code = NM_DBLCLK;
    click.iItem = -1;  // the row under the mouse plays no part
    ::SendMessageA(page.m_hWnd, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&click));
}

// Answers the name dialog: notes its title and text, then types `typed` and presses OK, or
// cancels when there is nothing to type.
struct NameDialogAnswer {
    std::string title, shown;
    std::optional<std::string> typed;
    std::unique_ptr<ModalAnswerer> answerer;
    explicit NameDialogAnswer(std::optional<std::string> text) : typed(std::move(text)) {
        answerer = std::make_unique<ModalAnswerer>([this](HWND dialog) {
            title = WindowText(dialog);
            shown = ControlText(dialog, IDC_DEVICE_NAME_EDIT);
            if (!typed) {
                ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            ::SetWindowTextA(::GetDlgItem(dialog, IDC_DEVICE_NAME_EDIT), typed->c_str());
            ClickButton(dialog, IDOK);
        });
    }
};

using DevicesPage = PanelTest;

TEST_F(DevicesPage, ButtonsFollowTheSelectionAndApplyStoresTheRowOrderAsRanking) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    CDlgPgDevices& page = view.m_pageDevices;
    CListCtrlEx& list = page.m_deviceList;

    for (int column = 0; column < 2; ++column) {
        char header[64] = "";
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        lvc.pszText = header;
        lvc.cchTextMax = sizeof header;
        ASSERT_TRUE(
            ::SendMessageA(list.m_hWnd, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&lvc)));
        EXPECT_EQ(std::string(header), column == 0 ? "Device name" : "Serial number");
        EXPECT_EQ(lvc.cx, column == 0 ? 235 : 220);
        EXPECT_EQ(lvc.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(list.GetExtendedStyle() & 0x31u, 0x31u);
    EXPECT_EQ(ControlText(page.m_hWnd, IDC_DEVICE_HINT),
              LoadStringText(vesk::IDS_DEVICES_HINT).str());
    const Rows demo = {{"Studio Interface", "SN-000123"},
                       {"Portable Interface", "SN-004711"},
                       {"Preamp Rack", "SN-010582"}};
    EXPECT_EQ(DeviceRows(page), demo);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(list.GetItemData(row), static_cast<DWORD_PTR>(row));
    EXPECT_EQ(PaneText(panel.Frame()->m_wndStatusBar.m_hWnd, 1), "3 Device(s) connected.");

    EXPECT_EQ(ButtonsOf(page), (Buttons{false, false, false, false, false}));
    list.SelectRow(0);
    EXPECT_EQ(ButtonsOf(page), (Buttons{true, false, true, true, false}));
    list.SelectRow(2);
    EXPECT_EQ(ButtonsOf(page), (Buttons{true, true, false, true, false}));

    // Moving the third row up twice puts it first; the driver hears nothing of it.
    const std::map<std::string, std::string> read = RecordsRead();
    ASSERT_EQ(read.size(), 3u);
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_UP));
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_UP));
    EXPECT_FALSE(ClickButton(page.m_hWnd, IDC_DEVICE_UP));
    EXPECT_EQ(DeviceRows(page), (Rows{demo[2], demo[0], demo[1]}));
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_EQ(list.GetItemData(0), 2u);
    EXPECT_EQ(ButtonsOf(page), (Buttons{true, false, true, true, true}));
    EXPECT_TRUE(Requests().empty());

    // Apply sends every record in the model's order, each with its row as rank and every
    // other byte as it was read; then the list shows the driver's new order.
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_APPLY));
    const std::vector<Request> requests = Requests();
    const std::vector<Request> sets = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].in, WithRank(read.at(HexWords({0x1001})), 1));
    EXPECT_EQ(sets[1].in, WithRank(read.at(HexWords({0x1002})), 2));
    EXPECT_EQ(sets[2].in, WithRank(read.at(HexWords({0x1003})), 0));
    EXPECT_EQ(DeviceRows(page), (Rows{demo[2], demo[0], demo[1]}));
    EXPECT_EQ(list.GetItemData(0), 0u);
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_FALSE(Enabled(page.m_applyButton));
    // The list is read again first, then both Channels pages.
    std::vector<std::string> order;
    for (const Request& request : requests)
        if (request.code == kSetDeviceProperties || request.code == kGetDeviceList ||
            request.code == kGetChannelList)
            if (order.empty() || order.back() != request.code) order.push_back(request.code);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], kSetDeviceProperties);
    EXPECT_EQ(order[1], kGetDeviceList);
    EXPECT_EQ(order[2], kGetChannelList);
    EXPECT_EQ(CountOf(requests, kGetChannelList), 2u);
    EXPECT_EQ(ListRows(view.m_pageInputChannels.m_channelList.m_hWnd, 1)[0][0], "Preamp Rack");
    EXPECT_EQ(ListRows(view.m_pageOutputChannels.m_channelList.m_hWnd, 1)[0][0], "Preamp Rack");

    // Down and back up again leaves the order as it was: Apply sends every record all the
    // same, each with the rank of its row.
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_DOWN));
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_UP));
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_APPLY));
    const std::vector<Request> again = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again[0].in.substr(0, 16), HexWords({0x1003, 0}));
    EXPECT_EQ(again[1].in.substr(0, 16), HexWords({0x1001, 1}));
    EXPECT_EQ(again[2].in.substr(0, 16), HexWords({0x1002, 2}));
}

TEST_F(DevicesPage, SelectionSurvivesARefreshOnlyWhileItsRowExists) {
    RunningPanel panel("", R"({"devices": [{"id": "0x1001", "rank": 0, "name": "Solo",
                                            "serial": "S-1"}]})");
    ASSERT_TRUE(panel.Started());
    CDlgPgDevices& page = panel.View()->m_pageDevices;
    CListCtrlEx& list = page.m_deviceList;
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    list.SelectRow(0);
    EXPECT_EQ(ButtonsOf(page), (Buttons{true, false, false, false, false}));

    // A second device comes: the first row stays selected and can move down.
    sim::Simulator& simulator = sim::Simulator::Instance();
    ASSERT_TRUE(simulator.Execute(
        R"(add-device {"id": "0x1005", "rank": 1, "name": "Second", "serial": "S-2"})"));
    ASSERT_TRUE(PumpUntil([&] { return list.GetItemCount() == 2; }));
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_EQ(ButtonsOf(page), (Buttons{true, false, true, true, false}));
    EXPECT_EQ(PaneText(bar, 1), "2 Device(s) connected.");

    // The selected second row goes: nothing is selected afterwards.
    list.SelectRow(1);
    ASSERT_TRUE(simulator.Execute("remove-device 0x1005"));
    ASSERT_TRUE(PumpUntil([&] { return list.GetItemCount() == 1; }));
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    EXPECT_EQ(ButtonsOf(page), (Buttons{false, false, false, false, false}));
    EXPECT_EQ(PaneText(bar, 1), "1 Device(s) connected.");
}

TEST_F(DevicesPage, AFailedReloadEmptiesTheListButApplyStillSendsWhatWasRead) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CDlgPgDevices& page = panel.View()->m_pageDevices;
    page.m_deviceList.SelectRow(0);
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_DOWN));
    ASSERT_TRUE(Enabled(page.m_applyButton));

    // The second device's record cannot be read on the next refresh.
    sim::Simulator& simulator = sim::Simulator::Instance();
    ASSERT_TRUE(simulator.Execute("fail 0x80882920 0x0000001f 1 1"));
    page.RefreshDevices();
    EXPECT_EQ(page.m_deviceList.GetItemCount(), 0);
    EXPECT_EQ(PaneText(panel.Frame()->m_wndStatusBar.m_hWnd, 1), "2 Device(s) connected.");
    EXPECT_EQ(ButtonsOf(page), (Buttons{false, false, false, false, true}));
    const std::map<std::string, std::string> read = RecordsRead();

    simulator.ClearTrace();
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_APPLY));
    const std::vector<Request> sets = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].in, read.at(HexWords({0x1001})));
    EXPECT_EQ(sets[1].in, read.at(HexWords({0x1003})));
    EXPECT_EQ(page.m_deviceList.GetItemCount(), 3);

    // Without a connection the list is empty and the count is zero.
    ASSERT_TRUE(simulator.Execute("unload"));
    page.RefreshDevices();
    EXPECT_EQ(page.m_deviceList.GetItemCount(), 0);
    EXPECT_EQ(PaneText(panel.Frame()->m_wndStatusBar.m_hWnd, 1), "0 Device(s) connected.");
}

TEST_F(DevicesPage, RenameSendsTheWholeRecordBackWithOnlyTheNameChanged) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    CDlgPgDevices& page = view.m_pageDevices;
    const std::map<std::string, std::string> read = RecordsRead();
    const std::string studio = read.at(HexWords({0x1001}));
    // The bytes past the serial number's text are the scenario's own.
    ASSERT_NE(studio.substr(48 * 2 + 64 * 2, 12), "000000000000");
    sim::Simulator& simulator = sim::Simulator::Instance();

    // Cancel sends nothing.
    page.m_deviceList.SelectRow(0);
    simulator.ClearTrace();
    {
        NameDialogAnswer answer(std::nullopt);
        ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_EDIT_NAME));
        EXPECT_EQ(answer.title, "Edit Device Name");
        EXPECT_EQ(answer.shown, "Studio Interface");
    }
    EXPECT_TRUE(Requests().empty());

    // A 45-character name is stored with its first 39.
    {
        NameDialogAnswer answer(kLongName);
        ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_EDIT_NAME));
        ASSERT_TRUE(answer.answerer->Answered());
    }
    std::vector<Request> sets = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].in, WithName(studio, kLongName.substr(0, 39)));
    EXPECT_EQ(DeviceRows(page)[0][0], kLongName.substr(0, 39));
    EXPECT_EQ(page.m_deviceList.GetSelectedIndex(), 0);
    // Both Channels pages follow the new name.
    EXPECT_EQ(ListRows(view.m_pageInputChannels.m_channelList.m_hWnd, 1)[0][0],
              kLongName.substr(0, 39));
    EXPECT_EQ(ListRows(view.m_pageOutputChannels.m_channelList.m_hWnd, 1)[0][0],
              kLongName.substr(0, 39));

    // An empty text gives an empty name.
    simulator.ClearTrace();
    {
        NameDialogAnswer answer("");
        ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_EDIT_NAME));
        EXPECT_EQ(answer.shown, kLongName.substr(0, 39));
    }
    sets = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].in.substr(kNameHex, 2), "00");
    EXPECT_EQ(DeviceRows(page)[0][0], "");
}

TEST_F(DevicesPage, RenameAfterUnappliedMovesCarriesTheModelsRankAndRebuildsTheList) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CDlgPgDevices& page = panel.View()->m_pageDevices;
    const std::string preamp = RecordsRead().at(HexWords({0x1003}));
    page.m_deviceList.SelectRow(2);
    ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_UP));
    ASSERT_EQ(page.m_deviceList.GetSelectedIndex(), 1);

    sim::Simulator::Instance().ClearTrace();
    {
        // A double click renames the selected row, wherever the mouse is.
        NameDialogAnswer answer("Rack");
        DoubleClickList(page);
        EXPECT_EQ(answer.shown, "Preamp Rack");
    }
    const std::vector<Request> sets = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].in, WithName(preamp, "Rack"));  // rank 2, as read
    EXPECT_EQ(DeviceRows(page), (Rows{{"Studio Interface", "SN-000123"},
                                      {"Portable Interface", "SN-004711"},
                                      {"Rack", "SN-010582"}}));
    EXPECT_TRUE(Enabled(page.m_applyButton));

    // Nothing selected: neither a double click nor the button opens the dialog.
    page.m_deviceList.SetItemState(1, 0, LVIS_SELECTED);
    ASSERT_EQ(page.m_deviceList.GetSelectedIndex(), -1);
    NameDialogAnswer never(std::nullopt);
    DoubleClickList(page);
    ::SendMessageA(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEVICE_EDIT_NAME, BN_CLICKED),
                   reinterpret_cast<LPARAM>(page.m_editNameButton.m_hWnd));
    EXPECT_FALSE(never.answerer->Answered());
}

TEST_F(DevicesPage, NamesAreShownAsStoredAndNeverBeyondTheirFields) {
    {
        RunningPanel panel("", R"({"devices": [{"id": "0x1001", "rank": 0,
                                  "name": "100% & <%s> %n &&", "serial": "%d&S"}]})");
        ASSERT_TRUE(panel.Started());
        CDlgPgDevices& page = panel.View()->m_pageDevices;
        EXPECT_EQ(DeviceRows(page), (Rows{{"100% & <%s> %n &&", "%d&S"}}));
        page.m_deviceList.SelectRow(0);
        NameDialogAnswer answer(std::nullopt);
        ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_EDIT_NAME));
        EXPECT_EQ(answer.shown, "100% & <%s> %n &&");
    }

    // A driver that fills the name and serial fields to their ends without a zero byte.
    const std::string record = HexWords({0x1001, 0}) + Hex(std::string(40, 'A').data(), 40) +
                               Hex(std::string(384, 'B').data(), 384);
    RunningPanel panel("", R"({"raw": {"0x80882920": ")" + record + R"("}})");
    ASSERT_TRUE(panel.Started());
    CDlgPgDevices& page = panel.View()->m_pageDevices;
    const std::vector<std::string> expected = {std::string(40, 'A'), std::string(384, 'B')};
    EXPECT_EQ(DeviceRows(page), (Rows{expected, expected, expected}));

    // Renaming such a record keeps the field terminated.
    page.m_deviceList.SelectRow(0);
    sim::Simulator::Instance().ClearTrace();
    {
        NameDialogAnswer answer(std::string(40, 'A'));
        ASSERT_TRUE(ClickButton(page.m_hWnd, IDC_DEVICE_EDIT_NAME));
        EXPECT_EQ(answer.shown, std::string(40, 'A'));
    }
    const std::vector<Request> sets = RequestsWithCode(kSetDeviceProperties);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].in, WithName(record, std::string(39, 'A')));
}

}  // namespace
}  // namespace uitest
