#include "PreferencesArguments.h"

#include "Preferences.h"

#include <cerrno>
#include <cstdlib>
#include <strings.h>

namespace {

std::vector<std::pair<std::string, std::string>> gArguments;

// A whole decimal integer, or nothing.
std::optional<int64_t> ParseInteger(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long long value = strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0')
        return std::nullopt;
    return int64_t(value);
}

} // namespace

std::vector<std::pair<std::string, std::string>> QorParseArgumentDomain(int argc,
                                                                        const char* const* argv) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 1; argv && i < argc; ++i) {
        const char* argument = argv[i];
        if (argument && argument[0] == '-' && argument[1] != '\0' && i + 1 < argc && argv[i + 1]) {
            pairs.emplace_back(argument + 1, argv[i + 1]);
            ++i;
        }
    }
    return pairs;
}

void QorSetArgumentDomain(int argc, const char* const* argv) {
    gArguments = QorParseArgumentDomain(argc, argv);
}

std::optional<std::string> QorArgumentDomainValue(const std::string& key) {
    for (auto it = gArguments.rbegin(); it != gArguments.rend(); ++it)
        if (it->first == key)
            return it->second;
    return std::nullopt;
}

QorUserDefaults::QorUserDefaults() : mApplicationID(QorCurrentApplicationID()) {}

QorUserDefaults::QorUserDefaults(std::string applicationID)
    : mApplicationID(std::move(applicationID)) {}

std::optional<QorPropertyList> QorUserDefaults::ObjectForKey(const std::string& key) const {
    return CFPreferencesCopyAppValue(key.c_str(), mApplicationID.c_str());
}

bool QorUserDefaults::BoolForKey(const std::string& key) const {
    std::optional<QorPropertyList> value = ObjectForKey(key);
    if (!value)
        return false;
    using Type = QorPropertyList::Type;
    switch (value->GetType()) {
    case Type::kBoolean:
        return value->AsBoolean();
    case Type::kInteger:
        return value->AsInteger() != 0;
    case Type::kReal:
        return value->AsReal() != 0;
    case Type::kString: {
        const std::string& text = value->AsString();
        if (strcasecmp(text.c_str(), "yes") == 0 || strcasecmp(text.c_str(), "y") == 0 ||
            strcasecmp(text.c_str(), "true") == 0)
            return true;
        std::optional<int64_t> number = ParseInteger(text);
        return number && *number != 0;
    }
    default:
        return false;
    }
}

std::optional<std::string> QorUserDefaults::StringForKey(const std::string& key) const {
    std::optional<QorPropertyList> value = ObjectForKey(key);
    if (!value || !value->Is(QorPropertyList::Type::kString))
        return std::nullopt;
    return value->AsString();
}

int64_t QorUserDefaults::IntegerForKey(const std::string& key) const {
    std::optional<QorPropertyList> value = ObjectForKey(key);
    if (!value)
        return 0;
    using Type = QorPropertyList::Type;
    switch (value->GetType()) {
    case Type::kInteger:
        return value->AsInteger();
    case Type::kReal:
        return int64_t(value->AsReal());
    case Type::kBoolean:
        return value->AsBoolean() ? 1 : 0;
    case Type::kString:
        return ParseInteger(value->AsString()).value_or(0);
    default:
        return 0;
    }
}

void QorUserDefaults::SetObject(const std::string& key, const QorPropertyList& value) {
    CFPreferencesSetAppValue(key.c_str(), &value, mApplicationID.c_str());
}

void QorUserDefaults::SetBool(const std::string& key, bool value) {
    SetObject(key, QorPropertyList::Boolean(value));
}

void QorUserDefaults::SetString(const std::string& key, const std::string& value) {
    SetObject(key, QorPropertyList::String(value));
}

bool QorUserDefaults::Synchronize() {
    return CFPreferencesAppSynchronize(mApplicationID.c_str());
}
