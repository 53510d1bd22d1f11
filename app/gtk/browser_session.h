// The browser's session, kept as any browser keeps it: cookies in an SQLite
// file and the sites' storage under the user's data folder, caches under the
// user's cache folder, so a login outlasts a restart. Session cookies still
// end with the process. Deleting the folders signs the user out.
#pragma once

#include <webkit2/webkit2.h>

#include <string>

#include "page/browser_host/webkit/webkit_platform.h"
#include "support/glib/gobject_ptr.h"

namespace autolabel::app::gtk {

// $XDG_DATA_HOME/autolabel and $XDG_CACHE_HOME/autolabel (GLib's defaults
// when unset: ~/.local/share, ~/.cache).
std::string BrowserDataDirectory();
std::string BrowserCacheDirectory();

// A web context on that data, created 0700 where missing, whose page
// processes load the tool's extension and reach the platform's bridge, and
// which serves the tool's own page for a build without the forum's host.
support::glib::GObjectPtr<WebKitWebContext> NewBrowserContext(
    browser_host::webkit::WebKitPlatform& platform);

}  // namespace autolabel::app::gtk
