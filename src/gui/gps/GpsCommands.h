// Starting and stopping the GPS: the Run menu, its keys and toolbar buttons.
#pragma once

class CMainFrame;

void registerGpsCommands(CMainFrame& frame);
