// The loader's options and the parameter file that keeps them: one line
// "key=value" per option that is set, CR LF line ends.
#pragma once

#include <string>

namespace params {

// The fifteen options, each a free text exactly as typed; empty means not
// set. Named after the loader's keys (commit_discontinued becomes
// commitDiscontinued, and so on).
struct LoaderOptions {
    std::string silent;
    std::string bad;
    std::string bindsize;
    std::string commitDiscontinued;
    std::string direct;
    std::string discard;
    std::string discardmax;
    std::string errors;
    std::string load;
    std::string log;
    std::string parallel;
    std::string rows;
    std::string skipIndexMaintenance;
    std::string skip;
    std::string skipUnusableIndexes;
};

// What the options are when the file does not set them: bindsize 65536,
// errors 50, the four yes/no options other than parallel false, the rest
// empty.
LoaderOptions defaultOptions();

// Applies a parameter file's bytes over `options`. Each line's key is its
// text before the first "=", compared exactly with the fifteen keys; its
// value is the rest of the line, kept whole (empty, blanks, further "=").
// Lines with other keys or without "=" are passed over; of a key given
// twice, the last line counts. LF or CR LF ends a line.
void applyParameterText(const std::string& bytes, LoaderOptions& options);

// The file's bytes: "key=value" and CR LF for every option that is set, in
// the loader's key order (silent, bad, bindsize, commit_discontinued,
// direct, discard, discardmax, errors, load, log, parallel, rows,
// skip_index_maintenance, skip, skip_unusable_indexes). Empty when none is.
std::string parameterFileText(const LoaderOptions& options);

// Applies the file at `path` over `options`. A file that is missing or
// cannot be read changes nothing and is no error.
void readParameterFile(const std::string& path, LoaderOptions& options);

// Replaces the file at `path` with the options' bytes. On failure (false)
// the file is as it was before, and nothing else is left in its folder.
bool writeParameterFile(const std::string& path, const LoaderOptions& options);

enum class DefaultsWrite { Written, AlreadyThere, Failed };

// Makes sure a parameter file exists at `path`: when there is none, writes
// the default options' bytes there (the six lines the advanced dialog
// writes for them). The file is created only if no file of that name
// exists at that moment, so an existing one is never touched; a write that
// fails leaves nothing behind.
DefaultsWrite writeDefaultParameterFile(const std::string& path);

// What the user is told when the parameter file cannot be written.
std::string notWrittenMessage(const std::string& path);

} // namespace params
