// Draws any view's scene, as the core built it, with QPainter.
#pragma once

#include "views/Scene.h"

class QPainter;

// Every item of the scene, in order. The painter's state is restored after.
void paintScene(QPainter& p, const varno::views::Scene& scene);
