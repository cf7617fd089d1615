#include "PropertyList.h"

#include "AtomicFile.h"

#include <cerrno>
#include <cmath>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace {

// Property lists nest; a file that nests deeper than this is refused rather than recursed.
constexpr int kMaxDepth = 64;

const std::string kEmptyString;
const std::vector<uint8_t> kEmptyData;
const QorPropertyList::Array kEmptyArray;
const QorPropertyList::Dictionary kEmptyDictionary;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHolder = std::unique_ptr<void, PlistDeleter>;

bool FromNode(plist_t node, int depth, QorPropertyList* out) {
    if (!node || depth > kMaxDepth)
        return false;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        *out = QorPropertyList::Boolean(value != 0);
        return true;
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // libplist keeps every integer in 64 bits; negative ones come back two's complement.
        *out = QorPropertyList::Integer(int64_t(value));
        return true;
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        *out = QorPropertyList::Real(value);
        return true;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        *out = QorPropertyList::String(text ? std::string(text, length) : std::string());
        return true;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        const uint8_t* begin = reinterpret_cast<const uint8_t*>(bytes);
        *out = QorPropertyList::Data(bytes ? std::vector<uint8_t>(begin, begin + length)
                                           : std::vector<uint8_t>());
        return true;
    }
    case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        *out = QorPropertyList::Date(double(seconds) + double(microseconds) / 1e6);
        return true;
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        *out = QorPropertyList::Uid(value);
        return true;
    }
    case PLIST_ARRAY: {
        QorPropertyList::Array items;
        uint32_t count = plist_array_get_size(node);
        items.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            QorPropertyList item;
            if (!FromNode(plist_array_get_item(node, i), depth + 1, &item))
                return false;
            items.push_back(std::move(item));
        }
        *out = QorPropertyList::MakeArray(std::move(items));
        return true;
    }
    case PLIST_DICT: {
        QorPropertyList::Dictionary items;
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        bool ok = true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &key, &value);
            if (!key)
                break;
            QorPropertyList item;
            ok = value && FromNode(value, depth + 1, &item);
            if (ok)
                items.emplace_back(key, std::move(item));
            free(key);
            if (!ok)
                break;
        }
        free(iterator);
        if (ok)
            *out = QorPropertyList::MakeDictionary(std::move(items));
        return ok;
    }
    default:
        return false;
    }
}

plist_t ToNode(const QorPropertyList& value) {
    using Type = QorPropertyList::Type;
    switch (value.GetType()) {
    case Type::kBoolean:
        return plist_new_bool(value.AsBoolean());
    case Type::kInteger:
        return plist_new_uint(uint64_t(value.AsInteger()));
    case Type::kReal:
        return plist_new_real(value.AsReal());
    case Type::kString:
        return plist_new_string(value.AsString().c_str());
    case Type::kData:
        return plist_new_data(reinterpret_cast<const char*>(value.AsData().data()),
                              value.AsData().size());
    case Type::kDate: {
        double seconds = std::floor(value.AsDate());
        return plist_new_date(int32_t(seconds), int32_t((value.AsDate() - seconds) * 1e6));
    }
    case Type::kUid:
        return plist_new_uid(value.AsUid());
    case Type::kArray: {
        plist_t array = plist_new_array();
        for (const QorPropertyList& item : value.AsArray())
            plist_array_append_item(array, ToNode(item));
        return array;
    }
    case Type::kDictionary: {
        plist_t dictionary = plist_new_dict();
        for (const auto& [key, item] : value.AsDictionary())
            plist_dict_set_item(dictionary, key.c_str(), ToNode(item));
        return dictionary;
    }
    }
    return plist_new_dict();
}

} // namespace

bool QorPropertyList::AsBoolean() const {
    const bool* value = std::get_if<bool>(&mValue);
    return value && *value;
}

int64_t QorPropertyList::AsInteger() const {
    const int64_t* value = std::get_if<int64_t>(&mValue);
    return value ? *value : 0;
}

double QorPropertyList::AsReal() const {
    const double* value = std::get_if<double>(&mValue);
    return value ? *value : 0;
}

const std::string& QorPropertyList::AsString() const {
    const std::string* value = std::get_if<std::string>(&mValue);
    return value ? *value : kEmptyString;
}

