#include "LoginItems.h"

#include "Preferences.h"
#include "PropertyList.h"

#include <cstdio>
#include <cstring>
#include <optional>

const char* const kLoginWindowDomain = "loginwindow";
const char* const kLoginItemsKey = "AutoLaunchedApplicationDictionary";
const char* const kLoginItemPathKey = "Path";
const char* const kLoginItemHideKey = "Hide";

char ReturnCharacterArray[kLoginItemTextMax + 1];

namespace {

bool IsKnownUser(const char* user) {
    return user != nullptr && (strcmp(user, kCFPreferencesCurrentUser) == 0 ||
                               strcmp(user, kCFPreferencesAnyUser) == 0);
}

// The stored list; nothing when there is none. A value of another type is passed on as it is,
// so that callers can refuse to replace what they do not understand.
std::optional<QorPropertyList> CopyList(const char* user) {
    return CFPreferencesCopyValue(kLoginItemsKey, kLoginWindowDomain, user, kCFPreferencesAnyHost);
}

bool StoreList(const char* user, const QorPropertyList& list) {
    CFPreferencesSetValue(kLoginItemsKey, &list, kLoginWindowDomain, user, kCFPreferencesAnyHost);
    return CFPreferencesSynchronize(kLoginWindowDomain, user, kCFPreferencesAnyHost);
}

// The item at index of the stored list, or null.
const QorPropertyList* ItemAt(const std::optional<QorPropertyList>& list, int32_t index) {
    if (!list || !list->Is(QorPropertyList::Type::kArray) || index < 0 ||
        size_t(index) >= list->AsArray().size())
        return nullptr;
    return &list->AsArray()[size_t(index)];
}

char* CopyOut(const std::string& text) {
    if (text.size() > size_t(kLoginItemTextMax))
        return nullptr;
    memcpy(ReturnCharacterArray, text.c_str(), text.size() + 1);
    return ReturnCharacterArray;
}

// The last "/"-separated component of the path in ReturnCharacterArray, split in place.
char* LastComponent() {
    char* last = nullptr;
    char* rest = nullptr;
    for (char* token = strtok_r(ReturnCharacterArray, "/", &rest); token != nullptr;
         token = strtok_r(nullptr, "/", &rest))
        last = token;
    return last;
}

} // namespace

bool AddLoginItemWithPropertiesToUser(const char* WhosPreferencesToChange, const char* AbsolutePath,
                                      uint8_t HidetheApplicationOnLaunch) {
    if (!IsKnownUser(WhosPreferencesToChange) || AbsolutePath == nullptr || *AbsolutePath == '\0')
        return false;
    QorPropertyList list = CopyList(WhosPreferencesToChange).value_or(QorPropertyList::MakeArray());
    // Anything but an array is someone else's data: it is not replaced.
    if (!list.Is(QorPropertyList::Type::kArray))
        return false;
    QorPropertyList item;
    item.Set(kLoginItemHideKey, QorPropertyList::Boolean(HidetheApplicationOnLaunch == 1));
    item.Set(kLoginItemPathKey, QorPropertyList::String(AbsolutePath));
    list.MutableArray().push_back(std::move(item));
    return StoreList(WhosPreferencesToChange, list);
}

char* ReturnLoginItemPropertyAtIndex(const char* WhosPreferencesToList, int32_t RequestType,
                                     int32_t LoginItemIndex) {
    if (RequestType < kLoginItemFullPath || RequestType > kLoginItemHide || LoginItemIndex < 0 ||
        !IsKnownUser(WhosPreferencesToList))
        return nullptr;
    const std::optional<QorPropertyList> list = CopyList(WhosPreferencesToList);
    const QorPropertyList* item = ItemAt(list, LoginItemIndex);
    if (item == nullptr)
        return nullptr;
    if (RequestType == kLoginItemHide) {
        const QorPropertyList* hide = item->Find(kLoginItemHideKey);
        if (hide == nullptr || !hide->Is(QorPropertyList::Type::kBoolean))
            return nullptr;
        return CopyOut(hide->AsBoolean() ? "true" : "false");
    }
    const QorPropertyList* path = item->Find(kLoginItemPathKey);
    if (path == nullptr || !path->Is(QorPropertyList::Type::kString) ||
        CopyOut(path->AsString()) == nullptr)
        return nullptr;
    return RequestType == kLoginItemFullPath ? ReturnCharacterArray : LastComponent();
}

int32_t GetCountOfLoginItems(const char* WhosPreferencesToList) {
    if (!IsKnownUser(WhosPreferencesToList))
        return 0;
    const std::optional<QorPropertyList> list = CopyList(WhosPreferencesToList);
    if (!list || !list->Is(QorPropertyList::Type::kArray))
        return 0;
    return int32_t(list->AsArray().size());
}

bool RemoveLoginItemAtIndex(const char* WhosPreferencesToChange, int32_t LoginItemIndex) {
    if (LoginItemIndex < 0 || !IsKnownUser(WhosPreferencesToChange))
        return false;
    std::optional<QorPropertyList> list = CopyList(WhosPreferencesToChange);
    if (ItemAt(list, LoginItemIndex) == nullptr)
        return false;
    QorPropertyList::Array& items = list->MutableArray();
    items.erase(items.begin() + LoginItemIndex);
    return StoreList(WhosPreferencesToChange, *list);
}

bool PrintOutLoginItemAtIndex(const char* WhosPreferencesToList, int32_t LoginItemIndex) {
    if (!IsKnownUser(WhosPreferencesToList) || LoginItemIndex < 0 ||
        LoginItemIndex >= GetCountOfLoginItems(WhosPreferencesToList))
        return false;
    const char* text =
        ReturnLoginItemPropertyAtIndex(WhosPreferencesToList, kLoginItemFullPath, LoginItemIndex);
    if (text == nullptr)
        return false;
    printf("\tFull path to App: %s\n", text);
    text = ReturnLoginItemPropertyAtIndex(WhosPreferencesToList, kLoginItemHide, LoginItemIndex);
    if (text == nullptr)
        return false;
    printf("\tHide Info:        %s\n", text);
    text = ReturnLoginItemPropertyAtIndex(WhosPreferencesToList, kLoginItemName, LoginItemIndex);
    if (text == nullptr)
        return false;
    printf("\tExecutable Name:  %s\n", text);
    return true;
}

bool PrintOutAllLoginItems(const char* WhosPreferencesToList) {
    if (!IsKnownUser(WhosPreferencesToList))
        return false;
    const int32_t count = GetCountOfLoginItems(WhosPreferencesToList);
    if (count == 0)
        printf("LoginItems are Empty (i.e. there are no LoginItems)\n");
    for (int32_t index = 0; index < count; ++index) {
        printf("LoginItem Index %d:\n", index);
        if (!PrintOutLoginItemAtIndex(WhosPreferencesToList, index))
            return false;
    }
    return true;
}

bool PrintNumberOfLoginItems(const char* WhosPreferencesToList) {
    if (!IsKnownUser(WhosPreferencesToList))
        return false;
    printf("The number of LoginItems is: %d", GetCountOfLoginItems(WhosPreferencesToList));
    return true;
}
