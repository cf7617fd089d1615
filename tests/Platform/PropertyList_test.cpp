#include "PropertyList.h"
#include "SystemTestSupport.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

using namespace system_test;

namespace {

// A dictionary of every kind of value, built with libplist itself.
plist_t EveryKind() {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "flag", plist_new_bool(1));
    plist_dict_set_item(dict, "count", plist_new_uint(42));
    plist_dict_set_item(dict, "ratio", plist_new_real(0.5));
    plist_dict_set_item(dict, "name", plist_new_string("Tâche <1> & \"2\""));
    plist_dict_set_item(dict, "blob", plist_new_data("\0\1\2", 3));
    plist_dict_set_item(dict, "when", plist_new_date(700000000, 0));
    plist_t items = plist_new_array();
    plist_t item = plist_new_dict();
    plist_dict_set_item(item, "Path", plist_new_string("/Applications/Sample.app"));
    plist_dict_set_item(item, "Hide", plist_new_bool(0));
    plist_array_append_item(items, item);
    plist_dict_set_item(dict, "items", items);
    return dict;
}

std::string Serialized(plist_t root, bool binary) {
    char* bytes = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(root, &bytes, &length);
    else
        plist_to_xml(root, &bytes, &length);
    std::string result(bytes, length);
    free(bytes);
    return result;
}

} // namespace

TEST(PropertyList, ReadsEveryKindFromXmlAndBinaryAndWritesItBack) {
    plist_t source = EveryKind();
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "XML");
        std::string bytes = Serialized(source, binary);
        QorPropertyList value;
        bool wasBinary = !binary;
        ASSERT_TRUE(QorPropertyList::FromBytes(bytes.data(), bytes.size(), &value, &wasBinary));
        EXPECT_EQ(wasBinary, binary);

        EXPECT_TRUE(value.Find("flag")->AsBoolean());
        EXPECT_EQ(value.Find("count")->AsInteger(), 42);
        EXPECT_EQ(value.Find("ratio")->AsReal(), 0.5);
        EXPECT_EQ(value.Find("name")->AsString(), "Tâche <1> & \"2\"");
        EXPECT_EQ(value.Find("blob")->AsData(), (std::vector<uint8_t>{0, 1, 2}));
        EXPECT_EQ(value.Find("when")->AsDate(), 700000000.0);
        const QorPropertyList::Array& items = value.Find("items")->AsArray();
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].Find("Path")->AsString(), "/Applications/Sample.app");
        EXPECT_FALSE(items[0].Find("Hide")->AsBoolean());
        // Keys keep their order.
        EXPECT_EQ(value.AsDictionary().front().first, "flag");
        EXPECT_EQ(value.AsDictionary().back().first, "items");

        // What we write, libplist reads as the same tree.
        std::string written = binary ? value.ToBinary() : value.ToXML();
        plist_t back = nullptr;
        plist_from_memory(written.data(), uint32_t(written.size()), &back);
        ASSERT_NE(back, nullptr);
        QorPropertyList again;
        ASSERT_TRUE(QorPropertyList::FromBytes(written.data(), written.size(), &again));
        EXPECT_EQ(again, value);
        plist_free(back);
    }
    plist_free(source);
}

TEST(PropertyList, NegativeIntegersSurviveBothFormats) {
    QorPropertyList value;
    value.Set("offset", QorPropertyList::Integer(-5));
    for (const std::string& bytes : {value.ToXML(), value.ToBinary()}) {
        QorPropertyList back;
        ASSERT_TRUE(QorPropertyList::FromBytes(bytes.data(), bytes.size(), &back));
        EXPECT_EQ(back.Find("offset")->AsInteger(), -5);
    }
}

TEST(PropertyList, NonPropertyListsAreRefused) {
    const std::string cases[] = {
        "",
        "plain text",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>",
        "bplist00\x01\x02",
    };
    for (const std::string& bytes : cases) {
        QorPropertyList value;
        EXPECT_FALSE(QorPropertyList::FromBytes(bytes.data(), bytes.size(), &value)) << bytes;
    }
    TempRoot root;
    WriteFile(root.Path() + "/bad.plist", "not a plist");
    QorPropertyList value;
    EXPECT_EQ(QorReadPropertyListFile(root.Path() + "/bad.plist", 1024, &value), EINVAL);
    EXPECT_EQ(QorReadPropertyListFile(root.Path() + "/none.plist", 1024, &value), ENOENT);
}

TEST(PropertyList, DictionaryEditing) {
    QorPropertyList dict;
    dict.Set("a", QorPropertyList::Integer(1));
    dict.Set("b", QorPropertyList::Integer(2));
    dict.Set("a", QorPropertyList::String("one")); // replaced where it stands
    EXPECT_EQ(dict.AsDictionary().front().first, "a");
    EXPECT_EQ(dict.Find("a")->AsString(), "one");
    EXPECT_TRUE(dict.Remove("a"));
    EXPECT_FALSE(dict.Remove("a"));
    EXPECT_EQ(dict.Find("a"), nullptr);
    // Asking a scalar for dictionary things is harmless.
    QorPropertyList number = QorPropertyList::Integer(3);
    EXPECT_EQ(number.Find("a"), nullptr);
    EXPECT_TRUE(number.AsArray().empty());
    EXPECT_EQ(number.AsString(), "");
}
