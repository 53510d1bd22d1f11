#include <gtest/gtest.h>

#include "app/program.h"

namespace autolabel::tests {
namespace {

TEST(CommandLine, TakesOneOptionalStartAddress) {
    const char* none[] = {"autolabel"};
    auto defaults = app::ParseCommandLine(1, none);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->startAddress, app::DefaultStartAddress());
    EXPECT_TRUE(defaults->startAddress.starts_with("http://"));
    EXPECT_TRUE(defaults->startAddress.ends_with("/cuseraudit/browser"));

    const char* one[] = {"autolabel", "file:///tmp/page.html"};
    EXPECT_EQ(app::ParseCommandLine(2, one)->startAddress, "file:///tmp/page.html");

    const char* two[] = {"autolabel", "a", "b"};
    const char* option[] = {"autolabel", "--help"};
    const char* empty[] = {"autolabel", ""};
    EXPECT_FALSE(app::ParseCommandLine(3, two));
    EXPECT_FALSE(app::ParseCommandLine(2, option));
    EXPECT_FALSE(app::ParseCommandLine(2, empty));
    EXPECT_NE(app::UsageText("autolabel").find("usage: autolabel"), std::string::npos);
}

}  // namespace
}  // namespace autolabel::tests
