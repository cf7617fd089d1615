#include "Bundles.h"
#include "SystemTestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using namespace system_test;

namespace {

struct FreeDeleter {
    void operator()(char* p) const { free(p); }
};
using MallocString = std::unique_ptr<char, FreeDeleter>;

} // namespace

TEST(Bundles, ReadsInfoPlistInXmlAndBinary) {
    TempRoot root;
    QorPropertyList info = InfoPlist("Renovix", "TrvX", "com.tavrin.renovix");
    info.Set("CFBundleName", QorPropertyList::String("Renovix"));
    info.Set("CFBundleShortVersionString", QorPropertyList::String("3.5.4"));
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "XML");
        std::string path = root.Path() + (binary ? "/B.app" : "/X.app");
        MakeBundle(path, info, binary);
        QorBundleInfo bundle;
        ASSERT_TRUE(QorReadBundle(path, &bundle));
        EXPECT_EQ(bundle.executable, "Renovix");
        EXPECT_EQ(bundle.signature, 0x54727658u); // 'TrvX'
        EXPECT_EQ(bundle.identifier, "com.tavrin.renovix");
        EXPECT_EQ(bundle.name, "Renovix");
        EXPECT_EQ(bundle.shortVersion, "3.5.4");

        MallocString executable(CreateBundleExecutablePath(path.c_str()));
        ASSERT_NE(executable, nullptr);
        EXPECT_EQ(std::string(executable.get()), path + "/Contents/MacOS/Renovix");
    }
}

TEST(Bundles, MissingOrUnusableKeysLeaveThoseFieldsEmpty) {
    TempRoot root;
    struct Case {
        const char* executable;
        const char* signature;
        const char* wantExecutable;
        OSType wantSignature;
    };
    const Case cases[] = {
        {"", "", "", 0},
        {"Tool", "????", "Tool", 0},
        {"Tool", "TOOLONG", "Tool", 0},
        {"../../../bin/sh", "abcd", "", 0x61626364},
        {"..", "abcd", "", 0x61626364},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.executable) + "/" + c.signature);
        std::string path = root.Path() + "/Case.app";
        std::filesystem::remove_all(path);
        MakeBundle(path, InfoPlist(c.executable, c.signature));
        QorBundleInfo bundle;
        ASSERT_TRUE(QorReadBundle(path, &bundle)); // still a bundle
        EXPECT_EQ(bundle.executable, c.wantExecutable);
        EXPECT_EQ(bundle.signature, c.wantSignature);
        MallocString executable(CreateBundleExecutablePath(path.c_str()));
        EXPECT_EQ(executable != nullptr, *c.wantExecutable != '\0');
    }
}

TEST(Bundles, OnlyAFolderWithAnInfoDictionaryIsABundle) {
    TempRoot root;
    std::filesystem::create_directories(root.Path() + "/Empty.app");
    WriteFile(root.Path() + "/Garbage.app/Contents/Info.plist", "not a plist");
    MakeBundle(root.Path() + "/Array.app", QorPropertyList::MakeArray());
    WriteFile(root.Path() + "/File.app", "a file");
    for (const char* name :
         {"/Empty.app", "/Garbage.app", "/Array.app", "/File.app", "/None.app"}) {
        EXPECT_FALSE(QorReadBundle(root.Path() + name, nullptr)) << name;
        EXPECT_EQ(CreateBundleExecutablePath((root.Path() + name).c_str()), nullptr) << name;
    }
    EXPECT_EQ(CreateBundleExecutablePath(nullptr), nullptr);
}

TEST(Bundles, PlainExecutablesAndAppImagesAreToldByTheirFirstBytes) {
    TempRoot root;
    const std::string elf = ElfHead(), appImage = ElfHead(true);
    struct Case {
        const char* name;
        std::string content;
        mode_t mode;
        bool plain;
        bool isAppImage;
    };
    const Case cases[] = {
        {"elf", elf, 0755, true, false},
        {"elf-not-executable", elf, 0644, true, false},
        {"script", "#!/bin/sh\necho hi\n", 0755, true, false},
        {"script-not-executable", "#!/bin/sh\n", 0644, false, false},
        {"appimage", appImage, 0755, true, true},
        {"mach-o", "\xfe\xed\xfa\xce....", 0755, false, false},
        {"short",
         "\x7f"
         "E",
         0755, false, false},
        {"text", "hello world", 0755, false, false},
        {"empty", "", 0755, false, false},
    };
    for (const Case& c : cases) {
        std::string path = root.Path() + "/" + c.name;
        WriteFile(path, c.content, c.mode);
        EXPECT_EQ(QorIsPlainExecutable(path), c.plain) << c.name;
        EXPECT_EQ(QorIsAppImage(path), c.isAppImage) << c.name;
    }
    std::filesystem::create_directories(root.Path() + "/folder");
    EXPECT_FALSE(QorIsPlainExecutable(root.Path() + "/folder"));
    EXPECT_FALSE(QorIsPlainExecutable(root.Path() + "/missing"));
}
