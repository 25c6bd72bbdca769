// The Test menu: Check Registry, Do a ondraw, Send log file to port and the log replay.
#pragma once

class CMainFrame;

void registerTestCommands(CMainFrame& frame);
