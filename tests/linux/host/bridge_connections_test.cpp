// The bridge's listener between commands: connections are taken from the
// main loop as they come, introduced ones serve their page until they end,
// the others are closed, and the socket directories of killed runs go.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "page/browser_host/webkit/bridge.h"
#include "page/browser_host/webkit/protocol.h"
#include "page/browser_host/webkit/socket_directory.h"

namespace autolabel::tests::linux {

using namespace browser_host::webkit;

using support::glib::UniqueFd;
namespace {

namespace p = browser_host::webkit::protocol;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the main loop, as the window does between commands, until `done`.
bool PumpUntil(const std::function<bool()>& done, Clock::duration timeout) {
    const auto end = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
    }
    return true;
}

void PumpFor(Clock::duration duration) {
    PumpUntil([] { return false; }, duration);
}

struct Endpoint {
    std::string path;
    std::string token;
};

Endpoint EndpointOf(Bridge& bridge) {
    g_autoptr(GVariant) data = g_variant_ref_sink(bridge.InitializationData());
    const char* path = nullptr;
    const char* token = nullptr;
    g_variant_get(data, "(&s&s)", &path, &token);
    return {path, token};
}

UniqueFd ConnectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    UniqueFd fd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return {};
    return fd;
}

bool SendHello(int fd, const std::string& token, std::uint64_t pageId) {
    p::Writer w(p::Op::Hello, 0);
    w.Bytes(token);
    w.U64(pageId);
    auto datagram = w.Finish();
    return datagram && send(fd, datagram->data(), datagram->size(), MSG_NOSIGNAL) ==
                           static_cast<ssize_t>(datagram->size());
}

bool ClosedByTheTool(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, 0) != 1) return false;
    char byte;
    return (pfd.revents & POLLHUP) || recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
}

TEST(Introductions, ALateIntroductionIsTakenFromTheMainLoop) {
    Bridge bridge;
    const Endpoint endpoint = EndpointOf(bridge);
    UniqueFd peer = ConnectTo(endpoint.path);
    ASSERT_TRUE(peer);
    ASSERT_TRUE(PumpUntil([&] { return bridge.unintroduced() == 1; }, 10s));
    PumpFor(500ms);  // well into its time, still waiting
    EXPECT_FALSE(ClosedByTheTool(peer.Get()));
    ASSERT_TRUE(SendHello(peer.Get(), endpoint.token, 9));
    // Served without any document request asking for it.
    EXPECT_TRUE(PumpUntil([&] { return bridge.Serves(9); }, 10s));
    EXPECT_EQ(bridge.unintroduced(), 0u);
    EXPECT_FALSE(ClosedByTheTool(peer.Get()));
}

TEST(Introductions, OneThatNeverComesIsClosedAfterItsTime) {
    Bridge bridge;
    UniqueFd peer = ConnectTo(EndpointOf(bridge).path);
    ASSERT_TRUE(peer);
    ASSERT_TRUE(PumpUntil([&] { return bridge.unintroduced() == 1; }, 10s));
    const auto accepted = Clock::now();
    ASSERT_TRUE(PumpUntil([&] { return ClosedByTheTool(peer.Get()); }, kIntroductionTime + 2s));
    EXPECT_GE(Clock::now() - accepted, kIntroductionTime - 300ms);
    EXPECT_EQ(bridge.unintroduced(), 0u);
}

TEST(Introductions, APeerThatExitsFirstIsDroppedAtOnce) {
    Bridge bridge;
    const std::string path = EndpointOf(bridge).path;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        UniqueFd fd = ConnectTo(path);
        _exit(fd ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Its end shows at once: no waiting for its time to run out.
    const auto exited = Clock::now();
    ASSERT_TRUE(PumpUntil([&] { return bridge.unintroduced() == 0; }, kIntroductionTime));
    EXPECT_LT(Clock::now() - exited, kIntroductionTime / 2);
}

TEST(Introductions, SilentOnesAreCappedAndAGenuineOneIsStillServed) {
    Bridge bridge;
    const Endpoint endpoint = EndpointOf(bridge);
    std::vector<UniqueFd> silent;
    for (std::size_t i = 0; i < kMaxUnintroduced + 20; ++i) {
        silent.push_back(ConnectTo(endpoint.path));
        ASSERT_TRUE(silent.back()) << i;
    }
    // Taken from the main loop as they come; the oldest make room for the newer ones.
    int closed = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            closed = 0;
            for (const auto& fd : silent) closed += ClosedByTheTool(fd.Get());
            return closed == 20 && bridge.unintroduced() == kMaxUnintroduced;
        },
        10s))
        << "awaited 20 closed and " << kMaxUnintroduced << " waiting; seen " << closed
        << " closed and " << bridge.unintroduced() << " waiting";
    EXPECT_EQ(bridge.unintroduced(), kMaxUnintroduced);
    EXPECT_EQ(closed, 20);

    UniqueFd genuine = ConnectTo(endpoint.path);
    ASSERT_TRUE(SendHello(genuine.Get(), endpoint.token, 4));
    EXPECT_TRUE(PumpUntil([&] { return bridge.Serves(4); }, 10s));
}

