#include "mainwindow/TForm1.h"

#include "mainwindow/LinkPolicy.h"
#include "mainwindow/TForm1Design.h"
#include "startup/LaunchSettings.h"

namespace qvz {

namespace {
constexpr const char* kStartPage = "qvz.htm";
constexpr const char* kHomePage = "https://www.pelmora.com/";
constexpr const char* kOpenVerb = "open";
}

TForm1::TForm1(platform::Platform platform, platform::EventSink& events)
    : m_platform(platform)
    , m_window(platform.application.createMainWindow())
{
    m_window->setClientSize(design::kForm1ClientSize.width, design::kForm1ClientSize.height);
    m_window->onShown([this] { FormShow(); });
    m_window->onDestroyed([this] { FormDestroy(); });
    m_window->contentView().onBeforeNavigate(
        [this](const platform::Navigation& navigation, bool& cancel) { WebBrowser1BeforeNavigate2(navigation, cancel); });
    auto& popupMenu = m_window->popupMenu();
    popupMenu.setStyle(design::kPopupMenu1Style);
    popupMenu.setItems({
        { design::kExit1Caption, [this] { Exit1Click(); } },
        { design::kN1Caption, nullptr },
        { design::kSdf3Caption, [this] { sdf3Click(); } },
    });
    events.dispatch([this] { FormCreate(); });
}

void TForm1::FormCreate()
{
    m_musicEnabled = false;
    SettingsReader settings(m_platform.files, settingsPath(m_platform.files));
    m_window->setTitle(settings.readString(kFormSection, "Caption", design::kDefaultCaption));
}

void TForm1::FormShow()
{
    MouseHookHandle = m_window->contentView().installRightClickFilter();
    m_window->contentView().navigate(launchFolder(m_platform.files) + kStartPage);
}

void TForm1::FormDestroy()
{
    if (MouseHookHandle != 0) {
        m_window->contentView().removeRightClickFilter(MouseHookHandle);
        MouseHookHandle = 0;
    }
}

void TForm1::WebBrowser1BeforeNavigate2(const platform::Navigation& navigation, bool& cancel)
{
    const std::string& linkText = navigation.address;
    switch (decideLink(navigation)) {
    case LinkDecision::ShowInView:
        break;
    case LinkDecision::OpenWithShell: {
        // Shell failures are not reported: the link simply does nothing
        // visible. Only a local file with no program for it gets the choice
        // of one; an address nobody handles stays unanswered.
        int result = m_platform.shell.execute(kOpenVerb, linkText, launchFolder(m_platform.files));
        if (result == platform::kShellNoAssociation && isLocalAddress(linkText))
            m_platform.shell.openWith(linkText);
        cancel = true;
        break;
    }
    case LinkDecision::Refuse:
        cancel = true;
        break;
    }
    mp3Rule(linkText);
}

void TForm1::mp3Rule(const std::string&)
{
}

void TForm1::Exit1Click()
{
    m_window->close();
}

void TForm1::sdf3Click()
{
    m_platform.shell.execute(kOpenVerb, kHomePage, {});
}

}
