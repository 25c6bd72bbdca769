// Cameras and the map: zoom, the specs line, Mute, Mark Location and the camera dialogs.
#pragma once

class CMainFrame;

void registerCameraCommands(CMainFrame& frame);
