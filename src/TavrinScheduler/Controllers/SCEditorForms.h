#pragma once

#include <QString>

class QDialog;

/// Builds the window form called name ("OmbrixWindow", "CustorixWindow", "RenovixWindow",
/// "DefragWindow") into window, whose controls are then found by their object names. False for
/// a name no form has.
bool SCLoadEditorForm(const QString& name, QDialog* window);
