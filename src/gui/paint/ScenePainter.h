// Draws any view's scene, as the core built it, with QPainter.
#pragma once

#include "views/Scene.h"

class QPainter;

// How texts reach the pixels: copied from a kept picture of each text (the
// default, where the painter draws pixels), or drawn letter by letter.
enum class TextDrawing { Pictures, Letters };

// Every item of the scene, in order. The painter's state is restored after.
void paintScene(QPainter& p, const varno::views::Scene& scene, TextDrawing texts = TextDrawing::Pictures);
