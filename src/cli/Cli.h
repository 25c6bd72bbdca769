// What every varno-cli subcommand gets, and the subcommands themselves.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/Prompt.h"

namespace varno::cli {

// Exit codes shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2; // also: an input file that cannot be read

struct Context {
    std::string settingsPath; // --settings, else the program's default
    Prompt* prompt = nullptr; // messages to stderr; questions answered by --yes
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

using Args = std::vector<std::string>;

// A log named on the command line can be read; else says why ("Error can't
// open the log file") and the subcommand exits with kExitUsage.
bool logReadable(Context& ctx, const std::string& logPath);

// An option's number, read the same whatever the locale ("100.5" is a hundred
// and a half); false, with out left as it was, when text is not one whole number.
bool readNumber(const std::string& text, double& out);

int cmdSettings(Context& ctx, const Args& args);
int cmdDecode(Context& ctx, const Args& args);
int cmdLive(Context& ctx, const Args& args);
int cmdReplay(Context& ctx, const Args& args);
int cmdDistance(Context& ctx, const Args& args);
int cmdConvert(Context& ctx, const Args& args);
int cmdPassed(Context& ctx, const Args& args);
int cmdRoute(Context& ctx, const Args& args);
int cmdPoi(Context& ctx, const Args& args);
int cmdTrail(Context& ctx, const Args& args);
int cmdTracks(Context& ctx, const Args& args);
int cmdRoads(Context& ctx, const Args& args);

} // namespace varno::cli
