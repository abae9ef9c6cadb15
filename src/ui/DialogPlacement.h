// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QDialog;
class QWidget;

namespace kx::ui {

// Width a window needs for its caption in a title bar: the text with room for the icon and
// the title-bar buttons.
int captionWidth(const QWidget* window);

// Makes a dialog (message boxes included) at least as wide as its caption needs. Call once its
// contents are complete, before it is shown.
void widenToCaption(QDialog* dialog);

// Centres a top-level window on `over` (on its screen when `over` is missing or hidden), kept
// within the screen's available area.
void centreOver(QWidget* window, const QWidget* over);

// Both, for a dialog about to be shown modally: the centring waits until it is on screen and has
// its final size.
void placeOver(QDialog* dialog, const QWidget* over);

} // namespace kx::ui
