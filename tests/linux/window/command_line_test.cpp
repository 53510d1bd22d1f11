// The program's command line and where it starts, run as a user would run it.
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/linux/support/child_program.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

struct Outcome {
    int status = -1;
    std::string err;
};

Outcome RunCommand(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    Outcome run;
    g_autofree char* err = nullptr;
    int wait = 0;
    if (g_spawn_sync(nullptr, args.data(), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr, nullptr,
                     nullptr, &err, &wait, nullptr) &&
        WIFEXITED(wait))
        run.status = WEXITSTATUS(wait);
    run.err = err ? err : "";
    return run;
}

Outcome Autolabel(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), AUTOLABEL_EXECUTABLE);
    return RunCommand(std::move(arguments));
}

TEST(Program, AnythingButOneAddressIsAUsageError) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"http://a.invalid/", "http://b.invalid/"}, {"--help"}, {"-x"}, {""}}) {
        SCOPED_TRACE(arguments.front());
        const Outcome run = Autolabel(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.starts_with("usage: ")) << run.err;
    }
}

// What a user gets by selecting the whole page in the window under the
// pointer and copying it (Ctrl+A, Ctrl+C): the clipboard's text, "" if none.
std::string CopyPageText(Harness& h) {
    if (!h.Keys("ctrl+a") || !h.Keys("ctrl+c")) return "";
    // Shared with the request, which may be answered after this gives up.
    auto text = std::make_shared<std::optional<std::string>>();
    gtk_clipboard_request_text(
        gtk_clipboard_get(GDK_SELECTION_CLIPBOARD),
        [](GtkClipboard*, const char* answer, gpointer data) {
            std::unique_ptr<std::shared_ptr<std::optional<std::string>>> held(
                static_cast<std::shared_ptr<std::optional<std::string>>*>(data));
            **held = answer ? answer : "";
        },
        new std::shared_ptr<std::optional<std::string>>(text));
    h.PumpUntil([&] { return text->has_value(); }, 2s);
    return text->value_or("");
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// Given an address, the program loads it; given none, built without the
// forum's host (as this build is), it shows the tool's own page, whose text
// a user can copy out of its window, and asks no forum for anything.
TEST(Program, StartsOnTheGivenAddressElseOnTheToolsOwnPage) {
    Harness& h = Harness::Get();
    ForumServer forum;
    forum.Page("/cuseraudit/browser", "<!DOCTYPE html><title>moderation</title><p>moderation");
    const TemporaryFolder home("autolabel-home-XXXXXX");
    {
        ChildProgram tool({AUTOLABEL_EXECUTABLE, forum.Address("/cuseraudit/browser")},
                          home.path());
        ASSERT_TRUE(h.WaitUntil(
            "the given address asked for",
            [&] { return !forum.RequestsFor("GET", "/cuseraudit/browser").empty(); }, {}, 30s));
        ASSERT_TRUE(tool.Signal(SIGTERM));
        EXPECT_TRUE(tool.WaitForExit(10s).has_value());
    }
    ChildProgram tool({AUTOLABEL_EXECUTABLE}, home.path());
    // The window opens above the tests' own, at the same place (no window
    // manager moves it); until its page is shown the copy finds other text.
    std::string copied;
    ASSERT_TRUE(h.WaitUntil(
        "the tool's page copied from the program's window",
        [&] {
            copied = CopyPageText(h);
            return Contains(copied, "这份程序没有设置论坛的地址");
        },
        [&] { return "\"" + copied + "\""; }, 40s));
    for (const char* part :
         {"青禾核心用户标注平台自动刷贴器", "autolabel http://论坛主机/cuseraudit/browser",
          "bash scripts/package.sh --forum-host 论坛主机"})
        EXPECT_TRUE(Contains(copied, part)) << part << " in\n" << copied;
    ASSERT_TRUE(tool.Signal(SIGTERM));
    EXPECT_TRUE(tool.WaitForExit(10s).has_value());
    EXPECT_EQ(forum.requests().size(), 1u);  // the first program's page, nothing since
}

// The program built for a forum's host, here the tests' loopback forum,
// starts on its moderation page and says so in its usage.
TEST(Program, BuiltForAForumItStartsOnThatForumsModerationPage) {
    Harness& h = Harness::Get();
    ForumServer forum;
    forum.Page("/cuseraudit/browser", "<!DOCTYPE html><title>moderation</title><p>moderation");
    const std::string moderation = forum.Address("/cuseraudit/browser");
    const std::string host =
        moderation.substr(7, moderation.size() - 7 - std::string("/cuseraudit/browser").size());
    ASSERT_TRUE(host.starts_with("127.0.0.1:")) << host;
    std::ofstream(AUTOLABEL_FORUM_PROGRAM_HOST) << host << "\n";
    const Outcome build = RunCommand(
        {AUTOLABEL_CMAKE, "--build", AUTOLABEL_BUILD_DIR, "--target", "autolabel_for_test_forum"});
    ASSERT_EQ(build.status, 0) << build.err;

    const Outcome usage = RunCommand({AUTOLABEL_FORUM_PROGRAM, "--help"});
    EXPECT_TRUE(Contains(usage.err, moderation)) << usage.err;
    const TemporaryFolder home("autolabel-home-XXXXXX");
    ChildProgram tool({AUTOLABEL_FORUM_PROGRAM}, home.path());
    ASSERT_TRUE(h.WaitUntil(
        "the forum's moderation page asked for",
        [&] { return !forum.RequestsFor("GET", "/cuseraudit/browser").empty(); },
        [&] { return std::to_string(forum.requests().size()) + " requests"; }, 30s));
    ASSERT_TRUE(tool.Signal(SIGTERM));
    EXPECT_TRUE(tool.WaitForExit(10s).has_value());
}

}  // namespace
}  // namespace autolabel::tests::linux
