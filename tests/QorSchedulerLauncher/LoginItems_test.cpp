// The login items over the "loginwindow" preferences domain, in a temporary home folder.

#include "InstallRoot.h"
#include "KickerTestSupport.h"
#include "LoginItems.h"

#include <gtest/gtest.h>

using namespace kicker_test;

namespace {

const char* const kUser = kCFPreferencesCurrentUser;

class LoginItems : public ::testing::Test {
protected:
    // The list as stored in the user's domain file; an empty dictionary when there is none.
    QorPropertyList StoredDomain() const {
        QorPropertyList domain;
        (void)QorReadPropertyListFile(mRoot.LoginItemsFile(), 1 << 20, &domain);
        return domain;
    }

    // Writes the user's domain file directly, as another program would.
    void StoreDomain(const QorPropertyList& domain) const {
        std::filesystem::create_directories(mRoot.Home() + "/.config");
        ASSERT_EQ(QorWritePropertyListFile(mRoot.LoginItemsFile(), domain, false, 0600), 0);
    }

    static QorPropertyList Item(const std::string& path, bool hide) {
        QorPropertyList item;
        item.Set("Hide", QorPropertyList::Boolean(hide));
        item.Set("Path", QorPropertyList::String(path));
        return item;
    }

    static std::string Property(int32_t request, int32_t index) {
        const char* text = ReturnLoginItemPropertyAtIndex(kUser, request, index);
        return text ? text : "<null>";
    }

    KickerRoot mRoot;
};

TEST_F(LoginItems, ItemsAreAppendedAndStoredWithTheirHideFlag) {
    EXPECT_EQ(GetCountOfLoginItems(kUser), 0);
    // Only the value 1 means hide; the same path may be added twice.
    EXPECT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 1));
    EXPECT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/Two.app", 0));
    EXPECT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 2));
    EXPECT_EQ(GetCountOfLoginItems(kUser), 3);

    QorPropertyList expected;
    expected.Set("AutoLaunchedApplicationDictionary",
                 QorPropertyList::MakeArray({Item("/Applications/One.app", true),
                                             Item("/Applications/Two.app", false),
                                             Item("/Applications/One.app", false)}));
    EXPECT_EQ(StoredDomain(), expected) << StoredDomain().ToXML();
    EXPECT_EQ(ModeOf(mRoot.LoginItemsFile()), 0600u);
}

TEST_F(LoginItems, OtherKeysOfTheDomainAreKept) {
    QorPropertyList domain;
    domain.Set("OtherSetting", QorPropertyList::Integer(7));
    StoreDomain(domain);
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 1));
    domain.Set("AutoLaunchedApplicationDictionary",
               QorPropertyList::MakeArray({Item("/Applications/One.app", true)}));
    EXPECT_EQ(StoredDomain(), domain);
}

TEST_F(LoginItems, PropertiesOfAnItem) {
    const std::string longPath = "/" + std::string(1023, 'x');
    const std::string tooLong = "/" + std::string(1024, 'x');
    QorPropertyList noPath;
    noPath.Set("Hide", QorPropertyList::Boolean(false));
    QorPropertyList oddHide;
    oddHide.Set("Hide", QorPropertyList::Integer(1));
    oddHide.Set("Path", QorPropertyList::String("/Applications/Odd.app"));
    QorPropertyList domain;
    domain.Set("AutoLaunchedApplicationDictionary",
               QorPropertyList::MakeArray({Item("/Applications/Sample.app", true), Item("/", false),
                                           Item("//opt//Tools.app//", false), noPath, oddHide,
                                           Item(longPath, false), Item(tooLong, false),
                                           QorPropertyList::String("x")}));
    StoreDomain(domain);

    struct Case {
        int32_t request;
        int32_t index;
        std::string expected;
    };
    const Case cases[] = {
        {kLoginItemFullPath, 0, "/Applications/Sample.app"},
        {kLoginItemName, 0, "Sample.app"},
        {kLoginItemHide, 0, "true"},
        {kLoginItemFullPath, 1, "/"},
        {kLoginItemName, 1, "<null>"}, // no component at all
        {kLoginItemHide, 1, "false"},
        {kLoginItemName, 2, "Tools.app"},
        {kLoginItemFullPath, 3, "<null>"}, // no "Path"
        {kLoginItemName, 3, "<null>"},
        {kLoginItemHide, 3, "false"},
        {kLoginItemHide, 4, "<null>"}, // "Hide" is no boolean
        {kLoginItemFullPath, 5, longPath},
        {kLoginItemFullPath, 6, "<null>"}, // longer than the buffer: never cut
        {kLoginItemFullPath, 7, "<null>"}, // no dictionary
        {kLoginItemFullPath, 8, "<null>"}, // no such item
        {kLoginItemFullPath, -1, "<null>"},
        {0, 0, "<null>"},
        {4, 0, "<null>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Property(c.request, c.index), c.expected)
            << "request " << c.request << " index " << c.index;
}

TEST_F(LoginItems, OnlyTheTwoUserSelectorsAreAccepted) {
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 1));
    for (const char* user : {static_cast<const char*>(nullptr), "kCFPreferencesOtherUser"}) {
        EXPECT_FALSE(AddLoginItemWithPropertiesToUser(user, "/Applications/Two.app", 1));
        EXPECT_EQ(ReturnLoginItemPropertyAtIndex(user, kLoginItemFullPath, 0), nullptr);
        EXPECT_EQ(GetCountOfLoginItems(user), 0);
        EXPECT_FALSE(RemoveLoginItemAtIndex(user, 0));
        EXPECT_FALSE(PrintOutLoginItemAtIndex(user, 0));
        EXPECT_FALSE(PrintOutAllLoginItems(user));
        EXPECT_FALSE(PrintNumberOfLoginItems(user));
    }
    EXPECT_EQ(GetCountOfLoginItems(kUser), 1);
}

