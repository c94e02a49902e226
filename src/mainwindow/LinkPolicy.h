#pragma once
// What the main window does with a navigation of its content view: show the
// page, hand the address to the shell, or refuse it.
//
// Pages of the menu end in ".htm" and are shown in the view; everything else
// (documents, installers, media, web sites) is opened by the desktop while the
// menu stays on its page. A page that did not come from the local disc must
// not be able to make the menu open or start local files, so navigations from
// such a page to a local file are refused outright.

#include "platform/ContentView.h"

#include <string>
#include <string_view>

namespace qvz {

// The only extension shown inside the view, compared with letter case.
inline constexpr std::string_view kPageExtension = ".htm";

// The part of a link text from its last "." to the end, or "" when there is no
// "." or when a "\" or ":" comes after the last one. "/", "?" and "#" are
// ordinary characters: "page2.htm?x=1" has the extension ".htm?x=1".
std::string linkExtension(std::string_view linkText);

// True for addresses of the local disc: the "file" scheme in any letter case,
// or an absolute path.
bool isLocalAddress(std::string_view address);

enum class LinkDecision {
    ShowInView,
    OpenWithShell,
    Refuse,
};

LinkDecision decideLink(const platform::Navigation& navigation);

}
