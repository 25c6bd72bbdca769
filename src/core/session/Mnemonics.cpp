// Keyboard mnemonics for a menu's texts.
#include "session/Mnemonics.h"

#include <set>

namespace varno::session {

namespace {
char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool isAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
std::string_view label(std::string_view text)
{
    return text.substr(0, text.find('\t'));
}
} // namespace

char mnemonicOf(std::string_view text)
{
    text = label(text);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return lower(text[i + 1]);
    }
    return 0;
}

std::vector<std::string> withMnemonics(std::span<const std::string_view> texts)
{
    std::set<char> taken;
    for (std::string_view t : texts)
        if (char m = mnemonicOf(t))
            taken.insert(m);
    std::vector<std::string> out;
    out.reserve(texts.size());
    for (std::string_view t : texts) {
        std::string s(t);
        if (mnemonicOf(t) == 0) {
            const std::string_view l = label(t);
            std::size_t at = std::string::npos;
            // Word starts first, then any letter or digit.
            for (int pass = 0; pass < 2 && at == std::string::npos; ++pass)
                for (std::size_t i = 0; i < l.size(); ++i) {
                    const bool wordStart = i == 0 || !isAlnum(l[i - 1]);
                    if (isAlnum(l[i]) && (pass == 1 || wordStart) && !taken.count(lower(l[i]))) {
                        at = i;
                        break;
                    }
                }
            if (at != std::string::npos) {
                taken.insert(lower(l[at]));
                s.insert(at, 1, '&');
            }
        }
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace varno::session
