// The default voice files, copied into an empty voice folder on the program's first start.
#pragma once

#include <string>

#include "settings/Settings.h"

namespace varno::platform {

// The folder the default voices come from:
// - an installed program: <prefix>/share/varno/voice, beside the <prefix>/bin
//   (or any other folder) the running program lies in, i.e. ../share/varno/voice
//   from the program's own folder;
// - otherwise the build tree's data/voice, where the build speaks them.
// The installed folder wins when it exists; the build tree's path is returned
// even when it does not exist (a build without espeak-ng).
std::string defaultVoiceSource();

// The voice folder as this machine uses it: the VoiceFolder setting, or its
// default "C:\VARNO\Voice" when it is not set, mapped onto the data root.
std::string voiceFolderPath(settings::Settings& settings);

// When voiceFolder holds no ".wav" file (any letter case), copies every ".wav"
// file of sourceFolder into it, creating the folder when needed. A folder that
// already holds a WAV file is left exactly as it is: the user's own voices are
// never overwritten, nor completed. Each file is copied under a temporary name
// and then renamed, so a failed copy leaves no half-written voice behind.
//
// True when the voice folder holds WAV files afterwards. False when the source
// holds none (nothing is created then) or a copy failed (the files copied so
// far stay).
bool installDefaultVoices(const std::string& voiceFolder, const std::string& sourceFolder);

// The call the programs make at start: the default voices into the voice
// folder of these settings.
bool installDefaultVoices(settings::Settings& settings);

} // namespace varno::platform
