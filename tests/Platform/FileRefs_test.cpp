#include "AtomicFile.h"
#include "FileRefs.h"
#include "FileRefsAlias.h"
#include "FileRefsAliasLink.h"
#include "FileRefsFolders.h"
#include "SystemTestSupport.h"

#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>

using namespace system_test;

namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(FileRefs, RefHoldsTheResolvedPathAndIdentity) {
    TempRoot root;
    WriteFile(root.Path() + "/real/item", "x");
    std::filesystem::create_directory_symlink(root.Path() + "/real", root.Path() + "/link");

    FSRef ref;
    bool isDirectory = true;
    ASSERT_EQ(FSPathMakeRef((root.Path() + "/link/./item").c_str(), &ref, &isDirectory), 0);
    EXPECT_EQ(std::string(ref.path), root.Path() + "/real/item");
    EXPECT_FALSE(isDirectory);
    struct stat st;
    ASSERT_EQ(stat(ref.path, &st), 0);
    EXPECT_EQ(ref.inode, uint64_t(st.st_ino));

    char path[kQorMaxPathSize];
    ASSERT_EQ(FSRefMakePath(&ref, path, sizeof path), 0);
    EXPECT_STREQ(path, ref.path);
    // A buffer one byte short of the path and its NUL is refused, not overrun.
    char small[8];
    EXPECT_EQ(FSRefMakePath(&ref, small, uint32_t(strlen(ref.path))), kQorParamErr);
    EXPECT_EQ(FSRefMakePath(&ref, small, sizeof small), kQorParamErr);
}

TEST(FileRefs, MissingItemsAndBadArgumentsAreErrors) {
    TempRoot root;
    FSRef ref;
    EXPECT_EQ(FSPathMakeRef((root.Path() + "/nothing").c_str(), &ref), kQorFileNotFoundErr);
    EXPECT_EQ(FSPathMakeRef((root.Path() + "/nothing/below").c_str(), &ref), kQorFileNotFoundErr);
    EXPECT_EQ(FSPathMakeRef("", &ref), kQorParamErr);
    EXPECT_EQ(FSPathMakeRef(nullptr, &ref), kQorParamErr);

    // A reference whose item went away no longer gives a path.
    WriteFile(root.Path() + "/gone", "x");
    ASSERT_EQ(FSPathMakeRef((root.Path() + "/gone").c_str(), &ref), 0);
    unlink((root.Path() + "/gone").c_str());
    char path[kQorMaxPathSize];
    EXPECT_EQ(FSRefMakePath(&ref, path, sizeof path), kQorFileNotFoundErr);
}

TEST(FileRefsAlias, RecordRoundTripAndResolve) {
    TempRoot root;
    std::string file = root.Path() + "/scan target/a b";
    WriteFile(file, "x");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(file.c_str(), &ref), 0);
    std::vector<uint8_t> alias;
    ASSERT_EQ(FSNewAlias(nullptr, &ref, &alias), 0);
    EXPECT_EQ(alias.size(), 28 + file.size());

    QorAliasInfo info;
    ASSERT_TRUE(QorAliasRead(alias.data(), alias.size(), &info));
    EXPECT_EQ(info.path, file);
    EXPECT_EQ(info.inode, ref.inode);

    FSRef resolved;
    bool changed = true;
    ASSERT_EQ(QorAliasResolve(alias.data(), alias.size(), &resolved, &changed), 0);
    EXPECT_STREQ(resolved.path, file.c_str());
    EXPECT_FALSE(changed);

    // Replaced by another file of the same name: found, but known to be another item.
    WriteFile(file + ".new", "y");
    rename((file + ".new").c_str(), file.c_str());
    ASSERT_EQ(QorAliasResolve(alias.data(), alias.size(), &resolved, &changed), 0);
    EXPECT_TRUE(changed);
    unlink(file.c_str());
    EXPECT_EQ(QorAliasResolve(alias.data(), alias.size(), &resolved, &changed),
              kQorFileNotFoundErr);
}

