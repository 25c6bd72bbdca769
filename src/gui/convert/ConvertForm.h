// The Convert dialogs that are a source file, a destination file and a converter with a few rows
// around them: each one a row of a table, all shown by one dialog.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "convert/Convert.h"
#include "gui/convert/ConvertDialog.h"
#include "session/CommandTable.h"

class QWidget;

inline constexpr char kAllFiles[] = "All files (*.*)|*.*||";
inline constexpr char kOverwriteGpx[] = "The output GPX file all ready exists.\n\nOverwrite Yes/No ?";

struct ConvertForm {
    // A file field: its label, what it starts with and what Browse offers.
    struct File {
        const char* label = nullptr;
        const char* initial = "";
        const char* filter = kAllFiles;
    };
    // A text field or a check box (unchecked at first).
    struct Field {
        const char* name = nullptr;
        const char* label = nullptr;
        const char* initial = "";
    };

    varno::session::CommandId id{};
    const char* title = nullptr;
    std::vector<const char*> intro = {}; // texts above the files
    File source{}, destination{};
    const char* append = nullptr; // the label of the append box, when there is one
    std::vector<Field> fields = {};
    std::vector<Field> checks = {};
    void (*more)(ConvertDialog&, varno::Prompt&) = nullptr; // rows of its own below those
    std::vector<const char*> notes = {};                    // texts below
    // OK converts and Cancel closes without converting; else a Convert button converts, as often as pressed.
    bool okConverts = false;
    bool withCancel = false;
    // Said instead of converting when the source or the destination field is empty.
    const char* noSource = nullptr;
    const char* noDestination = nullptr;
    // The file to ask about before it is overwritten (empty: none), and the question.
    std::string (*overwrites)(const varno::convert::FileJob&) = nullptr;
    const char* overwriteQuestion = nullptr;
    // The destination is a camera file (the welcome page shows the one made).
    bool writesCameraFile = false;
    // Runs on the worker, with the fields as they were when the conversion started.
    varno::Report (*run)(const varno::convert::FileJob&, const ConvertAnswers&, varno::Progress&) = nullptr;
};

// Every command whose dialog is a row.
const std::vector<ConvertForm>& convertForms();

// Shows form's dialog over parent and converts as the form says; written gets the destination
// of every conversion that completed.
void showConvertForm(const ConvertForm& form, varno::Prompt& prompt, const std::string& dataRoot,
                     QWidget* parent, const std::function<void(const std::string& destination)>& written);

// The report as the user sees it: notes first, then the summary.
void tellReport(varno::Prompt& prompt, const varno::Report& r);
// True when nothing is at path, or the user answers Yes to question.
bool askOverwrite(varno::Prompt& prompt, const std::string& path, const char* question);
