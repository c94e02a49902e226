#include "mainwindow/TForm1.h"

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
}

TForm1::TForm1(platform::Platform platform, platform::EventSink& events)
    : m_platform(platform)
    , m_window(platform.application.createMainWindow())
{
    m_window->setClientSize(design::kForm1ClientSize.width, design::kForm1ClientSize.height);
    // The frame has no system border at run time, so its outer size is the
    // designed client size until FormCreate says otherwise.
    m_outerWidth = design::kForm1ClientSize.width;
    m_outerHeight = design::kForm1ClientSize.height;
    m_window->setFrameLayout(design::frameLayout());
    m_window->setFrameLook(builtInLook(UIStyle::DeepBlue));
    m_window->setStatusLook(builtInLook(UIStyle::DeepBlue));
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

void TForm1::musicStage(SettingsReader&)
{
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

}
