// Routes in the window.
#include "gui/routes/RouteCommands.h"

#include <QDialog>

#include "base/DataPath.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/routes/RouteDialogs.h"
#include "routes/RouteList.h"

using varno::session::CommandId;
namespace keys = varno::settings::keys;
using varno::speech::RoadFlags;

RouteCommands::RouteCommands(CMainFrame& frame)
    : QObject(&frame), frame_(frame), session_(frame.session()), view_(frame.view())
{
    setObjectName(QStringLiteral("routeCommands"));
}

int RouteCommands::exec(QDialog& dlg)
{
    if (beforeExec)
        beforeExec(dlg);
    return runDialog ? runDialog(dlg) : dlg.exec();
}

void RouteCommands::selectRouteFile()
{
    SelectRouteFileDialog dlg(session_.settings(), dialogs, frame_.routeFolder(), &frame_);
    exec(dlg);
    session_.routes().reloadCurrent();
    view_->update();
}

void RouteCommands::routePointsList()
{
    RoutePointsDialog dlg(session_.settings(), session_.routes().route(), session_.fix().position,
                          session_.dataRoot(), &frame_);
    exec(dlg);
    view_->update();
}

void RouteCommands::excludedList()
{
    ExcludedCamerasDialog dlg(session_.settings(), session_.routes().route(), session_.dataRoot(), &frame_);
    exec(dlg);
}

void RouteCommands::routePicker()
{
    RoutePickDialog dlg(session_.settings(), dialogs, frame_.routeFolder(), session_.dataRoot(), &frame_);
    exec(dlg);
    const int slot = dlg.picked();
    if (slot == 0)
        return;
    auto path = session_.settings().read(keys::RoutePick[static_cast<std::size_t>(slot - 1)]);
    if (!path) {
        session_.prompt().message("Error: Can't get route filename from the registry");
        return;
    }
    session_.settings().write(keys::RouteName, *path);
    session_.routes().load(*path);
    view_->update();
}

void RouteCommands::routeOptions()
{
    RouteOptionsDialog dlg(session_.settings(), session_.prompt(), &frame_);
    exec(dlg);
    session_.routes().readLabelFlags();
    view_->update();
}

void RouteCommands::agentOptions()
{
    session_.routes().agent().unload();
    RouteAgentDialog dlg(session_.settings(), dialogs, &frame_);
    exec(dlg);
    session_.routes().readRoadTypes();
    if (session_.routeViewShown())
        session_.routes().loadAgentIfRouteSpeech();
    view_->update();
}

void RouteCommands::snapToRoute()
{
    auto& s = session_.settings();
    const auto stored = s.read(keys::RouteName);
    if (!stored) {
        session_.prompt().message("Error: can't get route file name from the registry.");
        return;
    }
    if (stored->empty()) {
        session_.prompt().message("You do not have a default route file selected.\nSelect a route file and "
                                  "then try Snap To again.");
        return;
    }
    const std::string path = varno::mapDataPath(*stored, session_.dataRoot());
    std::string refusal;
    const varno::FileHandle f = varno::openForReading(path, &refusal);
    if (!f) {
        session_.prompt().message("Error can't open the route file\n" +
                                  varno::nameWithRefusal(*stored, refusal));
        return;
    }
    varno::LineReader reader(f.get());
    std::string piece;
    while (reader.next(piece, varno::routes::kRouteLineLimit)) {
        if (piece.empty() || piece[0] == ';' || piece[0] == ':')
            continue;
        const auto p = varno::routes::parsePointLine(piece);
        if (!p)
            continue;
        session_.snapTo(p->place);
        view_->repaint();
    }
}

void registerRouteCommands(CMainFrame& frame)
{
    auto* commands = new RouteCommands(frame);
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    frame.on({CommandId::SelectRouteFile}, [commands] { commands->selectRouteFile(); });
    frame.on({CommandId::RoutePointsList}, [commands] { commands->routePointsList(); });
    frame.on({CommandId::RouteExcludedList}, [commands] { commands->excludedList(); });
    frame.on({CommandId::RoutePicker, CommandId::KeyRoutePickR}, [commands] { commands->routePicker(); });
    frame.on({CommandId::RouteOptions}, [commands] { commands->routeOptions(); });
    frame.on({CommandId::RouteAgentOptions}, [commands] { commands->agentOptions(); });
    frame.on({CommandId::SnapToRoute}, [commands] { commands->snapToRoute(); });

    frame.on({CommandId::KeySpeakWaypoint0}, [&session, view] {
        session.routes().guidance().requestSpeak();
        view->update();
    });
    frame.on({CommandId::KeyAgentF10},
             [&session] { session.routes().toggleAgent(session.routeViewShown()); });
    frame.on({CommandId::KeyRouteMotorwayZ}, [&session] {
        session.routes().setRoadType({.motorway = true, .country = false, .town = false});
    });
    frame.on({CommandId::KeyRouteCountryX}, [&session] {
        session.routes().setRoadType({.motorway = false, .country = true, .town = false});
    });
    frame.on({CommandId::KeyRouteTownC}, [&session] {
        session.routes().setRoadType({.motorway = false, .country = false, .town = true});
    });

    // The Test menu's agent commands.
    frame.on({CommandId::AgentLoad}, [&session] {
        auto& r = session.routes();
        r.agent().load(r.readRoadTypes());
    });
    frame.on({CommandId::AgentSpeak}, [&session] {
        session.routes().agent().speak("You want a speech ? only the righteous deserve a speech");
    });
    frame.on({CommandId::AgentUnload}, [&session] { session.routes().agent().unload(); });
}
