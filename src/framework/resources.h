// What a dialog reads from the program's resources besides the template
// that DialogBoxParamA reads itself.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace fw {

// One record of a template's initialisation data: a message for a control
// with a text.
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

// Fills the combo boxes of a dialog just created from template `templateId`
// from its initialisation data, when there is any.
void applyDialogInit(HWND dialog, int templateId);

// Centres a dialog over its owner when its template leaves the place to
// the system (x and y 0) without asking for DS_CENTER.
void placeOwnedDialog(HWND dialog, int templateId);

} // namespace fw
