// Each action of the pages, and a whole start and quit, repeated: afterwards the process holds
// exactly as many kernel handles, GDI objects and USER objects as before. (ctest label
// "stress".) Windows counts them itself; Wine answers those calls with 0, so there the
// handles come from the system's handle list, the GDI objects from the process's GDI handle
// table and the USER objects are the test thread's windows.
#include <winternl.h>

#include <oleacc.h>

#include <cstdint>
#include <vector>

#include "PageActions.h"
#include "PanelTestFixture.h"

namespace uitest {
namespace {

// The counts are compared exactly, so an action that leaks one object each time shows as a
// difference of kRepetitions; ten also catch a leak that happens only every few repetitions.
constexpr int kRepetitions = 10;
constexpr int kWarmUps = 3;  // first uses may create what is then kept (caches, classes)

struct Counts {
    long handles = 0, gdi = 0, user = 0;
    bool operator==(const Counts& other) const {
        return handles == other.handles && gdi == other.gdi && user == other.user;
    }
};

std::ostream& operator<<(std::ostream& out, const Counts& counts) {
    return out << counts.handles << " handles, " << counts.gdi << " GDI objects, " << counts.user
               << " USER objects";
}

long HandlesFromSystemList() {
    constexpr ULONG kSystemHandleInformation = 16;
    // The entries begin with the owner's process id: 16 bits on Windows, 32 under Wine; their
    // size is that of Windows' entry on both.
    struct Entry {
        uint16_t process;
        uint16_t other;
        uint8_t type, attributes;
        uint16_t value;
        void* object;
        ULONG access;
    };
    std::vector<uint8_t> buffer(1 << 22);
    ULONG size = 0;
    if (!NT_SUCCESS(NtQuerySystemInformation(
            static_cast<SYSTEM_INFORMATION_CLASS>(kSystemHandleInformation), buffer.data(),
            static_cast<ULONG>(buffer.size()), &size)))
        return -1;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    const uint16_t self = static_cast<uint16_t>(::GetCurrentProcessId());
    long owned = 0;
    for (ULONG i = 0; i < count; ++i) owned += entries[i].process == self ? 1 : 0;
    return owned;
}

// Wine's GDI handle table: 64K entries of 24 bytes, a type byte at offset 14 (0: free).
long GdiObjectsFromHandleTable() {
    PROCESS_BASIC_INFORMATION process{};
    if (!NT_SUCCESS(NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation,
                                              &process, sizeof process, nullptr)))
        return -1;
    const auto* peb = reinterpret_cast<const uint8_t*>(process.PebBaseAddress);
    constexpr size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    const auto* table = *reinterpret_cast<const uint8_t* const*>(peb + kTableOffset);
    if (table == nullptr) return -1;
    long used = 0;
    for (size_t i = 0; i < 0x10000; ++i) used += table[i * 24 + 14] != 0 ? 1 : 0;
    return used;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    ::EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

long ThreadWindows() {
    long count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

Counts CountNow() {
    PumpPending();
    Counts counts;
    HANDLE self = ::GetCurrentProcess();
    DWORD handles = 0;
    ::GetProcessHandleCount(self, &handles);
    counts.handles = handles != 0 ? static_cast<long>(handles) : HandlesFromSystemList();
    const DWORD gdi = ::GetGuiResources(self, GR_GDIOBJECTS);
    counts.gdi = gdi != 0 ? static_cast<long>(gdi) : GdiObjectsFromHandleTable();
    const DWORD user = ::GetGuiResources(self, GR_USEROBJECTS);
    counts.user = user != 0 ? static_cast<long>(user) : ThreadWindows();
    return counts;
}

class ResourceCount : public PanelTest {};

TEST_F(ResourceCount, DISABLED_StressEveryActionLeavesTheCountsAsTheyWere) {
    {
        RunningPanel panel("");
        ASSERT_TRUE(panel.Started());
        CVESK_CPLView& view = *panel.View();
        for (const PageAction& action : PageActions()) {
            SCOPED_TRACE(std::string(action.page) + ": " + action.name);
            const auto once = [&] {
                ASSERT_TRUE(sim::Simulator::Instance().LoadScenario(""));
                view.RefreshAllPages();
                action.prepare(view);
                action.act(view);
            };
            for (int i = 0; i < kWarmUps; ++i) once();
            const Counts before = CountNow();
            // A count that cannot be read would compare equal to itself.
            ASSERT_GT(before.handles, 0);
            ASSERT_GT(before.gdi, 0);
            ASSERT_GT(before.user, 0);
            for (int i = 0; i < kRepetitions; ++i) once();
            EXPECT_EQ(CountNow(), before);
        }
    }
    // A screen reader's requests: a slider's client object read and released gives back every
    // object, reference and handle it took.
    {
        RunningPanel panel("");
        ASSERT_TRUE(panel.Started());
        HWND slider = panel.View()->m_pageAsioSettings.m_streamSlider.GetSafeHwnd();
        const auto read = [&] {
            IAccessible* object = nullptr;
            ASSERT_EQ(::AccessibleObjectFromWindow(slider, static_cast<DWORD>(OBJID_CLIENT),
                                                   __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object)),
                      S_OK);
            VARIANT self;
            ::VariantInit(&self);
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR value = nullptr;
            ASSERT_EQ(object->get_accValue(self, &value), S_OK);
            EXPECT_STREQ(value, L"2000 \u00b5s");
            ::SysFreeString(value);
            object->Release();
        };
        for (int i = 0; i < kWarmUps; ++i) read();
        const Counts before = CountNow();
        const long alive = CAccessibleText::ObjectsAlive();
        for (int i = 0; i < kRepetitions; ++i) read();
        EXPECT_EQ(CountNow(), before);
        EXPECT_EQ(CAccessibleText::ObjectsAlive(), alive);
    }
    // A whole run of the panel: start and quit. The application keeps its icon for the life of
    // its process (a process runs it once); the test gives back each run's icon itself.
    const auto run = [] {
        HICON icon = nullptr;
        {
            RunningPanel panel("");
            ASSERT_TRUE(panel.Started());
            PumpPending();
            icon = panel.App().m_appIcon;
        }
        if (icon != nullptr) ::DestroyIcon(icon);
    };
    for (int i = 0; i < kWarmUps; ++i) run();
    const Counts before = CountNow();
    for (int i = 0; i < kRepetitions; ++i) run();
    EXPECT_EQ(CountNow(), before);
    std::printf(
        "after %d repetitions of each action: %ld handles, %ld GDI objects, %ld USER "
        "objects\n",
        kRepetitions, before.handles, before.gdi, before.user);
}

}  // namespace
}  // namespace uitest
