#include "mainwindow/LinkPolicy.h"

#include <cctype>

namespace qvz {

std::string linkExtension(std::string_view linkText)
{
    auto dot = linkText.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string_view extension = linkText.substr(dot);
    if (extension.find_first_of("\\:") != std::string_view::npos)
        return {};
    return std::string(extension);
}

bool isLocalAddress(std::string_view address)
{
    if (address.starts_with('/'))
        return true;
    constexpr std::string_view scheme = "file:";
    if (address.size() < scheme.size())
        return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i])
            return false;
    }
    return true;
}

LinkDecision decideLink(const platform::Navigation& navigation)
{
    // The program's own navigations (no initiator) and those of the menu's
    // local pages are trusted with local files; pages from anywhere else are
    // not, whatever the extension.
    bool startedLocally = navigation.initiator.empty() || isLocalAddress(navigation.initiator);
    if (isLocalAddress(navigation.address) && !startedLocally)
        return LinkDecision::Refuse;
    if (linkExtension(navigation.address) == kPageExtension)
        return LinkDecision::ShowInView;
    return LinkDecision::OpenWithShell;
}

}
