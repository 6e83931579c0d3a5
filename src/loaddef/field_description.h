// Field descriptions: the lines of the field list, built from the editing
// boxes and split back into them.
//
//   variable-length records:  name type           name type  'mask'
//   fixed-length records:     name position(p) type          name position(p) type'mask'
#pragma once

#include <optional>
#include <string>

namespace loaddef {

// What becomes of the editing boxes' values when a field is added.
struct ComposedField {
    enum class Outcome {
        Built,       // `text` holds the description
        BlankName,   // the name is empty once trimmed: nothing is added
        NoRecordType // the record type is neither 0 nor 1: the user is asked to choose one
    };
    Outcome outcome;
    std::string name; // the name without white space at its ends, in every outcome
    std::string text;
};

// Builds the description of a field. `dateTypeSelected` is true when the
// DATE entry of the field-type box is selected; only then is the date mask,
// which may be empty, appended in quotes.
ComposedField composeField(int recordType, const std::string& name, const std::string& position,
                           const std::string& type, bool dateTypeSelected, const std::string& dateMask);

// The editing boxes' values a description splits into.
struct SplitField {
    std::string name;
    std::optional<std::string> position; // absent for variable-length records: the box keeps its text
    std::string type;
    std::string dateMask;
};

// Splits `line` in the form of `recordType`, whatever form the line has: a
// line of the other form, or without the blank, parentheses or quotes of its
// form, gives whatever the cuts yield. Absent when the record type is
// neither 0 nor 1.
std::optional<SplitField> splitField(int recordType, const std::string& line);

} // namespace loaddef
