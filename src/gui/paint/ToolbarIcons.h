// The toolbar pictures, drawn at run time so no image files are needed.
#pragma once

#include <QIcon>

#include "session/CommandTable.h"

// The icon of a toolbar command (start, stop, zoom, mark, day, night, size,
// mute, open, save, print, about); a blank icon for any other command.
QIcon toolbarIcon(varno::session::CommandId commandId);
