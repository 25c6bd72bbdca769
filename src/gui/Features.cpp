// Every feature's commands, registered with the main window in one place.
#include "gui/Features.h"

#include "gui/cameras/CameraCommands.h"
#include "gui/convert/ConvertCommands.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/HelpCommands.h"
#include "gui/frame/PrintCommands.h"
#include "gui/frame/ViewCommands.h"
#include "gui/frame/WindowCommands.h"
#include "gui/gps/GpsCommands.h"
#include "gui/gps/LogCommands.h"
#include "gui/gps/RecordCommands.h"
#include "gui/gps/TestCommands.h"
#include "gui/options/OptionsCommands.h"
#include "gui/options/ToolCommands.h"
#include "gui/poi/PoiCommands.h"
#include "gui/roads/RoadMapCommands.h"
#include "gui/routes/RouteCommands.h"
#include "gui/routes/TrailCommands.h"
#include "gui/trackedit/TracksCommands.h"

void registerFeatures(CMainFrame& frame)
{
    // The order is the order handlers were registered in before: a later
    // registration of an id replaces an earlier one.
    registerViewCommands(frame);
    registerGpsCommands(frame);
    registerCameraCommands(frame);
    registerWindowCommands(frame);
    registerOptionsCommands(frame);
    registerLogCommands(frame);
    registerRecordCommands(frame);
    registerTestCommands(frame);
    registerConvertCommands(frame);
    registerRouteCommands(frame);
    registerHelpCommands(frame);
    registerPrintCommands(frame);
    registerToolCommands(frame);
    registerPoiCommands(frame);
    registerTrailCommands(frame);
    registerTracksCommands(frame);
    registerRoadMapCommands(frame);
}
