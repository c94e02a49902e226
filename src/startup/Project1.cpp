#include "startup/Project1.h"

#include "mainwindow/TForm1.h"
#include "startup/LaunchSettings.h"
#include "startup/StandardErrorBox.h"

namespace qvz {

namespace {
constexpr int kStartupPauseMilliseconds = 1000;
}

int Project1::run()
{
    auto& application = m_platform.application;
    StandardErrorBox errorBox(application, applicationTitle(m_platform.files.executablePath()));
    application.setEventSink(errorBox);

    {
        SettingsReader settings(m_platform.files, settingsPath(m_platform.files));
        // The splash keys are read here.
    }

    application.initialize(applicationTitle(m_platform.files.executablePath()));
    TForm1 form1(m_platform, errorBox);
    application.sleepBlocking(kStartupPauseMilliseconds);
    application.run(form1.window());
    return 0;
}

}
