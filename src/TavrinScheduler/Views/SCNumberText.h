#pragma once

#include <QString>
#include <QVariant>

// How the clock's cells turn numbers into text and back.

/// The integer a text starts with, read the way the cells read typed numbers: leading blanks,
/// an optional sign, then decimal digits (any script) up to the first other character; 0 when
/// there are none; clamped to the int range.
int SCTextIntValue(const QString& text);

/// Whether a cell value is a number (and not, say, a string or nothing).
bool SCIsNumber(const QVariant& value);

/// 0-9 as "00"-"09"; any other number as is.
QString SCTwoDigitText(int n);
