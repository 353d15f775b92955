#include "framework/Language.h"

#include <cwchar>
#include <vector>

#include "framework/App.h"
#include "res/StringIds.h"

namespace {

// The preferred UI languages in order: the thread's list merged with the process's, the
// user's and the system's (MUI_MERGE_USER_FALLBACK), then the user's default UI language.
std::vector<uint16_t> PreferredUiLanguages() {
    std::vector<uint16_t> langIds;
    ULONG count = 0;
    ULONG size = 0;
    const DWORD flags = MUI_LANGUAGE_ID | MUI_MERGE_USER_FALLBACK;
    if (::GetThreadPreferredUILanguages(flags, &count, nullptr, &size) && size > 0) {
        std::vector<wchar_t> buffer(size);
        if (::GetThreadPreferredUILanguages(flags, &count, buffer.data(), &size)) {
            for (const wchar_t* entry = buffer.data(); *entry != L'\0';
                 entry += std::wcslen(entry) + 1)
                langIds.push_back(static_cast<uint16_t>(std::wcstoul(entry, nullptr, 16)));
        }
    }
    langIds.push_back(::GetUserDefaultUILanguage());
    return langIds;
}

HRSRC FindIn(LPCSTR type, UINT id, uint16_t langId) {
    return ::FindResourceExA(AfxGetInstanceHandle(), type, MAKEINTRESOURCEA(id), langId);
}

}  // namespace

void AfxChooseUserInterfaceLanguage() {
    vesk::SetCurrentLanguage(vesk::ChooseLanguage(PreferredUiLanguages(), ::GetACP()));
}

const void* AfxLoadLocalizedResource(LPCSTR type, UINT id) {
    HRSRC found = FindIn(type, id, vesk::CurrentLanguage().langId);
    if (found == nullptr) found = FindIn(type, id, vesk::kLanguages[0].langId);
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(AfxGetInstanceHandle(), found);
    return loaded != nullptr ? ::LockResource(loaded) : nullptr;
}

const DLGTEMPLATE* AfxLoadDialogTemplate(UINT id) {
    return static_cast<const DLGTEMPLATE*>(AfxLoadLocalizedResource(RT_DIALOG, id));
}

HMENU AfxLoadLocalizedMenu(UINT id) {
    const void* menu = AfxLoadLocalizedResource(RT_MENU, id);
    return menu != nullptr ? ::LoadMenuIndirectA(menu) : nullptr;
}
