// Where settings and data live on this machine.
#include "Paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "base/DataPath.h"

namespace varno::platform {
namespace {

std::string envOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string homeDir()
{
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

} // namespace

std::string defaultSettingsPath()
{
    if (const char* s = std::getenv("VARNO_SETTINGS"); s && *s)
        return s;
    return envOr("XDG_CONFIG_HOME", homeDir() + "/.config") + "/varno/settings.reg";
}

std::string dataRoot()
{
    return envOr("VARNO_HOME", homeDir() + "/VARNO");
}

std::string usePath(const std::string& stored)
{
    return mapDataPath(stored, dataRoot());
}

} // namespace varno::platform
