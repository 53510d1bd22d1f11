// The program as a user runs it, day after day: closed from outside by a
// signal it ends normally, and a restart finds the user still signed in.
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/linux/support/child_program.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

bool ExitedWithZero(const std::optional<int>& status) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

// The bridge's socket directories the program with this process id made.
std::vector<std::string> SocketDirectoriesOf(pid_t pid) {
    const std::string prefix = "autolabel-" + std::to_string(pid) + "-";
    std::vector<std::string> found;
    g_autoptr(GDir) dir = g_dir_open(g_get_tmp_dir(), 0, nullptr);
    while (const char* name = dir ? g_dir_read_name(dir) : nullptr)
        if (std::string_view(name).starts_with(prefix)) found.push_back(name);
    return found;
}

int ModeOf(const std::string& path) {
    struct stat info {};
    return g_stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : -1;
}

class Session : public testing::Test {
  protected:
    void SetUp() override {
        // The page asks for a picture once the cookies it came with are set.
        forum.Page("/login", "<!DOCTYPE html><body>signed in<img src=/loaded>");
        forum.SetCookie("/login", "day=1; Max-Age=86400; Path=/");
        forum.SetCookie("/login", "session=1; Path=/");
        forum.Page("/loaded", "");
        forum.Page("/check", "<!DOCTYPE html><body>check");
    }
    bool WaitForRequest(std::string_view path, std::size_t count = 1) {
        return h.PumpUntil([&] { return forum.RequestsFor("GET", path).size() >= count; }, 15s);
    }
    Harness& h = Harness::Get();
    ForumServer forum;
    TemporaryFolder folder{"autolabel-home-XXXXXX"};
    const std::string& home = folder.path();
};

TEST_F(Session, DayCookieOutlastsARestartSessionCookieEndsWithTheProcess) {
    {
        ChildProgram tool({AUTOLABEL_EXECUTABLE, forum.Address("/login")}, home);
        ASSERT_TRUE(tool.started());
        ASSERT_TRUE(WaitForRequest("/loaded"));
        // A session ending sends SIGTERM.
        ASSERT_TRUE(tool.Signal(SIGTERM));
        EXPECT_TRUE(ExitedWithZero(tool.WaitForExit(10s)));
    }
    // The browser's data lives in the user's folders, the user's alone.
    EXPECT_EQ(ModeOf(home + "/.local/share/autolabel"), 0700);
    EXPECT_EQ(ModeOf(home + "/.cache/autolabel"), 0700);
    EXPECT_TRUE(g_file_test((home + "/.local/share/autolabel/cookies.sqlite").c_str(),
                            G_FILE_TEST_IS_REGULAR));

    ChildProgram again({AUTOLABEL_EXECUTABLE, forum.Address("/check")}, home);
    ASSERT_TRUE(WaitForRequest("/check"));
    const std::string cookie = forum.RequestsFor("GET", "/check").front().cookie;
    EXPECT_NE(cookie.find("day=1"), std::string::npos) << cookie;
    EXPECT_EQ(cookie.find("session=1"), std::string::npos) << cookie;
    // Ctrl+C in the terminal.
    ASSERT_TRUE(again.Signal(SIGINT));
    EXPECT_TRUE(ExitedWithZero(again.WaitForExit(10s)));
}

TEST_F(Session, SocketDirectoryGoesAtTheEndOrAtTheNextStartAfterAKill) {
    forum.Page("/browser", "<!DOCTYPE html><body><input type=radio>");
    {
        ChildProgram tool({AUTOLABEL_EXECUTABLE, forum.Address("/browser")}, home);
        ASSERT_TRUE(WaitForRequest("/browser", 1));
        EXPECT_EQ(SocketDirectoriesOf(tool.pid()).size(), 1u);
        ASSERT_TRUE(tool.Signal(SIGTERM));
        EXPECT_TRUE(ExitedWithZero(tool.WaitForExit(10s)));
        EXPECT_TRUE(SocketDirectoriesOf(tool.pid()).empty());
    }
    pid_t killed = 0;
    {
        ChildProgram tool({AUTOLABEL_EXECUTABLE, forum.Address("/browser")}, home);
        ASSERT_TRUE(WaitForRequest("/browser", 2));
        killed = tool.pid();
        ASSERT_TRUE(tool.Signal(SIGKILL));
        ASSERT_TRUE(tool.WaitForExit(10s));
    }
    EXPECT_EQ(SocketDirectoriesOf(killed).size(), 1u);
    ChildProgram next({AUTOLABEL_EXECUTABLE, forum.Address("/browser")}, home);
    ASSERT_TRUE(WaitForRequest("/browser", 3));
    EXPECT_TRUE(SocketDirectoriesOf(killed).empty());
    EXPECT_EQ(SocketDirectoriesOf(next.pid()).size(), 1u);
    ASSERT_TRUE(next.Signal(SIGTERM));
    EXPECT_TRUE(ExitedWithZero(next.WaitForExit(10s)));
}

TEST_F(Session, SignalsCloseTheWindowAndDestroyPageOnce) {
    forum.Page("/browser", "<!DOCTYPE html><body><input type=radio>");
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::size_t before = forum.RequestsFor("GET", "/browser").size();
        ChildProgram probe({AUTOLABEL_EXIT_PROBE, forum.Address("/browser")}, home);
        ASSERT_TRUE(WaitForRequest("/browser", before + 1));
        ASSERT_TRUE(probe.Signal(signal));
        EXPECT_TRUE(ExitedWithZero(probe.WaitForExit(10s)));
        EXPECT_EQ(probe.output(), "loop 0, page destroyed, CoInitialize 1, CoUninitialize 1\n");
    }
}

}  // namespace
}  // namespace autolabel::tests::linux
