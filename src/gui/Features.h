// Every feature's commands, registered with the main window in one place.
#pragma once

class CMainFrame;

// Each feature folder adds its menu items, keys and buttons; the main window
// knows the features only through this call.
void registerFeatures(CMainFrame& frame);
