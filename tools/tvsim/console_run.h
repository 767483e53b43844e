#pragma once
// The console of a tvsim run: set up as the program sets it up (with the
// data tree's language library), every line it prints written to standard
// output. After the level load a command script is queued and drained as a
// level's script is; then each frame may take one line of standard input as
// a typed line, and runs the headless frame (which runs one script line at
// its end). Quit ends the program with status 1 after stopping the server.

#include <string>

class RunConsole {
public:
    // `typed`: standard input gives typed lines, one a frame.
    explicit RunConsole(bool typed);
    ~RunConsole();
    RunConsole(const RunConsole&) = delete;
    RunConsole& operator=(const RunConsole&) = delete;

    // After the load: game state 5, the console set up, `script` (an absolute
    // path; "" for none) queued and drained. False, reported on standard
    // error, when the language library or the script cannot be read.
    bool Start(const std::string& script);
    // One frame.
    void Frame();
    // Nothing queued, no wait pending and standard input (when read) at its end.
    bool Finished() const;

private:
    const bool typed_;
    bool inputEnded_ = false;
    bool started_ = false;
};
