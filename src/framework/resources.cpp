#include "framework/resources.h"

#include "framework/controls.h"
#include "framework/dlginit.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace fw {

namespace {

template <class T> T readAt(const unsigned char* data, std::size_t size, std::size_t offset) {
    if (offset > size || size - offset < sizeof(T)) {
        throw std::runtime_error("dialog resource data ends inside a record");
    }
    T value;
    std::memcpy(&value, data + offset, sizeof(T));
    return value;
}

struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

ResourceBytes findResource(int id, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded == nullptr ? nullptr : LockResource(loaded);
    if (data == nullptr) {
        throw std::runtime_error("resource " + std::to_string(id) + " could not be loaded");
    }
    return {static_cast<const unsigned char*>(data), SizeofResource(module, info)};
}

void centreOver(HWND dialog, HWND owner) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    RECT over = work;
    if (IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &over);
    }
    RECT own = {};
    GetWindowRect(dialog, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    // Centred, but kept inside the work area, the top left corner first.
    const int x = std::max<int>(work.left, std::min<int>((over.left + over.right - width) / 2, work.right - width));
    const int y = std::max<int>(work.top, std::min<int>((over.top + over.bottom - height) / 2, work.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where a template places its dialog, from a DLGTEMPLATE or DLGTEMPLATEEX
// header.
struct TemplatePlacement {
    DWORD style = 0;
    int x = 0;
    int y = 0;
};

TemplatePlacement parseTemplatePlacement(const unsigned char* data, std::size_t size) {
    TemplatePlacement placement;
    const bool extended = readAt<WORD>(data, size, 0) == 1 && readAt<WORD>(data, size, 2) == 0xFFFF;
    // DLGTEMPLATEEX: version, signature, help id, extended style, style,
    // count, x, y. DLGTEMPLATE: style, extended style, count, x, y.
    placement.style = readAt<DWORD>(data, size, extended ? 12 : 0);
    placement.x = readAt<short>(data, size, extended ? 18 : 10);
    placement.y = readAt<short>(data, size, extended ? 20 : 12);
    return placement;
}

} // namespace

std::vector<InitRecord> parseDialogInit(const unsigned char* data, std::size_t size) {
    std::vector<InitRecord> records;
    std::size_t at = 0;
    while (size - at >= sizeof(WORD)) {
        const WORD id = readAt<WORD>(data, size, at);
        if (id == 0) {
            break;
        }
        InitRecord record;
        record.controlId = id;
        record.message = readAt<WORD>(data, size, at + 2);
        const DWORD length = readAt<DWORD>(data, size, at + 4);
        at += 8;
        if (size - at < length) {
            throw std::runtime_error("dialog initialisation data ends inside a record");
        }
        const char* text = reinterpret_cast<const char*>(data + at);
        record.text.assign(text, std::find(text, text + length, '\0'));
        records.push_back(std::move(record));
        at += length;
    }
    return records;
}

void applyDialogInit(HWND dialog, int templateId) {
    const ResourceBytes init = findResource(templateId, MAKEINTRESOURCEA(RT_DLGINIT_DATA));
    if (init.data == nullptr) {
        return;
    }
    for (const InitRecord& record : parseDialogInit(init.data, init.size)) {
        if (record.message == DLGINIT_CB_ADDSTRING) {
            ComboBox box;
            box.attach(dialog, record.controlId);
            box.add(record.text);
        } else {
            throw std::runtime_error("dialog " + std::to_string(templateId) + " has initialisation data with message " +
                                     std::to_string(record.message));
        }
    }
}

void placeOwnedDialog(HWND dialog, int templateId) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    const ResourceBytes dialogTemplate = findResource(templateId, RT_DIALOG);
    if (owner == nullptr || dialogTemplate.data == nullptr) {
        return;
    }
    const TemplatePlacement placement = parseTemplatePlacement(dialogTemplate.data, dialogTemplate.size);
    if ((placement.style & DS_CENTER) == 0 && placement.x == 0 && placement.y == 0) {
        centreOver(dialog, owner);
    }
}

} // namespace fw
