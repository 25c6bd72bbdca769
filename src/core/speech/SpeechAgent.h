// The speech agent: a character that speaks the route texts, and the steps that load and drive it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "speech/RoadFlags.h"

namespace varno::settings {
class Settings;
}

namespace varno::speech {

// What speaks: the platform's speech with its on-screen character, or a recorder.
class SpeechAgent {
public:
    virtual ~SpeechAgent() = default;
    // Loads the character of this file (replacing any); false when it cannot.
    virtual bool loadCharacter(const std::string& path) = 0;
    virtual void unloadCharacter() = 0;
    virtual bool hasCharacter() const = 0;
    // The character's own sound effects.
    virtual void setSoundEffects(bool on) = 0;
    // Shows the character with its greeting.
    virtual void showAndGreet() = 0;
    // Queues a text; never waits for the speech.
    virtual void speak(const std::string& text) = 0;
};

// Remembers what it was asked to do; loads every path except those in `unreadable`.
class RecordingSpeechAgent final : public SpeechAgent {
public:
    bool loadCharacter(const std::string& path) override;
    void unloadCharacter() override;
    bool hasCharacter() const override { return loaded_; }
    void setSoundEffects(bool on) override { soundEffects = on; }
    void showAndGreet() override { events.push_back("greet"); }
    void speak(const std::string& text) override;

    std::vector<std::string> unreadable;
    std::vector<std::string> spoken;
    // "load <path>", "unload", "greet", "speak <text>" in order.
    std::vector<std::string> events;
    bool soundEffects = false;
    // Called with each spoken text.
    std::function<void(const std::string&)> onSpeak;

private:
    bool loaded_ = false;
};

// Loading, unloading and speaking through the agent as the route features do.
class AgentControl {
public:
    // readRoadTypes reads the road flags (resetting the guidance's
    // announcement state) and returns them.
    // A character file named "C:\VARNO\..." lies in dataRoot.
    AgentControl(SpeechAgent& agent, settings::Settings& settings, Prompt& prompt,
                 std::function<RoadFlags()> readRoadTypes, std::string dataRoot = {});

    // Loads the character of MSAgentACS ("MSAgent load failed" when it cannot),
    // shows it, sets its sound effects from MSAgentSound and says the road mode.
    void load(RoadFlags flags);
    void unload();
    bool loaded() const { return agent_.hasCharacter(); }
    // Speaks, loading the character first when none is held; without one
    // nothing is said. A character that failed to load is not tried again
    // here: speaking runs on every guidance step, inside the view's repaint,
    // and a retry would read the road types again (announcing the point anew)
    // and open the failure's message box from the repaint each time. The next
    // load() or unload() (a view switch, F10, a route load) tries afresh.
    void speak(const std::string& text);
    // Where the failure of a load that speak() started is reported; the
    // window queues it so that no message box opens inside a repaint. Unset:
    // the prompt, at once.
    std::function<void(const std::string&)> reportLater;

    SpeechAgent& agent() { return agent_; }

private:
    SpeechAgent& agent_;
    settings::Settings& settings_;
    Prompt& prompt_;
    std::function<RoadFlags()> readRoadTypes_;
    std::string dataRoot_;
    // The last load failed; speak() leaves the character alone until the next load or unload.
    bool loadFailed_ = false;

    bool tryLoad(RoadFlags flags, const std::function<void(const std::string&)>& report);
};

} // namespace varno::speech
