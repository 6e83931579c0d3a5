// The live window of a dialog, as a backend provides it.
//
// Every operation names a control by its id. A backend fails loudly
// (throws std::logic_error) on an id the template does not have or on an
// operation that does not fit the control's kind.
#pragma once

#include "framework/call_queue.h"
#include "framework/types.h"

#include <memory>
#include <string>

namespace fw {

class Window {
public:
    virtual ~Window() = default;

    virtual Kind kindOf(int id) = 0;

    // Any control
    virtual std::string text(int id) = 0; // for a combo box: its edit field
    virtual void setText(int id, const std::string& text) = 0;
    virtual bool isEnabled(int id) = 0;
    virtual void enable(int id, bool on) = 0;
    virtual void setFocus(int id) = 0;
    virtual int focusedId() = 0; // 0 when no control has the focus

    // Radio buttons and check boxes
    virtual bool isChecked(int id) = 0;
    virtual void setChecked(int id, bool on) = 0;
    virtual bool isRadio(int id) = 0;
    virtual bool startsGroup(int id) = 0;
    // The id of the control after `id` in template order, 0 after the last.
    virtual int nextInTemplate(int id) = 0;

    // Combo boxes (index -1 means no entry)
    virtual int comboAdd(int id, const std::string& entry) = 0; // index it was filed at
    virtual int comboCount(int id) = 0;
    virtual std::string comboEntry(int id, int index) = 0;
    virtual int comboSelected(int id) = 0;
    // -1 and an index past the end clear the selection, leaving the edit
    // field empty.
    virtual void comboSelect(int id, int index) = 0;
    // Selects the first entry that begins with `prefix` ignoring case, shows
    // it in the edit field and returns its index; -1 (selection unchanged)
    // when none does.
    virtual int comboSelectPrefix(int id, const std::string& prefix) = 0;
    // Sets the edit field's text and leaves no entry selected.
    virtual void comboSetEditText(int id, const std::string& text) = 0;

    // List boxes
    virtual int listAdd(int id, const std::string& line) = 0;
    virtual int listInsert(int id, int index, const std::string& line) = 0;
    virtual void listDelete(int id, int index) = 0;
    virtual void listClear(int id) = 0;
    virtual int listCount(int id) = 0;
    virtual std::string listLine(int id, int index) = 0;
    virtual int listSelected(int id) = 0;
    virtual void listSelect(int id, int index) = 0; // -1 and an index past the end clear
    // As comboSelectPrefix; -1 and the selection unchanged when no line does.
    virtual int listSelectPrefix(int id, const std::string& prefix) = 0;

    // Edits
    virtual void editLimit(int id, int maxChars) = 0;
    // As editLimit; a multi-line edit also gets room for that many
    // characters at once, so that appending never moves the text it holds.
    virtual void editReserve(int id, int maxChars) = 0;
    // Caret to the end, scrolled into view, then the text appended.
    virtual void editAppend(int id, const std::string& text) = 0;
    virtual int editLength(int id) = 0;

    // The window
    virtual Rect outerRect() = 0;
    virtual void move(const Rect& r) = 0;         // also repaints
    virtual void setIcon(int iconResourceId) = 0; // large, small and minimised image
    // Appends a separator and an item to the system menu; false when the
    // window has no system menu.
    virtual bool appendSystemMenuItem(int commandId, const std::string& caption) = 0;
    virtual void end(int result) = 0;

    // The window's queue of calls from other threads (see CallQueue).
    virtual std::shared_ptr<CallQueue> callQueue() = 0;
};

} // namespace fw
