// Field descriptions are built by Add and split again when a line of the
// field list is selected; lines read from a hand-written control file are
// split too, whatever they hold.
//
// Properties:
//  1. Any line, either record type: the split returns; the name is the text
//     before the line's first blank, and no text it gives has white space at
//     its ends except the name and the mask.
//  2. Compose then split, in either form, gives back the name (trimmed),
//     position, type and date mask, when they hold no blank, quote or
//     parenthesis that the form cuts at (and the type no white space at its
//     ends): no quote but the mask's two, for variable-length records no
//     blank in the name; for fixed-length ones further no parenthesis in the
//     name and no ")" in the position. A text that ends in a lone lead
//     byte takes the blank, quote or parenthesis after it into a character
//     and is left out.
#include "gbk.h"
#include "loaddef/field_description.h"
#include "text/cp936.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using fuzzgbk::expectEqual;
using fuzzgbk::expectTrue;
using fuzzgbk::holds;

void splitAnyLine(int recordType, const std::string& line) {
    const std::optional<loaddef::SplitField> split = loaddef::splitField(recordType, line);
    expectTrue("record types 0 and 1 split", split.has_value());
    const std::vector<bool> starts = fuzzgbk::characterStarts(line);
    std::size_t own = line.find(' '); // the first blank that is a character of its own
    while (own != std::string::npos && !starts[own])
        own = line.find(' ', own + 1);
    expectEqual("the name is the text before the first blank", own == std::string::npos ? "" : line.substr(0, own),
                split->name);
    expectEqual("the type is trimmed", text::trim(split->type), split->type);
    if (split->position)
        expectTrue("the position is part of the line", line.find(*split->position) != std::string::npos);
}

void composeAndSplit(FuzzedDataProvider& in) {
    const int recordType = in.ConsumeIntegralInRange(0, 1);
    const bool dated = in.ConsumeBool();
    const std::string name = in.ConsumeRandomLengthString(60);
    const std::string position = in.ConsumeRandomLengthString(30);
    const std::string type = in.ConsumeRandomLengthString(40);
    const std::string mask = in.ConsumeRandomLengthString(40);

    const loaddef::ComposedField field = loaddef::composeField(recordType, name, position, type, dated, mask);
    if (field.outcome != loaddef::ComposedField::Outcome::Built) {
        expectEqual("only a blank name builds nothing", "", field.name);
        return;
    }
    const bool fixed = recordType == 1;
    const bool cuttable = holds(field.name, ' ') || holds(field.name + position + type + mask, '\'') ||
                          text::trim(type) != type ||
                          (fixed && (holds(field.name, '(') || holds(field.name, ')') || holds(position, ')'))) ||
                          fuzzgbk::endsInLoneLead(field.name) || fuzzgbk::endsInLoneLead(type) ||
                          fuzzgbk::endsInLoneLead(mask) || (fixed && fuzzgbk::endsInLoneLead(position));
    splitAnyLine(recordType, field.text);
    if (cuttable)
        return;
    const std::optional<loaddef::SplitField> split = loaddef::splitField(recordType, field.text);
    expectEqual("name composed and split", field.name, split->name);
    expectEqual("type composed and split", type, split->type);
    expectEqual("mask composed and split", dated ? mask : "", split->dateMask);
    expectEqual("position composed and split", fixed ? position : "(kept)", split->position.value_or("(kept)"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    splitAnyLine(0, line);
    splitAnyLine(1, line);
    FuzzedDataProvider in(data, size);
    composeAndSplit(in);
    return 0;
}
