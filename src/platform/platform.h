// Operating-system services other than windows. One implementation per
// platform is linked: Win32 for the Windows build, POSIX for the native one,
// which holds only the file functions that the file formats need.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Moves a file; fails (false) when `to` exists already.
bool moveFile(const std::string& from, const std::string& to);

// Puts `from` in the place of `to` in one step, replacing a file of that
// name: `to` is its old self or `from` whole, never a mixture. Fails (false)
// when `to` is a folder or a read-only file, or the two are on different
// volumes.
bool replaceFile(const std::string& from, const std::string& to);

enum class ReadStatus { Read, OpenFailed, ReadFailed };

// Reads the whole file at `path` into `bytes`, in binary. On ReadFailed,
// `bytes` holds what was read before the failure.
ReadStatus readFile(const std::string& path, std::string& bytes);

enum class NewFileStatus { Written, Exists, NotCreated, NotWritten };

// Creates `path`, which must not exist yet, writes `bytes` into it and
// flushes it to the disk. A failure after the file was created (NotWritten,
// a full disk for instance) removes it.
NewFileStatus writeNewFile(const std::string& path, const std::string& bytes);

enum class SafeWrite {
    Written,
    NotCreated, // no new file could be made beside it, or it could not take the old one's place
    NotWritten  // writing the new file failed (a full disk)
};

// Writes `bytes` as the new content of `path`: into a new file beside it
// first, which takes the old file's place only once it is complete. On
// failure the old file is untouched and no new file is left behind.
SafeWrite writeFileSafely(const std::string& path, const std::string& bytes);

// A child process whose standard output and standard error both go into one
// pipe that the parent reads.
class ChildProcess {
public:
    enum class Failure { None, Pipe, Process };

    // Windows only. Starts the program at the full path `program` with
    // `commandLine`, given whole as the program's own command line. The
    // child's window is hidden. On failure (an empty `program` included)
    // returns nullptr and says which step failed.
    static std::unique_ptr<ChildProcess> start(const std::string& program, const std::string& commandLine,
                                               Failure& failure);

    virtual ~ChildProcess() = default;

    // Blocks until output arrives; reads at most `max` bytes into `buffer`.
    // Returns 0 once the pipe is broken: the child and everything that
    // inherited the pipe have ended or closed it.
    virtual std::size_t read(char* buffer, std::size_t max) = 0;

    // Waits at most `timeout` for the child to end and gives its exit code;
    // nothing when it is still running then.
    virtual std::optional<std::uint32_t> waitForExit(std::chrono::milliseconds timeout) = 0;
};

// Windows only from here on.

// The separator of path components.
extern const char kPathSeparator;

// Full path of the running executable, at any length.
std::string executablePath();

// The full path of the program file `fileName` (such as "sqlldr.exe") in
// `folder` (none when empty) or else in the first folder of the search path
// (the PATH variable as it is now) that holds it; empty when none does. The
// current folder is searched only where one of those names it.
std::string findProgram(const std::string& fileName, const std::string& folder);

} // namespace platform
