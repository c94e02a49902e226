#include "startup/Splash.h"

#include "startup/JpegPicture.h"
#include "startup/LaunchSettings.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace qvz {

namespace {

constexpr platform::RevealEffect kTransitionList[] = {
    platform::RevealEffect::None,
    platform::RevealEffect::Alpha,
    platform::RevealEffect::Blocks,
    platform::RevealEffect::Drip,
    platform::RevealEffect::Fuse,
    platform::RevealEffect::Interlaced,
    platform::RevealEffect::Roll,
    platform::RevealEffect::Waterfall,
    platform::RevealEffect::Wipe,
};

int clampSide(int side)
{
    return std::clamp(side, design::kMinimumSplashSide, design::kMaximumSplashSide);
}

}

platform::RevealEffect transitionAt(int index)
{
    constexpr int count = static_cast<int>(std::size(kTransitionList));
    return kTransitionList[index >= 0 && index < count ? index : design::kDefaultEffect];
}

TForm3::TForm3(platform::Platform platform, platform::EventSink& events)
    : m_platform(platform)
    , m_events(events)
    , m_window(platform.application.createSplashWindow())
    , m_imageBytes(resources::kBuiltinSplashPicture)
{
    m_window->setWidth(m_width);
    m_window->setHeight(m_height);
    // The design's show transition, replaced by start-up before the show.
    m_window->setTransition(platform::RevealEffect::Wipe);
    events.dispatch([this] { FormCreate(); });
}

void TForm3::FormCreate()
{
    std::string path = launchFolder(m_platform.files) + std::string(kSplashPictureFileName);
    std::string reason;
    auto bytes = m_platform.files.readFileWithReason(path, reason);
    if (!bytes)
        throw std::runtime_error("Cannot open file \"" + path + "\". " + reason);
    checkJpeg(*bytes);
    m_imageBytes = std::move(*bytes);
}

void TForm3::setShowTransition(int index)
{
    m_window->setTransition(transitionAt(index));
}

void TForm3::setTransitionDuration(int milliseconds)
{
    m_window->setTransitionDuration(milliseconds);
}

void TForm3::setWidth(int width)
{
    m_width = clampSide(width);
    m_window->setWidth(m_width);
}

void TForm3::setHeight(int height)
{
    m_height = clampSide(height);
    m_window->setHeight(m_height);
}

void TForm3::loadPictureForSize()
{
    try {
        m_window->setPicture(decodeJpeg(m_imageBytes, m_width, m_height));
        return;
    } catch (const JpegError&) {
        if (m_imageBytes.data() == resources::kBuiltinSplashPicture.data())
            throw;
        // The file passed the check at creation but its data failed further
        // on. Report it as creation would have, then show the built-in picture.
        std::exception_ptr failure = std::current_exception();
        m_events.dispatch([failure] { std::rethrow_exception(failure); });
    }
    m_imageBytes = resources::kBuiltinSplashPicture;
    m_window->setPicture(decodeJpeg(m_imageBytes, m_width, m_height));
}

void TForm3::Show()
{
    loadPictureForSize();
    m_window->show();
}

void TForm3::Repaint()
{
    m_window->repaint();
}

void TForm3::Close()
{
    m_window->hide();
}

}
