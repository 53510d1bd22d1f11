#include "tests/linux/support/child_program.h"

#include <glib-unix.h>
#include <glib.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

ChildProgram::ChildProgram(std::vector<std::string> argv, const std::string& home) {
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    char** env = g_get_environ();
    env = g_environ_setenv(env, "HOME", home.c_str(), TRUE);
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        env = g_environ_unsetenv(env, name);
    GPid pid = 0;
    if (g_spawn_async_with_pipes(
            nullptr, args.data(), env, G_SPAWN_DO_NOT_REAP_CHILD, [](gpointer) { setpgid(0, 0); },
            nullptr, &pid, nullptr, &stdout_, nullptr, nullptr))
        pid_ = pid;
    g_strfreev(env);
    if (!pid_) return;
    g_child_watch_add(
        pid_,
        [](GPid child, gint status, gpointer self) {
            auto* program = static_cast<ChildProgram*>(self);
            program->status_ = status;
            program->exited_ = true;
            g_spawn_close_pid(child);
        },
        this);
}

ChildProgram::~ChildProgram() {
    if (pid_ && !exited_) {
        kill(-pid_, SIGKILL);
        WaitForExit(std::chrono::seconds(5));
    }
    if (stdout_ >= 0) close(stdout_);
}

bool ChildProgram::Signal(int signal) const { return pid_ && !exited_ && kill(-pid_, signal) == 0; }

std::optional<int> ChildProgram::WaitForExit(std::chrono::milliseconds timeout) {
    if (!pid_ || !Harness::Get().PumpUntil([&] { return exited_; }, timeout)) return std::nullopt;
    // The browser's own processes share the pipe and may end a little later:
    // read until the end, or what is there after a short while.
    g_unix_set_fd_nonblocking(stdout_, TRUE, nullptr);
    Harness::Get().PumpUntil(
        [&] {
            char buffer[4096];
            const ssize_t n = read(stdout_, buffer, sizeof buffer);
            if (n > 0) output_.append(buffer, static_cast<std::size_t>(n));
            return n == 0 || (n < 0 && errno != EAGAIN);
        },
        std::chrono::seconds(2));
    return status_;
}

TemporaryFolder::TemporaryFolder(const char* pattern) {
    g_autofree char* path = g_dir_make_tmp(pattern, nullptr);
    path_ = path ? path : "";
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace autolabel::tests::linux
