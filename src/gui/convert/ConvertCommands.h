// The Convert menu and the passed-camera list: one dialog per converter, each running its
// conversion off the UI thread.
#pragma once

class CMainFrame;

void registerConvertCommands(CMainFrame& frame);
