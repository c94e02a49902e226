#include "mainwindow/TForm1.h"

#include "mainwindow/LinkPolicy.h"
#include "mainwindow/TForm1Design.h"
#include "mainwindow/ThemeFile.h"
#include "startup/LaunchSettings.h"

#include <algorithm>

namespace qvz {

namespace {
// Values of the size setting; "Custorm" is spelt as menus have always spelt it.
constexpr std::string_view kFullscreen = "Fullscreen";
constexpr std::string_view kCustomSize = "Custorm";
constexpr int32_t kDefaultWidth = 680;
constexpr int32_t kDefaultHeight = 523;
constexpr const char* kStartPage = "qvz.htm";
constexpr const char* kHomePage = "https://www.pelmora.com/";
constexpr const char* kOpenVerb = "open";
}

TForm1::TForm1(platform::Platform platform, platform::EventSink& events)
    : m_platform(platform)
    , m_window(platform.application.createMainWindow())
    , m_mediaPlayer1(m_window->mediaPlayer(), platform.files)
    , m_music(platform.files, m_mediaPlayer1, m_window->soundBox(), m_musicEnabled)
{
    m_window->setClientSize(design::kForm1ClientSize.width, design::kForm1ClientSize.height);
    // The frame has no system border at run time, so its outer size is the
    // designed client size until FormCreate says otherwise.
    m_outerWidth = design::kForm1ClientSize.width;
    m_outerHeight = design::kForm1ClientSize.height;
    m_window->setFrameLayout(design::frameLayout());
    m_window->setFrameLook(builtInLook(UIStyle::DeepBlue));
    m_window->setStatusLook(builtInLook(UIStyle::DeepBlue));
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
    m_mediaPlayer1.onNotify([this](music::NotifyValue value) { m_music.MediaPlayer1Notify(value); });
    m_window->soundBox().onClick([this] { m_music.CheckBox1Click(); });
    events.dispatch([this] { FormCreate(); });
}

void TForm1::FormCreate()
{
    m_musicEnabled = false;
    SettingsReader settings(m_platform.files, settingsPath(m_platform.files));

    m_window->setTitle(settings.readString(kFormSection, "Caption", design::kDefaultCaption));

    // On Windows the maximise command is posted and runs once the loop has
    // shown the window; the platform keeps that order.
    if (settings.readString(kFormSection, "size", "") == kFullscreen)
        m_window->maximizeWhenShown();

    if (settings.readString(kFormSection, "size", "") == kCustomSize) {
        m_outerWidth = settings.readInteger(kFormSection, "sizeW", kDefaultWidth);
        m_outerHeight = settings.readInteger(kFormSection, "sizeh", kDefaultHeight);
        resizeWithinMinimum();
    }

    // Every row reads the setting afresh and compares it exactly, letter case
    // included; a value matches at most one row.
    for (const auto& row : kSkinNames) {
        if (settings.readString(kFormSection, "scin", kDefaultSkinName) == row.name) {
            applyUIStyle(row.style);
            if (row.style == UIStyle::FromThemeFile)
                loadFileTheme(launchFolder(m_platform.files) + std::string(design::kThemeFileName));
        }
    }

    musicStage(settings);
}

void TForm1::musicStage(SettingsReader& settings)
{
    m_music.musicStage(settings);
}

void TForm1::applyUIStyle(UIStyle style)
{
    m_uiStyle = style;
    m_minimumSize = minimumSize(style);
    m_window->setFrameLook(builtInLook(style));
    resizeWithinMinimum();
}

void TForm1::loadFileTheme(const std::string& path)
{
    auto bytes = m_platform.files.readFile(path);
    if (!bytes)
        return;
    Theme theme = parseThemeFile(*bytes, launchFolder(m_platform.files));
    m_minimumSize = theme.minimum;
    m_window->setFrameLook(theme.look);
    resizeWithinMinimum();
}

void TForm1::resizeWithinMinimum()
{
    m_window->setOuterSize(std::max(m_outerWidth, m_minimumSize.width), std::max(m_outerHeight, m_minimumSize.height));
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

void TForm1::Exit1Click()
{
    m_window->close();
}

void TForm1::sdf3Click()
{
    m_platform.shell.execute(kOpenVerb, kHomePage, {});
}

}
