// Where the program's files live, and how stored Windows-style paths are used.
#include "DataPath.h"

namespace varno {
namespace {

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

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
