// The program's command line, run as a user would run it.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string err;
};

Outcome Autolabel(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), AUTOLABEL_EXECUTABLE);
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    Outcome run;
    g_autofree char* err = nullptr;
    int wait = 0;
    if (g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr, nullptr,
                     nullptr, &err, &wait, nullptr) &&
        WIFEXITED(wait))
        run.status = WEXITSTATUS(wait);
    run.err = err ? err : "";
    return run;
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

}  // namespace
