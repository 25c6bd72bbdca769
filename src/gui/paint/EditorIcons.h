// The track editor's pictures of amenities and other points of interest, drawn at run time.
#pragma once

#include <QImage>

#include "views/Scene.h"

// Size of every picture [px].
inline constexpr int kEditorIconSize = 20;

// Whether an icon id is one of the editor's (not a camera type).
bool isEditorIcon(varno::views::IconId id);

// The picture of one class, kEditorIconSize square; drawn once.
const QImage& editorIcon(varno::views::IconId id);
