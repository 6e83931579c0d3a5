#include "framework/memory/memory_window.h"

#include "framework/dialog.h"
#include "framework/memory/memory_backend.h"
#include "text/cp936.h"

#include <stdexcept>

namespace fw::mem {

namespace {

// Window and control styles.
constexpr std::uint32_t kWsTabStop = 0x00010000;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kWsSysMenu = 0x00080000;
constexpr std::uint32_t kWsCaption = 0x00C00000;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kBsTypeMask = 0x0F;
constexpr std::uint32_t kBsPushButton = 0x0;
constexpr std::uint32_t kBsDefPushButton = 0x1;
constexpr std::uint32_t kBsCheckBox = 0x2;
constexpr std::uint32_t kBsAutoCheckBox = 0x3;
constexpr std::uint32_t kBsRadioButton = 0x4;
constexpr std::uint32_t kBs3State = 0x5;
constexpr std::uint32_t kBsAuto3State = 0x6;
constexpr std::uint32_t kBsGroupBox = 0x7;
constexpr std::uint32_t kBsAutoRadioButton = 0x9;
constexpr std::uint32_t kEsMultiLine = 0x0004;
constexpr std::uint32_t kEsReadOnly = 0x0800;
constexpr std::uint32_t kEsWantReturn = 0x1000;
constexpr std::uint32_t kCbsTypeMask = 0x3;
constexpr std::uint32_t kCbsSimple = 0x1;
constexpr std::uint32_t kCbsDropDownList = 0x3;
constexpr std::uint32_t kCbsSort = 0x0100;
constexpr std::uint32_t kLbsNotify = 0x0001;
constexpr std::uint32_t kLbsSort = 0x0002;

// EM_SETLIMITTEXT: the documented limit before it is called, and what a
// limit of 0 means.
constexpr std::size_t kDefaultEditLimit = 32767;
constexpr std::size_t kMaxSingleLineLimit = 0x7FFFFFFE;
constexpr std::size_t kMaxMultiLineLimit = 0xFFFFFFFF;

// The window's frame around the client area, in pixels, and where it opens.
constexpr int kFrameWidth = 3;
constexpr int kCaptionHeight = 19;
constexpr int kWindowLeft = 120;
constexpr int kWindowTop = 80;

std::string idText(int id) {
    return "control " + std::to_string(id);
}

// MulDiv: a * b / c rounded half away from zero (for non-negative values).
int mulDiv(int a, int b, int c) {
    return (a * b * 2 + c) / (c * 2);
}

// Dialog units to pixels for the templates' 9-point SimSun at 96 dots per
// inch: a base unit of 6 by 12 pixels, so 1.5 pixels per unit each way.
int unitsToPixelsX(int units) {
    return mulDiv(units, 6, 4);
}
int unitsToPixelsY(int units) {
    return mulDiv(units, 12, 8);
}

// One character's place in the case-insensitive sort order of a list:
// symbols, then digits, then letters (either case), then double-byte
// characters, each group in code order.
int sortWeight(const std::string& s, std::size_t i, std::size_t n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (n == 2) {
        return 0x40000 + (c << 8) + static_cast<unsigned char>(s[i + 1]);
    }
    if (c >= 'a' && c <= 'z') {
        return 0x30000 + c - 'a' + 'A';
    }
    if (c >= 'A' && c <= 'Z') {
        return 0x30000 + c;
    }
    if (c >= '0' && c <= '9') {
        return 0x20000 + c;
    }
    return 0x10000 + c;
}

int compareNoCase(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t na = text::charLength(a, i);
        const std::size_t nb = text::charLength(b, j);
        const int wa = sortWeight(a, i, na);
        const int wb = sortWeight(b, j, nb);
        if (wa != wb) {
            return wa < wb ? -1 : 1;
        }
        i += na;
        j += nb;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

} // namespace

struct MemoryWindow::Control {
    int id = 0;
    Kind kind = Kind::Other;
    std::uint32_t style = 0;
    std::string text;
    bool enabled = true;
    bool checked = false;
    // The list of a combo box or list box and its selected index.
    std::vector<std::string> entries;
    int selected = -1;
    bool dropped = false;
    std::size_t limit = kDefaultEditLimit;

