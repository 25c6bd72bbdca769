// The one way the core shows a message to the user and, where asked, gets an answer.
#pragma once

#include <string>

namespace varno {

enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Stands in for the modal message box. The GUI shows a QMessageBox, the command
// line writes to stderr, tests record the exact texts. Texts arrive verbatim,
// newlines included.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual PromptAnswer show(const std::string& text, PromptButtons buttons = PromptButtons::Ok,
                              PromptIcon icon = PromptIcon::None, const std::string& title = {}) = 0;

    // Shorthand for a plain message with an OK button.
    void message(const std::string& text) { show(text); }
};

// Answers every question with its first button and shows nothing; for callers
// that have no user to ask.
class SilentPrompt final : public Prompt {
public:
    PromptAnswer show(const std::string&, PromptButtons buttons, PromptIcon, const std::string&) override
    {
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
};

} // namespace varno
