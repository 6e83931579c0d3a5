#include "framework/memory/memory_window.h"

#include "framework/dialog.h"
#include "framework/memory/button.h"
#include "framework/memory/combo_box.h"
#include "framework/memory/edit.h"
#include "framework/memory/list_box.h"
#include "framework/memory/memory_backend.h"

#include <stdexcept>

namespace fw::mem {

namespace {

constexpr std::uint32_t kWsSysMenu = 0x00080000;
constexpr std::uint32_t kWsCaption = 0x00C00000;

// The window's frame around the client area, in pixels, and where it opens.
constexpr int kFrameWidth = 3;
constexpr int kCaptionHeight = 19;
constexpr int kWindowLeft = 120;
constexpr int kWindowTop = 80;

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

std::unique_ptr<MemoryControl> makeControl(const ItemTemplate& item, const Notifier& notifier) {
    switch (item.itemClass) {
    case ItemClass::Button:
        if (MemoryButton::isGroupBox(item.style)) {
            break;
        }
        return std::make_unique<MemoryButton>(item, notifier);
    case ItemClass::Edit:
        return std::make_unique<MemoryEdit>(item, notifier);
    case ItemClass::ListBox:
        return std::make_unique<MemoryListBox>(item, notifier);
    case ItemClass::ComboBox:
        return std::make_unique<MemoryComboBox>(item, notifier);
    default:
        break;
    }
    return std::make_unique<MemoryControl>(item, Kind::Other, notifier);
}

} // namespace

MemoryWindow::MemoryWindow(const DialogTemplate& tpl, const std::vector<InitRecord>& init, Dialog& dialog,
                           MemoryBackend& backend)
    : template_(tpl), dialog_(dialog), backend_(backend), keys_(controls_, dialog), queue_(backend.makeCallQueue()) {
    const Notifier notifier = [this](int id, Notify what) { dialog_.handleCommand(id, what); };
    for (const ItemTemplate& item : tpl.items) {
        controls_.push_back(makeControl(item, notifier));
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
    if (cursor_ >= 0 && controls_[static_cast<std::size_t>(cursor_)]->id() == id) {
        return cursor_;
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]->id() == id) {
            return static_cast<int>(i);
        }
    }
    throw std::logic_error("dialog " + std::to_string(template_.id) + " has no control " + std::to_string(id));
}

MemoryControl& MemoryWindow::find(int id) {
    return *controls_[static_cast<std::size_t>(indexOf(id))];
}

template <class T> T& MemoryWindow::find(int id, const char* operation) {
    auto* c = dynamic_cast<T*>(&find(id));
    if (c == nullptr) {
        throw std::logic_error(std::string(operation) + " does not fit control " + std::to_string(id) + " of dialog " +
                               std::to_string(template_.id));
    }
    return *c;
}

MemoryButton& MemoryWindow::checkable(int id, const char* operation) {
    MemoryButton& b = find<MemoryButton>(id, operation);
    if (!b.hasCheckState()) {
        throw std::logic_error(std::string(operation) + ": button " + std::to_string(id) + " has no check state");
    }
    return b;
}

bool MemoryWindow::takeUserFocus(int index) {
    if (!controls_[static_cast<std::size_t>(index)]->isEnabled()) {
        return false;
    }
    keys_.moveFocus(index);
    return true;
}

// --- Any control ---

Kind MemoryWindow::kindOf(int id) {
    return find(id).kind();
}

std::string MemoryWindow::text(int id) {
    return find(id).text();
}

void MemoryWindow::setText(int id, const std::string& text) {
    find(id).setText(text);
}

bool MemoryWindow::isEnabled(int id) {
    return find(id).isEnabled();
}

void MemoryWindow::enable(int id, bool on) {
    const int index = indexOf(id);
    controls_[static_cast<std::size_t>(index)]->enable(on);
    if (!on && keys_.focus() == index) {
        keys_.moveFocus(-1);
    }
}

void MemoryWindow::setFocus(int id) {
    const int index = indexOf(id);
    if (controls_[static_cast<std::size_t>(index)]->isEnabled()) {
        keys_.moveFocus(index);
    }
}

int MemoryWindow::focusedId() {
    return keys_.focus() < 0 ? 0 : controls_[static_cast<std::size_t>(keys_.focus())]->id();
}

void MemoryWindow::focusFirstTabStop() {
    keys_.focusFirstTabStop();
}

// --- Buttons ---

bool MemoryWindow::isChecked(int id) {
    return checkable(id, "isChecked").isChecked();
}

void MemoryWindow::setChecked(int id, bool on) {
    checkable(id, "setChecked").setCheck(on, controls_);
}

bool MemoryWindow::isRadio(int id) {
    auto* button = dynamic_cast<MemoryButton*>(&find(id));
    return button != nullptr && button->isRadio();
}

bool MemoryWindow::startsGroup(int id) {
    return (find(id).style() & kWsGroup) != 0;
}

int MemoryWindow::nextInTemplate(int id) {
    const int next = indexOf(id) + 1;
    cursor_ = next < static_cast<int>(controls_.size()) ? next : -1;
    return cursor_ < 0 ? 0 : controls_[static_cast<std::size_t>(cursor_)]->id();
}

// --- Combo boxes ---

int MemoryWindow::comboAdd(int id, const std::string& entry) {
    return find<MemoryComboBox>(id, "comboAdd").items().add(entry);
}

