// Messages of the core on the terminal: stderr, questions answered by --yes.
#include "CliPrompt.h"

namespace varno::cli {

PromptAnswer CliPrompt::show(const std::string& text, PromptButtons buttons, PromptIcon,
                             const std::string& title)
{
    if (!title.empty())
        std::fprintf(err_, "%s: ", title.c_str());
    std::fprintf(err_, "%s\n", text.c_str());
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
        std::fprintf(err_, "(%s)\n", yes_ ? "OK, as --yes was given" : "Cancel; give --yes for OK");
        return yes_ ? PromptAnswer::Ok : PromptAnswer::Cancel;
    case PromptButtons::YesNo:
        std::fprintf(err_, "(%s)\n", yes_ ? "Yes, as --yes was given" : "No; give --yes for Yes");
        return yes_ ? PromptAnswer::Yes : PromptAnswer::No;
    }
    return PromptAnswer::Ok;
}

} // namespace varno::cli
