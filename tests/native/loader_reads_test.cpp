// How the run worker reads the loader's output: pieces of up to 4095 bytes,
// each shown as soon as it was read.
#include "native/main_window_fixture.h"

namespace {

using mainwindow::filler;
using mainwindow::withCrLf;

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
