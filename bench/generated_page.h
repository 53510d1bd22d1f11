// The page both SelectAll benchmarks run on.
#pragma once

#include <string>

namespace autolabel::bench {

// Groups of two radio buttons with a text field, a check box and a hidden
// field after each group, as a moderation page mixes them, then the page's
// two buttons (the second submits).
inline std::string GeneratePage(int radios) {
    std::string html = "<!DOCTYPE html><html><body><form>";
    for (int i = 0; i < radios; ++i) {
        html += "<input type=radio name=post" + std::to_string(i / 2) +
                " value=" + std::to_string(i % 2) + ">";
        if (i % 2 == 1) html += "<input type=text><input type=checkbox><input type=hidden>";
    }
    return html +
           "<input type=button value=back><input type=submit value=send></form></body></html>";
}

}  // namespace autolabel::bench
