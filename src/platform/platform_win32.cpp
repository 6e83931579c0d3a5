// Win32 implementation of the platform layer (ANSI API, code page 936).
#include "platform/platform.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include <windows.h>

namespace platform {

const char kPathSeparator = '\\';

namespace {

// A text that a Win32 function writes into a buffer it is given: `get` is
// called with a buffer and its size and returns the length written, or the
// size needed (terminator included) when it does not fit, 0 on failure.
template <typename Get> std::string fetched(Get get) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = get(buffer.data(), size);
        if (n == 0) {
            return std::string();
        }
        if (n < size) {
            return std::string(buffer.data(), n);
        }
        buffer.resize(std::max<std::size_t>(n, buffer.size() * 2));
    }
}

} // namespace

std::string executablePath() {
    // A result that fills the buffer was cut (and is not terminated on older
    // systems): it is fetched again with more room.
    return fetched([](char* buffer, DWORD size) { return ::GetModuleFileNameA(NULL, buffer, size); });
}

std::string findProgram(const std::string& fileName, const std::string& folder) {
    // SearchPathA given a path searches only that path. An empty entry in it
    // might be taken for the current folder, so only entries that name a
    // folder are kept (';' is never the second byte of a character).
    const std::string variable =
        fetched([](char* buffer, DWORD size) { return ::GetEnvironmentVariableA("PATH", buffer, size); });
    std::string path = folder;
    for (std::size_t at = 0; at <= variable.size();) {
        const std::size_t end = std::min(variable.find(';', at), variable.size());
        if (end > at) {
            path += (path.empty() ? "" : ";") + variable.substr(at, end - at);
        }
        at = end + 1;
    }
    if (path.empty()) {
        return std::string();
    }
    return fetched([&](char* buffer, DWORD size) {
        return ::SearchPathA(path.c_str(), fileName.c_str(), NULL, size, buffer, NULL);
    });
}

bool moveFile(const std::string& from, const std::string& to) {
    return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
    // Windows refuses to replace a read-only file; Wine run by root replaces
    // it. Checked here, so that the attribute holds on both.
    const DWORD attributes = ::GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Files are opened through CreateFileA without security attributes, so their
// handles are never inherited by a loader that a run starts meanwhile (which
// would keep the file open, and so unreplaceable, as long as it runs).
ReadStatus readFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return ReadStatus::OpenFailed;
    std::vector<char> buffer(1 << 16);
    ReadStatus status = ReadStatus::Read;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, NULL)) {
            status = ReadStatus::ReadFailed;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer.data(), got);
    }
    ::CloseHandle(file);
    return status;
}

NewFileStatus writeNewFile(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS ? NewFileStatus::Exists : NewFileStatus::NotCreated;
    bool written = true;
    for (std::size_t at = 0; written && at < bytes.size();) {
        const std::size_t left = bytes.size() - at;
        const DWORD want = left > (1u << 20) ? (1u << 20) : static_cast<DWORD>(left);
        DWORD put = 0;
        written = ::WriteFile(file, bytes.data() + at, want, &put, NULL) && put > 0;
        at += put;
    }
    written = written && ::FlushFileBuffers(file);
    written = ::CloseHandle(file) && written;
    if (!written) {
        ::DeleteFileA(path.c_str());
        return NewFileStatus::NotWritten;
    }
    return NewFileStatus::Written;
}

namespace {

// Both pipe ends are created inheritable, and CreateProcessA with
// bInheritHandles=TRUE hands EVERY inheritable handle of this process to the
// child. Two runs started at the same time from two threads could each give
// their write end to the other's child, and a pipe breaks only when every
// holder of its write end has closed it: the first run would wait for the
// second child to end. So "create pipe .. CreateProcessA .. close write end"
// is done under one process-wide lock, and the read end, which no child
// needs, is made non-inheritable at once.
std::mutex& inheritLock() {
    static std::mutex lock;
    return lock;
}

class Win32Child : public ChildProcess {
public:
    Win32Child(HANDLE readEnd, HANDLE process) : readEnd_(readEnd), process_(process) {}
    Win32Child(const Win32Child&) = delete;
    Win32Child& operator=(const Win32Child&) = delete;

    // The child is not waited for: closing the read end is enough.
    ~Win32Child() override {
        ::CloseHandle(readEnd_);
        ::CloseHandle(process_);
    }

    std::size_t read(char* buffer, std::size_t max) override {
        if (max == 0)
            return 0;
        DWORD want = max > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(max);
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(readEnd_, buffer, want, &got, NULL))
                return 0; // broken pipe: every writer has gone
            // A zero-byte write by the child makes ReadFile succeed with 0
            // bytes; that is not the end of the output.
            if (got > 0)
                return got;
        }
    }

    std::optional<std::uint32_t> waitForExit(std::chrono::milliseconds timeout) override {
        const DWORD ms = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 0, INFINITE - 1));
        DWORD code = 0;
        if (::WaitForSingleObject(process_, ms) != WAIT_OBJECT_0 || !::GetExitCodeProcess(process_, &code))
            return std::nullopt;
        return code;
    }

private:
    HANDLE readEnd_;
    HANDLE process_;
};

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string& program, const std::string& commandLine,
                                                  Failure& failure) {
    failure = Failure::Process;
    if (program.empty())
        return nullptr;
    // A line of more than 32766 characters is refused by CreateProcessA
    // itself (Windows and Wine alike): nothing runs, nothing is cut.
    // CreateProcessA may write into the command line.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    std::lock_guard<std::mutex> guard(inheritLock());

    SECURITY_ATTRIBUTES sa = {sizeof(SECURITY_ATTRIBUTES), NULL, TRUE};
    HANDLE readEnd = NULL;
    HANDLE writeEnd = NULL;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
        failure = Failure::Pipe;
        return nullptr;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA si;
    ::GetStartupInfoA(&si);
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.wShowWindow = SW_HIDE;
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;

    // The program is named by its full path: given only the command line,
    // CreateProcessA would look for its first word in the current folder
    // before the search path.
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(program.c_str(), line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        ::CloseHandle(readEnd);
        ::CloseHandle(writeEnd);
        return nullptr;
    }
    ::CloseHandle(writeEnd);
    ::CloseHandle(pi.hThread);
    failure = Failure::None;
    return std::unique_ptr<ChildProcess>(new Win32Child(readEnd, pi.hProcess));
}

} // namespace platform
