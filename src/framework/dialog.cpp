#include "framework/dialog.h"

#include "framework/backend.h"

#include <stdexcept>

namespace fw {

int Dialog::doModal() {
    return backend().runModal(*this);
}

Window& Dialog::window() {
    if (window_ == nullptr) {
        throw std::logic_error("dialog " + std::to_string(templateId_) + " has no window");
    }
    return *window_;
}

bool Dialog::updateData(Exchange::Direction direction) {
    Exchange exchange(*this, direction);
    doDataExchange(exchange);
    return !exchange.failed();
}

void Dialog::endDialog(int result) {
    window().end(result);
}

void Dialog::messageBox(const std::string& text, MessageIcon icon) {
    backend().messageBox(this, text, icon);
}

std::optional<FileChoice> Dialog::fileDialog(const FileRequest& request) {
    return backend().fileDialog(this, request);
}

namespace {

// What the user is told when a command could not be carried out: "The
// operation could not be completed: ...".
std::string commandFailedMessage(const std::string& what) {
    return "操作未能完成：" + what;
}

// The text of the error being handled.
std::string currentError() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "未知错误"; // unknown error
    }
}

} // namespace

int runMainWindow(const std::function<void()>& show) {
    try {
        show();
        return 0;
    } catch (...) {
        // "The program failed: ..."
        backend().messageBox(nullptr, "程序运行失败：" + currentError(), MessageIcon::Warning);
        return 1;
    }
}

void Dialog::guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        backend().reportFailure(isShown() ? this : nullptr, commandFailedMessage(currentError()));
    }
}

void Dialog::handleCommand(int id, Notify notify) {
    guarded([&] {
        if (onCommand(id, notify)) {
            return;
        }
        if (notify == Notify::Clicked && id == kIdOk) {
            onOK();
        } else if (notify == Notify::Clicked && id == kIdCancel) {
            onCancel();
        }
    });
}

bool Dialog::handleSysCommand(unsigned command) {
    bool handled = false;
    guarded([&] { handled = onSysCommand(command); });
    return handled;
}

bool Dialog::onCommand(int id, Notify notify) {
    for (const Entry& entry : commands_) {
        if (entry.id == id && entry.notify == notify) {
            entry.run();
            return true;
        }
    }
    return false;
}

void Dialog::handleDestroy() {
    onDestroy();
    window_ = nullptr;
}

bool Dialog::onInitDialog() {
    updateData(Exchange::Direction::Write);
    return true;
}

void Dialog::onOK() {
    if (updateData(Exchange::Direction::Read)) {
        endDialog(kIdOk);
    }
}

void Dialog::onCancel() {
    endDialog(kIdCancel);
}

} // namespace fw
