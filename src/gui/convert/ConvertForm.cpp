// The Convert dialogs that are rows of a table: one dialog laid out from its row.
#include "gui/convert/ConvertForm.h"

#include <filesystem>

#include "gui/convert/ConvertRunner.h"

namespace convert = varno::convert;

void tellReport(varno::Prompt& prompt, const varno::Report& r)
{
    prompt.message(r.notes.empty() ? r.message : r.notes + "\n\n" + r.message);
}

bool askOverwrite(varno::Prompt& prompt, const std::string& path, const char* question)
{
    std::error_code ec;
    const bool there = !path.empty() && std::filesystem::exists(path, ec);
    return !there || prompt.show(question, varno::PromptButtons::YesNo) == varno::PromptAnswer::Yes;
}

void showConvertForm(const ConvertForm& form, varno::Prompt& prompt, const std::string& dataRoot,
                     QWidget* parent, const std::function<void(const std::string& destination)>& written)
{
    const QString title = QString::fromUtf8(form.title);
    ConvertDialog dlg(title, dataRoot, parent);
    for (const char* text : form.intro)
        dlg.addText(QString::fromUtf8(text));
    auto addFile = [&dlg](const QString& name, const ConvertForm::File& file, bool save) {
        dlg.addFile(name, QString::fromUtf8(file.label), QString::fromUtf8(file.initial), file.filter, save);
    };
    addFile(QStringLiteral("source"), form.source, false);
    addFile(QStringLiteral("destination"), form.destination, true);
    if (form.append)
        dlg.addCheck(QStringLiteral("append"), QString::fromUtf8(form.append), false);
    for (const ConvertForm::Field& f : form.fields)
        dlg.addField(QString::fromLatin1(f.name), QString::fromUtf8(f.label), QString::fromUtf8(f.initial));
    for (const ConvertForm::Field& c : form.checks)
        dlg.addCheck(QString::fromLatin1(c.name), QString::fromUtf8(c.label), false);
    if (form.more)
        form.more(dlg, prompt);
    for (const char* text : form.notes)
        dlg.addText(QString::fromUtf8(text));

    // over: what the progress shows over (the window, once OK has closed the dialog).
    auto convertNow = [&](QWidget* over) {
        if (form.noSource && dlg.text(QStringLiteral("source")).isEmpty()) {
            prompt.message(form.noSource);
            return;
        }
        if (form.noDestination && dlg.text(QStringLiteral("destination")).isEmpty()) {
            prompt.message(form.noDestination);
            return;
        }
        const convert::FileJob job{dlg.path(QStringLiteral("source")),
                                   dlg.path(QStringLiteral("destination")),
                                   form.append && dlg.checked(QStringLiteral("append"))};
        if (form.overwrites && !askOverwrite(prompt, form.overwrites(job), form.overwriteQuestion))
            return;
        const ConvertAnswers answers = dlg.answers();
        const varno::Report r =
            runConversion(over, title, [&](varno::Progress& p) { return form.run(job, answers, p); });
        tellReport(prompt, r);
        if (r.ok() && written)
            written(job.destination);
    };
    if (!form.okConverts)
        dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] { convertNow(&dlg); });
    dlg.addClose(form.withCancel);
    if (dlg.exec() == QDialog::Accepted && form.okConverts)
        convertNow(parent);
}
