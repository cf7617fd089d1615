#pragma once

#include <cstdint>

// A user's login items: the applications the graphical login opens for that user. They are
// kept in the "loginwindow" preferences domain (any host) under
// "AutoLaunchedApplicationDictionary": an array of dictionaries, each with "Path" (the item's
// full path) and "Hide" (open it hidden). The user selector is kCFPreferencesCurrentUser or
// kCFPreferencesAnyUser (Preferences.h); every function refuses any other value. Nothing is
// logged: each function answers through its result alone.

/// The preferences domain and key of the list, and the keys of one item.
extern const char* const kLoginWindowDomain;
extern const char* const kLoginItemsKey;
extern const char* const kLoginItemPathKey;
extern const char* const kLoginItemHideKey;

/// Requests of ReturnLoginItemPropertyAtIndex.
constexpr int32_t kLoginItemFullPath = 1; ///< the item's "Path"
constexpr int32_t kLoginItemName = 2;     ///< the last component of that path
constexpr int32_t kLoginItemHide = 3;     ///< "true" or "false"

/// Longest text ReturnLoginItemPropertyAtIndex returns, without its NUL.
constexpr int kLoginItemTextMax = 1024;

/// Receives the text ReturnLoginItemPropertyAtIndex returns; each call overwrites it.
extern char ReturnCharacterArray[kLoginItemTextMax + 1];

/// Appends an item for AbsolutePath, hidden when HidetheApplicationOnLaunch is exactly 1, and
/// writes the domain out. An existing item with the same path is not looked for. False for a
/// refused selector, a null or empty path, a list that is not an array, or a failed write.
bool AddLoginItemWithPropertiesToUser(const char* WhosPreferencesToChange, const char* AbsolutePath,
                                      uint8_t HidetheApplicationOnLaunch);

/// One property of the item at LoginItemIndex (from 0), in ReturnCharacterArray: the full path
/// (kLoginItemFullPath), its last component (kLoginItemName; null for a path without any), or
/// the hide flag (kLoginItemHide). Null for a refused selector or request, a negative index, no
/// such item or property, a path longer than kLoginItemTextMax, or a hide value that is no
/// boolean.
char* ReturnLoginItemPropertyAtIndex(const char* WhosPreferencesToList, int32_t RequestType,
                                     int32_t LoginItemIndex);

/// The number of items; 0 when there is no list or the selector is refused.
int32_t GetCountOfLoginItems(const char* WhosPreferencesToList);

/// Removes the item at LoginItemIndex and writes the domain out (an emptied list stays stored
/// as an empty array). False for a refused selector, an index out of range or a failed write.
bool RemoveLoginItemAtIndex(const char* WhosPreferencesToChange, int32_t LoginItemIndex);

/// Prints the item's full path, hide flag and name to standard output, one line each; false
/// (after the lines printed so far) at the first property that is missing, and false without
/// printing for a refused selector or an index out of range.
bool PrintOutLoginItemAtIndex(const char* WhosPreferencesToList, int32_t LoginItemIndex);

/// Prints every item with its index, or a line saying there are none.
bool PrintOutAllLoginItems(const char* WhosPreferencesToList);

/// Prints "The number of LoginItems is: N" (no line end).
bool PrintNumberOfLoginItems(const char* WhosPreferencesToList);
