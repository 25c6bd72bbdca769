// Messages of the core on the terminal: stderr, questions answered by --yes.
#pragma once

#include <cstdio>

#include "base/Prompt.h"

namespace varno::cli {

class CliPrompt final : public Prompt {
public:
    CliPrompt(bool yes, std::FILE* err) : yes_(yes), err_(err) {}
    PromptAnswer show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                      const std::string& title) override;

private:
    bool yes_;
    std::FILE* err_;
};

} // namespace varno::cli
