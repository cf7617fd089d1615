#include "ForkedStep.h"
#include "MissedTasksTestSupport.h"
#include "TaskOwner.h"

#include <grp.h>
#include <gtest/gtest.h>

using namespace missed_test;

namespace {

using qor_test::InChild;

std::string Identity() {
    uid_t r, e, s;
    gid_t rg, eg, sg;
    getresuid(&r, &e, &s);
    getresgid(&rg, &eg, &sg);
    gid_t groups[256];
    int count = getgroups(256, groups);
    std::string text = std::to_string(r) + " " + std::to_string(e) + " " + std::to_string(s) +
                       " / " + std::to_string(rg) + " " + std::to_string(eg) + " " +
                       std::to_string(sg) + " /";
    for (int i = 0; i < count; ++i)
        text += " " + std::to_string(groups[i]);
    return text;
}

TEST(TaskOwner, TheEnvironmentIsCronsForTheOwnerAndTheSuitesRoots) {
    QorTaskOwner owner{"alice", 1000, 1000, "/srv/root/home/alice"};
    ScopedEnv root("QORSCHED_ROOT", "/srv/root");
    ScopedEnv systemRoot("QORSCHED_SYSTEM_ROOT", std::nullopt);
    ScopedEnv log("QORSCHED_LOG_FILE", "/srv/log");
    ScopedEnv preload("LD_PRELOAD", "/tmp/evil.so");
    ScopedEnv display("DISPLAY", ":0");
    EXPECT_EQ(QorTaskEnvironment(owner),
              (std::vector<std::string>{"HOME=/srv/root/home/alice", "LOGNAME=alice", "USER=alice",
                                        "SHELL=/bin/sh", "PATH=/usr/bin:/bin",
                                        "QORSCHED_ROOT=/srv/root", "QORSCHED_LOG_FILE=/srv/log"}));
}

TEST(TaskOwner, BecomingTheOwnerGivesUpRootForGood) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root";
    TestRoot root;
    std::optional<TestAccount> account = EnsureTestAccount();
    ASSERT_TRUE(account);
    QorTaskOwner owner;
    ASSERT_TRUE(QorLookUpTaskOwner(account->uid, &owner));
    EXPECT_EQ(owner.name, account->name);
    EXPECT_EQ(owner.home, root.Path() + account->home) << "the home folder under the root";

    int count = 64;
    std::vector<gid_t> groups(64);
    ASSERT_GE(getgrouplist(owner.name.c_str(), owner.gid, groups.data(), &count), 0);
    std::string expected = std::to_string(owner.uid) + " " + std::to_string(owner.uid) + " " +
                           std::to_string(owner.uid) + " / " + std::to_string(owner.gid) + " " +
                           std::to_string(owner.gid) + " " + std::to_string(owner.gid) + " /";
    for (int i = 0; i < count; ++i)
        expected += " " + std::to_string(groups[size_t(i)]);

    // As the scan leaves it: the owner's effective ID, root's real and saved ones, root's
    // groups.
    EXPECT_EQ(InChild([&] {
                  gid_t rootGroups[] = {0, 4, 27};
                  if (setgroups(3, rootGroups) != 0 || seteuid(owner.uid) != 0)
                      return std::string("set-up failed");
                  std::string why;
                  if (int error = QorBecomeTaskOwner(owner, &why))
                      return "failed: " + why + " " + std::to_string(error);
                  return Identity();
              }),
              expected);

    // Without root to change users with, nothing changes and the caller is told why.
    std::string nobody = InChild([&] {
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            return std::string("set-up failed");
        std::string before = Identity();
        std::string why;
        int error = QorBecomeTaskOwner(owner, &why);
        return std::to_string(error) + " " + why + (Identity() == before ? " unchanged" : "");
    });
    EXPECT_EQ(nobody, std::to_string(EPERM) + " cannot take the super-user back to change users: " +
                          strerror(EPERM) + " unchanged");
}

} // namespace