TEST(FileRefsAlias, MalformedRecordsAreRefused) {
    FSRef ref = {};
    strcpy(ref.path, "/tmp/x");
    std::vector<uint8_t> good;
    ASSERT_EQ(FSNewAlias(nullptr, &ref, &good), 0);
    ASSERT_TRUE(QorAliasRead(good.data(), good.size(), nullptr));

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    auto changed = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<uint8_t> longer = good;
    longer.push_back('y');
    std::vector<uint8_t> withNul = good;
    withNul[29] = 0;
    const Case cases[] = {
        {"empty", {}},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 28)},
        {"truncated path", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"bytes after the path", longer},
        {"wrong magic", changed(0, 'X')},
        {"wrong version", changed(5, 2)},
        {"reserved bits set", changed(7, 1)},
        {"length beyond the record", changed(27, 200)},
        {"relative path", changed(28, 't')},
        {"NUL inside the path", withNul},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(QorAliasRead(c.bytes.data(), c.bytes.size(), nullptr)) << c.what;
    FSRef out;
    EXPECT_EQ(QorAliasResolve(good.data(), 10, &out, nullptr), kQorParamErr);
}

TEST(FileRefsFolders, PreferencesFoldersLiveUnderTheRoots) {
    TempRoot root;
    std::string userPrefs = root.Home() + "/.config";
    EXPECT_EQ(QorFindFolderPath(kUserDomain, kPreferencesFolderType, false), "");

    FSRef ref;
    ASSERT_EQ(FSFindFolder(kUserDomain, kPreferencesFolderType, true, &ref), 0);
    EXPECT_EQ(std::string(ref.path), userPrefs);
    struct stat st;
    ASSERT_EQ(stat(userPrefs.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ASSERT_EQ(FSFindFolder(kLocalDomain, kPreferencesFolderType, true, &ref), 0);
    EXPECT_EQ(std::string(ref.path), root.Path() + "/Library/Preferences");

    EXPECT_EQ(FSFindFolder(kUserDomain, 0x61706c20 /* 'apl ' */, true, &ref), kQorParamErr);
    EXPECT_EQ(FSFindFolder(-1, kPreferencesFolderType, true, &ref), kQorParamErr);
}

TEST(FileRefsFolders, AUsersHomeIsNeverMade) {
    TempRoot root;
    std::filesystem::remove_all(root.Home());
    FSRef ref;
    EXPECT_EQ(FSFindFolder(kUserDomain, kPreferencesFolderType, true, &ref), kQorFileNotFoundErr);
    EXPECT_FALSE(std::filesystem::exists(root.Home()));
}

TEST(FileRefsAliasLink, LinkIsMadeRefreshedWhenStaleAndOtherFilesAreLeftAlone) {
    TempRoot root;
    std::string folder = root.Path() + "/Aliases";
    std::filesystem::create_directories(folder);
    std::string app = root.Path() + "/Applications/Sched.app";
    std::filesystem::create_directories(app);
    std::string link = folder + "/Sched";

    ASSERT_EQ(QorRefreshAliasLink(link, app), 0);
    EXPECT_EQ(std::filesystem::read_symlink(link), app);
    ASSERT_EQ(QorRefreshAliasLink(link, app), 0); // up to date: nothing to do

    std::filesystem::remove(link);
    std::filesystem::create_symlink(root.Path() + "/old/Sched.app", link);
    ASSERT_EQ(QorRefreshAliasLink(link, app), 0);
    EXPECT_EQ(std::filesystem::read_symlink(link), app);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"Sched"});

    std::string file = folder + "/Other";
    WriteFile(file, "someone's file");
    EXPECT_EQ(QorRefreshAliasLink(file, app), EEXIST);
    EXPECT_EQ(ReadFile(file), "someone's file");
}

TEST(AtomicFile, ReplacesWholeKeepsModeAndLeavesNoTemporaryFile) {
    TempRoot root;
    std::string folder = root.Path() + "/data";
    std::string path = folder + "/state";
    WriteFile(path, "old content", 0640);

    ASSERT_EQ(QorWriteFileAtomically(path, "new", 3, 0600), 0);
    EXPECT_EQ(ReadFile(path), "new");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"state"});

    // A folder that cannot take the file: the error comes back and nothing is left behind.
    EXPECT_EQ(QorWriteFileAtomically(root.Path() + "/missing/state", "x", 1, 0600), ENOENT);

    std::string content;
    EXPECT_EQ(QorReadWholeFile(path, 2, &content), EFBIG);
    EXPECT_EQ(QorReadWholeFile(folder, 100, &content), EINVAL);
    EXPECT_EQ(QorReadWholeFile(folder + "/none", 100, &content), ENOENT);
}
