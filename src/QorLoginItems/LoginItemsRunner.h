#pragma once

// The login window's part: at every graphical login (through an XDG autostart entry) each of
// the user's login items is opened as an application, so that the secondary launcher that
// taskKicker registers there runs at the next login.

namespace QorLoginItems {

/// Set to "1" in the environment of an item opened hidden (its "Hide" is true), for programs
/// that show a window; absent otherwise.
extern const char* const kHideHintVariable;

/// Opens every login item of the effective user through Launch Services, in list order. An
/// item that cannot be opened is logged (identity "QorLoginItems") and the others are still
/// opened. 0 when every item was opened, 1 otherwise.
int OpenLoginItems();

} // namespace QorLoginItems
