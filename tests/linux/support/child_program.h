// A program the tests start as a user would, on the same display, with a
// home folder of the test's choosing; GLib's main loop keeps running while
// the test waits for it, so the tests' forum goes on answering.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace autolabel::tests::linux {

class ChildProgram {
  public:
    // Starts `argv` with HOME set to `home` and the XDG folder variables
    // unset, so GLib finds the user's folders under that home.
    ChildProgram(std::vector<std::string> argv, const std::string& home);
    ~ChildProgram();  // kills the program if it still runs
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // To the program and the browser processes it started, as a terminal
    // sends Ctrl+C to its whole foreground group: the program leads a
    // process group of its own.
    bool Signal(int signal) const;
    // The wait status once the program has ended, nullopt on time-out.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // What the program wrote on its standard output, read once it ended.
    const std::string& output() const { return output_; }

  private:
    pid_t pid_ = 0;
    int stdout_ = -1;
    bool exited_ = false;
    int status_ = 0;
    std::string output_;
};

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test is done with it.
class TemporaryFolder {
  public:
    explicit TemporaryFolder(const char* pattern);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace autolabel::tests::linux
