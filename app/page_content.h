// What the page shown is, read from its document rather than from the
// browser's events: which batch of posts it asks to be labelled, whether it
// is a login page, and where it is. The automatic mode judges a page by it.
//
// The reading goes through the late-bound DOM alone and uses only members
// that both the Windows control's document (in any of its document modes)
// and WebKit's have: getElementsByTagName, length, item, type, name, id,
// value, offsetWidth, offsetHeight, parentElement, contains, tagName,
// textContent, innerText, URL, contentWindow, document. On WebKit every
// member access is a round trip to the page's process, so the number of
// accesses grows with the number of inputs and frames, never with their
// square: the inputs are walked once, and a post's block is found by
// climbing from its first radio button.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "page/browser_host/dom_ref.h"

namespace autolabel::app {

struct PageContent {
    // A digest of what the page asks to be labelled; 0 when the page has no
    // radio button, never 0 when it has one.
    //
    // It covers the radio buttons' groups in page order (a group is its
    // buttons' name, else their id; a button with neither is a group of its
    // own, as in a browser), each group's option values, and the text of the
    // post the group labels. It leaves out what changes when the same batch
    // is served again: the address, hidden inputs (tokens), counters and
    // anything else outside the posts' blocks, and which buttons are ticked
    // (a page brought back by history comes back ticked). The posts' text is
    // what tells two batches with the same field names apart.
    //
    // A group's post block is the highest ancestor of its first button that
    // holds no first button of the group before or after it. An element's
    // descendants are a run of the page order, so holding none of those two
    // means holding no other group's first button at all; two contains() per
    // step up keep the search linear. On a page with a single group, where no
    // neighbour bounds the climb, it stops below the enclosing form or body,
    // which hold the page's header. A contains() that cannot be asked stops
    // the climb too: a smaller block is still the same on every serving.
    //
    // The block's text is textContent, or innerText where that is empty (the
    // Windows control's older document modes have no textContent), with runs
    // of white space collapsed to one space and the ends trimmed, since the
    // two differ in white space and a template's indentation may change.
    // Everything is hashed with 64-bit FNV-1a, each field preceded by its
    // length so that no two sequences of fields give the same bytes; the
    // digest is the same in every run of the program, unlike std::hash.
    std::uint64_t batch = 0;
    // A password field is shown, in the document or in one of its frames
    // (iframe or frame, recursively, where the frame's document can be read:
    // the same site's). Shown means an offsetWidth or offsetHeight above 0,
    // for the field and for each frame element on the way: many pages carry
    // a hidden login form in their template, which makes no login page.
    bool asksForPassword = false;
    // The document's URL, "" when it has none.
    std::string address;
};

// Reads the page's content; an empty or disconnected document reads as
// PageContent{}. The batch is read from the document itself, whose radio
// buttons are the ones the commands tick; its frames are read only for the
// password field.
PageContent ReadPageContent(const browser_host::DomRef& document);

// The site of an address, for telling whether two pages come from the same
// place:
// - http and https: scheme://host[:port], lower-cased, the scheme's default
//   port dropped, without user information, path, query or fragment;
// - file: the whole address without its query or fragment (scheme
//   lower-cased, the path as it is), since a saved page is its own site;
// - "" for any other scheme and for anything that cannot be read as one of
//   these (no host, a bad port, characters no host name has).
std::string SiteOf(std::string_view address);

}  // namespace autolabel::app
