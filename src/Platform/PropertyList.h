#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <variant>
#include <vector>

/// A property list value: what bundles' Info.plist files and the preferences hold. Read and
/// written with libplist (XML or binary); dictionaries keep the order of their keys.
class QorPropertyList {
public:
    enum class Type { kBoolean, kInteger, kReal, kString, kData, kDate, kUid, kArray, kDictionary };
    using Array = std::vector<QorPropertyList>;
    using Dictionary = std::vector<std::pair<std::string, QorPropertyList>>;

    /// An empty dictionary.
    QorPropertyList() : mValue(Dictionary()) {}

    static QorPropertyList Boolean(bool value) { return QorPropertyList(Value(std::move(value))); }
    static QorPropertyList Integer(int64_t value) {
        return QorPropertyList(Value(std::move(value)));
    }
    static QorPropertyList Real(double value) { return QorPropertyList(Value(std::move(value))); }
    static QorPropertyList String(std::string value) {
        return QorPropertyList(Value(std::move(value)));
    }
    static QorPropertyList Data(std::vector<uint8_t> value) {
        return QorPropertyList(Value(std::move(value)));
    }
    /// Seconds since 2001-01-01 00:00 UTC, the property-list epoch.
    static QorPropertyList Date(double seconds) {
        return QorPropertyList(Value(DateValue{seconds}));
    }
    static QorPropertyList Uid(uint64_t value) { return QorPropertyList(Value(UidValue{value})); }
    static QorPropertyList MakeArray(Array items = {}) {
        return QorPropertyList(Value(std::move(items)));
    }
    static QorPropertyList MakeDictionary(Dictionary items = {}) {
        return QorPropertyList(Value(std::move(items)));
    }

    Type GetType() const { return Type(mValue.index()); }
    bool Is(Type type) const { return GetType() == type; }

    /// The value of a scalar; a value of another type gives false, 0 or empty.
    bool AsBoolean() const;
    int64_t AsInteger() const;
    double AsReal() const;
    const std::string& AsString() const;
    const std::vector<uint8_t>& AsData() const;
    double AsDate() const;
    uint64_t AsUid() const;

    /// The items of an array or dictionary; empty for any other type.
    const Array& AsArray() const;
    const Dictionary& AsDictionary() const;
    /// The items to change; the value becomes an empty container of that kind first when it
    /// was something else.
    Array& MutableArray();
    Dictionary& MutableDictionary();

    /// A dictionary's value for key, or null (also when this is no dictionary).
    const QorPropertyList* Find(std::string_view key) const;
    /// Sets key in a dictionary (in place when present, else at the end).
    void Set(std::string key, QorPropertyList value);
    /// Removes key from a dictionary; false when it was not there.
    bool Remove(std::string_view key);

    bool operator==(const QorPropertyList& other) const;

    /// Parses XML or binary property-list bytes; false when they are neither.
    static bool FromBytes(const void* bytes, size_t size, QorPropertyList* out,
                          bool* wasBinary = nullptr);
    std::string ToXML() const;
    std::string ToBinary() const;

private:
    struct DateValue {
        double seconds;
        bool operator==(const DateValue&) const = default;
    };
    struct UidValue {
        uint64_t value;
        bool operator==(const UidValue&) const = default;
    };
    // The order of the alternatives is that of Type.
    using Value = std::variant<bool, int64_t, double, std::string, std::vector<uint8_t>, DateValue,
                               UidValue, Array, Dictionary>;
    explicit QorPropertyList(Value value) : mValue(std::move(value)) {}

    Value mValue;
};

/// Reads a property-list file of at most maxSize bytes: 0, ENOENT when missing, EINVAL when
/// it holds no property list, EFBIG when larger, or another errno value.
int QorReadPropertyListFile(const std::string& path, size_t maxSize, QorPropertyList* out,
                            bool* wasBinary = nullptr);

/// Writes value to path atomically (see QorWriteFileAtomically), as XML or binary.
int QorWritePropertyListFile(const std::string& path, const QorPropertyList& value, bool binary,
                             mode_t mode);
