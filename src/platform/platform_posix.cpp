// POSIX implementation of the platform layer, for the native build.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

const char kPathSeparator = '/';

std::string executablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return std::string();
        // readlink truncates silently; a result that fills the buffer may be cut.
        if (static_cast<std::size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

bool moveFile(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system does not know RENAME_NOREPLACE: link() refuses an
    // existing target as well.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

ReadStatus readFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ReadStatus::OpenFailed;
    std::vector<char> buffer(1 << 16);
    ReadStatus status = ReadStatus::Read;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            status = ReadStatus::ReadFailed;
            break;
        }
    }
    ::close(fd);
    return status;
}

namespace {

bool writeAll(int fd, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n > 0)
            at += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            return false;
    }
    return true;
}

} // namespace

NewFileStatus writeNewFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? NewFileStatus::Exists : NewFileStatus::NotCreated;
    bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written) {
        ::unlink(path.c_str());
        return NewFileStatus::NotWritten;
    }
    return NewFileStatus::Written;
}

namespace {

// Splits a command line into words as the Windows C runtime does: blanks
// and tabs separate words, double quotes group (and are removed), 2n
// backslashes before a quote give n backslashes, 2n+1 give n and a literal
// quote; other backslashes and single quotes are ordinary characters.
std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    const std::size_t n = line.size();
    for (;;) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == n)
            return words;
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '\\') {
                std::size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    word.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        word += '"';
                        ++i;
                    }
                } else {
                    word.append(slashes, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    word += '"'; // "" inside quotes is a literal quote
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A close-on-exec pipe whose ends are both above the standard descriptors,
// so the child's dup2 onto 1 and 2 never replaces one of them.
bool makePipe(int fds[2]) {
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    for (int k = 0; k < 2; ++k) {
        if (fds[k] > 2)
            continue;
        int moved = ::fcntl(fds[k], F_DUPFD_CLOEXEC, 3);
        if (moved < 0) {
            closeFd(fds[0]);
            closeFd(fds[1]);
            return false;
        }
        ::close(fds[k]);
        fds[k] = moved;
    }
    return true;
}

class PosixChild : public ChildProcess {
public:
    PosixChild(pid_t pid, int readFd) : pid_(pid), readFd_(readFd) {}
    PosixChild(const PosixChild&) = delete;
    PosixChild& operator=(const PosixChild&) = delete;

    ~PosixChild() override {
        closeFd(readFd_);
        // Reap without killing: once the read end is closed the child ends
        // at its next write (SIGPIPE) or on its own.
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }

    std::size_t read(char* buffer, std::size_t max) override {
        if (max == 0)
            return 0;
        for (;;) {
            ssize_t n = ::read(readFd_, buffer, max);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR)
                return 0;
        }
    }

private:
    pid_t pid_;
    int readFd_;
};

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string& commandLine, Failure& failure) {
    failure = Failure::None;
    std::vector<std::string> words = splitCommandLine(commandLine);
    if (words.empty()) {
        failure = Failure::Process;
        return nullptr;
    }
    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls.
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);

    int out[2] = {-1, -1};
    int status[2] = {-1, -1}; // carries errno of a failed exec; EOF means exec succeeded
    if (!makePipe(out)) {
        failure = Failure::Pipe;
        return nullptr;
    }
    if (!makePipe(status)) {
        closeFd(out[0]);
        closeFd(out[1]);
        failure = Failure::Pipe;
        return nullptr;
    }

    pid_t pid = ::fork();
    if (pid == 0) {
        // dup2 clears close-on-exec on 1 and 2; every other descriptor of the
        // parent is close-on-exec or is made so here, so no other child's
        // pipe stays open in this one.
        if (::dup2(out[1], 1) < 0 || ::dup2(out[1], 2) < 0) {
            int e = errno;
            (void)!::write(status[1], &e, sizeof e);
            ::_exit(127);
        }
#ifdef CLOSE_RANGE_CLOEXEC
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
        ::execvp(argv[0], argv.data());
        int e = errno;
        (void)!::write(status[1], &e, sizeof e);
        ::_exit(127);
    }

    closeFd(out[1]);
    closeFd(status[1]);
    if (pid < 0) {
        closeFd(out[0]);
        closeFd(status[0]);
        failure = Failure::Process;
        return nullptr;
    }

    int childErrno = 0;
    ssize_t got;
    while ((got = ::read(status[0], &childErrno, sizeof childErrno)) < 0 && errno == EINTR) {
    }
    closeFd(status[0]);
    if (got > 0) {
        closeFd(out[0]);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        failure = Failure::Process;
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new PosixChild(pid, out[0]));
}

} // namespace platform
