#include "app/gtk/crashed_page.h"

#include <glib.h>

namespace autolabel::app::gtk {

std::string CrashedPageHtml(std::string_view lostAddress) {
    g_autofree char* address =
        g_markup_escape_text(lostAddress.data(), static_cast<gssize>(lostAddress.size()));
    return std::string(
               "<!DOCTYPE html><html lang=zh-CN><meta charset=utf-8><title>页面已停止</title>"
               "<body style='font-family: sans-serif; margin: 40px; color: #333'>"
               "<h2>页面已停止运行</h2><p>显示此页面的进程意外结束。按“刷新”重新载入：</p>"
               "<p id=lost-address style='word-break: break-all; color: #555'>") +
           address + "</p></body></html>";
}

}  // namespace autolabel::app::gtk
