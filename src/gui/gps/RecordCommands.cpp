// File -> Open, Save, Save As: the record file of the fix time, position and track log.
#include "gui/gps/RecordCommands.h"

#include <QWidget>

#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "record/RecordFile.h"

namespace {

FileRequest recordRequest(const QString& title)
{
    FileRequest r;
    r.title = title;
    r.filter = qtFileFilter(varno::record::kRecordFilter);
    r.defaultSuffix = QString::fromUtf8(varno::record::kRecordExtension.data(),
                                        static_cast<qsizetype>(varno::record::kRecordExtension.size()));
    return r;
}

} // namespace

RecordCommands::RecordCommands(varno::session::Session& session, QWidget* view, QWidget* window,
                               varno::FileSync* sync)
    : QObject(window), session_(session), view_(view), window_(window), sync_(sync ? sync : &ownSync_)
{
    setObjectName(QStringLiteral("recordCommands"));
}

void RecordCommands::open()
{
    const QString chosen = dialogs.open(window_, recordRequest(QStringLiteral("Open")));
    if (chosen.isEmpty())
        return;
    // What was restored is shown, a partly read record too.
    if (session_.openRecord(chosen.toStdString()).opened)
        view_->repaint();
}

void RecordCommands::save()
{
    if (recordName_.isEmpty())
        saveAs();
    else
        write();
}

void RecordCommands::saveAs()
{
    const QString chosen = dialogs.save(window_, recordRequest(QStringLiteral("Save As")));
    if (chosen.isEmpty())
        return;
    // The whole name is kept: a name cut short would write a different file.
    recordName_ = chosen;
    write();
}

void RecordCommands::write()
{
    session_.saveRecord(recordName_.toStdString(), sync_);
}

void registerRecordCommands(CMainFrame& frame)
{
    using varno::session::CommandId;
    auto* record = new RecordCommands(frame.session(), frame.view(), &frame);
    frame.on({CommandId::FileOpen}, [record] { record->open(); });
    frame.on({CommandId::FileSave}, [record] { record->save(); });
    frame.on({CommandId::FileSaveAs}, [record] { record->saveAs(); });
}
