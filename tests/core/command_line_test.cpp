#include <gtest/gtest.h>

#include "app/program.h"

namespace autolabel::tests {
namespace {

TEST(CommandLine, TakesOneOptionalStartAddress) {
    const char* none[] = {"autolabel"};
    auto defaults = app::ParseCommandLine(1, none);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->startAddress, "");  // none given: StartAddress chooses

    const char* one[] = {"autolabel", "file:///tmp/page.html"};
    EXPECT_EQ(app::ParseCommandLine(2, one)->startAddress, "file:///tmp/page.html");

    const char* two[] = {"autolabel", "a", "b"};
    const char* option[] = {"autolabel", "--help"};
    const char* empty[] = {"autolabel", ""};
    EXPECT_FALSE(app::ParseCommandLine(3, two));
    EXPECT_FALSE(app::ParseCommandLine(2, option));
    EXPECT_FALSE(app::ParseCommandLine(2, empty));
}

TEST(CommandLine, TheStartAddressIsTheGivenOneElseTheForumsElseTheToolsOwnPage) {
    const app::CommandLine none, given{"http://other.example/x"};
    constexpr const char* kToolPage = "tool:no-forum";
    constexpr const char* kForum = "http://forum.example.com/cuseraudit/browser";
    EXPECT_EQ(app::StartAddress(given, kToolPage, "forum.example.com", kForum),
              "http://other.example/x");
    EXPECT_EQ(app::StartAddress(given, kToolPage, "forum.invalid", "http://forum.invalid/"),
              "http://other.example/x");
    EXPECT_EQ(app::StartAddress(none, kToolPage, "forum.example.com", kForum), kForum);
    EXPECT_EQ(app::StartAddress(none, kToolPage, "forum.invalid",
                                "http://forum.invalid/cuseraudit/browser"),
              kToolPage);
}

TEST(CommandLine, AHostNamesAForumUnlessItIsEmptyOrUnderTheReservedNameInvalid) {
    for (const char* host : {"forum.example.com", "127.0.0.1:8080", "[::1]:8080", "localhost",
                             "invalid.example.com", "notinvalid", "forum.example.com."}) {
        EXPECT_TRUE(app::NamesAForum(host)) << host;
    }
    for (const char* host : {"forum.invalid", "FORUM.Invalid", "forum.invalid:8080",
                             "forum.invalid.", "invalid", "", ":8080", "[]"}) {
        EXPECT_FALSE(app::NamesAForum(host)) << host;
    }
}

TEST(CommandLine, TheUsageSaysWhereTheProgramStartsOrHowToGiveItAForum) {
    const std::string forum = app::UsageText("autolabel", "forum.example.com",
                                             "http://forum.example.com/cuseraudit/browser");
    EXPECT_TRUE(forum.starts_with("usage: autolabel [start-address]\n")) << forum;
    EXPECT_NE(forum.find("http://forum.example.com/cuseraudit/browser"), std::string::npos)
        << forum;

    const std::string none =
        app::UsageText("autolabel", "forum.invalid", "http://forum.invalid/cuseraudit/browser");
    EXPECT_TRUE(none.starts_with("usage: autolabel [start-address]\n")) << none;
    EXPECT_NE(none.find("built without the forum's address"), std::string::npos) << none;
    EXPECT_NE(none.find("autolabel http://HOST/cuseraudit/browser"), std::string::npos) << none;
    EXPECT_EQ(none.find("forum.invalid"), std::string::npos) << none;
}

}  // namespace
}  // namespace autolabel::tests
