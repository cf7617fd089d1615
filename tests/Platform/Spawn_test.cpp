#include "Spawn.h"
#include "SystemTestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <pwd.h>
#include <sys/wait.h>

using namespace system_test;

namespace {

int OpenForWriting(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

} // namespace

TEST(Spawn, ExitStatusAndOutputOfAProgram) {
    TempRoot root;
    std::string out = root.Path() + "/out";
    int fd = OpenForWriting(out);
    QorSpawnOptions options;
    options.stdoutFd = fd;
    int status = -1;
    ASSERT_EQ(QorSpawnAndWait({"/bin/sh", "-c", "echo \"$0 $1\"; read x; exit 3", "a b", "c"},
                              options, &status),
              0);
    close(fd);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(ReadFile(out), "a b c\n"); // arguments arrive as given; stdin is empty

    ASSERT_EQ(QorSpawnAndWait({"/bin/sh", "-c", "kill -9 $$"}, {}, &status), 0);
    EXPECT_EQ(status, 128 + SIGKILL);
}

TEST(Spawn, ProgramsAreFoundOnPathOrReportedMissing) {
    TempRoot root;
    WriteFile(root.Path() + "/bin/crontab", "#!/bin/sh\nexit 7\n", 0755);
    WriteFile(root.Path() + "/bin/notexec", "#!/bin/sh\nexit 0\n", 0644);
    ScopedEnv path("PATH", root.Path() + "/bin:/usr/bin:/bin");
    int status = -1;
    ASSERT_EQ(QorSpawnAndWait({"crontab", "-l"}, {}, &status), 0);
    EXPECT_EQ(status, 7);
    EXPECT_EQ(QorSpawnAndWait({"no-such-program"}, {}, &status), ENOENT);
    EXPECT_EQ(QorSpawnAndWait({"notexec"}, {}, &status), ENOENT);
    EXPECT_EQ(QorSpawnAndWait({root.Path() + "/bin/notexec"}, {}, &status), EACCES);
    EXPECT_EQ(QorSpawnAndWait({}, {}, &status), EINVAL);
}

TEST(Spawn, EnvironmentIsExactlyTheOneGiven) {
    TempRoot root;
    std::string out = root.Path() + "/env";
    int fd = OpenForWriting(out);
    std::vector<std::string> environment = {"ONLY=this", "PATH=/usr/bin:/bin"};
    QorSpawnOptions options;
    options.stdoutFd = fd;
    options.environment = &environment;
    int status = -1;
    ASSERT_EQ(QorSpawnAndWait({"/usr/bin/env"}, options, &status), 0);
    close(fd);
    EXPECT_EQ(ReadFile(out), "ONLY=this\nPATH=/usr/bin:/bin\n");
}

// A root process that only lowered its effective user ID could get root back in the program
// it starts; run as the calling user alone, the program holds that user's IDs and groups only.
TEST(Spawn, CallingUserOnlyDropsEveryOtherIdentity) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root";
    passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    uid_t uid = nobody->pw_uid;
    gid_t gid = nobody->pw_gid;
    TempRoot root;
    std::string out = root.Path() + "/ids";

    pid_t child = fork();
    if (child == 0) {
        int fd = OpenForWriting(out);
        gid_t rootGroups[] = {0, 4};
        if (fd < 0 || setgroups(2, rootGroups) != 0 || seteuid(uid) != 0)
            _exit(2);
        QorSpawnOptions options;
        options.stdoutFd = fd;
        options.asCallingUserOnly = true;
        int status = -1;
        int error = QorSpawnAndWait(
            {"/bin/sh", "-c",
             "echo ruid=$(id -ru); echo euid=$(id -u); echo rgid=$(id -rg); echo groups=$(id -G);"
             " grep '^Uid:' /proc/self/status | tr -s '\\t' ' '"},
            options, &status);
        _exit(error == 0 && status == 0 ? 0 : 1);
    }
    int status;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(out);
    auto ids = Record(ReadFile(out));
    const std::string u = std::to_string(uid), g = std::to_string(gid);
    EXPECT_EQ(ids["ruid"], u);
    EXPECT_EQ(ids["euid"], u);
    EXPECT_EQ(ids["rgid"], g);
    EXPECT_EQ(ids["groups"], g);
    EXPECT_NE(ReadFile(out).find("Uid: " + u + " " + u + " " + u + " " + u), std::string::npos)
        << ReadFile(out);
}

TEST(Spawn, DetachedProgramRunsInItsOwnSessionWithStdioOnDevNull) {
    TempRoot root;
    std::string record = root.Path() + "/record";
    std::string script = root.Path() + "/detached";
    WriteFile(script,
              "#!/bin/sh\ni=$(readlink /proc/$$/fd/0); o=$(readlink /proc/$$/fd/1);"
              " e=$(readlink /proc/$$/fd/2)\n"
              "{ echo pid=$$; echo sid=$(cut -d' ' -f6 /proc/$$/stat);"
              " echo ppid=$(cut -d' ' -f4 /proc/$$/stat);"
              " echo in=$i; echo out=$o; echo err=$e; echo cwd=$(pwd); echo mark=$MARK;"
              " echo args=\"$*\"; } > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\n",
              0755);
    pid_t pid = 0;
    ASSERT_EQ(QorSpawnDetached(script, {script, record, "two words"}, {"MARK=seen"}, &pid), 0);
    ASSERT_TRUE(WaitForFile(record));
    auto fields = Record(ReadFile(record));
    EXPECT_EQ(fields["pid"], std::to_string(pid));
    EXPECT_EQ(fields["sid"], std::to_string(pid));       // leader of a session of its own
    EXPECT_NE(fields["ppid"], std::to_string(getpid())); // not our child
    EXPECT_EQ(fields["in"], "/dev/null");
    EXPECT_EQ(fields["out"], "/dev/null");
    EXPECT_EQ(fields["err"], "/dev/null");
    EXPECT_EQ(fields["cwd"], "/");
    EXPECT_EQ(fields["mark"], "seen");
    EXPECT_EQ(fields["args"], record + " two words");

    EXPECT_EQ(QorSpawnDetached(root.Path() + "/missing", {"missing"}, {}, &pid), ENOENT);
    WriteFile(root.Path() + "/plain", "#!/bin/sh\n", 0644);
    EXPECT_EQ(QorSpawnDetached(root.Path() + "/plain", {"plain"}, {}, &pid), EACCES);
}
