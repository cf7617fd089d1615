#include "SampleProductFormat.h"
#include "FileRefsAlias.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string Escaped(const std::string& text, char quote) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\\' || c == uint8_t(quote)) {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[5];
            snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string Bytes(const AEDesc& desc) {
    std::string data(size_t(AEGetDescDataSize(&desc)), '\0');
    if (!data.empty())
        (void)AEGetDescData(&desc, data.data(), long(data.size()));
    return data;
}

std::string Items(const AEDesc& container, bool keyed) {
    long count = 0;
    (void)AECountItems(&container, &count);
    std::string out;
    for (long i = 1; i <= count; ++i) {
        AEDesc item;
        AEKeyword keyword = 0;
        if (AEGetNthDesc(&container, i, typeWildCard, &keyword, &item) != noErr)
            continue;
        if (!out.empty())
            out += ", ";
        if (keyed)
            out += SampleProductCode(keyword) + "=";
        out += SampleProductValue(item);
        (void)AEDisposeDesc(&item);
    }
    return out;
}

} // namespace

std::string SampleProductQuote(const std::string& text) {
    return '"' + Escaped(text, '"') + '"';
}

std::string SampleProductCode(uint32_t code) {
    char chars[5];
    QorCodeToChars(code, chars);
    return '\'' + Escaped(std::string(chars, 4), '\'') + '\'';
}

std::string SampleProductValue(const AEDesc& value) {
    DescType type = value.descriptorType;
    if (type == typeAEList)
        return "list[" + Items(value, false) + "]";
    if (type == typeAERecord)
        return "reco{" + Items(value, true) + "}";
    std::string data = Bytes(value);
    std::string shown;
    if (type == typeSInt16 && data.size() == 2) {
        int16_t number;
        memcpy(&number, data.data(), 2);
        shown = std::to_string(number);
    } else if (type == typeSInt32 && data.size() == 4) {
        int32_t number;
        memcpy(&number, data.data(), 4);
        shown = std::to_string(number);
    } else if (type == typeMagnitude && data.size() == 4) {
        uint32_t number;
        memcpy(&number, data.data(), 4);
        shown = std::to_string(number);
    } else if (QorAliasInfo alias;
               type == typeAlias && QorAliasRead(data.data(), data.size(), &alias)) {
        shown = SampleProductQuote(alias.path);
    } else {
        shown = SampleProductQuote(data);
    }
    return SampleProductCode(type) + ":" + shown;
}

std::string SampleProductEvent(const AppleEvent& event) {
    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
    (void)AEGetAttributePtr(&event, keyEventClassAttr, typeType, nullptr, &eventClass, 4, nullptr);
    (void)AEGetAttributePtr(&event, keyEventIDAttr, typeType, nullptr, &eventID, 4, nullptr);
    std::string line =
        "class=" + SampleProductCode(eventClass) + " id=" + SampleProductCode(eventID);
    std::string params = Items(event, true);
    if (!params.empty())
        line += " " + params;
    return line;
}
