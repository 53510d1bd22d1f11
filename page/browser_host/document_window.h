// How a document window is recognised and asked for its document: the class
// name every host gives the window that shows the page, and the registered
// message that window answers with its HTML document. Written once over the
// platform's calls, for the binding and for the Windows window alike.
#pragma once

#include <cstdint>
#include <string>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/platform.h"

namespace autolabel::browser_host {

inline constexpr char kDocumentWindowClass[] = "Internet Explorer_Server";
inline constexpr char kDocumentRequestMessage[] = "WM_HTML_GETOBJECT";
// A class name is read into this many bytes, its terminating zero included.
inline constexpr int kClassNameBufferSize = 50;
// How long a document window has to answer; a hung one is given up at once.
inline constexpr std::uint32_t kDocumentRequestTimeoutMs = 1000;

// The class name of `window`, cut to the buffer; empty when it cannot be read.
std::string ReadClassName(Platform& platform, WindowHandle window);
// Whether `window` is a document window: its class name, exactly.
bool IsDocumentWindow(Platform& platform, WindowHandle window);
// Asks the document window `window` for its document. `target` then holds
// the answer, or nothing (the reference it held is released either way);
// true when there is a document.
bool RequestDocument(Platform& platform, WindowHandle window, DomRef& target);

}  // namespace autolabel::browser_host
