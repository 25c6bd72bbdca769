// A Session over a temporary settings file, a fixed clock and a port that never opens.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "gps/SerialPort.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "gps/AbsentSerialPort.h"
#include "support/RecordingPrompt.h"

namespace varno::test {

inline LocalTime at(int hour, int minute)
{
    return {.year = 2006, .month = 6, .day = 5, .weekday = 1, .hour = hour, .minute = minute};
}

class SessionTest : public ::testing::Test {
protected:
    SessionTest()
    {
        std::filesystem::create_directories(dir_.path() / "Log");
        store_ = std::make_unique<settings::SettingsStore>(dir_.file("settings.reg"));
        settings_ = std::make_unique<settings::Settings>(*store_, prompt);
    }
    ~SessionTest() override { session_.reset(); }

    // Every default written, as after a first run answered with OK.
    void writeDefaults() { settings_->writeDefaults(); }

    session::Session& session()
    {
        if (!session_) {
            session_ = std::make_unique<session::Session>(session::Session::Deps{
                *settings_, prompt, clock, port, dir_.path().string(), [](std::chrono::milliseconds) {}});
        }
        return *session_;
    }

    settings::Settings& settings() { return *settings_; }
    const std::filesystem::path& dir() const { return dir_.path(); }

    RecordingPrompt prompt;
    FixedClock clock{at(12, 0)};
    gps::AbsentSerialPort port;

private:
    ScratchDir dir_;
    std::unique_ptr<settings::SettingsStore> store_;
    std::unique_ptr<settings::Settings> settings_;
    std::unique_ptr<session::Session> session_;
};

} // namespace varno::test
