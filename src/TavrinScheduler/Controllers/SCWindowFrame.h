#pragma once

#include <QString>

class QWidget;

// Window frames kept in the application's user defaults under "NSWindow Frame " + the frame's
// name, as "x y width height" of the window's inside on the screen.

/// Saves the window's frame (its normal frame while it is maximized or minimized).
void SCSaveWindowFrame(const QWidget* window, const QString& name);

/// Gives the window the saved frame when there is one that still lies on a screen; a window
/// that cannot be resized only moves. False when nothing was restored.
bool SCRestoreWindowFrame(QWidget* window, const QString& name);
