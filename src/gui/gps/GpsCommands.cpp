// Starting and stopping the GPS: the Run menu, its keys and toolbar buttons.
#include "gui/gps/GpsCommands.h"

#include "gui/frame/CMainFrame.h"

using varno::session::CommandId;

void registerGpsCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    frame.on({CommandId::RunStart, CommandId::KeyStartS, CommandId::ToolStart},
             [&session] { session.startGps(); });
    frame.on({CommandId::RunStop, CommandId::KeyStopE, CommandId::ToolStop},
             [&session] { session.stopGps(); });
}
