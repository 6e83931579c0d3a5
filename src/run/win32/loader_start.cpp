// Starting the loader, on Windows only: the native build has no child
// processes, and its tests give runLoader a scripted loader instead.
#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "run/loader_run.h"

#include <thread>

namespace run {

void startLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed) {
    feed->runStarting();
    std::thread([commandLine, feed] {
        // By its full path: started by its bare name, the loader would be
        // looked for in the current folder first, which may be one the user
        // only browsed, and a program planted there would get the password.
        const std::string program = platform::findProgram(
            kLoaderProgram, loaddef::folderOf(platform::executablePath(), platform::kPathSeparator));
        platform::ChildProcess::Failure failure = platform::ChildProcess::Failure::None;
        const std::unique_ptr<platform::ChildProcess> loader =
            platform::ChildProcess::start(program, commandLine, failure);
        if (!loader) {
            feed->startFailed(failure == platform::ChildProcess::Failure::Pipe ? kPipeFailed : kProcessFailed);
            return;
        }
        runLoader(*loader, feed);
    }).detach();
}

} // namespace run
