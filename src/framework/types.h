// Plain types shared by the dialog framework and its backends.
#pragma once

#include <string>

namespace fw {

// Dialog results and the ids of the standard buttons.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The kinds of control the framework wraps; Other covers labels, group
// boxes and pictures.
enum class Kind { Edit, ComboBox, ListBox, Button, Other };

// Notifications a command table can be keyed on.
enum class Notify {
    Clicked,     // a push button, radio button or check box was clicked
    SelChange,   // the user changed a list's or a combo box's selection
    EditChange,  // the user changed the text of a combo box's edit field
    DoubleClick, // the user double-clicked a line of a list box
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

enum class MessageIcon { None, Warning };

// A file dialog as the program asks for it. `filter` is in the form
// "name|pattern|name|pattern||".
struct FileRequest {
    bool save = false;
    std::string filter;
};

// What the user chose: the full path and the 1-based index of the filter
// that was selected when the dialog closed.
struct FileChoice {
    std::string path;
    int filterIndex = 1;
};

// Where an icon of iconWidth x iconHeight is drawn in a client area of the
// given size so that it is centred (integer halves, as the painting code
// uses them).
inline int centredIconOffset(int clientSize, int iconSize) {
    return (clientSize - iconSize + 1) / 2;
}

} // namespace fw
