// POI and position commands: "Select Poi Files", "Near POI List" and "Manual Location".
#pragma once

class CMainFrame;

void registerPoiCommands(CMainFrame& frame);
