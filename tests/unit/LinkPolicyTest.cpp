// The link rules of the content view: which part of an address counts as its
// extension, and what the main window does with each navigation.

#include "mainwindow/LinkPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvz {
namespace {

struct ExtensionRow {
    const char* name;
    const char* linkText;
    const char* extension;
};

const std::vector<ExtensionRow> kExtensions {
    { "windows-path", "D:\\menu\\setup.exe", ".exe" },
    { "file-uri-page", "file:///D:/menu/page2.htm", ".htm" },
    { "local-file-uri", "file:///media/disc/docs/manual.pdf", ".pdf" },
    { "host-with-final-slash", "https://www.example.org/", ".org/" },
    { "about-blank", "about:blank", "" },
    { "javascript-without-dot", "javascript:void(0)", "" },
    { "no-dot-at-all", "file:///media/disc/README", "" },
    { "query-is-ordinary", "file:///m/page2.htm?x=1", ".htm?x=1" },
    { "fragment-is-ordinary", "file:///m/page2.htm#top", ".htm#top" },
    { "backslash-after-dot", "C:\\my.folder\\readme", "" },
    { "colon-after-dot", "http://127.0.0.1:8080/", "" },
    { "port-then-page", "http://127.0.0.1:8080/remote.htm", ".htm" },
    { "last-dot-wins", "file:///m/archive.tar.gz", ".gz" },
    { "dot-in-folder-only", "file:///m/v1.2/start", ".2/start" },
    { "trailing-dot", "file:///m/odd.", "." },
    { "case-kept", "file:///m/PAGE2.HTM", ".HTM" },
    { "empty", "", "" },
};

TEST(LinkPolicy, ExtensionIsFromTheLastDotUnlessBackslashOrColonFollows)
{
    for (const auto& row : kExtensions)
        EXPECT_EQ(linkExtension(row.linkText), row.extension) << row.name << ": " << row.linkText;
}

struct DecisionRow {
    const char* name;
    const char* address;
    const char* initiator;
    LinkDecision expected;
};

constexpr const char* kProgram = "";
constexpr const char* kStartPage = "file:///media/disc/qvz.htm";
constexpr const char* kWebPage = "http://127.0.0.1:8000/remote.htm";

const std::vector<DecisionRow> kDecisions {
    { "program-opens-start-page", "file:///media/disc/qvz.htm", kProgram, LinkDecision::ShowInView },
    { "program-opens-missing-extension", "file:///media/disc/qvz", kProgram, LinkDecision::OpenWithShell },
    { "local-page-link", "file:///media/disc/page2.htm", kStartPage, LinkDecision::ShowInView },
    { "upper-case-extension", "file:///media/disc/PAGE2.HTM", kStartPage, LinkDecision::OpenWithShell },
    { "html-is-not-htm", "file:///media/disc/page2.html", kStartPage, LinkDecision::OpenWithShell },
    { "page-with-query", "file:///media/disc/page2.htm?x=1", kStartPage, LinkDecision::OpenWithShell },
    { "page-with-fragment", "file:///media/disc/page2.htm#top", kStartPage, LinkDecision::OpenWithShell },
    { "document-from-local-page", "file:///media/disc/doc.pdf", kStartPage, LinkDecision::OpenWithShell },
    { "plain-path-from-local-page", "/media/disc/setup.sh", kStartPage, LinkDecision::OpenWithShell },
    { "web-page-from-local-page", kWebPage, kStartPage, LinkDecision::ShowInView },
    { "web-site-from-local-page", "https://www.example.org/", kStartPage, LinkDecision::OpenWithShell },
    { "mail-from-local-page", "mailto:someone@example.org", kStartPage, LinkDecision::OpenWithShell },
    { "about-blank-from-local-page", "about:blank", kStartPage, LinkDecision::OpenWithShell },
    { "upper-case-file-scheme-initiator", "file:///media/disc/doc.pdf", "FILE:///media/disc/qvz.htm",
        LinkDecision::OpenWithShell },
    { "document-from-web-page", "file:///media/disc/doc.pdf", kWebPage, LinkDecision::Refuse },
    { "executable-from-web-page", "file:///media/disc/setup.sh", kWebPage, LinkDecision::Refuse },
    { "plain-path-from-web-page", "/usr/bin/xterm", kWebPage, LinkDecision::Refuse },
    { "upper-case-file-scheme-from-web-page", "FILE:///media/disc/setup.sh", kWebPage, LinkDecision::Refuse },
    { "local-page-from-web-page", "file:///media/disc/qvz.htm", kWebPage, LinkDecision::Refuse },
    { "web-page-from-web-page", "http://127.0.0.1:8000/other.htm", kWebPage, LinkDecision::ShowInView },
    { "web-site-from-web-page", "https://www.example.org/", kWebPage, LinkDecision::OpenWithShell },
    { "document-from-blank-page", "file:///media/disc/doc.pdf", "about:blank", LinkDecision::Refuse },
    { "document-from-data-page", "file:///media/disc/doc.pdf", "data:text/html,x", LinkDecision::Refuse },
};

const char* describe(LinkDecision decision)
{
    switch (decision) {
    case LinkDecision::ShowInView:
        return "show in view";
    case LinkDecision::OpenWithShell:
        return "open with shell";
    case LinkDecision::Refuse:
        return "refuse";
    }
    return "?";
}

TEST(LinkPolicy, DecisionFollowsExtensionAndWhereTheNavigationCameFrom)
{
    for (const auto& row : kDecisions) {
        LinkDecision decision = decideLink({ row.address, row.initiator });
        EXPECT_EQ(describe(decision), std::string(describe(row.expected)))
            << row.name << ": " << row.address << " from " << (*row.initiator ? row.initiator : "the program");
    }
}

}
}