    std::uint32_t buttonType() const { return style & kBsTypeMask; }
    bool isPushButton() const {
        return kind == Kind::Button && (buttonType() == kBsPushButton || buttonType() == kBsDefPushButton);
    }
    bool isRadio() const {
        return kind == Kind::Button && (buttonType() == kBsRadioButton || buttonType() == kBsAutoRadioButton);
    }
    bool hasEditField() const { return kind == Kind::ComboBox && (style & kCbsTypeMask) != kCbsDropDownList; }

    const std::string& entry(int index) const {
        if (index < 0 || index >= static_cast<int>(entries.size())) {
            throw std::out_of_range(idText(id) + " has no entry " + std::to_string(index));
        }
        return entries[index];
    }

    // LB_SETCURSEL and CB_SETCURSEL: -1 clears the selection. Where an
    // index past the end would leave the selection (Wine) or clear it
    // (Windows), neither backend lets it through.
    void select(int index) {
        if (index != -1) {
            entry(index);
        }
        selected = index;
    }

    // LB_INSERTSTRING: -1 appends; the selection moves with its line.
    int insert(int index, const std::string& s) {
        if (index == -1) {
            index = static_cast<int>(entries.size());
        }
        if (index < 0 || index > static_cast<int>(entries.size())) {
            throw std::out_of_range(idText(id) + ": no place " + std::to_string(index) + " to insert at");
        }
        entries.insert(entries.begin() + index, s);
        if (index <= selected) {
            ++selected;
        }
        return index;
    }

    // LB_ADDSTRING: the end of an unsorted list; in a sorted one, the place
    // the binary search of the list control finds.
    int add(const std::string& s, bool sorted) {
        if (!sorted || entries.empty()) {
            return insert(-1, s);
        }
        int low = 0;
        int high = static_cast<int>(entries.size()) - 1;
        while (low <= high) {
            const int middle = (low + high) / 2;
            const int order = compareNoCase(entries[middle], s);
            if (order == 0) {
                return insert(middle, s);
            }
            if (order > 0) {
                high = middle - 1;
            } else {
                low = middle + 1;
            }
        }
        return insert(low, s);
    }

    void remove(int index) {
        entry(index);
        entries.erase(entries.begin() + index);
        if (index == selected) {
            selected = -1;
        } else if (index < selected) {
            --selected;
        }
    }

