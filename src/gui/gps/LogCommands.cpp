// Action -> "Log NMEA Data": closes the open NMEA log or asks for a file and starts one.
#include "gui/gps/LogCommands.h"

#include <QWidget>

#include "base/DataPath.h"
#include "gui/frame/CMainFrame.h"

using varno::PromptAnswer;
using varno::PromptButtons;

LogCommands::LogCommands(varno::session::Session& session, QWidget* window)
    : QObject(window), session_(session), window_(window)
{
    setObjectName(QStringLiteral("logCommands"));
}

void LogCommands::logNmeaData()
{
    varno::gps::NmeaLog& log = session_.nmeaLog();
    varno::Prompt& prompt = session_.prompt();
    if (log.isOpen()) {
        if (prompt.show("Close current NMEA log file ?", PromptButtons::OkCancel) == PromptAnswer::Ok)
            log.close(); // every line is flushed as it is written
        return;
    }

    const auto& key = varno::settings::keys::LogFolder;
    std::optional<std::string> folder = session_.settings().read(key);
    if (!folder) {
        prompt.message("Unable read the log folder file name from the registry.");
        folder = key.row().defaultText;
    }
    FileRequest request;
    request.title = QStringLiteral("Save - NMEA log file name");
    request.folder = QString::fromStdString(varno::mapDataPath(*folder, session_.dataRoot()));
    request.proposedName = QString::fromStdString(varno::gps::proposedLogName(session_.clock().now()));
    request.filter = qtFileFilter("*.txt *.log|*.txt;*.log||");
    request.defaultSuffix = QStringLiteral("txt");
    const QString chosen = dialogs.save(window_, request);
    if (chosen.isEmpty())
        return;
    const std::string path = chosen.toStdString();
    if (!log.open(path))
        prompt.message("Error can't open the NMEA data file\n" + path);
}

void registerLogCommands(CMainFrame& frame)
{
    auto* commands = new LogCommands(frame.session(), &frame);
    frame.on({varno::session::CommandId::LogNmeaData}, [commands] { commands->logNmeaData(); });
    varno::session::Session& session = frame.session();
    frame.checkedWhen(varno::session::CommandId::LogNmeaData,
                      [&session] { return session.nmeaLog().isOpen(); });
}
