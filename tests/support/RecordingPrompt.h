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

    // Answers to give, in order; once used up, questions get their first button.
    void script(std::initializer_list<PromptAnswer> answers) { answers_.insert(answers_.end(), answers); }

    PromptAnswer show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                      const std::string& title) override
    {
        shown.push_back({text, buttons, icon, title});
        if (!answers_.empty()) {
            PromptAnswer a = answers_.front();
            answers_.pop_front();
            return a;
        }
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> t;
        for (const auto& s : shown)
            t.push_back(s.text);
        return t;
    }

    std::vector<Shown> shown;

private:
    std::deque<PromptAnswer> answers_;
};

} // namespace varno::test
