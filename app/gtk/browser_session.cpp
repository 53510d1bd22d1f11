#include "app/gtk/browser_session.h"

#include <glib/gstdio.h>

#include "app/gtk/extension_directory.h"
#include "app/gtk/no_forum_page.h"

namespace autolabel::app::gtk {

namespace webkit = browser_host::webkit;

namespace {

constexpr const char* kFolderName = "autolabel";
constexpr const char* kCookieFile = "cookies.sqlite";

std::string PrivateFolder(const char* base) {
    g_autofree char* path = g_build_filename(base, kFolderName, nullptr);
    // Cookies are credentials: the folder is the user's alone, also when an
    // older one was made with a wider mode.
    g_mkdir_with_parents(path, 0700);
    g_chmod(path, 0700);
    return path;
}

void OnInitializeWebExtensions(WebKitWebContext* context, gpointer data) {
    auto& bridge = static_cast<webkit::WebKitPlatform*>(data)->bridge();
    webkit_web_context_set_web_extensions_directory(context, ExtensionDirectory().c_str());
    webkit_web_context_set_web_extensions_initialization_user_data(context,
                                                                   bridge.InitializationData());
    // The socket must be reachable when WebKit's sandbox is on.
    if (!bridge.directory().empty())
        webkit_web_context_add_path_to_sandbox(context, bridge.directory().c_str(), FALSE);
}

}  // namespace

std::string BrowserDataDirectory() { return PrivateFolder(g_get_user_data_dir()); }

std::string BrowserCacheDirectory() { return PrivateFolder(g_get_user_cache_dir()); }

support::glib::GObjectPtr<WebKitWebContext> NewBrowserContext(webkit::WebKitPlatform& platform) {
    const std::string data = BrowserDataDirectory();
    auto manager = support::glib::Adopt(
        webkit_website_data_manager_new("base-data-directory", data.c_str(), "base-cache-directory",
                                        BrowserCacheDirectory().c_str(), nullptr));
    g_autofree char* cookies = g_build_filename(data.c_str(), kCookieFile, nullptr);
    webkit_cookie_manager_set_persistent_storage(
        webkit_website_data_manager_get_cookie_manager(manager.get()), cookies,
        WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    auto context =
        support::glib::Adopt(webkit_web_context_new_with_website_data_manager(manager.get()));
    g_signal_connect(context.get(), "initialize-web-extensions",
                     G_CALLBACK(OnInitializeWebExtensions), &platform);
    ServeNoForumPage(context.get());
    return context;
}

}  // namespace autolabel::app::gtk
