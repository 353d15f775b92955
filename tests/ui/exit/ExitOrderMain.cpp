// The panel's way out when its message loop ends while the frame still exists (a WM_QUIT from
// outside): the application object, a global built before anything the panel makes, destroys
// the frame, the view and the pages from its own destructor, after main has returned. Every
// block of this program lives on pages of its own that are taken away when it is freed, so
// that touching anything already destroyed at that point faults at once, and the test fails
// as a crash.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/TrayIcon.h"
#include "app/VESK_CPLApp.h"
#include "sim/Simulator.h"
#include "view/VESK_CPLView.h"

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHeader = 16;  // the block's page count, keeping the block 16-byte aligned
constexpr size_t kArenaBytes = size_t{512} << 20;

std::atomic<size_t> g_arenaUsed{0};

char* Arena() {
    static char* const arena =
        static_cast<char*>(::VirtualAlloc(nullptr, kArenaBytes, MEM_RESERVE, PAGE_NOACCESS));
    return arena;
}

void* AllocatePages(size_t size) {
    const size_t pages = (size + kHeader + kPage - 1) / kPage;
    const size_t offset = g_arenaUsed.fetch_add(pages * kPage);
    char* arena = Arena();
    if (arena == nullptr || offset + pages * kPage > kArenaBytes) {
        std::fputs("exit-order test: out of pages\n", stderr);
        std::abort();
    }
    char* block = static_cast<char*>(
        ::VirtualAlloc(arena + offset, pages * kPage, MEM_COMMIT, PAGE_READWRITE));
    if (block == nullptr) std::abort();
    *reinterpret_cast<size_t*>(block) = pages;
    return block + kHeader;
}

void FreePages(void* pointer) {
    if (pointer == nullptr) return;
    char* block = static_cast<char*>(pointer) - kHeader;
    ::VirtualFree(block, *reinterpret_cast<size_t*>(block) * kPage, MEM_DECOMMIT);
}

}  // namespace

void* operator new(size_t size) {
    return AllocatePages(size);
}
void operator delete(void* pointer) noexcept {
    FreePages(pointer);
}
void operator delete(void* pointer, size_t) noexcept {
    FreePages(pointer);
}

// The icon's records go nowhere: this program has no use for the notification area.
BOOL TrayShellNotify(DWORD, NOTIFYICONDATAA&) {
    return TRUE;
}

CVESK_CPLApp theApp;

int main() {
    if (!sim::Simulator::Instance().LoadScenario("")) return 2;
    theApp.m_hInstance = ::GetModuleHandleA(nullptr);
    theApp.m_lpCmdLine = "";
    theApp.m_nCmdShow = SW_SHOWNORMAL;
    if (!theApp.InitInstance()) return 3;
    auto* frame = dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd);
    auto* view = frame ? dynamic_cast<CVESK_CPLView*>(frame->GetActiveView()) : nullptr;
    if (view == nullptr) return 4;
    // The hidden pages' lists wait to draw until their pages show: they are what the pages
    // take apart at the end.
    view->RefreshAllPages();
    ::PostQuitMessage(0);
    const int exitCode = theApp.Run();
    if (theApp.m_pMainWnd == nullptr || theApp.m_pMainWnd->m_hWnd == nullptr) return 5;
    std::printf("the loop ended with the frame there; %zu KiB of pages used\n",
                g_arenaUsed.load() / 1024);
    return exitCode;
}
