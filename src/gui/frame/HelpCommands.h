// The Help menu: About and the shortcut key list.
#pragma once

class CMainFrame;

void registerHelpCommands(CMainFrame& frame);
