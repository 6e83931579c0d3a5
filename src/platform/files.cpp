// File services built on the platform's own primitives, the same on every
// platform.
#include "platform/platform.h"

#include <cstdio>

namespace platform {

bool writeFileSafely(const std::string& path, const std::string& bytes) {
    // A temporary of its own beside the file, in the same folder so that the
    // replacement is a rename; one that an interrupted write left behind is
    // passed over, never reused.
    constexpr int kNames = 100;
    for (int k = 0; k < kNames; ++k) {
        const std::string temporary = path + "." + std::to_string(k) + ".tmp";
        switch (writeNewFile(temporary, bytes)) {
        case NewFileStatus::Exists:
            continue;
        case NewFileStatus::Failed:
            return false;
        case NewFileStatus::Written:
            if (replaceFile(temporary, path)) {
                return true;
            }
            std::remove(temporary.c_str());
            return false;
        }
    }
    return false;
}

} // namespace platform
