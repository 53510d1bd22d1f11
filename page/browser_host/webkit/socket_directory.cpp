#include "page/browser_host/webkit/socket_directory.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "support/glib/unique_fd.h"

namespace autolabel::browser_host::webkit {

using support::glib::UniqueFd;

namespace {

// The owner's process id from a name "autolabel-<pid>-XXXXXX", or 0.
pid_t OwnerOf(std::string_view name) {
    if (!name.starts_with(kSocketDirectoryPrefix)) return 0;
    name.remove_prefix(kSocketDirectoryPrefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    const std::string_view rest(end, name.data() + name.size() - end);
    if (error != std::errc() || pid <= 0 || rest.size() != 7 || rest[0] != '-') return 0;
    return pid;
}

// Whether the directory holds nothing but, perhaps, the socket.
bool OnlyTheSocketInside(const std::string& directory) {
    g_autoptr(GDir) dir = g_dir_open(directory.c_str(), 0, nullptr);
    if (!dir) return false;
    while (const char* name = g_dir_read_name(dir))
        if (name != kSocketName) return false;
    return true;
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// A process of another pid namespace may still use it: only a socket that
// refuses connections is left over.
bool SocketInUse(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return true;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) return true;
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return true;
    return errno != ECONNREFUSED && errno != ENOENT;
}

}  // namespace

std::string MakeSocketDirectory() {
    // The process id goes between the prefix and the random part.
    g_autofree char* named =
        g_strdup_printf("%.*s%d-XXXXXX", static_cast<int>(kSocketDirectoryPrefix.size()),
                        kSocketDirectoryPrefix.data(), static_cast<int>(getpid()));
    g_autoptr(GError) error = nullptr;
    // g_dir_make_tmp creates the directory with mode 0700.
    g_autofree char* directory = g_dir_make_tmp(named, &error);
    return directory ? directory : "";
}

void RemoveSocketDirectory(const std::string& directory) {
    if (directory.empty()) return;
    const std::string socket = directory + "/" + std::string(kSocketName);
    g_unlink(socket.c_str());
    g_rmdir(directory.c_str());
}

int RemoveLeftoverSocketDirectories() {
    const std::string tmp = g_get_tmp_dir();
    g_autoptr(GDir) dir = g_dir_open(tmp.c_str(), 0, nullptr);
    if (!dir) return 0;
    int removed = 0;
    while (const char* name = g_dir_read_name(dir)) {
        const pid_t owner = OwnerOf(name);
        if (owner == 0 || owner == getpid() || !ProcessGone(owner)) continue;
        const std::string directory = tmp + "/" + name;
        struct stat info {};
        if (::lstat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != getuid() || !OnlyTheSocketInside(directory))
            continue;
        const std::string socket = directory + "/" + std::string(kSocketName);
        struct stat socketInfo {};
        const bool hasSocket = ::lstat(socket.c_str(), &socketInfo) == 0;
        if (hasSocket && (!S_ISSOCK(socketInfo.st_mode) || SocketInUse(socket))) continue;
        if (hasSocket) g_unlink(socket.c_str());
        if (g_rmdir(directory.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace autolabel::browser_host::webkit
