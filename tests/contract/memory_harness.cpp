// The contract suite's harness on the memory backend: the dialog runs in
// memory and the script acts through the MemoryWindow's user actions.
#include "contract/harness.h"

#include "framework/memory/memory_backend.h"

namespace contract {

namespace {

class MemoryUser : public User {
public:
    explicit MemoryUser(fw::mem::MemoryWindow& window) : window_(window) {}
    void click(int id) override { window_.click(id); }
    void type(int id, const std::string& chars) override { window_.type(id, chars); }
    void dropDown(int id, bool open) override { window_.dropDown(id, open); }
    void choose(int id, int index) override { window_.choose(id, index); }
    void doubleClick(int id, int index) override { window_.doubleClick(id, index); }
    void pressEnter(int focusId) override { window_.pressEnter(focusId); }
    void pressEscape(int focusId) override { window_.pressEscape(focusId); }
    void closeBox() override { window_.closeBox(); }
    void systemCommand(unsigned command) override { window_.systemCommand(command); }

private:
    fw::mem::MemoryWindow& window_;
};

void takeMessages(std::vector<ShownMessage>& messages) {
    for (const fw::mem::ShownMessageBox& shown : fw::mem::memoryBackend().takeMessages()) {
        messages.push_back(ShownMessage{shown.text, shown.icon == fw::MessageIcon::Warning});
    }
}

} // namespace

int runDialog(fw::Dialog& dialog, const std::function<void(fw::Window&, User&)>& script,
              std::vector<ShownMessage>* messages) {
    fw::mem::MemoryBackend& backend = fw::mem::memoryBackend();
    // Each run starts clean, so that a script left over by an earlier
    // failure cannot drive this dialog.
    backend.reset();
    backend.onShow(dialog.templateId(), [&script](fw::mem::MemoryWindow& window) {
        MemoryUser user(window);
        script(window, user);
    });
    const int result = dialog.doModal();
    if (messages != nullptr) {
        takeMessages(*messages);
    }
    return result;
}

void answeringMessageBoxes(const std::function<void()>& work, std::vector<ShownMessage>& messages) {
    fw::mem::memoryBackend().reset();
    work();
    takeMessages(messages);
}

} // namespace contract
