#include "music/TMediaPlayer.h"

#include "music/Mp3Gapless.h"

#include <stdexcept>

namespace qvz::music {

TMediaPlayer::TMediaPlayer(platform::MediaPlayer& device, platform::FileSystem& files)
    : m_device(device)
    , m_files(files)
{
    m_device.onEnded([this] {
        if (!m_playNoticePending)
            return;
        m_playNoticePending = false;
        deliver(NotifyValue::Successful);
    });
    m_device.onFailed([this](const std::string& message) {
        m_lastError = message;
        if (!m_playNoticePending)
            return;
        m_playNoticePending = false;
        deliver(NotifyValue::Failed);
    });
}

TMediaPlayer::~TMediaPlayer()
{
    // The device may outlive this control; no notice may reach a dead one.
    m_device.onEnded({});
    m_device.onFailed({});
    if (m_open)
        m_device.close();
}

void TMediaPlayer::requireOpen() const
{
    if (!m_open)
        throw std::runtime_error(kNoDeviceOpen);
}

bool TMediaPlayer::beginCommand(Interrupts interrupts, bool playDefault)
{
    bool wantsNotice = m_notifyNext || playDefault;
    m_notifyNext = false;
    if (m_playNoticePending && (interrupts == Interrupts::Yes || wantsNotice)) {
        m_playNoticePending = false;
        deliverLater(interrupts == Interrupts::Yes ? NotifyValue::Aborted : NotifyValue::Superseded);
    }
    return wantsNotice;
}

void TMediaPlayer::open()
{
    close();
    beginCommand(Interrupts::No, false);
    // Decoders here do not trim the encoder delay and padding that an MP3's
    // LAME header records, so the device is told where the real samples are;
    // otherwise every loop would carry a short silence.
    std::optional<platform::SampleRange> realSamples;
    if (auto bytes = m_files.readFile(m_fileName))
        realSamples = mp3RealSamples(*bytes);
    m_device.open(m_fileName, realSamples);
    m_open = true;
}

void TMediaPlayer::play(Notify notify)
{
    requireOpen();
    bool wantsNotice = beginCommand(Interrupts::No, notify == Notify::Yes);
    m_device.play();
    m_playNoticePending = wantsNotice;
}

void TMediaPlayer::pause()
{
    requireOpen();
    bool wantsNotice = beginCommand(Interrupts::Yes, false);
    switch (m_device.mode()) {
    case platform::PlayerMode::Playing:
        m_device.pause();
        break;
    case platform::PlayerMode::Paused:
        m_device.play();
        break;
    default:
        break;
    }
    if (wantsNotice)
        deliverLater(NotifyValue::Successful);
}

void TMediaPlayer::stop()
{
    requireOpen();
    bool wantsNotice = beginCommand(Interrupts::Yes, false);
    m_device.stop();
    if (wantsNotice)
        deliverLater(NotifyValue::Successful);
}

void TMediaPlayer::close()
{
    if (!m_open)
        return;
    bool wantsNotice = beginCommand(Interrupts::Yes, false);
    m_device.close();
    m_open = false;
    if (wantsNotice)
        deliverLater(NotifyValue::Successful);
}

void TMediaPlayer::deliverLater(NotifyValue value)
{
    m_device.post([self = std::weak_ptr<TMediaPlayer*>(m_self), value] {
        if (auto alive = self.lock())
            (*alive)->deliver(value);
    });
}

void TMediaPlayer::deliver(NotifyValue value)
{
    m_notifyValue = value;
    if (m_notifyHandler)
        m_notifyHandler(value);
}

}
