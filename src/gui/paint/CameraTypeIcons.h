// The nine camera type pictures of the average-speed line, drawn at run time.
#pragma once

#include <QImage>

#include "views/Scene.h"

// Size of every type picture [px].
inline constexpr int kCameraIconSize = 42;

// The picture of one type class, opaque, kCameraIconSize square; drawn once.
const QImage& cameraTypeIcon(varno::views::IconId cls);
