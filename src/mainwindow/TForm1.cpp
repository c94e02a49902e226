#include "mainwindow/TForm1.h"

#include "mainwindow/TForm1Design.h"
#include "startup/LaunchSettings.h"

namespace qvz {

TForm1::TForm1(platform::Platform platform, platform::EventSink& events)
    : m_platform(platform)
    , m_window(platform.application.createMainWindow())
{
    m_window->setClientSize(design::kForm1ClientSize.width, design::kForm1ClientSize.height);
    events.dispatch([this] { FormCreate(); });
}

void TForm1::FormCreate()
{
    m_musicEnabled = false;
    SettingsReader settings(m_platform.files, settingsPath(m_platform.files));
    m_window->setTitle(settings.readString(kFormSection, "Caption", design::kDefaultCaption));
}

}
