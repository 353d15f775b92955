#include "framework/CmdTarget.h"

const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, UINT code, UINT id) {
    for (; map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->handler != nullptr; ++entry) {
            if (entry->message == message && entry->code == code && id >= entry->firstId &&
                id <= entry->lastId)
                return entry;
        }
    }
    return nullptr;
}

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::DispatchEntry(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam,
                               LRESULT* result) {
    const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), message, code, id);
    if (entry == nullptr) return false;
    LRESULT ignored = 0;
    entry->handler(this, wParam, lParam, result ? result : &ignored);
    return true;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code) {
    return DispatchEntry(WM_COMMAND, static_cast<UINT>(code), id, MAKEWPARAM(id, code), 0, nullptr);
}
