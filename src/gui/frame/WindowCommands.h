// The window itself: sizes, the toolbars and status bar, day and night colours, Exit.
#pragma once

class CMainFrame;

void registerWindowCommands(CMainFrame& frame);
