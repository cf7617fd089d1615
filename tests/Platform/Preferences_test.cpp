#include "Preferences.h"
#include "PreferencesArguments.h"
#include "SystemTestSupport.h"

#include <gtest/gtest.h>

using namespace system_test;

namespace {

// Each test starts with no unsynchronized changes and leaves none behind.
class Preferences : public ::testing::Test {
protected:
    Preferences() { QorDiscardPendingPreferences(); }
    ~Preferences() override {
        QorDiscardPendingPreferences();
        QorSetArgumentDomain(0, nullptr);
        QorSetCurrentApplicationID("");
    }

    QorPropertyList ReadDomainFile(const std::string& path) {
        QorPropertyList value;
        EXPECT_EQ(QorReadPropertyListFile(path, 1 << 20, &value), 0) << path;
        return value;
    }

    TempRoot mRoot;
};

QorPropertyList LoginItem(const std::string& path, bool hide) {
    QorPropertyList item;
    item.Set("Path", QorPropertyList::String(path));
    item.Set("Hide", QorPropertyList::Boolean(hide));
    return item;
}

const char* const kCU = kCFPreferencesCurrentUser;
const char* const kAH = kCFPreferencesAnyHost;

} // namespace

TEST_F(Preferences, ValuesReachTheUsersFileOnlyWhenSynchronized) {
    std::string path = mRoot.Home() + "/.config/loginwindow.plist";
    EXPECT_EQ(QorPreferencesFilePath("loginwindow", kCU, kAH), path);

    QorPropertyList list =
        QorPropertyList::MakeArray({LoginItem("/Applications/QorSecondaryLaunch.app", true)});
    CFPreferencesSetValue("AutoLaunchedApplicationDictionary", &list, "loginwindow", kCU, kAH);
    EXPECT_FALSE(std::filesystem::exists(path));
    // This process sees its own change at once.
    auto seen =
        CFPreferencesCopyValue("AutoLaunchedApplicationDictionary", "loginwindow", kCU, kAH);
    ASSERT_TRUE(seen);
    EXPECT_EQ(*seen, list);

    ASSERT_TRUE(CFPreferencesSynchronize("loginwindow", kCU, kAH));
    struct stat st;
    ASSERT_EQ(stat((mRoot.Home() + "/.config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u); // the folder was made private
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(*ReadDomainFile(path).Find("AutoLaunchedApplicationDictionary"), list);

    // Removal is a change like any other.
    CFPreferencesSetValue("AutoLaunchedApplicationDictionary", nullptr, "loginwindow", kCU, kAH);
    ASSERT_TRUE(CFPreferencesSynchronize("loginwindow", kCU, kAH));
    EXPECT_EQ(ReadDomainFile(path).Find("AutoLaunchedApplicationDictionary"), nullptr);
    EXPECT_FALSE(
        CFPreferencesCopyValue("AutoLaunchedApplicationDictionary", "loginwindow", kCU, kAH));
}

TEST_F(Preferences, SynchronizeMergesIntoWhatOthersWroteMeanwhile) {
    std::string path = mRoot.Home() + "/.config/com.tavrin.scheduler.plist";
    QorPropertyList onDisk;
    onDisk.Set("CXDefault", QorPropertyList::Boolean(true));
    onDisk.Set("NSTimeFormatString", QorPropertyList::String("%H:%M"));
    WriteFile(path, onDisk.ToBinary(), 0600);

    QorPropertyList visible = QorPropertyList::Boolean(true);
    CFPreferencesSetValue("ScheduleToobarIsVisible", &visible, "com.tavrin.scheduler", kCU, kAH);
    CFPreferencesSetValue("CXDefault", nullptr, "com.tavrin.scheduler", kCU, kAH);
    // Another program adds a key after our change, before our write.
    onDisk.Set("DNDefault", QorPropertyList::Boolean(true));
    WriteFile(path, onDisk.ToBinary(), 0600);
    ASSERT_TRUE(CFPreferencesSynchronize("com.tavrin.scheduler", kCU, kAH));

    bool wasBinary = false;
    QorPropertyList result;
    ASSERT_EQ(QorReadPropertyListFile(path, 1 << 20, &result, &wasBinary), 0);
    EXPECT_TRUE(wasBinary); // the file keeps its format
    EXPECT_EQ(result.Find("CXDefault"), nullptr);
    EXPECT_TRUE(result.Find("DNDefault")->AsBoolean());
    EXPECT_TRUE(result.Find("ScheduleToobarIsVisible")->AsBoolean());
    EXPECT_EQ(result.Find("NSTimeFormatString")->AsString(), "%H:%M");
}

TEST_F(Preferences, AFileThatIsNoPropertyListIsNeverOverwritten) {
    std::string path = mRoot.Home() + "/.config/loginwindow.plist";
    WriteFile(path, "{ not: a plist }", 0600);
    QorPropertyList value = QorPropertyList::Boolean(true);
    CFPreferencesSetValue("Key", &value, "loginwindow", kCU, kAH);
    EXPECT_FALSE(CFPreferencesSynchronize("loginwindow", kCU, kAH));
    EXPECT_EQ(ReadFile(path), "{ not: a plist }");
    // The change is still pending: a repaired file takes it.
    WriteFile(path, QorPropertyList().ToXML(), 0600);
    EXPECT_TRUE(CFPreferencesSynchronize("loginwindow", kCU, kAH));
    EXPECT_TRUE(ReadDomainFile(path).Find("Key")->AsBoolean());
}

TEST_F(Preferences, AnyUserIsTheMachinesFileAndOtherSelectorsAreRefused) {
    EXPECT_EQ(QorPreferencesFilePath("loginwindow", kCFPreferencesAnyUser, kAH),
              mRoot.Path() + "/Library/Preferences/loginwindow.plist");
    QorPropertyList value = QorPropertyList::Integer(7);
    CFPreferencesSetValue("Key", &value, "loginwindow", kCFPreferencesAnyUser, kAH);
    ASSERT_TRUE(CFPreferencesSynchronize("loginwindow", kCFPreferencesAnyUser, kAH));
    EXPECT_EQ(ReadDomainFile(mRoot.Path() + "/Library/Preferences/loginwindow.plist")
                  .Find("Key")
                  ->AsInteger(),
              7);

    struct Case {
        const char* domain;
        const char* user;
        const char* host;
    };
    const Case refused[] = {
        {"loginwindow", "alice", kAH},
        {"loginwindow", nullptr, kAH},
        {"loginwindow", kCU, kCFPreferencesCurrentHost},
        {"../../etc/passwd", kCU, kAH},
        {"a/b", kCU, kAH},
        {"..", kCU, kAH},
        {"", kCU, kAH},
        {nullptr, kCU, kAH},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.domain ? c.domain : "(null)");
        EXPECT_EQ(QorPreferencesFilePath(c.domain, c.user, c.host), "");
        CFPreferencesSetValue("Key", &value, c.domain, c.user, c.host);
        EXPECT_FALSE(CFPreferencesCopyValue("Key", c.domain, c.user, c.host));
        EXPECT_FALSE(CFPreferencesSynchronize(c.domain, c.user, c.host));
    }
}

TEST_F(Preferences, ArgumentDomainOverridesTheUserDefaults) {
    QorSetCurrentApplicationID("com.tavrin.scheduler");
    QorUserDefaults defaults;
    defaults.SetString("setDefaultTasks", "uOMB");
    defaults.SetBool("CXDefault", true);
    ASSERT_TRUE(defaults.Synchronize());

    const char* argv[] = {
        "Tavrin Scheduler", "-setDefaultTasks", "all", "-CXDefault", "NO", "stray", "-last"};
    QorSetArgumentDomain(7, argv);
    EXPECT_EQ(defaults.StringForKey("setDefaultTasks"), "all");
    EXPECT_FALSE(defaults.BoolForKey("CXDefault"));
    EXPECT_FALSE(defaults.ObjectForKey("last")); // a key without a value is no pair
    // Another domain does not see this program's arguments.
    EXPECT_EQ(QorUserDefaults("com.other").StringForKey("setDefaultTasks"), std::nullopt);

    QorSetArgumentDomain(0, nullptr);
    EXPECT_EQ(defaults.StringForKey("setDefaultTasks"), "uOMB");
    EXPECT_TRUE(defaults.BoolForKey("CXDefault"));
}

TEST_F(Preferences, ArgumentPairsAndTheirConversions) {
    const char* argv[] = {"prog", "-a", "1", "b", "-c", "-d", "-", "x", "-e"};
    auto pairs = QorParseArgumentDomain(9, argv);
    EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{{"a", "1"}, {"c", "-d"}}));

    QorSetCurrentApplicationID("conv");
    struct Case {
        const char* text;
        bool asBool;
        int64_t asInteger;
    };
    const Case cases[] = {
        {"YES", true, 0}, {"yes", true, 0}, {"Y", true, 0},   {"true", true, 0}, {"1", true, 1},
        {"-3", true, -3}, {"0", false, 0},  {"NO", false, 0}, {"2x", false, 0},  {"", false, 0},
    };
    QorUserDefaults defaults;
    for (const Case& c : cases) {
        const char* args[] = {"prog", "-k", c.text};
        QorSetArgumentDomain(3, args);
        EXPECT_EQ(defaults.BoolForKey("k"), c.asBool) << c.text;
        EXPECT_EQ(defaults.IntegerForKey("k"), c.asInteger) << c.text;
    }
}
