// The open and save file dialogs the commands use, replaceable in tests.
#include "gui/support/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

QString qtFileFilter(std::string_view pairs)
{
    const QStringList parts = QString::fromUtf8(pairs.data(), static_cast<qsizetype>(pairs.size()))
                                  .split(QLatin1Char('|'), Qt::KeepEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty())
            break; // the closing "||"
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QStringLiteral("*.*"))
                p = QStringLiteral("*"); // "all files": names here need not have a dot
        }
        // Qt reads the patterns from the last "( )" of an entry, separated by spaces;
        // a description that shows its own patterns loses them to ours.
        const qsizetype paren = description.lastIndexOf(QLatin1Char('('));
        if (paren > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(paren).trimmed();
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

QString run(QWidget* parent, const FileRequest& r, QFileDialog::AcceptMode mode)
{
    QFileDialog dlg(parent, r.title, r.folder, r.filter);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!r.confirmOverwrite)
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!r.defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(r.defaultSuffix);
    if (!r.proposedName.isEmpty())
        dlg.selectFile(r.proposedName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

} // namespace

FileDialogs FileDialogs::standard()
{
    return {[](QWidget* p, const FileRequest& r) { return run(p, r, QFileDialog::AcceptOpen); },
            [](QWidget* p, const FileRequest& r) { return run(p, r, QFileDialog::AcceptSave); }};
}
