// File services built on the platform's own primitives, the same on every
// platform.
#include "platform/platform.h"

#include <cstdio>

namespace platform {

SafeWrite writeFileSafely(const std::string& path, const std::string& bytes) {
    // A temporary of its own beside the file, in the same folder so that the
    // replacement is a rename; one that an interrupted write left behind is
    // passed over, never reused.
    constexpr int kNames = 100;
    for (int k = 0; k < kNames; ++k) {
        const std::string temporary = path + "." + std::to_string(k) + ".tmp";
        switch (writeNewFile(temporary, bytes)) {
        case NewFileStatus::Exists:
            continue;
        case NewFileStatus::NotCreated:
            return SafeWrite::NotCreated;
        case NewFileStatus::NotWritten:
            return SafeWrite::NotWritten;
        case NewFileStatus::Written:
            if (replaceFile(temporary, path)) {
                return SafeWrite::Written;
            }
            std::remove(temporary.c_str());
            return SafeWrite::NotCreated;
        }
    }
    return SafeWrite::NotCreated;
}

} // namespace platform