const std::vector<uint8_t>& QorPropertyList::AsData() const {
    const std::vector<uint8_t>* value = std::get_if<std::vector<uint8_t>>(&mValue);
    return value ? *value : kEmptyData;
}

double QorPropertyList::AsDate() const {
    const DateValue* value = std::get_if<DateValue>(&mValue);
    return value ? value->seconds : 0;
}

uint64_t QorPropertyList::AsUid() const {
    const UidValue* value = std::get_if<UidValue>(&mValue);
    return value ? value->value : 0;
}

const QorPropertyList::Array& QorPropertyList::AsArray() const {
    const Array* value = std::get_if<Array>(&mValue);
    return value ? *value : kEmptyArray;
}

const QorPropertyList::Dictionary& QorPropertyList::AsDictionary() const {
    const Dictionary* value = std::get_if<Dictionary>(&mValue);
    return value ? *value : kEmptyDictionary;
}

QorPropertyList::Array& QorPropertyList::MutableArray() {
    if (!std::holds_alternative<Array>(mValue))
        mValue = Array();
    return std::get<Array>(mValue);
}

QorPropertyList::Dictionary& QorPropertyList::MutableDictionary() {
    if (!std::holds_alternative<Dictionary>(mValue))
        mValue = Dictionary();
    return std::get<Dictionary>(mValue);
}

const QorPropertyList* QorPropertyList::Find(std::string_view key) const {
    for (const auto& [itemKey, item] : AsDictionary())
        if (itemKey == key)
            return &item;
    return nullptr;
}

void QorPropertyList::Set(std::string key, QorPropertyList value) {
    Dictionary& items = MutableDictionary();
    for (auto& [itemKey, item] : items)
        if (itemKey == key) {
            item = std::move(value);
            return;
        }
    items.emplace_back(std::move(key), std::move(value));
}

bool QorPropertyList::Remove(std::string_view key) {
    Dictionary* items = std::get_if<Dictionary>(&mValue);
    if (!items)
        return false;
    for (auto it = items->begin(); it != items->end(); ++it)
        if (it->first == key) {
            items->erase(it);
            return true;
        }
    return false;
}

bool QorPropertyList::operator==(const QorPropertyList& other) const {
    return mValue == other.mValue;
}

bool QorPropertyList::FromBytes(const void* bytes, size_t size, QorPropertyList* out,
                                bool* wasBinary) {
    if (!bytes || size == 0 || size > std::numeric_limits<uint32_t>::max())
        return false;
    const char* data = static_cast<const char*>(bytes);
    plist_t root = nullptr;
    bool binary = plist_is_binary(data, uint32_t(size)) != 0;
    if (binary)
        plist_from_bin(data, uint32_t(size), &root);
    else
        plist_from_xml(data, uint32_t(size), &root);
    PlistHolder holder(root);
    QorPropertyList value;
    if (!root || !FromNode(root, 0, &value))
        return false;
    if (out)
        *out = std::move(value);
    if (wasBinary)
        *wasBinary = binary;
    return true;
}

std::string QorPropertyList::ToXML() const {
    PlistHolder root(ToNode(*this));
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &text, &length);
    std::string result = text ? std::string(text, length) : std::string();
    plist_to_xml_free(text);
    return result;
}

std::string QorPropertyList::ToBinary() const {
    PlistHolder root(ToNode(*this));
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root.get(), &bytes, &length);
    std::string result = bytes ? std::string(bytes, length) : std::string();
    plist_to_bin_free(bytes);
    return result;
}

int QorReadPropertyListFile(const std::string& path, size_t maxSize, QorPropertyList* out,
                            bool* wasBinary) {
    std::string content;
    int error = QorReadWholeFile(path, maxSize, &content);
    if (error != 0)
        return error;
    if (!QorPropertyList::FromBytes(content.data(), content.size(), out, wasBinary))
        return EINVAL;
    return 0;
}

int QorWritePropertyListFile(const std::string& path, const QorPropertyList& value, bool binary,
                             mode_t mode) {
    std::string bytes = binary ? value.ToBinary() : value.ToXML();
    if (bytes.empty())
        return EINVAL;
    return QorWriteFileAtomically(path, bytes.data(), bytes.size(), mode);
}
