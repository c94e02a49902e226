#pragma once
// Fakes of the application object and its windows. Each records what the
// program asked of it, in order, in one shared log, so a test can check the
// sequence of a whole start-up.

#include "fakes/CallLog.h"
#include "fakes/FakeContentView.h"
#include "platform/Application.h"
#include "platform/Window.h"

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qvz::testing {

class FakeCheckBox final : public platform::CheckBox {
public:
    explicit FakeCheckBox(CallLog& log)
        : m_log(log)
    {
    }

    void setVisible(bool visible) override
    {
        this->visible = visible;
        m_log.add(std::string("soundBox.setVisible ") + (visible ? "true" : "false"));
    }
    bool checked() const override { return isChecked; }
    void onClick(std::function<void()> handler) override { clicked = std::move(handler); }

    bool visible = false;
    bool isChecked = true;
    std::function<void()> clicked;

private:
    CallLog& m_log;
};

// The audio device: records commands, keeps the mode a real device would
// have, and delivers notices only when the test says so.
class FakeMediaPlayer final : public platform::MediaPlayer {
public:
    explicit FakeMediaPlayer(CallLog& log)
        : m_log(log)
    {
    }

    void open(const std::string& path, std::optional<platform::SampleRange> realSamples) override
    {
        m_log.add("player.open " + path);
        this->realSamples = realSamples;
        if (!openError.empty())
            throw std::runtime_error(openError);
        currentMode = platform::PlayerMode::Stopped;
    }
    void close() override
    {
        m_log.add("player.close");
        currentMode = platform::PlayerMode::NotOpen;
    }
    void play() override
    {
        m_log.add("player.play");
        currentMode = platform::PlayerMode::Playing;
    }
    void pause() override
    {
        m_log.add("player.pause");
        currentMode = platform::PlayerMode::Paused;
    }
    void stop() override
    {
        m_log.add("player.stop");
        currentMode = platform::PlayerMode::Stopped;
    }
    platform::PlayerMode mode() const override { return currentMode; }
    void onEnded(std::function<void()> handler) override { ended = std::move(handler); }
    void onFailed(std::function<void(const std::string&)> handler) override { failed = std::move(handler); }
    void post(std::function<void()> function) override { posted.push_back(std::move(function)); }

    // The track plays to its end.
    void finishTrack()
    {
        currentMode = platform::PlayerMode::Stopped;
        if (ended)
            ended();
    }
    // Runs the notices posted so far, as the event loop would.
    void runPosted()
    {
        while (!posted.empty()) {
            auto function = std::move(posted.front());
            posted.pop_front();
            function();
        }
    }

    platform::PlayerMode currentMode = platform::PlayerMode::NotOpen;
    std::optional<platform::SampleRange> realSamples;
    std::string openError;
    std::function<void()> ended;
    std::function<void(const std::string&)> failed;
    std::deque<std::function<void()>> posted;

private:
    CallLog& m_log;
};

class FakeMainWindow final : public platform::MainWindow {
public:
    explicit FakeMainWindow(CallLog& log)
        : sound(log)
        , view(log)
        , player(log)
        , m_log(log)
    {
    }

    platform::CheckBox& soundBox() override { return sound; }
    platform::MediaPlayer& mediaPlayer() override { return player; }

    void setTitle(const std::string& title) override
    {
        this->title = title;
        m_log.add("window.setTitle " + title);
    }
    void setClientSize(int width, int height) override
    {
        clientWidth = width;
        clientHeight = height;
        m_log.add("window.setClientSize " + std::to_string(width) + "x" + std::to_string(height));
    }
    void onDestroyed(std::function<void()> handler) override { destroyed = std::move(handler); }
    void onShown(std::function<void()> handler) override { shown = std::move(handler); }
    platform::ContentView& contentView() override { return view; }
    platform::PopupMenu& popupMenu() override { return menu; }
    void close() override { m_log.add("window.close"); }

    // The frame's calls go to a log of their own, so that tests of the
    // start-up sequence need not spell them out.
    void setOuterSize(int width, int height) override
    {
        frameCall("setOuterSize " + std::to_string(width) + "x" + std::to_string(height));
        outerWidth = width;
        outerHeight = height;
    }
    void maximizeWhenShown() override
    {
        frameCall("maximizeWhenShown");
        maximizedWhenShown = true;
    }
    void setFrameLook(const platform::FrameLook& look) override
    {
        frameCall("setFrameLook " + look.name);
        frameLook = look;
    }
    void setStatusLook(const platform::FrameLook& look) override
    {
        frameCall("setStatusLook " + look.name);
        statusLook = look;
    }

    void setFrameLayout(const platform::FrameLayout& layout) override
    {
        frameCall("setFrameLayout");
        frameLayout = layout;
    }

    FakeCheckBox sound;
    FakeContentView view;
    FakePopupMenu menu;
    FakeMediaPlayer player;
    std::string title;
    int clientWidth = 0;
    int clientHeight = 0;
    std::function<void()> destroyed;
    std::function<void()> shown;

    std::vector<std::string> frameCalls;
    // A frame call whose log entry starts with this text throws, as a failing
    // platform would.
    std::string failingCall;
    int outerWidth = 0;
    int outerHeight = 0;
    bool maximizedWhenShown = false;
    platform::FrameLook frameLook;
    platform::FrameLook statusLook;
    platform::FrameLayout frameLayout;

private:
    void frameCall(std::string call)
    {
        if (!failingCall.empty() && call.starts_with(failingCall))
            throw std::runtime_error("Cannot " + call);
        frameCalls.push_back(std::move(call));
    }

    CallLog& m_log;
};

// What the program left in its splash window; kept by the application fake,
// so a test can look at it after the program has ended and the window is gone.
struct FakeSplashState {
    bool created = false;
    int width = 0;
    int height = 0;
    platform::Picture picture;
    platform::RevealEffect transition = platform::RevealEffect::None;
    int duration = 0;
    bool visible = false;
};

class FakeSplashWindow final : public platform::SplashWindow {
public:
    FakeSplashWindow(CallLog& log, FakeSplashState& state)
        : m_log(log)
        , m_state(state)
    {
        m_state.created = true;
    }

    void setWidth(int width) override
    {
        m_state.width = width;
        m_log.add("splash.setWidth " + std::to_string(width));
    }
    void setHeight(int height) override
    {
        m_state.height = height;
        m_log.add("splash.setHeight " + std::to_string(height));
    }
    void setPicture(platform::Picture picture) override
    {
        m_log.add("splash.setPicture " + std::to_string(picture.width) + "x" + std::to_string(picture.height));
        m_state.picture = std::move(picture);
    }
    void setTransition(platform::RevealEffect effect) override
    {
        m_state.transition = effect;
        m_log.add("splash.setTransition " + std::to_string(static_cast<int>(effect)));
    }
    void setTransitionDuration(int milliseconds) override
    {
        m_state.duration = milliseconds;
        m_log.add("splash.setTransitionDuration " + std::to_string(milliseconds));
    }
    void show() override
    {
        m_state.visible = true;
        m_log.add("splash.show");
    }
    void repaint() override { m_log.add("splash.repaint"); }
    void hide() override
    {
        m_state.visible = false;
        m_log.add("splash.hide");
    }

private:
    CallLog& m_log;
    FakeSplashState& m_state;
};

class FakeApplication final : public platform::Application {
public:
    explicit FakeApplication(CallLog& log)
        : m_log(log)
    {
    }

    void setEventSink(platform::EventSink& sink) override { events = &sink; }
    void initialize(const std::string& title) override { m_log.add("app.initialize " + title); }
    std::unique_ptr<platform::MainWindow> createMainWindow() override
    {
        m_log.add("app.createMainWindow");
        auto window = std::make_unique<FakeMainWindow>(m_log);
        window->failingCall = failingFrameCall;
        mainWindow = window.get();
        return window;
    }
    std::unique_ptr<platform::SplashWindow> createSplashWindow() override
    {
        m_log.add("app.createSplashWindow");
        return std::make_unique<FakeSplashWindow>(m_log, splash);
    }
    void sleepBlocking(int milliseconds) override { m_log.add("app.sleepBlocking " + std::to_string(milliseconds)); }
    void run(platform::MainWindow&) override
    {
        m_log.add("app.run");
        if (mainWindow && mainWindow->shown)
            events->dispatch(mainWindow->shown);
        if (mainWindow && mainWindow->destroyed)
            events->dispatch(mainWindow->destroyed);
    }
    void showErrorBox(const std::string& title, const std::string& text) override
    {
        m_log.add("app.showErrorBox " + title + ": " + text);
    }

    platform::EventSink* events = nullptr;
    FakeMainWindow* mainWindow = nullptr;
    FakeSplashState splash;
    // Handed to the main window when it is created (see FakeMainWindow::failingCall).
    std::string failingFrameCall;

private:
    CallLog& m_log;
};

}
