// How a document window is recognised and asked for its document: the class
// name every host gives the window that shows the page, and the registered
// message that window answers with its HTML document.
#pragma once

namespace autolabel::browser_host {

inline constexpr char kDocumentWindowClass[] = "Internet Explorer_Server";
inline constexpr char kDocumentRequestMessage[] = "WM_HTML_GETOBJECT";

}  // namespace autolabel::browser_host