TEST_F(LoginItems, AnyUsersListIsTheMachinesDomain) {
    ASSERT_TRUE(
        AddLoginItemWithPropertiesToUser(kCFPreferencesAnyUser, "/Applications/All.app", 1));
    EXPECT_EQ(GetCountOfLoginItems(kCFPreferencesAnyUser), 1);
    EXPECT_EQ(GetCountOfLoginItems(kUser), 0);
    EXPECT_TRUE(std::filesystem::exists(QorPath("/Library/Preferences/loginwindow.plist")));
}

TEST_F(LoginItems, RemovingAnItem) {
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 1));
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/Two.app", 0));
    EXPECT_FALSE(RemoveLoginItemAtIndex(kUser, 2));
    EXPECT_FALSE(RemoveLoginItemAtIndex(kUser, -1));
    EXPECT_TRUE(RemoveLoginItemAtIndex(kUser, 0));
    EXPECT_EQ(Property(kLoginItemFullPath, 0), "/Applications/Two.app");

    // The last one leaves an empty list under the key.
    EXPECT_TRUE(RemoveLoginItemAtIndex(kUser, 0));
    QorPropertyList expected;
    expected.Set("AutoLaunchedApplicationDictionary", QorPropertyList::MakeArray());
    EXPECT_EQ(StoredDomain(), expected);
    EXPECT_FALSE(RemoveLoginItemAtIndex(kUser, 0));
}

TEST_F(LoginItems, AListThatIsNoArrayIsNeverReplaced) {
    QorPropertyList domain;
    domain.Set("AutoLaunchedApplicationDictionary", QorPropertyList::String("not a list"));
    StoreDomain(domain);
    EXPECT_FALSE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 1));
    EXPECT_EQ(GetCountOfLoginItems(kUser), 0);
    EXPECT_EQ(StoredDomain(), domain);
}

TEST_F(LoginItems, Printing) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(PrintOutAllLoginItems(kUser));
    EXPECT_TRUE(PrintNumberOfLoginItems(kUser));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "LoginItems are Empty (i.e. there are no LoginItems)\n"
              "The number of LoginItems is: 0");

    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/Applications/One.app", 1));
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kUser, "/opt/Two.app", 0));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(PrintOutAllLoginItems(kUser));
    EXPECT_FALSE(PrintOutLoginItemAtIndex(kUser, 2));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "LoginItem Index 0:\n"
                                                      "\tFull path to App: /Applications/One.app\n"
                                                      "\tHide Info:        true\n"
                                                      "\tExecutable Name:  One.app\n"
                                                      "LoginItem Index 1:\n"
                                                      "\tFull path to App: /opt/Two.app\n"
                                                      "\tHide Info:        false\n"
                                                      "\tExecutable Name:  Two.app\n");
}

TEST_F(LoginItems, PrintingStopsAtTheFirstMissingProperty) {
    QorPropertyList noHide;
    noHide.Set("Path", QorPropertyList::String("/Applications/One.app"));
    QorPropertyList domain;
    domain.Set("AutoLaunchedApplicationDictionary",
               QorPropertyList::MakeArray({noHide, Item("/opt/Two.app", false)}));
    StoreDomain(domain);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(PrintOutAllLoginItems(kUser));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "LoginItem Index 0:\n\tFull path to App: /Applications/One.app\n");
}

} // namespace
