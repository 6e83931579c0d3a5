// How the run worker reads the loader's output: pieces of up to 4095 bytes,
// each shown as soon as it was read.
#include "env.h"
#include "run/loader_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The stand-in's filler: 64-byte lines "line 000001 abc...\n".
std::string filler(std::size_t bytes) {
    std::string all;
    for (unsigned number = 1; all.size() < bytes; ++number) {
        char head[16];
        std::snprintf(head, sizeof head, "line %06u ", number);
        all += head;
        for (char c = 'a'; all.size() % 64 != 63; c = c == 'z' ? 'a' : static_cast<char>(c + 1))
            all += c;
        all += '\n';
    }
    return all.substr(0, bytes);
}

std::string withCrLf(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

TEST(LoaderReads, EachReadOfUpTo4095BytesIsShownOnItsOwn) {
    testenv::ScopedEnv path("PATH", testenv::pathWithStandIn());
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    testenv::ScopedEnv bytes("STANDIN_BYTES", "8191");
    testenv::ScopedEnv burst("STANDIN_BURST", "8191");
    // A window that appends at once: every read the worker shows is one
    // append, in the worker's own thread.
    std::vector<std::string> appends;
    std::shared_ptr<fw::CallQueue> queue;
    queue = std::make_shared<fw::CallQueue>([&queue] {
        queue->drain();
        return true;
    });
    auto feed = std::make_shared<run::OutputFeed>(
        queue, [&](const std::string& text) { appends.push_back(text); }, [](const std::string&) {});
    ASSERT_EQ(run::runLoader("sqlldr", feed), 0);
    ASSERT_GE(appends.size(), 3u);
    EXPECT_EQ(appends.front(), withCrLf(filler(4095))) << "the first read takes 4095 bytes";
    std::string all;
    for (const std::string& a : appends)
        all += a;
    EXPECT_EQ(all, withCrLf(filler(8191)) + "\r\nMission complete!\r\n");
    for (std::size_t i = 0; i + 1 < appends.size(); ++i)
        EXPECT_LE(appends[i].size(), 4095u + 64u) << "piece " << i << " is more than one read";
}

} // namespace
