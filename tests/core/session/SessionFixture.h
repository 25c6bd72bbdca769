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
#include "support/RecordingPrompt.h"

namespace varno::test {

// A receiver that is never there.
class AbsentPort final : public gps::SerialPort {
public:
    bool open(const std::string&) override { return false; }
    bool isOpen() const override { return false; }
    std::optional<gps::LineSettings> state() override { return std::nullopt; }
    bool applyState(const gps::LineSettings&) override { return false; }
    bool setReadTimeout(std::chrono::milliseconds) override { return false; }
    void clearErrors() override {}
    gps::ReadResult read(std::span<char>) override { return {gps::ReadStatus::Gone, 0}; }
    void interruptRead() override {}
    bool write(std::string_view) override { return false; }
    bool close() override { return true; }
};

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
    AbsentPort port;

private:
    ScratchDir dir_;
    std::unique_ptr<settings::SettingsStore> store_;
    std::unique_ptr<settings::Settings> settings_;
    std::unique_ptr<session::Session> session_;
};

} // namespace varno::test
