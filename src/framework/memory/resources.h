// The resources of a compiled resource file (.res, the 32-bit format that
// windres writes): dialog templates with their items, the initialisation
// data of a template (type 240), the string table and which icons exist.
//
// The memory backend builds its windows from these templates, so the
// resource script stays the one description of every window. Texts are
// stored in the file as UTF-16 and are converted to code page 936 here,
// as the ANSI API of Windows hands them to the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fw::mem {

// Resource types (ordinals) read from the file.
constexpr int kResourceTypeString = 6;
constexpr int kResourceTypeDialog = 5;
constexpr int kResourceTypeGroupIcon = 14;
constexpr int kResourceTypeDialogInit = 240;

// The predefined window class of a dialog item, from its class ordinal
// (0x0080 to 0x0085) or its class name; Custom for any other class.
enum class ItemClass { Button, Edit, Static, ListBox, ScrollBar, ComboBox, Custom };

// A rectangle in dialog units, as a template gives it.
struct UnitRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct ItemTemplate {
    int id = 0; // -1 (IDC_STATIC) for items without an id of their own
    ItemClass itemClass = ItemClass::Custom;
    std::string className; // the class name as written, empty for an ordinal class
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    UnitRect rect;
    std::string caption;    // code page 936; empty when the title is an ordinal
    int captionOrdinal = 0; // the resource id given as the title (a picture's icon), else 0
};

struct DialogTemplate {
    int id = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    UnitRect rect;
    std::string caption;
    std::string fontName;
    int pointSize = 0;
    std::vector<ItemTemplate> items; // in template order
};

// One record of a template's initialisation data: a message sent to a
// control as the dialog is created, with its text (the terminating zero
// byte removed). 0x0403 adds an entry to a combo box, 0x0401 a line to a
// list box.
struct InitRecord {
    int controlId = 0;
    unsigned message = 0;
    std::string text;
};
constexpr unsigned kInitComboAddString = 0x0403;
constexpr unsigned kInitListAddString = 0x0401;

class ResourceFile {
public:
    // Reads a whole .res image. Throws std::runtime_error when the image is
    // malformed or holds a text that has no code page 936 form.
    static ResourceFile parse(const unsigned char* data, std::size_t size);

    // nullptr when the file has no dialog template with this id.
    const DialogTemplate* dialog(int id) const;
    // Empty when the template has no initialisation data.
    const std::vector<InitRecord>& dialogInit(int id) const;
    // std::nullopt when the string table has no (or an empty) string `id`,
    // as LoadString then loads nothing.
    std::optional<std::string> string(int id) const;
    bool hasIcon(int id) const;

private:
    std::map<int, DialogTemplate> dialogs_;
    std::map<int, std::vector<InitRecord>> inits_;
    std::map<int, std::string> strings_;
    std::set<int> icons_;
};

// Brennick's own resources, compiled from src/res/brennick.rc into the
// memory backend library; parsed on first use.
const ResourceFile& brennickResources();

} // namespace fw::mem
