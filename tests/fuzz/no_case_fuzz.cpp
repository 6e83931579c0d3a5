// Control file lines are matched ignoring case ("load data", "append",
// "replace", "(" and ")"), and choice boxes select the first entry that
// begins with a text ignoring case: single-byte letters fold, double-byte
// characters compare exactly, also when their second byte is a letter.
//
// Properties, for any texts a and b:
//  1. startsWithNoCase(a + b, a) and equalsNoCase(a, a) hold;
//  2. changing the case of letters that are characters of their own keeps
//     both true; changing the case of a letter that is the second byte of a
//     double-byte character makes them false;
//  3. equalsNoCase is symmetric, and startsWithNoCase(s, p) is
//     equalsNoCase(the first |p| bytes of s, p).
#include "gbk.h"
#include "text/cp936.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string a = in.ConsumeRandomLengthString(64);
    const std::string b = in.ConsumeRandomLengthString(64);
    const std::size_t flip = in.ConsumeIntegral<std::size_t>();

    fuzzgbk::expectTrue("a + b begins with a", text::startsWithNoCase(a + b, a));
    fuzzgbk::expectTrue("a equals a", text::equalsNoCase(a, a));
    fuzzgbk::expectTrue("equality is symmetric", text::equalsNoCase(a, b) == text::equalsNoCase(b, a));
    fuzzgbk::expectTrue("begins with is equality of the first bytes",
                        text::startsWithNoCase(b, a) ==
                            (b.size() >= a.size() && text::equalsNoCase(b.substr(0, a.size()), a)));

    // Flip the case of the letters among a's bytes from `flip` on.
    const std::vector<bool> starts = fuzzgbk::characterStarts(a);
    std::string folded = a;
    bool trailFlipped = false;
    for (std::size_t i = a.empty() ? 0 : flip % a.size(); i < a.size(); ++i) {
        if (std::isalpha(static_cast<unsigned char>(a[i]))) {
            folded[i] = static_cast<char>(a[i] ^ 0x20);
            trailFlipped = trailFlipped || !starts[i];
        }
    }
    fuzzgbk::expectTrue("case folds only in single-byte letters", text::equalsNoCase(folded, a) == !trailFlipped);
    fuzzgbk::expectTrue("and so does begins with", text::startsWithNoCase(folded + b, a) == !trailFlipped);
    return 0;
}
