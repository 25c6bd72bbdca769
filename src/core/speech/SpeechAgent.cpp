// The agent's load, unload and speak steps, and the recorder the tests and the command line use.
#include "speech/SpeechAgent.h"

#include <algorithm>

#include "base/DataPath.h"
#include "settings/Settings.h"

namespace varno::speech {
namespace {
// The character when MSAgentACS cannot be read.
constexpr const char* kFallbackCharacter = "Merlin.acs";
} // namespace

bool RecordingSpeechAgent::loadCharacter(const std::string& path)
{
    events.push_back("load " + path);
    loaded_ = std::find(unreadable.begin(), unreadable.end(), path) == unreadable.end();
    return loaded_;
}

void RecordingSpeechAgent::unloadCharacter()
{
    if (loaded_)
        events.push_back("unload");
    loaded_ = false;
}

void RecordingSpeechAgent::speak(const std::string& text)
{
    events.push_back("speak " + text);
    spoken.push_back(text);
    if (onSpeak)
        onSpeak(text);
}

AgentControl::AgentControl(SpeechAgent& agent, settings::Settings& settings, Prompt& prompt,
                           std::function<RoadFlags()> readRoadTypes, std::string dataRoot)
    : agent_(agent), settings_(settings), prompt_(prompt), readRoadTypes_(std::move(readRoadTypes)),
      dataRoot_(std::move(dataRoot))
{
}

bool AgentControl::tryLoad(RoadFlags flags, const std::function<void(const std::string&)>& report)
{
    agent_.unloadCharacter();
    const std::string stored = settings_.read(settings::keys::MSAgentACS).value_or(kFallbackCharacter);
    const std::string path = dataRoot_.empty() ? stored : mapDataPath(stored, dataRoot_);
    loadFailed_ = !agent_.loadCharacter(path);
    if (loadFailed_) {
        if (report)
            report("MSAgent load failed");
        else
            prompt_.message("MSAgent load failed");
        return false;
    }
    agent_.showAndGreet();
    agent_.setSoundEffects(settings_.read(settings::keys::MSAgentSound) == 1);
    agent_.speak(roadModeSentence(flags));
    return true;
}

void AgentControl::load(RoadFlags flags)
{
    tryLoad(flags, {});
}

void AgentControl::unload()
{
    agent_.unloadCharacter();
    loadFailed_ = false;
}

void AgentControl::speak(const std::string& text)
{
    if (!agent_.hasCharacter()) {
        if (loadFailed_)
            return;
        if (!tryLoad(readRoadTypes_ ? readRoadTypes_() : RoadFlags{}, reportLater))
            return;
    }
    agent_.speak(text);
}

} // namespace varno::speech
