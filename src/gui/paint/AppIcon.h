// The program's icon, drawn rather than shipped: a camera warning sign on a road.
#pragma once

#include <QIcon>
#include <QImage>

// The icon at size × size pixels, transparent around the sign.
QImage appIconImage(int size);

// The icon in the sizes a desktop asks for.
QIcon appIcon();
