#pragma once

#include "PropertyList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The argument domain: "-key value" pairs of the command line override the user defaults of
// the running application for the life of the process (as "-setDefaultTasks all" does for
// the scheduler application). The values are strings.

/// The pairs of argv: every argument that begins with "-" (and is more than "-") followed by
/// another argument is a key and its value; everything else is skipped.
std::vector<std::pair<std::string, std::string>> QorParseArgumentDomain(int argc,
                                                                        const char* const* argv);

/// Makes argv the argument domain of this process (the last pair of a key wins).
void QorSetArgumentDomain(int argc, const char* const* argv);

/// The argument domain's value for key, or nothing.
std::optional<std::string> QorArgumentDomainValue(const std::string& key);

/// The user defaults of one application domain: lookups through CFPreferencesCopyAppValue
/// (arguments first), changes to the current user's domain.
class QorUserDefaults {
public:
    /// The current application's domain.
    QorUserDefaults();
    explicit QorUserDefaults(std::string applicationID);

    std::optional<QorPropertyList> ObjectForKey(const std::string& key) const;
    /// A boolean, a non-zero number, or a string "YES", "Y", "true" or a non-zero integer
    /// (in any case) is true; anything else, or nothing, is false.
    bool BoolForKey(const std::string& key) const;
    /// A string value, or nothing for any other type.
    std::optional<std::string> StringForKey(const std::string& key) const;
    /// An integer, a real (truncated), a boolean or an integer string; 0 otherwise.
    int64_t IntegerForKey(const std::string& key) const;

    void SetObject(const std::string& key, const QorPropertyList& value);
    void SetBool(const std::string& key, bool value);
    void SetString(const std::string& key, const std::string& value);
    bool Synchronize();

private:
    std::string mApplicationID;
};
