// Messages to the user as modal message boxes.
#include "gui/support/QtPrompt.h"

#include <QMessageBox>

#include "gui/paint/ColourConvert.h"

using varno::PromptAnswer;
using varno::PromptButtons;
using varno::PromptIcon;

PromptAnswer QtPrompt::show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                            const std::string& title)
{
    QMessageBox box(parent_);
    box.setWindowTitle(title.empty() ? QStringLiteral("VARNO") : textFromBytes(title));
    box.setText(textFromBytes(text));
    switch (icon) {
    case PromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case PromptIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case PromptIcon::None:
        break;
    }
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        // Closed without a button: the safe answer.
        if (buttons == PromptButtons::OkCancel)
            return PromptAnswer::Cancel;
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
}
