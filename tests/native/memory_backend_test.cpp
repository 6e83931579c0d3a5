// The memory backend beyond what the shared control contract states: its
// reading of the compiled resources and its script and answer queues. The
// calls other threads post to its windows are driven by the main window's
// tests (main_dialog_test.cpp), with real loader runs.
#include "framework/dialog.h"
#include "framework/memory/memory_backend.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using fw::mem::ItemClass;
using fw::mem::MemoryWindow;

fw::mem::MemoryBackend& mem() {
    return fw::mem::memoryBackend();
}

// --- The compiled resources ---

const fw::mem::ItemTemplate& item(const fw::mem::DialogTemplate& t, int id) {
    for (const fw::mem::ItemTemplate& i : t.items) {
        if (i.id == id) {
            return i;
        }
    }
    throw std::logic_error("no item " + std::to_string(id));
}

// What the reader takes from an extended template (the header, each item's
// class, style and caption, UTF-16 in the file, code page 936 here), from
// the string table and the icons, and a picture naming its icon by number.
TEST(Resources, TemplatesStringsIconsAndPicturesAreRead) {
    const fw::mem::ResourceFile& res = fw::mem::brennickResources();
    const fw::mem::DialogTemplate* t = res.dialog(IDD_MAIN);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rect.cx, 291);
    EXPECT_EQ(t->rect.cy, 303);
    EXPECT_EQ(t->caption, "Brennick");
    EXPECT_EQ(t->fontName, "宋体");
    EXPECT_EQ(t->pointSize, 9);

    EXPECT_EQ(item(*t, IDC_FIELD_NAME).itemClass, ItemClass::ComboBox);
    EXPECT_EQ(item(*t, IDC_FIELD_NAME).style & 0x100, 0x100u) << "CBS_SORT";
    EXPECT_EQ(item(*t, IDC_FIELD_LIST).itemClass, ItemClass::ListBox);
    EXPECT_EQ(item(*t, IDC_OUTPUT).style & 0x1004, 0x1004u) << "ES_MULTILINE | ES_WANTRETURN";
    EXPECT_EQ(item(*t, IDC_ADD).caption, "← 添加");
    EXPECT_EQ(item(*t, IDC_VARIABLE).caption, "变长记录");
    EXPECT_EQ(item(*t, -1).itemClass, ItemClass::Button) << "the first item without an id is a group box";

    EXPECT_EQ(res.string(IDS_ABOUT), std::optional<std::string>("关于 Brennick(&A)..."));
    EXPECT_EQ(res.string(IDS_ABOUT + 1), std::nullopt);
    EXPECT_EQ(mem().loadString(IDS_ABOUT), "关于 Brennick(&A)...");
    EXPECT_EQ(mem().loadString(4000), "");
    EXPECT_TRUE(res.hasIcon(IDI_MAIN));
    EXPECT_FALSE(res.hasIcon(IDI_MAIN + 1));
    EXPECT_EQ(res.dialog(4000), nullptr);

    const fw::mem::DialogTemplate* about = res.dialog(IDD_ABOUT);
    ASSERT_NE(about, nullptr);
    ASSERT_FALSE(about->items.empty());
    EXPECT_EQ(about->items[0].itemClass, ItemClass::Static);
    EXPECT_EQ(about->items[0].captionOrdinal, IDI_MAIN) << "the picture names its icon by number";
    EXPECT_EQ(about->items[0].caption, "");
}

