#include "framework/controls.h"

#include <stdexcept>

namespace fw {

void Control::bind(Window& window, int id) {
    if (window.kindOf(id) != kind_) {
        throw std::logic_error("control " + std::to_string(id) + " is not of the bound object's kind");
    }
    window_ = &window;
    id_ = id;
}

Window& Control::window() const {
    if (window_ == nullptr) {
        throw std::logic_error("control object used before it was bound");
    }
    return *window_;
}

} // namespace fw
