// Where the program's files live, and how stored Windows-style paths are used.
#include "DataPath.h"

#include "AsciiCase.h"

namespace varno {

std::string mapDataPath(std::string_view stored, std::string_view dataRoot)
{
    std::string out;
    constexpr std::string_view root = "C:\\VARNO";
    // "C:\VARNO" alone or followed by a separator; "C:\VARNOX" is some other folder.
    if (startsWithNoCase(stored, root) &&
        (stored.size() == root.size() || stored[root.size()] == '\\' || stored[root.size()] == '/')) {
        out.assign(dataRoot);
        stored.remove_prefix(root.size());
        if (!out.empty() && out.back() == '/' && !stored.empty())
            out.pop_back();
    }
    for (char c : stored)
        out.push_back(c == '\\' ? '/' : c);
    return out;
}

} // namespace varno
