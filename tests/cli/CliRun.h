// Runs varno-cli as a program through the shell and collects its exit code, stdout and stderr.
#pragma once

#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "core/base/ScratchFiles.h"

namespace varno::test {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// `args` go to the shell as written, after the program's quoted path.
inline CliRun runCli(const std::string& args)
{
    ScratchDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    const std::string cmd =
        "'" + std::string(VARNO_CLI_PATH) + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out), readBytes(err)};
}

inline std::string shellQuoted(const std::string& path)
{
    return "'" + path + "'";
}

} // namespace varno::test
