// Win32 implementation of the platform layer (ANSI API, code page 936).
#include "platform/platform.h"

#include <mutex>
#include <vector>

#include <windows.h>

namespace platform {

const char kPathSeparator = '\\';

std::string executablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD n = ::GetModuleFileNameA(NULL, buffer.data(), size);
        if (n == 0)
            return std::string();
        // A result that fills the buffer was cut (and is not terminated on
        // older systems): try again with more room.
        if (n < size)
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
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
    explicit Win32Child(HANDLE readEnd) : readEnd_(readEnd) {}
    Win32Child(const Win32Child&) = delete;
    Win32Child& operator=(const Win32Child&) = delete;

    // The child is not waited for: closing the read end is enough.
    ~Win32Child() override { ::CloseHandle(readEnd_); }

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

private:
    HANDLE readEnd_;
};

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string& commandLine, Failure& failure) {
    failure = Failure::None;
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

    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        ::CloseHandle(readEnd);
        ::CloseHandle(writeEnd);
        failure = Failure::Process;
        return nullptr;
    }
    ::CloseHandle(writeEnd);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return std::unique_ptr<ChildProcess>(new Win32Child(readEnd));
}

} // namespace platform
