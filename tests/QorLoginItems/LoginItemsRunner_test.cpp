// The login-item runner against the real Launch Services, in a temporary home folder: small
// bundles whose executables note how they were opened.

#include "KickerTestSupport.h"
#include "LoginItems.h"
#include "LoginItemsRunner.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

using namespace kicker_test;

namespace {

class LoginItemsRunner : public ::testing::Test {
protected:
    // A bundle whose executable writes the hide hint it was given into "<bundle>.opened".
    std::string Bundle(const std::string& name) {
        const std::string path = mRoot.Path() + "/Applications/" + name + ".app";
        launcher_test::MakeBundle(path, name, "",
                                  "echo \"hidden=$QORSCHED_LAUNCH_HIDDEN\" > '" + path +
                                      ".opened.tmp'; mv '" + path + ".opened.tmp' '" + path +
                                      ".opened'\n");
        return path;
    }
    static std::string Opened(const std::string& bundle) {
        return launcher_test::WaitForLine(bundle + ".opened") ? ReadFile(bundle + ".opened")
                                                              : "<not opened>";
    }

    KickerRoot mRoot;
    QorFakeSystemLog mLog;
    QorScopedSystemLog mUseLog{&mLog};
};

TEST_F(LoginItemsRunner, NoItemsNothingToDo) {
    EXPECT_EQ(QorLoginItems::OpenLoginItems(), 0);
    EXPECT_TRUE(mLog.Lines().empty());
}

TEST_F(LoginItemsRunner, EveryItemIsOpenedHiddenWhereItSaysSo) {
    const std::string hidden = Bundle("Hidden");
    const std::string shown = Bundle("Shown");
    const std::string missing = mRoot.Path() + "/Applications/Missing.app";
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kCFPreferencesCurrentUser, hidden.c_str(), 1));
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kCFPreferencesCurrentUser, missing.c_str(), 1));
    ASSERT_TRUE(AddLoginItemWithPropertiesToUser(kCFPreferencesCurrentUser, shown.c_str(), 0));
    QorDiscardPendingPreferences(); // the runner reads what is stored

    EXPECT_EQ(QorLoginItems::OpenLoginItems(), 1);
    EXPECT_EQ(Opened(hidden), "hidden=1\n");
    EXPECT_EQ(Opened(shown), "hidden=\n");
    EXPECT_EQ(mLog.Messages(), std::vector<std::string>{"Login item 1 (" + missing +
                                                        ") could not be opened, err = -43\n"});
    EXPECT_EQ(mLog.Lines()[0].identity, "QorLoginItems");
    EXPECT_EQ(getenv("QORSCHED_LAUNCH_HIDDEN"), nullptr) << "the hint is not left behind";
}

} // namespace
