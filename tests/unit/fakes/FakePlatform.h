#pragma once
// Fakes of the application object and its windows. Each records what the
// program asked of it, in order, in one shared log, so a test can check the
// sequence of a whole start-up.

#include "fakes/CallLog.h"
#include "fakes/FakeContentView.h"
#include "platform/Application.h"
#include "platform/Window.h"

#include <memory>
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

class FakeMainWindow final : public platform::MainWindow {
public:
    explicit FakeMainWindow(CallLog& log)
        : sound(log)
        , view(log)
        , m_log(log)
    {
    }

    platform::CheckBox& soundBox() override { return sound; }

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

    FakeCheckBox sound;
    FakeContentView view;
    FakePopupMenu menu;
    std::string title;
    int clientWidth = 0;
    int clientHeight = 0;
    std::function<void()> destroyed;
    std::function<void()> shown;

private:
    CallLog& m_log;
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
        mainWindow = window.get();
        return window;
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

private:
    CallLog& m_log;
};

}