// Appends the `count` low bytes of `value`, least significant first.
void put(std::vector<unsigned char>& bytes, std::size_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// A resource file written byte by byte, for the forms windres does not
// produce from our script: the empty entry every .res starts with, then a
// dialog initialisation resource (type 240) named 130 holding `data`.
std::vector<unsigned char> dialogInitFile(const std::vector<unsigned char>& data) {
    std::vector<unsigned char> file;
    for (const auto& [type, content] : {std::make_pair(0, std::vector<unsigned char>()), std::make_pair(240, data)}) {
        put(file, content.size(), 4);
        put(file, 32, 4); // the header's size
        put(file, 0xFFFF, 2);
        put(file, static_cast<std::size_t>(type), 2);
        put(file, 0xFFFF, 2);
        put(file, type == 0 ? 0 : 130, 2);
        file.resize(file.size() + 16, 0); // versions, flags, language, characteristics
        file.insert(file.end(), content.begin(), content.end());
        file.resize((file.size() + 3) / 4 * 4, 0);
    }
    return file;
}

TEST(Resources, RejectsTruncatedFilesAndUnterminatedInitialisationData) {
    // One string added to the silent box: id, CB_ADDSTRING, length, "a".
    std::vector<unsigned char> d;
    put(d, IDC_SILENT, 2);
    put(d, 0x0403, 2);
    put(d, 2, 4);
    d.push_back('a');
    d.push_back(0);
    const std::vector<unsigned char> unterminated = dialogInitFile(d);
    EXPECT_THROW(fw::mem::ResourceFile::parse(unterminated.data(), unterminated.size()), std::runtime_error);
    put(d, 0, 2);
    std::vector<unsigned char> terminated = dialogInitFile(d);
    const fw::mem::ResourceFile file = fw::mem::ResourceFile::parse(terminated.data(), terminated.size());
    ASSERT_EQ(file.dialogInit(130).size(), 1u);
    EXPECT_EQ(file.dialogInit(130)[0].text, "a");

    // A file cut short inside the data of its last resource.
    terminated.resize(terminated.size() - 3);
    EXPECT_THROW(fw::mem::ResourceFile::parse(terminated.data(), terminated.size()), std::runtime_error);
}

// --- Showing dialogs ---

// A dialog whose commands a test can set and which counts its destroy steps.
class TestDialog : public fw::Dialog {
public:
    explicit TestDialog(int templateId, fw::Dialog* parent = nullptr) : fw::Dialog(templateId, parent) {}

    std::function<void(int)> command;
    int destroyed = 0;

protected:
    bool onCommand(int id, fw::Notify notify) override {
        if (command && notify == fw::Notify::Clicked && id != fw::kIdOk && id != fw::kIdCancel) {
            command(id);
            return true;
        }
        return false;
    }
    void onDestroy() override { ++destroyed; }
};

class MemoryBackendTest : public ::testing::Test {
protected:
    void SetUp() override { mem().reset(); }
};

TEST_F(MemoryBackendTest, ScriptsRunInQueueOrderPerTemplate) {
    mem().onShow(IDD_ABOUT, [](MemoryWindow& w) { w.end(11); });
    mem().onShow(IDD_MAIN, [](MemoryWindow& w) { w.end(22); });
    mem().onShow(IDD_ABOUT, [](MemoryWindow& w) { w.end(33); });
    TestDialog first(IDD_ABOUT);
    TestDialog second(IDD_ABOUT);
    TestDialog main(IDD_MAIN);
    EXPECT_EQ(first.doModal(), 11);
    EXPECT_EQ(second.doModal(), 33);
    EXPECT_EQ(main.doModal(), 22);
    EXPECT_TRUE(mem().unused().empty());
    EXPECT_FALSE(first.isShown());
}

TEST_F(MemoryBackendTest, DialogsWithoutScriptOrLeftOpenFailLoudlyAfterTheirDestroyStep) {
    TestDialog unscripted(IDD_ABOUT);
    try {
        unscripted.doModal();
        FAIL() << "a dialog without a script ran";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("100"), std::string::npos) << e.what();
    }
    EXPECT_EQ(unscripted.destroyed, 1);
    EXPECT_FALSE(unscripted.isShown());

    mem().onShow(IDD_ABOUT, [](MemoryWindow&) {});
    TestDialog leftOpen(IDD_ABOUT);
    try {
        leftOpen.doModal();
        FAIL() << "a dialog left open by its script returned";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "dialog 100 still open after its script");
    }
    EXPECT_EQ(leftOpen.destroyed, 1);

    mem().onShow(IDD_ABOUT, [](MemoryWindow& w) { w.text(4242); });
    TestDialog failing(IDD_ABOUT);
    EXPECT_THROW(failing.doModal(), std::logic_error);
    EXPECT_FALSE(failing.isShown());
}

TEST_F(MemoryBackendTest, NestedDialogsRunTheirOwnScriptsAndOwnTheirMessages) {
    TestDialog main(IDD_MAIN);
    TestDialog about(IDD_ABOUT, &main);
    main.command = [&](int id) {
        if (id == IDC_ADVANCED) {
            main.messageBox("before");
            about.doModal();
        }
    };
    mem().onShow(IDD_MAIN, [&](MemoryWindow& w) {
        w.click(IDC_ADVANCED);
        EXPECT_EQ(mem().activeWindow(), &w);
        w.closeBox();
    });
    mem().onShow(IDD_ABOUT, [&](MemoryWindow& w) {
        EXPECT_EQ(mem().activeWindow(), &w);
        EXPECT_EQ(w.caption(), "关于 Brennick");
        about.messageBox("inside", fw::MessageIcon::Warning);
        w.pressEnter(fw::kIdOk);
    });
    mem().setProgramName("Loader");
    EXPECT_EQ(main.doModal(), fw::kIdCancel);
    EXPECT_EQ(mem().activeWindow(), nullptr);

    const std::vector<fw::mem::ShownMessageBox> shown = mem().takeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "before");
    EXPECT_EQ(shown[0].caption, "Loader");
    EXPECT_EQ(shown[0].icon, fw::MessageIcon::None);
    EXPECT_EQ(shown[0].ownerTemplate, IDD_MAIN);
    EXPECT_EQ(shown[1].text, "inside");
    EXPECT_EQ(shown[1].icon, fw::MessageIcon::Warning);
    EXPECT_EQ(shown[1].ownerTemplate, IDD_ABOUT);
    EXPECT_TRUE(mem().messages().empty());

    mem().reset();
    EXPECT_EQ(mem().programName(), "Brennick");
}

} // namespace
