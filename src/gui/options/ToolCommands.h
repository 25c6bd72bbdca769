// The display colours and distance dialogs, and Ctrl+Q for Exit.
#pragma once

class CMainFrame;

void registerToolCommands(CMainFrame& frame);
