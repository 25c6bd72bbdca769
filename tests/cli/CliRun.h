// varno-cli run as a program through the shell, its exit code and what it wrote.
#pragma once

#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "core/base/ScratchFiles.h"

namespace varno::test {

struct CliRun {
    int code = -1;
    std::string out, err;
};

// `args` go to the shell as written, after the program's quoted path, run in the folder cwd. A run
// still going after timeoutSeconds (when given) is killed.
inline CliRun runCli(const std::string& args, int timeoutSeconds = 0, const std::string& cwd = ".")
{
    ScratchDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    const std::string limit =
        timeoutSeconds > 0 ? "timeout -s KILL " + std::to_string(timeoutSeconds) + " " : "";
    const std::string cmd = "cd '" + cwd + "' && " + limit + "'" + std::string(VARNO_CLI_PATH) + "' " + args +
                            " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out), readBytes(err)};
}

} // namespace varno::test
