// View switching: the View menu's view items and the keys that do the same.
#pragma once

class CMainFrame;

void registerViewCommands(CMainFrame& frame);