int MemoryWindow::comboCount(int id) {
    return find<MemoryComboBox>(id, "comboCount").items().count();
}

std::string MemoryWindow::comboEntry(int id, int index) {
    return find<MemoryComboBox>(id, "comboEntry").items().at(index);
}

int MemoryWindow::comboSelected(int id) {
    return find<MemoryComboBox>(id, "comboSelected").items().selected();
}

void MemoryWindow::comboSelect(int id, int index) {
    find<MemoryComboBox>(id, "comboSelect").select(index);
}

int MemoryWindow::comboSelectPrefix(int id, const std::string& prefix) {
    return find<MemoryComboBox>(id, "comboSelectPrefix").selectPrefix(prefix);
}

void MemoryWindow::comboSetEditText(int id, const std::string& text) {
    find<MemoryComboBox>(id, "comboSetEditText").setEditText(text);
}

// --- List boxes ---

int MemoryWindow::listAdd(int id, const std::string& line) {
    return find<MemoryListBox>(id, "listAdd").items().add(line);
}

int MemoryWindow::listInsert(int id, int index, const std::string& line) {
    return find<MemoryListBox>(id, "listInsert").items().insert(index, line);
}

void MemoryWindow::listDelete(int id, int index) {
    find<MemoryListBox>(id, "listDelete").items().remove(index);
}

void MemoryWindow::listClear(int id) {
    find<MemoryListBox>(id, "listClear").items().clear();
}

int MemoryWindow::listCount(int id) {
    return find<MemoryListBox>(id, "listCount").items().count();
}

std::string MemoryWindow::listLine(int id, int index) {
    return find<MemoryListBox>(id, "listLine").items().at(index);
}

int MemoryWindow::listSelected(int id) {
    return find<MemoryListBox>(id, "listSelected").items().selected();
}

void MemoryWindow::listSelect(int id, int index) {
    find<MemoryListBox>(id, "listSelect").items().select(index);
}

int MemoryWindow::listSelectPrefix(int id, const std::string& prefix) {
    return find<MemoryListBox>(id, "listSelectPrefix").items().selectPrefix(prefix);
}

// --- Edits ---

void MemoryWindow::editLimit(int id, int maxChars) {
    find<MemoryEdit>(id, "editLimit").setLimit(maxChars);
}

void MemoryWindow::editReserve(int id, int maxChars) {
    find<MemoryEdit>(id, "editReserve").setLimit(maxChars);
}

void MemoryWindow::editAppend(int id, const std::string& text) {
    find<MemoryEdit>(id, "editAppend").append(text);
}

int MemoryWindow::editLength(int id) {
    return find<MemoryEdit>(id, "editLength").length();
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

void MemoryWindow::click(int id) {
    MemoryButton& button = find<MemoryButton>(id, "click");
    if (takeUserFocus(indexOf(id))) {
        button.click(controls_);
    }
}

void MemoryWindow::type(int id, const std::string& chars) {
    const int index = indexOf(id);
    if (auto* combo = dynamic_cast<MemoryComboBox*>(&find(id))) {
        combo->requireEditField("type");
        if (takeUserFocus(index)) {
            combo->type(chars);
        }
        return;
    }
    MemoryEdit& edit = find<MemoryEdit>(id, "type");
    if (takeUserFocus(index)) {
        edit.type(chars);
    }
}

void MemoryWindow::dropDown(int id, bool open) {
    MemoryComboBox& combo = find<MemoryComboBox>(id, "dropDown");
    combo.requireDropDownList("dropDown");
    if (!combo.isEnabled()) {
        return;
    }
    if (open) {
        keys_.moveFocus(indexOf(id));
    }
    combo.dropDown(open);
}

void MemoryWindow::choose(int id, int index) {
    if (auto* combo = dynamic_cast<MemoryComboBox*>(&find(id))) {
        combo->items().at(index);
        if (takeUserFocus(indexOf(id))) {
            combo->choose(index);
        }
        return;
    }
    MemoryListBox& list = find<MemoryListBox>(id, "choose");
    list.items().at(index);
    if (takeUserFocus(indexOf(id))) {
        list.choose(index);
    }
}

void MemoryWindow::doubleClick(int id, int index) {
    MemoryListBox& list = find<MemoryListBox>(id, "doubleClick");
    list.items().at(index);
    if (takeUserFocus(indexOf(id))) {
        list.doubleClick(index);
    }
}

void MemoryWindow::pressEnter(int focusId) {
    keys_.pressEnter(focusId == 0 ? -1 : indexOf(focusId));
}

void MemoryWindow::pressEscape(int focusId) {
    keys_.pressEscape(focusId == 0 ? -1 : indexOf(focusId));
}

void MemoryWindow::closeBox() {
    systemCommand(kScClose);
}

bool MemoryWindow::systemCommand(unsigned command) {
    return keys_.systemCommand(command);
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
    for (const auto& c : controls_) {
        ids.push_back(c->id());
    }
    return ids;
}

std::uint32_t MemoryWindow::styleOf(int id) {
    return find(id).style();
}

std::size_t MemoryWindow::editLimitOf(int id) {
    return find<MemoryEdit>(id, "editLimitOf").limit();
}

bool MemoryWindow::isDroppedDown(int id) {
    return find<MemoryComboBox>(id, "isDroppedDown").isDroppedDown();
}

} // namespace fw::mem
