// The application: shows the main window modally and ends when it closes.
#pragma once

class CLoaderApp {
public:
    // Runs the main window to its end. Returns false: the program then ends
    // at once, with no message loop of its own.
    bool initInstance();
    // 0, or 1 when the main window failed (the user has been told).
    int exitCode() const { return exitCode_; }

private:
    int exitCode_ = 0;
};
