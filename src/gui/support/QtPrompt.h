// Messages to the user as modal message boxes.
#pragma once

#include <QPointer>
#include <QWidget>

#include "base/Prompt.h"

// Shows each text in a QMessageBox over the main window. UI thread only:
// messages from the reader thread reach it through a queued call.
class QtPrompt final : public varno::Prompt {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    varno::PromptAnswer show(const std::string& text, varno::PromptButtons buttons, varno::PromptIcon icon,
                             const std::string& title) override;

private:
    QPointer<QWidget> parent_;
};
