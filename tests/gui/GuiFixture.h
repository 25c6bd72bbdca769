// A Session and main window over a temporary settings file, for the window tests.
#pragma once

#include <functional>
#include <QTemporaryDir>
#include <memory>

#include "CMainFrame.h"
#include "base/Clock.h"
#include "cameras/VoicePlayer.h"
#include "gps/PortList.h"
#include "gps/SerialPort.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "support/RecordingPrompt.h"

namespace guitest {

// A receiver that is never there.
class AbsentPort final : public varno::gps::SerialPort {
public:
    bool open(const std::string&) override { return false; }
    bool isOpen() const override { return false; }
    std::optional<varno::gps::LineSettings> state() override { return std::nullopt; }
    bool applyState(const varno::gps::LineSettings&) override { return false; }
    bool setReadTimeout(std::chrono::milliseconds) override { return false; }
    void clearErrors() override {}
    varno::gps::ReadResult read(std::span<char>) override { return {varno::gps::ReadStatus::Gone, 0}; }
    void interruptRead() override {}
    bool write(std::string_view) override { return false; }
    bool close() override { return true; }
};

// Keeps the path of every sound the program asked to play, in order.
class RecordingVoice final : public varno::cameras::VoicePlayer {
public:
    void play(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

class FixedPorts final : public varno::gps::SerialPortEnumerator {
public:
    std::vector<std::string> ports;
    std::vector<std::string> presentPorts() const override { return ports; }
};

// Everything a window needs. defaults: write every default first, as a
// configured machine has them.
struct Rig {
    explicit Rig(bool defaults = true, varno::gps::SerialPort* realPort = nullptr)
        : store((dir.path() + "/settings.reg").toStdString()), settings(store, prompt)
    {
        if (defaults)
            settings.writeDefaults();
        varno::gps::SerialPort& p = realPort ? *realPort : absent;
        session = std::make_unique<varno::session::Session>(varno::session::Session::Deps{
            settings, prompt, clock, p, dir.path().toStdString(), [](std::chrono::milliseconds) {}, &voice,
            [this](bool busy, const std::string& port) {
                if (onOpening)
                    onOpening(busy, port);
            }});
    }

    CMainFrame& frame()
    {
        if (!frame_)
            frame_ = std::make_unique<CMainFrame>(*session, nullptr, &ports);
        return *frame_;
    }

    ~Rig()
    {
        frame_.reset();
        session.reset();
    }

    // What the program does around the waits of a port open (main.cpp shows it on the frame).
    std::function<void(bool busy, const std::string& port)> onOpening;
    QTemporaryDir dir;
    varno::test::RecordingPrompt prompt;
    varno::FixedClock clock{varno::LocalTime{}};
    AbsentPort absent;
    RecordingVoice voice;
    FixedPorts ports;
    varno::settings::SettingsStore store;
    varno::settings::Settings settings;
    std::unique_ptr<varno::session::Session> session;

private:
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace guitest
