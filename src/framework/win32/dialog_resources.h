// What the backend reads from a dialog's resources besides the template
// that DialogBoxParamA reads itself.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace fw::win32 {

class Win32Window;

// The resource type of a template's initialisation data.
constexpr WORD kDialogInitType = 240;

// The messages of the initialisation data (their 16-bit numbers).
constexpr unsigned kInitAddComboEntry = 0x0403;
constexpr unsigned kInitAddListLine = 0x0401;

// One record: a message for a control with a text.
struct InitRecord {
    int controlId = 0;
    unsigned message = 0;
    std::string text;
};

// The records of initialisation data: each a WORD control id, a WORD
// message, a DWORD length and that many bytes (the text and its zero); a
// zero control id or the end of the data ends them. Throws
// std::runtime_error on a record that runs past the end.
std::vector<InitRecord> parseDialogInit(const unsigned char* data, std::size_t size);

// Where a template places its dialog, from a DLGTEMPLATE or DLGTEMPLATEEX
// header.
struct TemplatePlacement {
    DWORD style = 0;
    int x = 0;
    int y = 0;
};
TemplatePlacement parseTemplatePlacement(const unsigned char* data, std::size_t size);

// Fills the controls of a dialog just created from template `templateId`
// from its initialisation data, when there is any.
void applyDialogInit(Win32Window& window, int templateId);

// Centres a dialog over its owner when its template leaves the place to
// the system (x and y 0) without asking for DS_CENTER.
void placeOwnedDialog(HWND dialog, int templateId);

} // namespace fw::win32
