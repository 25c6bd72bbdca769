// The settings dialogs of the Options menu: auto start, start time, comms, speed, time zone.
#pragma once

class CMainFrame;

void registerOptionsCommands(CMainFrame& frame);
