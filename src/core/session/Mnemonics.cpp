// Keyboard mnemonics for a menu's texts.
#include "session/Mnemonics.h"

#include <map>
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
// Where the "&" of a text's mnemonic is, npos when it has none.
std::size_t mnemonicAt(std::string_view text)
{
    text = label(text);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return i;
        ++i;
    }
    return std::string_view::npos;
}

// Free letters for the texts without a mnemonic: owner maps a letter to the
// text and the position that show it.
struct Matching {
    const std::vector<std::string>& texts;
    const std::set<char>& own;
    std::map<char, std::pair<std::size_t, std::size_t>> owner;

    // A text's candidate positions: the starts of words first, then any letter or digit.
    std::vector<std::size_t> candidates(std::size_t text) const
    {
        const std::string_view l = label(texts[text]);
        std::vector<std::size_t> out;
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < l.size(); ++i) {
                const bool wordStart = i == 0 || !isAlnum(l[i - 1]);
                if (isAlnum(l[i]) && (pass == 0) == wordStart && !own.count(lower(l[i])))
                    out.push_back(i);
            }
        return out;
    }

    // Gives text a letter, free or moved from its holder; tried: the letters being
    // moved further up this search, which are not free to take.
    bool assign(std::size_t text, std::set<char>& tried)
    {
        const std::vector<std::size_t> cands = candidates(text);
        for (std::size_t at : cands) {
            const char c = lower(texts[text][at]);
            if (!owner.count(c) && !tried.count(c)) {
                owner[c] = {text, at};
                return true;
            }
        }
        for (std::size_t at : cands) {
            const char c = lower(texts[text][at]);
            if (!tried.insert(c).second)
                continue;
            const auto held = owner.at(c);
            owner.erase(c);
            if (assign(held.first, tried)) {
                owner[c] = {text, at};
                return true;
            }
            owner[c] = held;
        }
        return false;
    }
};
} // namespace

char mnemonicOf(std::string_view text)
{
    const std::size_t at = mnemonicAt(text);
    return at == std::string_view::npos ? 0 : lower(text[at + 1]);
}

std::vector<std::string> withMnemonics(std::span<const std::string_view> texts)
{
    // A table letter is kept by the first text that has it; a later text with the
    // same one loses its "&" and is given a free letter like a text without one.
    std::set<char> taken;
    std::vector<std::string> out;
    out.reserve(texts.size());
    for (std::string_view t : texts) {
        std::string s(t);
        if (char m = mnemonicOf(t); m && !taken.insert(m).second)
            s.erase(mnemonicAt(s), 1);
        out.push_back(std::move(s));
    }
    // The rest in order, each its first free candidate; one with none free takes a
    // letter from an earlier text that can move to another (so a long menu runs
    // out of letters as late as it can). The texts that lost a repeated letter
    // come last, and one that finds no free letter keeps its repeat after all:
    // a letter that steps between two items is better than none.
    Matching m{out, taken, {}};
    for (bool repeated : {false, true})
        for (std::size_t i = 0; i < out.size(); ++i) {
            std::set<char> tried;
            if (mnemonicOf(out[i]) == 0 && (mnemonicOf(texts[i]) != 0) == repeated && !m.assign(i, tried) &&
                repeated)
                out[i] = texts[i];
        }
    for (const auto& [letter, who] : m.owner)
        out[who.first].insert(who.second, 1, '&');
    return out;
}

} // namespace varno::session
