#include "app/gtk/extension_directory.h"

#include <filesystem>

namespace autolabel::app::gtk {

std::string ExtensionDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        // Installed: <prefix>/bin/autolabel and <prefix>/<libdir>/autolabel/web-extension,
        // wherever the prefix was moved to.
        for (const auto& candidate : {exe.parent_path() / AUTOLABEL_INSTALLED_EXTENSION_DIR,
                                      exe.parent_path() / "web-extension"}) {
            if (std::filesystem::is_directory(candidate, error))
                return candidate.lexically_normal().string();
        }
    }
    return AUTOLABEL_WEB_EXTENSION_DIR;
}

}  // namespace autolabel::app::gtk
