#pragma once

#include "PropertyList.h"

#include <optional>
#include <string>

// Preferences: a domain D (an application's identifier, or "loginwindow") of a user is the
// property list "D.plist" in that user's preferences folder ("~/.config", see
// FileRefsFolders.h); the domain of "any user" is "D.plist" in "/Library/Preferences" under
// the install root. Values are changed in this process with CFPreferencesSetValue and reach
// the file with CFPreferencesSynchronize, which merges them into what the file holds then
// and replaces it atomically.

/// User and host selectors. Any other user or host value is refused.
extern const char* const kCFPreferencesCurrentUser;
extern const char* const kCFPreferencesAnyUser;
extern const char* const kCFPreferencesAnyHost;
extern const char* const kCFPreferencesCurrentHost;
/// Application selectors: the running application's domain, and the domain of all.
extern const char* const kCFPreferencesCurrentApplication;
extern const char* const kCFPreferencesAnyApplication;

/// The domain kCFPreferencesCurrentApplication stands for (by default the program's name).
void QorSetCurrentApplicationID(const std::string& applicationID);
std::string QorCurrentApplicationID();

/// The file that holds a domain, or "" when a selector or the domain name is refused (a
/// domain name is 1 to 200 bytes, without "/", and not "." or "..").
std::string QorPreferencesFilePath(const char* applicationID, const char* userName,
                                   const char* hostName);

/// The value of key in the domain (with this process's unsynchronized changes), or nothing.
std::optional<QorPropertyList> CFPreferencesCopyValue(const char* key, const char* applicationID,
                                                      const char* userName, const char* hostName);

/// Sets key in the domain for this process; a null value removes it. Written out by the next
/// CFPreferencesSynchronize of the domain.
void CFPreferencesSetValue(const char* key, const QorPropertyList* value, const char* applicationID,
                           const char* userName, const char* hostName);

/// Writes this process's changes of the domain to its file. True when there was nothing to
/// write or the file was replaced; false for a refused selector, a folder that cannot be made,
/// a failed write, or a file that exists but holds no property-list dictionary (it is left
/// as it is, and the changes stay pending).
bool CFPreferencesSynchronize(const char* applicationID, const char* userName,
                              const char* hostName);

/// What an application sees for key: the argument domain (for the current application, see
/// PreferencesArguments.h), then the current user's domain, then any user's.
std::optional<QorPropertyList> CFPreferencesCopyAppValue(const char* key,
                                                         const char* applicationID);
/// The current user's domain, any host.
void CFPreferencesSetAppValue(const char* key, const QorPropertyList* value,
                              const char* applicationID);
bool CFPreferencesAppSynchronize(const char* applicationID);

/// Forgets every unsynchronized change of this process (tests).
void QorDiscardPendingPreferences();