    int findPrefix(const std::string& prefix) const {
        if (prefix.empty()) {
            return -1;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (text::startsWithNoCase(entries[i], prefix)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    // CB_SETCURSEL: the edit field shows the selected entry, or nothing.
    void comboSelect(int index) {
        select(index);
        text = index < 0 ? std::string() : entries[index];
    }
};

MemoryWindow::MemoryWindow(const DialogTemplate& tpl, const std::vector<InitRecord>& init, Dialog& dialog,
                           MemoryBackend& backend)
    : template_(tpl), dialog_(dialog), backend_(backend), queue_(backend.makeCallQueue()) {
    for (const ItemTemplate& item : tpl.items) {
        Control c;
        c.id = item.id;
        c.style = item.style;
        c.text = item.caption;
        c.enabled = (item.style & kWsDisabled) == 0;
        switch (item.itemClass) {
        case ItemClass::Button:
            c.kind = (item.style & kBsTypeMask) == kBsGroupBox ? Kind::Other : Kind::Button;
            break;
        case ItemClass::Edit:
            c.kind = Kind::Edit;
            break;
        case ItemClass::ListBox:
            c.kind = Kind::ListBox;
            break;
        case ItemClass::ComboBox:
            c.kind = Kind::ComboBox;
            break;
        default:
            c.kind = Kind::Other;
            break;
        }
        controls_.push_back(c);
    }
    for (const InitRecord& rec : init) {
        if (rec.message == kInitComboAddString) {
            comboAdd(rec.controlId, rec.text);
        } else if (rec.message == kInitListAddString) {
            listAdd(rec.controlId, rec.text);
        } else {
            throw std::logic_error("dialog " + std::to_string(tpl.id) + ": unknown initialisation message " +
                                   std::to_string(rec.message));
        }
    }
    const bool caption = (tpl.style & kWsCaption) == kWsCaption;
    rect_.left = kWindowLeft;
    rect_.top = kWindowTop;
    rect_.right = rect_.left + unitsToPixelsX(tpl.rect.cx) + 2 * kFrameWidth;
    rect_.bottom = rect_.top + unitsToPixelsY(tpl.rect.cy) + 2 * kFrameWidth + (caption ? kCaptionHeight : 0);
}

MemoryWindow::~MemoryWindow() = default;

// --- Looking controls up ---

int MemoryWindow::indexOf(int id) const {
    // After nextInTemplate, its control stands for its id, so that a walk
    // in template order passes labels that share the id -1.
    if (cursor_ >= 0 && controls_[cursor_].id == id) {
        return cursor_;
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].id == id) {
            return static_cast<int>(i);
        }
    }
    throw std::logic_error("dialog " + std::to_string(template_.id) + " has no " + idText(id));
}

MemoryWindow::Control& MemoryWindow::find(int id) {
    return controls_[indexOf(id)];
}

MemoryWindow::Control& MemoryWindow::find(int id, Kind kind, const char* operation) {
    Control& c = find(id);
    if (c.kind != kind) {
        throw std::logic_error(std::string(operation) + " does not fit " + idText(id) + " of dialog " +
                               std::to_string(template_.id));
    }
    return c;
}

MemoryWindow::Control& MemoryWindow::comboWithEdit(int id, const char* operation) {
    Control& c = find(id, Kind::ComboBox, operation);
    if (!c.hasEditField()) {
        throw std::logic_error(std::string(operation) + ": combo box " + std::to_string(id) + " has no edit field");
    }
    return c;
}

MemoryWindow::Control& MemoryWindow::checkable(int id, const char* operation) {
    Control& c = find(id, Kind::Button, operation);
    switch (c.buttonType()) {
    case kBsCheckBox:
    case kBsAutoCheckBox:
    case kBs3State:
    case kBsAuto3State:
    case kBsRadioButton:
    case kBsAutoRadioButton:
        return c;
    default:
        throw std::logic_error(std::string(operation) + ": button " + std::to_string(id) + " has no check state");
    }
}

// --- Any control ---

Kind MemoryWindow::kindOf(int id) {
    return find(id).kind;
}

std::string MemoryWindow::text(int id) {
    return find(id).text;
}

void MemoryWindow::setText(int id, const std::string& text) {
    Control& c = find(id);
    if (c.kind == Kind::ComboBox) {
        comboWithEdit(id, "setText");
    }
    c.text = text;
}

bool MemoryWindow::isEnabled(int id) {
    return find(id).enabled;
}

void MemoryWindow::enable(int id, bool on) {
    const int index = indexOf(id);
    controls_[index].enabled = on;
    if (!on && focus_ == index) {
        moveFocus(-1);
    }
}

void MemoryWindow::setFocus(int id) {
    const int index = indexOf(id);
    if (controls_[index].enabled) {
        moveFocus(index);
    }
}

int MemoryWindow::focusedId() {
    return focus_ < 0 ? 0 : controls_[focus_].id;
}

void MemoryWindow::moveFocus(int index) {
    if (index == focus_) {
        return;
    }
    if (focus_ >= 0) {
        controls_[focus_].dropped = false;
    }
    focus_ = index;
}

void MemoryWindow::focusFirstTabStop() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = controls_[i];
        if ((c.style & kWsTabStop) && (c.style & kWsVisible) && c.enabled) {
            moveFocus(static_cast<int>(i));
            return;
        }
    }
}

// --- Buttons ---

bool MemoryWindow::isChecked(int id) {
    return checkable(id, "isChecked").checked;
}

void MemoryWindow::setChecked(int id, bool on) {
    checkable(id, "setChecked");
    setCheck(static_cast<std::size_t>(indexOf(id)), on);
}

// BM_SETCHECK: a radio button holds WS_TABSTOP exactly while it is set; an
// automatic one that is set clears the other enabled radio buttons of its
// group (disabled ones are passed over, as GetNextDlgGroupItem skips them).
void MemoryWindow::setCheck(std::size_t index, bool on) {
    Control& c = controls_[index];
    c.checked = on;
    if (!c.isRadio()) {
        return;
    }
    c.style = on ? (c.style | kWsTabStop) : (c.style & ~kWsTabStop);
    if (!on || c.buttonType() != kBsAutoRadioButton) {
        return;
    }
    std::size_t first = index;
    while (first > 0 && !(controls_[first].style & kWsGroup)) {
        --first;
    }
    for (std::size_t i = first; i < controls_.size() && (i == first || !(controls_[i].style & kWsGroup)); ++i) {
        Control& other = controls_[i];
        if (i != index && other.isRadio() && other.enabled) {
            setCheck(i, false);
        }
    }
}

bool MemoryWindow::isRadio(int id) {
    return find(id).isRadio();
}

bool MemoryWindow::startsGroup(int id) {
    return (find(id).style & kWsGroup) != 0;
}

int MemoryWindow::nextInTemplate(int id) {
    const int next = indexOf(id) + 1;
    cursor_ = next < static_cast<int>(controls_.size()) ? next : -1;
    return cursor_ < 0 ? 0 : controls_[cursor_].id;
}

// --- Combo boxes ---

int MemoryWindow::comboAdd(int id, const std::string& entry) {
    Control& c = find(id, Kind::ComboBox, "comboAdd");
    return c.add(entry, (c.style & kCbsSort) != 0);
}

int MemoryWindow::comboCount(int id) {
    return static_cast<int>(find(id, Kind::ComboBox, "comboCount").entries.size());
}

std::string MemoryWindow::comboEntry(int id, int index) {
    return find(id, Kind::ComboBox, "comboEntry").entry(index);
}

int MemoryWindow::comboSelected(int id) {
    return find(id, Kind::ComboBox, "comboSelected").selected;
}

void MemoryWindow::comboSelect(int id, int index) {
    find(id, Kind::ComboBox, "comboSelect").comboSelect(index);
}

int MemoryWindow::comboSelectPrefix(int id, const std::string& prefix) {
    Control& c = find(id, Kind::ComboBox, "comboSelectPrefix");
    const int index = c.findPrefix(prefix);
    if (index >= 0) {
        c.comboSelect(index);
    }
    return index;
}

void MemoryWindow::comboSetEditText(int id, const std::string& text) {
    Control& c = comboWithEdit(id, "comboSetEditText");
    c.text = text;
    c.selected = -1;
}

// --- List boxes ---

int MemoryWindow::listAdd(int id, const std::string& line) {
    Control& c = find(id, Kind::ListBox, "listAdd");
    return c.add(line, (c.style & kLbsSort) != 0);
}

int MemoryWindow::listInsert(int id, int index, const std::string& line) {
    return find(id, Kind::ListBox, "listInsert").insert(index, line);
}

void MemoryWindow::listDelete(int id, int index) {
    find(id, Kind::ListBox, "listDelete").remove(index);
}

void MemoryWindow::listClear(int id) {
    Control& c = find(id, Kind::ListBox, "listClear");
    c.entries.clear();
    c.selected = -1;
}

int MemoryWindow::listCount(int id) {
    return static_cast<int>(find(id, Kind::ListBox, "listCount").entries.size());
}

std::string MemoryWindow::listLine(int id, int index) {
    return find(id, Kind::ListBox, "listLine").entry(index);
}

int MemoryWindow::listSelected(int id) {
    return find(id, Kind::ListBox, "listSelected").selected;
}

void MemoryWindow::listSelect(int id, int index) {
    find(id, Kind::ListBox, "listSelect").select(index);
}

int MemoryWindow::listSelectPrefix(int id, const std::string& prefix) {
    Control& c = find(id, Kind::ListBox, "listSelectPrefix");
    const int index = c.findPrefix(prefix);
    if (index >= 0) {
        c.selected = index;
    }
    return index;
}

// --- Edits ---

void MemoryWindow::editLimit(int id, int maxChars) {
    Control& c = find(id, Kind::Edit, "editLimit");
    if (maxChars < 0) {
        throw std::logic_error("editLimit: negative limit for " + idText(id));
    }
    if (maxChars > 0) {
        c.limit = static_cast<std::size_t>(maxChars);
    } else {
        c.limit = (c.style & kEsMultiLine) ? kMaxMultiLineLimit : kMaxSingleLineLimit;
    }
}

void MemoryWindow::editAppend(int id, const std::string& text) {
    Control& c = find(id, Kind::Edit, "editAppend");
    const std::size_t room = c.text.size() < c.limit ? c.limit - c.text.size() : 0;
    std::size_t fits = 0;
    while (fits < text.size() && fits + text::charLength(text, fits) <= room) {
        fits += text::charLength(text, fits);
    }
    c.text.append(text, 0, fits);
}

int MemoryWindow::editLength(int id) {
    return static_cast<int>(find(id, Kind::Edit, "editLength").text.size());
}

// --- The window ---

Rect MemoryWindow::outerRect() {
    return rect_;
}

void MemoryWindow::move(const Rect& r) {
    rect_ = r;
}

void MemoryWindow::setIcon(int iconResourceId) {
    if (!brennickResources().hasIcon(iconResourceId)) {
        throw std::logic_error("the resources have no icon " + std::to_string(iconResourceId));
    }
    icon_ = iconResourceId;
}

bool MemoryWindow::appendSystemMenuItem(int commandId, const std::string& caption) {
    if (!(template_.style & kWsSysMenu)) {
        return false;
    }
    systemMenu_.push_back(SystemMenuItem{commandId, caption});
    return true;
}

void MemoryWindow::end(int result) {
    // The first end gives the result, as the window stays until the modal
    // run sees it.
    if (!ended_) {
        ended_ = true;
        result_ = result;
    }
}

std::shared_ptr<CallQueue> MemoryWindow::callQueue() {
    return queue_;
}

// --- What a user does ---

void MemoryWindow::notify(int id, Notify what) {
    dialog_.handleCommand(id, what);
}

void MemoryWindow::click(int id) {
    const int index = indexOf(id);
    Control& c = find(id, Kind::Button, "click");
    if (!c.enabled) {
        return;
    }
    moveFocus(index);
    if (c.buttonType() == kBsAutoCheckBox) {
        setCheck(static_cast<std::size_t>(index), !c.checked);
    } else if (c.buttonType() == kBsAutoRadioButton) {
        setCheck(static_cast<std::size_t>(index), true);
    }
    notify(id, Notify::Clicked);
}

void MemoryWindow::typeInto(Control& c, const std::string& chars) {
    for (std::size_t i = 0; i < chars.size();) {
        const std::size_t n = text::charLength(chars, i);
        if (c.kind == Kind::Edit) {
            if (!(c.style & kEsReadOnly) && c.text.size() + n <= c.limit) {
                c.text.append(chars, i, n);
            }
        } else {
            c.text.append(chars, i, n);
            c.selected = c.dropped ? c.findPrefix(c.text) : -1;
            notify(c.id, Notify::EditChange);
        }
        i += n;
    }
}

void MemoryWindow::type(int id, const std::string& chars) {
    const int index = indexOf(id);
    Control& c = controls_[index];
    if (c.kind == Kind::ComboBox) {
        comboWithEdit(id, "type");
    } else if (c.kind != Kind::Edit) {
        throw std::logic_error("type does not fit " + idText(id) + " of dialog " + std::to_string(template_.id));
    }
    if (!c.enabled) {
        return;
    }
    moveFocus(index);
    typeInto(c, chars);
}

void MemoryWindow::dropDown(int id, bool open) {
    const int index = indexOf(id);
    Control& c = find(id, Kind::ComboBox, "dropDown");
    if ((c.style & kCbsTypeMask) == kCbsSimple) {
        throw std::logic_error("dropDown: combo box " + std::to_string(id) + " has no list to drop down");
    }
    if (!c.enabled || c.dropped == open) {
        return;
    }
    if (open) {
        moveFocus(index);
        if (c.hasEditField()) {
            const int match = c.findPrefix(c.text);
            if (match >= 0) {
                c.comboSelect(match);
            } else {
                c.selected = -1;
            }
        }
    }
    c.dropped = open;
}

void MemoryWindow::choose(int id, int index) {
    const int at = indexOf(id);
    Control& c = controls_[at];
    if (c.kind == Kind::ComboBox) {
        c.entry(index);
        if (!c.enabled) {
            return;
        }
        moveFocus(at);
        c.selected = index;
        if (c.hasEditField()) {
            c.text = c.entries[index];
        }
        c.dropped = false;
        notify(id, Notify::SelChange);
    } else {
        find(id, Kind::ListBox, "choose").entry(index);
        if (!c.enabled) {
            return;
        }
        moveFocus(at);
        c.selected = index;
        if (c.style & kLbsNotify) {
            notify(id, Notify::SelChange);
        }
    }
}

// Moves the focus for a key press; true when the key only closed the list
// of the focused combo box.
bool MemoryWindow::focusForKey(int focusId) {
    if (focusId == 0) {
        moveFocus(-1);
        return false;
    }
    const int index = indexOf(focusId);
    Control& c = controls_[index];
    if (!c.enabled) {
        throw std::logic_error(idText(focusId) + " is disabled and cannot have the focus");
    }
    moveFocus(index);
    if (c.dropped) {
        c.dropped = false;
        return true;
    }
    return false;
}

void MemoryWindow::pressEnter(int focusId) {
    if (focusForKey(focusId)) {
        return;
    }
    if (focus_ >= 0) {
        Control& c = controls_[focus_];
        if (c.isPushButton()) {
            notify(c.id, Notify::Clicked);
            return;
        }
        if (c.kind == Kind::Edit && (c.style & kEsMultiLine) && (c.style & kEsWantReturn)) {
            typeInto(c, "\r\n");
            return;
        }
    }
    for (const Control& c : controls_) {
        if (c.kind == Kind::Button && c.buttonType() == kBsDefPushButton) {
            if (c.enabled) {
                notify(c.id, Notify::Clicked);
            }
            return;
        }
    }
    notify(kIdOk, Notify::Clicked);
}

void MemoryWindow::pressEscape(int focusId) {
    if (!focusForKey(focusId)) {
        notify(kIdCancel, Notify::Clicked);
    }
}

void MemoryWindow::closeBox() {
    systemCommand(kScClose);
}

bool MemoryWindow::systemCommand(unsigned command) {
    const bool handled = dialog_.handleSysCommand(command);
    systemCommands_.push_back(SystemCommandRecord{command, handled});
    if (!handled && (command & 0xFFF0) == kScClose) {
        // WM_CLOSE of a dialog: IDCANCEL, unless a Cancel button is disabled.
        for (const Control& c : controls_) {
            if (c.id == kIdCancel && !c.enabled) {
                return handled;
            }
        }
        notify(kIdCancel, Notify::Clicked);
    }
    return handled;
}

// --- Calls from other threads ---

void MemoryWindow::pump() {
    backend_.pump();
}

bool MemoryWindow::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return backend_.pumpUntil(done, timeout);
}

// --- Observers ---

std::vector<int> MemoryWindow::controlIds() const {
    std::vector<int> ids;
    for (const Control& c : controls_) {
        ids.push_back(c.id);
    }
    return ids;
}

std::uint32_t MemoryWindow::styleOf(int id) {
    return find(id).style;
}

std::size_t MemoryWindow::editLimitOf(int id) {
    return find(id, Kind::Edit, "editLimitOf").limit;
}

bool MemoryWindow::isDroppedDown(int id) {
    return find(id, Kind::ComboBox, "isDroppedDown").dropped;
}

} // namespace fw::mem
