// The look of the whole window beyond the view: the night palette and the view's scaling to the window.
#pragma once

#include <QPalette>

class CVARNOView;
class QAction;
class QMenu;

namespace varno::settings {
class Settings;
}

// The dark palette the menus, bars and dialogs use with the night colours.
QPalette nightPalette();

// Night: the whole application takes the dark palette; day: the palette it had
// before night came. Nothing changes when the state is already the one asked for.
void applyNightPalette(bool night);

// Adds "Scale to Window" to viewMenu: a check item that switches view between
// scaled to the window and 1:1, and stores the choice in settings. Returns the item.
QAction* addScaleItem(QMenu& viewMenu, CVARNOView& view, varno::settings::Settings& settings);
