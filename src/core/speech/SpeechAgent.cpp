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

void AgentControl::load(RoadFlags flags)
{
    agent_.unloadCharacter();
    const std::string stored = settings_.read(settings::keys::MSAgentACS).value_or(kFallbackCharacter);
    const std::string path = dataRoot_.empty() ? stored : mapDataPath(stored, dataRoot_);
    if (!agent_.loadCharacter(path)) {
        prompt_.message("MSAgent load failed");
        return;
    }
    agent_.showAndGreet();
    agent_.setSoundEffects(settings_.read(settings::keys::MSAgentSound) == 1);
    agent_.speak(roadModeSentence(flags));
}

void AgentControl::unload()
{
    agent_.unloadCharacter();
}

void AgentControl::speak(const std::string& text)
{
    if (!agent_.hasCharacter())
        load(readRoadTypes_ ? readRoadTypes_() : RoadFlags{});
    if (agent_.hasCharacter())
        agent_.speak(text);
}

} // namespace varno::speech