TEST(Introductions, AnIntroducedPageThatEndsIsDroppedBetweenCommands) {
    Bridge bridge;
    const Endpoint endpoint = EndpointOf(bridge);
    UniqueFd peer = ConnectTo(endpoint.path);
    ASSERT_TRUE(SendHello(peer.Get(), endpoint.token, 6));
    ASSERT_TRUE(PumpUntil([&] { return bridge.Serves(6); }, 10s));
    auto connection = bridge.ConnectionFor(6);
    ASSERT_NE(connection, nullptr);
    peer.Reset();
    EXPECT_TRUE(PumpUntil([&] { return !connection->alive(); }, 10s));
    EXPECT_FALSE(bridge.Serves(6));
}

TEST(Introductions, DroppedPageIsNoLongerServed) {
    Bridge bridge;
    const Endpoint endpoint = EndpointOf(bridge);
    UniqueFd peer = ConnectTo(endpoint.path);
    ASSERT_TRUE(SendHello(peer.Get(), endpoint.token, 5));
    ASSERT_TRUE(PumpUntil([&] { return bridge.Serves(5); }, 10s));
    bridge.DropPage(5);  // WebKit reported the process's end first
    EXPECT_FALSE(bridge.Serves(5));
    EXPECT_TRUE(ClosedByTheTool(peer.Get()));
    EXPECT_FALSE(bridge.RequestDocument(5, 50ms));
}

TEST(Introductions, AMissingPageIsWaitedForOncePerCommand) {
    Bridge bridge;
    auto start = Clock::now();
    EXPECT_FALSE(bridge.RequestDocument(3, 300ms));
    EXPECT_GE(Clock::now() - start, 300ms);
    // The same command asks again (its second binding): no second wait.
    start = Clock::now();
    EXPECT_FALSE(bridge.RequestDocument(3, 300ms));
    EXPECT_LT(Clock::now() - start, 100ms);
    bridge.BeginCommand();
    start = Clock::now();
    EXPECT_FALSE(bridge.RequestDocument(3, 300ms));
    EXPECT_GE(Clock::now() - start, 300ms);

    // A process that introduces itself meanwhile is asked, at once.
    const Endpoint endpoint = EndpointOf(bridge);
    UniqueFd peer = ConnectTo(endpoint.path);
    ASSERT_TRUE(SendHello(peer.Get(), endpoint.token, 3));
    ASSERT_TRUE(PumpUntil([&] { return bridge.Serves(3); }, 10s));
    EXPECT_FALSE(bridge.RequestDocument(3, 300ms));  // it never answers
    std::byte buffer[64];
    EXPECT_GT(recv(peer.Get(), buffer, sizeof buffer, MSG_DONTWAIT), 0);
}

// ---- Socket directories ----

// A process id that names no process: a child that has been reaped.
pid_t GonePid() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// A directory as a run with this process id leaves it when killed: its
// socket still bound, nobody listening.
std::string LeftDirectory(pid_t owner) {
    const std::string pattern = std::string(g_get_tmp_dir()) + "/" +
                                std::string(kSocketDirectoryPrefix) + std::to_string(owner) +
                                "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!g_mkdtemp_full(name.data(), 0700)) return {};
    const std::string directory = name.data();
    const std::string socketPath = directory + "/" + std::string(kSocketName);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    UniqueFd fd(socket(AF_UNIX, SOCK_SEQPACKET, 0));
    bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    return directory;  // the descriptor closes here, the socket file stays
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

TEST(SocketDirectories, AKilledRunsDirectoryGoesAtTheNextStart) {
    const std::string left = LeftDirectory(GonePid());
    ASSERT_FALSE(left.empty());
    ASSERT_TRUE(Exists(left + "/bridge"));
    {
        Bridge bridge;
        EXPECT_FALSE(Exists(left));
        EXPECT_TRUE(Exists(bridge.directory()));
    }
}

TEST(SocketDirectories, OnlyDirectoriesOfEndedRunsWithNothingElseInsideGo) {
    // The owner still runs (this process's parent, for one).
    const std::string running = LeftDirectory(getppid());
    // The owner ended, but something that is not ours to remove is inside.
    const std::string occupied = LeftDirectory(GonePid());
    std::ofstream(occupied + "/other") << "x";
    // The owner ended, and a listener (another pid namespace) still uses it.
    const std::string listening = LeftDirectory(GonePid());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = listening + "/bridge";
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    unlink(socketPath.c_str());
    UniqueFd listener(socket(AF_UNIX, SOCK_SEQPACKET, 0));
    ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener.Get(), 1), 0);

    RemoveLeftoverSocketDirectories();
    EXPECT_TRUE(Exists(running + "/bridge"));
    EXPECT_TRUE(Exists(occupied + "/bridge"));
    EXPECT_TRUE(Exists(listening + "/bridge"));

    listener.Reset();
    unlink((occupied + "/other").c_str());
    for (const auto& directory : {running, occupied, listening}) RemoveSocketDirectory(directory);
    EXPECT_FALSE(Exists(occupied));
}

TEST(SocketDirectories, TheToolsOwnGoesAtANormalEnd) {
    std::string directory;
    {
        Bridge bridge;
        ASSERT_TRUE(bridge.ready());
        directory = bridge.directory();
        EXPECT_NE(directory.find(std::string(kSocketDirectoryPrefix) + std::to_string(getpid())),
                  std::string::npos);
        UniqueFd peer = ConnectTo(bridge.directory() + "/bridge");  // still open at the end
        ASSERT_TRUE(peer);
    }
    EXPECT_FALSE(Exists(directory));
}

}  // namespace
}  // namespace autolabel::tests::linux
