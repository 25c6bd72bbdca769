// A Prompt for tests: records every text and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/Prompt.h"

namespace varno::test {

class RecordingPrompt final : public Prompt {
public:
    struct Shown {
        std::string text;
        PromptButtons buttons;
        PromptIcon icon;
        std::string title;
    };
    std::vector<Shown> shown;

    // Answers to give, in order; once used up, questions get their first button.
    void script(std::initializer_list<PromptAnswer> answers) { answers_.insert(answers_.end(), answers); }

    PromptAnswer show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                      const std::string& title) override
    {
        shown.push_back({text, buttons, icon, title});
        const PromptAnswer first = buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
        const PromptAnswer a = answers_.empty() ? first : answers_.front();
        if (!answers_.empty())
            answers_.pop_front();
        return a;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> t;
        for (const auto& s : shown)
            t.push_back(s.text);
        return t;
    }

private:
    std::deque<PromptAnswer> answers_;
};

} // namespace varno::test
