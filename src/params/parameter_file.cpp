#include "params/parameter_file.h"

#include "platform/platform.h"
#include "text/cp936.h"

#include <cstddef>

namespace params {

namespace {

struct Option {
    const char* key;
    std::string LoaderOptions::*value;
};

// In the order the file holds them.
const Option kOptions[] = {
    {"silent", &LoaderOptions::silent},
    {"bad", &LoaderOptions::bad},
    {"bindsize", &LoaderOptions::bindsize},
    {"commit_discontinued", &LoaderOptions::commitDiscontinued},
    {"direct", &LoaderOptions::direct},
    {"discard", &LoaderOptions::discard},
    {"discardmax", &LoaderOptions::discardmax},
    {"errors", &LoaderOptions::errors},
    {"load", &LoaderOptions::load},
    {"log", &LoaderOptions::log},
    {"parallel", &LoaderOptions::parallel},
    {"rows", &LoaderOptions::rows},
    {"skip_index_maintenance", &LoaderOptions::skipIndexMaintenance},
    {"skip", &LoaderOptions::skip},
    {"skip_unusable_indexes", &LoaderOptions::skipUnusableIndexes},
};

} // namespace

LoaderOptions defaultOptions() {
    LoaderOptions o;
    o.bindsize = "65536";
    o.errors = "50";
    o.commitDiscontinued = "false";
    o.direct = "false";
    o.skipIndexMaintenance = "false";
    o.skipUnusableIndexes = "false";
    return o;
}

void applyParameterText(const std::string& bytes, LoaderOptions& options) {
    for (const std::string& line : text::splitLines(bytes)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        for (const Option& option : kOptions) {
            if (line.compare(0, equals, option.key) == 0) {
                options.*option.value = line.substr(equals + 1);
                break;
            }
        }
    }
}

std::string parameterFileText(const LoaderOptions& options) {
    std::string s;
    for (const Option& option : kOptions) {
        const std::string& value = options.*option.value;
        if (!value.empty()) {
            s += std::string(option.key) + "=" + value + "\n";
        }
    }
    // Written as a text-mode file is: every LF stored as CR LF.
    return text::lfToCrLf(s);
}

void readParameterFile(const std::string& path, LoaderOptions& options) {
    std::string bytes;
    if (platform::readFile(path, bytes) == platform::ReadStatus::Read) {
        applyParameterText(bytes, options);
    }
}

bool writeParameterFile(const std::string& path, const LoaderOptions& options) {
    return platform::writeFileSafely(path, parameterFileText(options)) == platform::SafeWrite::Written;
}

DefaultsWrite writeDefaultParameterFile(const std::string& path) {
    switch (platform::writeNewFile(path, parameterFileText(defaultOptions()))) {
    case platform::NewFileStatus::Written:
        return DefaultsWrite::Written;
    case platform::NewFileStatus::Exists:
        return DefaultsWrite::AlreadyThere;
    case platform::NewFileStatus::NotCreated:
    case platform::NewFileStatus::NotWritten:
        break;
    }
    return DefaultsWrite::Failed;
}

std::string notWrittenMessage(const std::string& path) {
    return "参数文件无法写入: " + path;
}

} // namespace params
