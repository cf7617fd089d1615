#pragma once

// The names windows use to tell each other what happened. Each name's text equals its identifier.

/// The task block changed; the table rebuilds its rows.
inline constexpr char AddRowNotification[] = "AddRowNotification";
/// A task editor went away (object: the editor).
inline constexpr char EditButtonNotification[] = "EditButtonNotification";
/// The editor's time or its daily tab changed; the daily note is recomputed.
inline constexpr char ChangeDailyDayNotification[] = "ChangeDailyDayNotification";
/// The clock's hour display went back before noon.
inline constexpr char ChangeAMNotification[] = "ChangeAMNotification";
/// The clock's hour display crossed noon.
inline constexpr char ChangePMNotification[] = "ChangePMNotification";
/// A control's value was changed by the user (no object).
inline constexpr char ControlTextDidChangeNotification[] = "ControlTextDidChangeNotification";
