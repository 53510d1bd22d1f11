// The private directory that holds the bridge's socket. Its name carries the
// process id of the tool that made it, so that a later start can tell the
// directory of a run that was killed from one that is still in use.
#pragma once

#include <string>
#include <string_view>

namespace autolabel::browser_host::webkit {

// The name's beginning; the owner's process id and a random part follow.
inline constexpr std::string_view kSocketDirectoryPrefix = "autolabel-";
inline constexpr std::string_view kSocketName = "bridge";

// Makes a new directory of mode 0700 in the temporary directory; "" on failure.
std::string MakeSocketDirectory();

// Removes the socket directories of this user whose owner process has ended
// and whose socket takes no connections; returns how many it removed.
int RemoveLeftoverSocketDirectories();

// Removes a socket directory made by MakeSocketDirectory (its socket and itself).
void RemoveSocketDirectory(const std::string& directory);

}  // namespace autolabel::browser_host::webkit
