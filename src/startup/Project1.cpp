#include "startup/Project1.h"

#include "mainwindow/TForm1.h"
#include "startup/LaunchSettings.h"
#include "startup/Splash.h"
#include "startup/StandardErrorBox.h"

#include <memory>

namespace qvz {

namespace {
constexpr int kStartupPauseMilliseconds = 1000;
}

int Project1::run()
{
    auto& application = m_platform.application;
    const std::string title = applicationTitle(m_platform.files.executablePath());
    StandardErrorBox errorBox(application, title);
    application.setEventSink(errorBox);

    // The splash has no owner: it lives, hidden after the pause, until the
    // program ends.
    std::unique_ptr<TForm3> form3;
    {
        SettingsReader settings(m_platform.files, settingsPath(m_platform.files));
        if (settings.readBool(kFormSection, "UseSplash", false)) {
            form3 = std::make_unique<TForm3>(m_platform, errorBox);
            form3->setShowTransition(settings.readInteger(kFormSection, "Effect", design::kDefaultEffect));
            form3->setTransitionDuration(settings.readInteger(kFormSection, "DelaySplash", 2000));
            form3->setWidth(settings.readInteger(kFormSection, "Sw", 300));
            form3->setHeight(settings.readInteger(kFormSection, "Sh", 250));
            form3->Show();
            form3->Repaint();
            m_splashShown = true;
        }
    }

    application.initialize(title);
    TForm1 form1(m_platform, errorBox);
    application.sleepBlocking(kStartupPauseMilliseconds);
    if (m_splashShown)
        form3->Close();
    application.run(form1.window());
    return 0;
}

}
