// Draws the camera view's scene, as the core laid it out, with QPainter.
#pragma once

#include <QColor>
#include <QFont>

#include "views/CameraViewScene.h"

class QPainter;

// The two scheme colours every dashboard box uses.
struct BoxColours {
    QColor background;
    QColor text;
};

// A "Times New Roman" font whose character cell is the given height in pixels,
// kept for the next paint (the layout uses only a handful of heights).
const QFont& layoutFont(int cellHeight);

// The camera line and the average-speed line, then the type icons in the latter.
void paintTopLines(QPainter& p, const varno::views::CameraViewScene& scene, const BoxColours& colours);

// The rest of the camera view: the value boxes and labels, the map with its
// letters, radius label, cross-hair and trail, and the hazard box.
void paintDashboard(QPainter& p, const varno::views::CameraViewScene& scene, const BoxColours& colours);
