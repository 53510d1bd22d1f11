// Where the page process's module lives: beside an installed program, in the
// build tree while developing.
#pragma once

#include <string>

namespace autolabel::app::gtk {

// The directory holding only the web process extension's module; WebKit
// loads every module it finds there.
std::string ExtensionDirectory();

}  // namespace autolabel::app::gtk
