// The parameter file reader is given whatever the program folder holds under
// the name parfile.cfg, edited by hand or not a parameter file at all.
//
// Properties:
//  1. Any bytes: reading returns, and the options read, written and read
//     again over empty options are the same.
//  2. Any fifteen values without a line break, written and read over empty
//     options, come back the same; the file holds one CR LF line per value
//     that is set.
#include "gbk.h"
#include "params/parameter_file.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using Options = params::LoaderOptions;

// The fifteen values, in any order: the property only needs each once.
const std::vector<std::string Options::*> kValues(
    {&Options::silent, &Options::bad, &Options::bindsize, &Options::commitDiscontinued, &Options::direct,
     &Options::discard, &Options::discardmax, &Options::errors, &Options::load, &Options::log, &Options::parallel,
     &Options::rows, &Options::skipIndexMaintenance, &Options::skip, &Options::skipUnusableIndexes});

void expectRoundTrip(const char* what, const Options& options) {
    const std::string file = params::parameterFileText(options);
    Options read;
    params::applyParameterText(file, read);
    std::size_t set = 0;
    for (std::string Options::*v : kValues) {
        fuzzgbk::expectEqual(what, options.*v, read.*v);
        set += (options.*v).empty() ? 0 : 1;
    }
    std::size_t lines = 0;
    for (std::size_t at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", at + 2))
        ++lines;
    fuzzgbk::expectEqual("one CR LF line per value set", std::to_string(set), std::to_string(lines));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Options read = params::defaultOptions();
    params::applyParameterText(std::string(reinterpret_cast<const char*>(data), size), read);
    expectRoundTrip("options read, written and read again", read);

    FuzzedDataProvider in(data, size);
    Options typed;
    for (std::string Options::*v : kValues)
        typed.*v = fuzzgbk::oneLine(in.ConsumeRandomLengthString(100));
    expectRoundTrip("fifteen values written and read", typed);
    return 0;
}
