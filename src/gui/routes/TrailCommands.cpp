// Trail menu: "Load trail" reads a GPX file into the trail view's trail, "Unload trail" drops it.
#include "gui/routes/TrailCommands.h"

#include <QWidget>

#include "base/DataPath.h"
#include "gui/convert/ConvertRunner.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"

TrailCommands::TrailCommands(varno::session::Session& session, QWidget* window)
    : QObject(window), session_(session), window_(window)
{
    setObjectName(QStringLiteral("trailCommands"));
}

void TrailCommands::loadTrail()
{
    FileRequest request;
    request.title = QStringLiteral("Open");
    request.folder = QString::fromStdString(varno::mapDataPath("C:\\VARNO\\Trail\\", session_.dataRoot()));
    request.filter = QStringLiteral("All files *.* (*)");
    const QString chosen = dialogs.open(window_, request);
    if (chosen.isEmpty()) {
        session_.prompt().message(varno::views::kChooseTrailMessage);
        return;
    }
    // Read off the UI thread, with a progress bar and Cancel for large files.
    const std::string path = chosen.toStdString();
    varno::views::TrailLoad load;
    runConversion(window_, QStringLiteral("Loading the trail"), [&](varno::Progress& progress) {
        load = varno::views::loadTrail(
            path, [&](std::uint64_t done, std::uint64_t total) { return progress.updateNow(done, total); });
        return varno::Report{};
    });
    session_.prompt().message(session_.useTrail(std::move(load)));
}

void TrailCommands::unloadTrail()
{
    session_.unloadTrail();
    session_.prompt().message(varno::views::kTrailUnloadedMessage);
}

void registerTrailCommands(CMainFrame& frame)
{
    auto* commands = new TrailCommands(frame.session(), &frame);
    CVARNOView* view = frame.view();
    frame.on({varno::session::CommandId::TrailLoad}, [commands, view] {
        commands->loadTrail();
        view->update();
    });
    frame.on({varno::session::CommandId::TrailUnload}, [commands, view] {
        commands->unloadTrail();
        view->update();
    });
}
