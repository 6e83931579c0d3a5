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

void Dialog::handleCommand(int id, Notify notify) {
    if (onCommand(id, notify)) {
        return;
    }
    if (notify == Notify::Clicked && id == kIdOk) {
        onOK();
    } else if (notify == Notify::Clicked && id == kIdCancel) {
        onCancel();
    }
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
