#include "loaddef/field_description.h"

#include "loaddef/load_definition.h"
#include "text/cp936.h"

#include <cstddef>

namespace loaddef {

namespace {

// The cuts a line is split with. An index is a byte index into the line, or
// -1 for a character that was not found; every cut has a defined result at -1.
class Cuts {
public:
    using Index = std::ptrdiff_t;

    explicit Cuts(const std::string& s) : s_(s) {}

    // The first `c` at or after `from`; -1 when none, also when `from` is -1.
    Index find(char c, Index from) const {
        if (from < 0) {
            return -1;
        }
        const std::size_t at = text::findChar(s_, c, static_cast<std::size_t>(from));
        return at == std::string::npos ? -1 : static_cast<Index>(at);
    }

    // The text before `i`; empty when `i` is -1.
    std::string before(Index i) const { return i < 0 ? std::string() : s_.substr(0, static_cast<std::size_t>(i)); }

    // The text after `a` (from the start when `a` is -1) and before `b`;
    // empty when `b` is -1 or not after `a`.
    std::string between(Index a, Index b) const { return b < 0 ? std::string() : slice(a, b); }

    // As between, but to the end when `b` is -1; white space trimmed off.
    std::string through(Index a, Index b) const {
        return text::trim(b < 0 ? s_.substr(static_cast<std::size_t>(a + 1)) : slice(a, b));
    }

private:
    std::string slice(Index a, Index b) const {
        return b <= a ? std::string() : s_.substr(static_cast<std::size_t>(a + 1), static_cast<std::size_t>(b - a - 1));
    }

    const std::string& s_;
};

} // namespace

ComposedField composeField(int recordType, const std::string& name, const std::string& position,
                           const std::string& type, bool dateTypeSelected, const std::string& dateMask) {
    ComposedField f{ComposedField::Outcome::Built, text::trim(name), std::string()};
    if (f.name.empty()) {
        f.outcome = ComposedField::Outcome::BlankName;
    } else if (recordType == kFixedLength) {
        f.text = f.name + " position(" + position + ") " + type + (dateTypeSelected ? "'" + dateMask + "'" : "");
    } else if (recordType == kVariableLength) {
        f.text = f.name + " " + type + (dateTypeSelected ? "  '" + dateMask + "'" : "");
    } else {
        f.outcome = ComposedField::Outcome::NoRecordType;
    }
    return f;
}

std::optional<SplitField> splitField(int recordType, const std::string& line) {
    const Cuts s(line);
    SplitField f;
    Cuts::Index typeEnd = -1;
    if (recordType == kVariableLength) {
        const Cuts::Index e = s.find(' ', 0);
        f.name = s.before(e);
        typeEnd = s.find('\'', e);
        f.type = s.through(e, typeEnd);
    } else if (recordType == kFixedLength) {
        f.name = s.before(s.find(' ', 0));
        const Cuts::Index q = s.find(')', 0);
        f.position = s.between(s.find('(', 0), q);
        const Cuts::Index h = s.find(' ', q);
        typeEnd = s.find('\'', h);
        f.type = s.through(h, typeEnd);
    } else {
        return std::nullopt;
    }
    // The mask's search starts after the type's end even when no quote ended
    // the type: from -1 + 1, the start of the line.
    f.dateMask = s.between(typeEnd, s.find('\'', typeEnd + 1));
    return f;
}

} // namespace loaddef
