// A stand-in for the real loader (sqlldr), built by both toolchains. The
// command line is the product's; test options come from the environment:
//
//   STANDIN_QUIET=1          do not print "arg[i]=<text>" lines for the arguments
//   STANDIN_SELF=1           (Windows) first print "self=<its own full path>"
//   STANDIN_ARGS_FILE=path   also write the raw arguments, one per line, there
//   STANDIN_TEXT=text        write text to stdout after the arguments
//                            (escapes \n \r \t \\ \0 \xHH decoded)
//   STANDIN_BYTES=n          write n bytes of numbered filler lines ...
//   STANDIN_LINE=l           ... each l bytes long (default 64, at least 16) ...
//   STANDIN_BURST=b          ... in bursts of b bytes (default 4096), flushed each ...
//   STANDIN_PAUSE_MS=ms      ... with a pause of ms between bursts (default 0)
//   STANDIN_STDERR=1         every second burst goes to stderr
//   STANDIN_STAMPS=path      at the end, write there the time each burst was
//                            flushed, a line each: nanoseconds of the steady
//                            clock (QueryPerformanceCounter on Windows)
//   STANDIN_WAIT_FILE=path   after the first burst (or the text when there are
//                            no bursts) wait until path exists (at most 60 s)
//   STANDIN_DONE_FILE=path   create path once everything has been written
//   STANDIN_SHOW=1           (Windows) print "show=<wShowWindow> flags=0x<dwFlags>"
//                            from the startup information, before the text
//   STANDIN_LAST_LINE=text   write text (escapes as above) after everything else
//   STANDIN_EXIT=n           end with exit code n (default 0; up to 4294967295)
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

bool envFlag(const char* name) {
    const char* v = env(name);
    return v && std::strcmp(v, "1") == 0;
}

unsigned long long envNumber(const char* name, unsigned long long fallback) {
    const char* v = env(name);
    return v ? std::strtoull(v, nullptr, 10) : fallback;
}

void put(std::FILE* f, const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), f);
    std::fflush(f);
}

std::string decodeEscapes(const char* s) {
    static const std::string from = "nrt\\0", to("\n\r\t\\\0", 5);
    std::string out;
    for (; *s; ++s) {
        const std::size_t known = s[1] ? from.find(s[1]) : std::string::npos;
        if (*s == '\\' && s[1] == 'x' && std::isxdigit(static_cast<unsigned char>(s[2])) &&
            std::isxdigit(static_cast<unsigned char>(s[3]))) {
            out += static_cast<char>(std::stoi(std::string(s + 2, 2), nullptr, 16));
            s += 3;
        } else if (*s == '\\' && known != std::string::npos) {
            out += to[known];
            ++s;
        } else {
            out += *s;
        }
    }
    return out;
}

// The filler: lines of `length` bytes, "line 000001 abcd...\n", numbered
// from 1; the byte at any offset is known without state.
std::string fillerLine(unsigned long long number, std::size_t length) {
    char head[32];
    std::snprintf(head, sizeof head, "line %06llu ", number);
    std::string line = head;
    for (char c = 'a'; line.size() < length - 1; c = c == 'z' ? 'a' : static_cast<char>(c + 1))
        line += c;
    line += '\n';
    return line;
}

std::string filler(unsigned long long offset, unsigned long long count, std::size_t length) {
    std::string out;
    unsigned long long number = offset / length + 1;
    std::string line = fillerLine(number, length);
    std::size_t at = static_cast<std::size_t>(offset % length);
    while (out.size() < count) {
        std::size_t take = static_cast<std::size_t>(std::min<unsigned long long>(length - at, count - out.size()));
        out.append(line, at, take);
        at = 0;
        line = fillerLine(++number, length);
    }
    return out;
}

void waitForFile(const char* path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::FILE* f = std::fopen(path, "rb")) {
            std::fclose(f);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
#ifdef _WIN32
    if (envFlag("STANDIN_SELF")) {
        char self[MAX_PATH];
        const DWORD n = ::GetModuleFileNameA(NULL, self, MAX_PATH);
        put(stdout, "self=" + std::string(self, n) + "\n");
    }
#endif
    if (!envFlag("STANDIN_QUIET")) {
        std::string lines;
        for (int i = 1; i < argc; ++i)
            lines += "arg[" + std::to_string(i) + "]=" + argv[i] + "\n";
        put(stdout, lines);
    }
    if (const char* path = env("STANDIN_ARGS_FILE")) {
        if (std::FILE* f = std::fopen(path, "wb")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(f, "%s\n", argv[i]);
            std::fclose(f);
        }
    }
#ifdef _WIN32
    if (envFlag("STANDIN_SHOW")) {
        STARTUPINFOA startup;
        ::GetStartupInfoA(&startup);
        char line[64];
        std::snprintf(line, sizeof line, "show=%u flags=0x%lx\n", static_cast<unsigned>(startup.wShowWindow),
                      static_cast<unsigned long>(startup.dwFlags));
        put(stdout, line);
    }
#endif
    if (const char* text = env("STANDIN_TEXT"))
        put(stdout, decodeEscapes(text));

    const char* waitFile = env("STANDIN_WAIT_FILE");
    const unsigned long long total = envNumber("STANDIN_BYTES", 0);
    unsigned long long burst = envNumber("STANDIN_BURST", 4096);
    if (burst == 0)
        burst = 4096;
    const unsigned long long pauseMs = envNumber("STANDIN_PAUSE_MS", 0);
    const bool alternate = envFlag("STANDIN_STDERR");
    const std::size_t lineLength = static_cast<std::size_t>(std::max(envNumber("STANDIN_LINE", 64), 16ULL));

    if (total == 0 && waitFile)
        waitForFile(waitFile);
    unsigned long long sent = 0;
    std::string stamps;
    for (unsigned long long k = 0; sent < total; ++k) {
        if (k > 0 && pauseMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        const unsigned long long n = std::min(burst, total - sent);
        put(alternate && k % 2 == 1 ? stderr : stdout, filler(sent, n, lineLength));
        stamps += std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count()) +
                  "\n";
        sent += n;
        if (k == 0 && waitFile)
            waitForFile(waitFile);
    }
    if (const char* path = env("STANDIN_STAMPS")) {
        if (std::FILE* f = std::fopen(path, "wb")) {
            std::fwrite(stamps.data(), 1, stamps.size(), f);
            std::fclose(f);
        }
    }
    if (const char* text = env("STANDIN_LAST_LINE"))
        put(stdout, decodeEscapes(text));
    if (const char* path = env("STANDIN_DONE_FILE")) {
        if (std::FILE* f = std::fopen(path, "wb"))
            std::fclose(f);
    }
    return static_cast<int>(envNumber("STANDIN_EXIT", 0));
}
