// The program installed into a prefix of its own, run with the build folder
// moved away: it must find its page process's module from where it is
// installed, open the demo page and bind to its document.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "tests/linux/support/child_program.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

const std::string kBuild = AUTOLABEL_BUILD_DIR;
const std::string kBuildMoved = kBuild + ".moved-away";

// Moves the build folder away for its lifetime; a folder left moved by an
// interrupted run is put back first.
class BuildFolderMovedAway {
  public:
    BuildFolderMovedAway() {
        if (!g_file_test(kBuild.c_str(), G_FILE_TEST_EXISTS))
            std::rename(kBuildMoved.c_str(), kBuild.c_str());
        moved_ = std::rename(kBuild.c_str(), kBuildMoved.c_str()) == 0;
    }
    ~BuildFolderMovedAway() {
        if (moved_) std::rename(kBuildMoved.c_str(), kBuild.c_str());
    }
    bool moved() const { return moved_; }

  private:
    bool moved_ = false;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What a command prints, or nothing when it could not run or failed.
std::optional<std::string> OutputOf(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    g_autofree char* output = nullptr;
    int wait = 0;
    if (!g_spawn_sync(nullptr, args.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &output,
                      nullptr, &wait, nullptr) ||
        !g_spawn_check_wait_status(wait, nullptr))
        return std::nullopt;
    return std::string(output ? output : "");
}

bool RunToEnd(const std::vector<std::string>& argv) { return OutputOf(argv).has_value(); }

// Runs an installed copy of the program, with the build folder moved away,
// on the demo page, and presses 全选并提交 in it: the page's count of labels
// reaches the forum only if the copy found its page process's module.
void RunsAndBindsToTheDemoPage(const std::string& program) {
    Harness& h = Harness::Get();
    ASSERT_TRUE(g_file_test(program.c_str(), G_FILE_TEST_IS_EXECUTABLE)) << program;
    // The demo page, reporting its running count when it is submitted.
    ForumServer forum;
    forum.Page("/cuseraudit/browser",
               ReadFile(AUTOLABEL_DEMO_PAGE) +
                   "<script>document.getElementById('audit').addEventListener('submit', () =>"
                   " fetch('/count', {method: 'POST', body:"
                   " document.getElementById('count').textContent}));"
                   "addEventListener('load', () => fetch('/ready'));</script>");
    forum.Page("/count", "");
    forum.Page("/ready", "");

    BuildFolderMovedAway away;
    ASSERT_TRUE(away.moved());
    const TemporaryFolder home("autolabel-home-XXXXXX");
    ChildProgram tool({program, forum.Address("/cuseraudit/browser")}, home.path());
    // The page loaded and its script run.
    ASSERT_TRUE(h.WaitUntil(
        "the installed program's page loaded",
        [&] { return !forum.RequestsFor("GET", "/ready").empty(); },
        [&] {
            return std::to_string(forum.RequestsFor("GET", "/cuseraudit/browser").size()) +
                   " requests for the page";
        },
        30s));
    // 全选并提交 of the new window, which stands above the tests' own at the
    // defined place (no window manager moves it).
    // The page's load event can reach the forum before the tool has seen the
    // load finish; a press until then is held, as any press during a load, and
    // does nothing. So press again, as a user would, until the tool takes one.
    int x = 0, y = 0;
    ASSERT_TRUE(h.ControlCenter("按钮6", x, y));
    const auto posted = [&] { return !forum.RequestsFor("POST", "/count").empty(); };
    for (int press = 0; press < 5 && !posted(); ++press) {
        ASSERT_TRUE(h.ClickAt(x, y));
        h.PumpUntil(posted, 3s);
    }
    // Three posts, one label each: the tool bound to the page's document.
    ASSERT_TRUE(h.WaitUntil("the count posted", posted, {}, 15s));
    EXPECT_EQ(forum.RequestsFor("POST", "/count").front().body, "3");
    ASSERT_TRUE(tool.Signal(SIGTERM));
    EXPECT_TRUE(tool.WaitForExit(10s).has_value());
}

TEST(Installed, RunsWithoutTheBuildFolderAndBindsToTheDemoPage) {
    const TemporaryFolder staging("autolabel-prefix-XXXXXX");
    const std::string& prefix = staging.path();
    ASSERT_TRUE(RunToEnd({AUTOLABEL_CMAKE, "--install", kBuild, "--prefix", prefix}));
    const std::string entry = ReadFile(prefix + "/share/applications/autolabel.desktop");
    EXPECT_NE(entry.find("\nExec=autolabel\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nName=青禾核心用户标注平台自动刷贴器\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=autolabel\n"), std::string::npos);
    RunsAndBindsToTheDemoPage(prefix + "/bin/autolabel");
}

// The Debian package of this build: it names WebKitGTK among its
// dependencies, passes Debian's and the desktops' checks, and its program,
// unpacked, runs as the installed one does.
TEST(Installed, TheDebianPackagePassesItsChecksAndItsProgramRunsUnpacked) {
    const TemporaryFolder scratch("autolabel-deb-XXXXXX");
    ASSERT_TRUE(RunToEnd({AUTOLABEL_CPACK, "-G", "DEB", "--config", kBuild + "/CPackConfig.cmake",
                          "-B", scratch.path()}));
    const std::string deb = scratch.path() + "/autolabel_" + AUTOLABEL_VERSION + "_amd64.deb";
    ASSERT_TRUE(g_file_test(deb.c_str(), G_FILE_TEST_IS_REGULAR)) << deb;

    const auto depends = OutputOf({"dpkg-deb", "--field", deb, "Depends"});
    ASSERT_TRUE(depends.has_value());
    EXPECT_NE(depends->find("libwebkit2gtk-4.1-0"), std::string::npos) << *depends;
    EXPECT_NE(depends->find("libgtk-3-0"), std::string::npos) << *depends;
    // lintian, desktop-file-validate and appstreamcli, as scripts/package.sh runs them.
    const auto checks =
        OutputOf({"bash", std::string(AUTOLABEL_SOURCE_DIR) + "/scripts/check-package.sh", deb});
    ASSERT_TRUE(checks.has_value()) << "scripts/check-package.sh failed on " << deb;

    const std::string root = scratch.path() + "/root";
    ASSERT_TRUE(RunToEnd({"dpkg-deb", "--extract", deb, root}));
    for (const char* file : {"/usr/share/icons/hicolor/scalable/apps/autolabel.svg",
                             "/usr/share/icons/hicolor/48x48/apps/autolabel.png",
                             "/usr/share/metainfo/org.autolabel.Autolabel.metainfo.xml",
                             "/usr/share/applications/autolabel.desktop"})
        EXPECT_TRUE(g_file_test((root + file).c_str(), G_FILE_TEST_IS_REGULAR)) << file;
    RunsAndBindsToTheDemoPage(root + "/usr/bin/autolabel");
}

}  // namespace
}  // namespace autolabel::tests::linux
