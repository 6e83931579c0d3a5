#include "framework/memory/resources.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

// The compiled resource script, embedded by the build (cmake/embed.cmake).
extern const unsigned char kBrennickResources[];
extern const std::size_t kBrennickResourcesSize;

namespace fw::mem {

namespace {

constexpr std::uint32_t kDsSetFont = 0x40;

[[noreturn]] void malformed(const std::string& what) {
    throw std::runtime_error("malformed resource file: " + what);
}

// UTF-16LE bytes to code page 936 bytes. Every UTF-16 unit of the basic
// plane takes at most two bytes in code page 936, so the output never
// needs more room than the input.
std::string toCp936(const std::string& utf16le) {
    if (utf16le.empty()) {
        return {};
    }
    const iconv_t cd = iconv_open("GBK", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("iconv cannot convert UTF-16 to GBK");
    }
    std::string in = utf16le;
    std::string out(in.size(), '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    iconv_close(cd);
    if (converted == static_cast<std::size_t>(-1)) {
        throw std::runtime_error(error == EILSEQ ? "resource text has no code page 936 form"
                                                 : "resource text is not valid UTF-16");
    }
    out.resize(out.size() - outLeft);
    return out;
}

// A name or ordinal field: 0xFFFF followed by an ordinal, or a
// zero-terminated UTF-16 string (a lone zero being the empty string).
struct NameOrOrdinal {
    bool isOrdinal = false;
    int ordinal = 0;
    std::string utf16le;
};

// Little-endian reads within one block of bytes, checked against its end.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return pos_ >= size_; }
    std::size_t pos() const { return pos_; }

    void seek(std::size_t pos) {
        if (pos > size_) {
            malformed("a field runs past the end of its block");
        }
        pos_ = pos;
    }
    void skip(std::size_t n) {
        if (n > size_ - pos_) {
            malformed("a field runs past the end of its block");
        }
        pos_ += n;
    }
    // To the next multiple of four from the start of the block; never past
    // its end, as the last item of a block needs no padding.
    void align4() {
        const std::size_t aligned = (pos_ + 3) & ~static_cast<std::size_t>(3);
        pos_ = aligned < size_ ? aligned : size_;
    }

    std::uint8_t u8() {
        need(1);
        return data_[pos_++];
    }
    std::uint16_t u16() {
        need(2);
        const std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        const std::uint32_t high = u16();
        return low | (high << 16);
    }
    int i16() { return static_cast<std::int16_t>(u16()); }

    // The UTF-16LE bytes up to a terminating zero unit, which is consumed.
    std::string utf16z() {
        std::string bytes;
        for (std::uint16_t unit = u16(); unit != 0; unit = u16()) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return bytes;
    }

    NameOrOrdinal nameOrOrdinal() {
        NameOrOrdinal n;
        need(2);
        if (data_[pos_] == 0xFF && data_[pos_ + 1] == 0xFF) {
            pos_ += 2;
            n.isOrdinal = true;
            n.ordinal = u16();
        } else {
            n.utf16le = utf16z();
        }
        return n;
    }

    const unsigned char* here() const { return data_ + pos_; }

private:
    void need(std::size_t n) const {
        if (n > size_ - pos_) {
            malformed("a field runs past the end of its block");
        }
    }
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

ItemClass classFromOrdinal(int ordinal) {
    switch (ordinal) {
    case 0x80:
        return ItemClass::Button;
    case 0x81:
        return ItemClass::Edit;
    case 0x82:
        return ItemClass::Static;
    case 0x83:
        return ItemClass::ListBox;
    case 0x84:
        return ItemClass::ScrollBar;
    case 0x85:
        return ItemClass::ComboBox;
    default:
        return ItemClass::Custom;
    }
}

ItemClass classFromName(const std::string& name) {
    std::string lower;
    for (char c : name) {
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    static const struct {
        const char* name;
        ItemClass itemClass;
    } kNames[] = {{"button", ItemClass::Button},       {"edit", ItemClass::Edit},
                  {"static", ItemClass::Static},       {"listbox", ItemClass::ListBox},
                  {"scrollbar", ItemClass::ScrollBar}, {"combobox", ItemClass::ComboBox}};
    for (const auto& known : kNames) {
        if (lower == known.name) {
            return known.itemClass;
        }
    }
    return ItemClass::Custom;
}

ItemTemplate parseItem(Reader& r) {
    ItemTemplate item;
    r.u32(); // help id
    item.exStyle = r.u32();
    item.style = r.u32();
    item.rect.x = r.i16();
    item.rect.y = r.i16();
    item.rect.cx = r.i16();
    item.rect.cy = r.i16();
    item.id = static_cast<std::int32_t>(r.u32());
    if (item.id == 0xFFFF) { // IDC_STATIC written as a WORD into a DWORD field
        item.id = -1;
    }
    const NameOrOrdinal cls = r.nameOrOrdinal();
    if (cls.isOrdinal) {
        item.itemClass = classFromOrdinal(cls.ordinal);
    } else {
        item.className = toCp936(cls.utf16le);
        item.itemClass = classFromName(item.className);
    }
    const NameOrOrdinal title = r.nameOrOrdinal();
    if (title.isOrdinal) {
        item.captionOrdinal = title.ordinal;
    } else {
        item.caption = toCp936(title.utf16le);
    }
    r.skip(r.u16()); // creation data
    return item;
}

DialogTemplate parseDialog(int id, const unsigned char* data, std::size_t size) {
    Reader r(data, size);
    DialogTemplate t;
    t.id = id;
    const std::uint16_t version = r.u16();
    const std::uint16_t signature = r.u16();
    if (version != 1 || signature != 0xFFFF) {
        malformed("dialog template " + std::to_string(id) + " is not an extended (DIALOGEX) template");
    }
    r.u32(); // help id
    t.exStyle = r.u32();
    t.style = r.u32();
    const int count = r.u16();
    t.rect.x = r.i16();
    t.rect.y = r.i16();
    t.rect.cx = r.i16();
    t.rect.cy = r.i16();
    r.nameOrOrdinal(); // menu
    r.nameOrOrdinal(); // window class
    t.caption = toCp936(r.utf16z());
    if (t.style & kDsSetFont) {
        t.pointSize = r.u16();
        r.u16(); // weight
        r.u8();  // italic
        r.u8();  // character set
        t.fontName = toCp936(r.utf16z());
    }
    for (int i = 0; i < count; ++i) {
        r.align4();
        t.items.push_back(parseItem(r));
    }
    return t;
}

std::vector<InitRecord> parseDialogInit(int id, const unsigned char* data, std::size_t size) {
    Reader r(data, size);
    std::vector<InitRecord> records;
    for (;;) {
        if (r.atEnd()) {
            malformed("initialisation data of template " + std::to_string(id) + " has no end mark");
        }
        InitRecord rec;
        rec.controlId = r.u16();
        if (rec.controlId == 0) {
            return records;
        }
        rec.message = r.u16();
        const std::size_t length = r.u32();
        const unsigned char* text = r.here();
        r.skip(length);
        std::size_t n = 0;
        while (n < length && text[n] != 0) {
            ++n;
        }
        rec.text.assign(reinterpret_cast<const char*>(text), n);
        records.push_back(rec);
    }
}

} // namespace

ResourceFile ResourceFile::parse(const unsigned char* data, std::size_t size) {
    ResourceFile file;
    Reader r(data, size);
    while (!r.atEnd()) {
        const std::size_t start = r.pos();
        const std::size_t dataSize = r.u32();
        const std::size_t headerSize = r.u32();
        const NameOrOrdinal type = r.nameOrOrdinal();
        const NameOrOrdinal name = r.nameOrOrdinal();
        if (headerSize < r.pos() - start || headerSize > size - start || dataSize > size - start - headerSize) {
            malformed("a resource header gives sizes beyond the file");
        }
        const unsigned char* body = data + start + headerSize;
        // Only resources named by number are looked up; a resource given in
        // several languages keeps its first.
        if (type.isOrdinal && name.isOrdinal) {
            const int id = name.ordinal;
            switch (type.ordinal) {
            case kResourceTypeDialog:
                file.dialogs_.emplace(id, parseDialog(id, body, dataSize));
                break;
            case kResourceTypeDialogInit:
                file.inits_.emplace(id, parseDialogInit(id, body, dataSize));
                break;
            case kResourceTypeString: {
                Reader block(body, dataSize);
                for (int i = 0; i < 16; ++i) {
                    const std::size_t units = block.u16();
                    const unsigned char* chars = block.here();
                    block.skip(units * 2);
                    if (units > 0) {
                        file.strings_.emplace((id - 1) * 16 + i,
                                              toCp936(std::string(reinterpret_cast<const char*>(chars), units * 2)));
                    }
                }
                break;
            }
            case kResourceTypeGroupIcon:
                file.icons_.insert(id);
                break;
            default:
                break;
            }
        }
        r.seek(start + headerSize + dataSize);
        r.align4();
    }
    return file;
}

const DialogTemplate* ResourceFile::dialog(int id) const {
    const auto it = dialogs_.find(id);
    return it == dialogs_.end() ? nullptr : &it->second;
}

const std::vector<InitRecord>& ResourceFile::dialogInit(int id) const {
    static const std::vector<InitRecord> kNone;
    const auto it = inits_.find(id);
    return it == inits_.end() ? kNone : it->second;
}

std::optional<std::string> ResourceFile::string(int id) const {
    const auto it = strings_.find(id);
    if (it == strings_.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool ResourceFile::hasIcon(int id) const {
    return icons_.count(id) != 0;
}

const ResourceFile& brennickResources() {
    static const ResourceFile file = ResourceFile::parse(kBrennickResources, kBrennickResourcesSize);
    return file;
}

} // namespace fw::mem
