// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "foreign_tree.h"
#include "platform/machine.h"
#include "temporary_machine.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <unistd.h>

namespace kor::platform {
namespace {

namespace fs = std::filesystem;
using testing::ForeignTree;
using testing::TemporaryMachine;

// Sets or clears an environment variable for one test and restores it after.
class EnvironmentVariable {
  public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name) {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvironmentVariable() {
        if (m_previous)
            ::setenv(m_name, m_previous->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

TEST(Files, LengthCountsBytes) {
    TemporaryMachine machine;
    machine.writePicture("C:\\WINDOWS\\A.BMP", 129078);

    EXPECT_EQ(fileLength("c:\\windows\\a.bmp").valueOr(0), 129078u);
    EXPECT_FALSE(fileLength("C:\\WINDOWS\\MISSING.BMP").ok());
    EXPECT_FALSE(fileLength("C:\\WINDOWS").ok());
}

TEST(Files, CopyCopiesBytesAndReplacesOnlyWhenAsked) {
    TemporaryMachine machine;
    machine.writePicture("C:\\WINDOWS\\A.BMP", 1000, 1);
    machine.writePicture("C:\\logo.sys", 500, 2);
    const std::string old = machine.readFile("C:\\logo.sys");

    const Status refused = copyFile("C:\\WINDOWS\\A.BMP", "C:\\LOGO.SYS", Overwrite::No);

    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().operation(), Operation::Copy);
    EXPECT_EQ(refused.error().code(), EEXIST);
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), old);

    ASSERT_TRUE(copyFile("C:\\WINDOWS\\A.BMP", "C:\\LOGO.SYS", Overwrite::Yes).ok());
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), machine.readFile("C:\\WINDOWS\\A.BMP"));

    ASSERT_TRUE(copyFile("C:\\WINDOWS\\A.BMP", "C:\\WINDOWS\\B.BMP", Overwrite::No).ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\B.BMP"), machine.readFile("C:\\WINDOWS\\A.BMP"));
}

TEST(Files, CopyOntoItselfKeepsTheFile) {
    TemporaryMachine machine;
    machine.writePicture("C:\\A.BMP", 300);
    const std::string bytes = machine.readFile("C:\\A.BMP");

    ASSERT_TRUE(copyFile("C:\\A.BMP", "C:\\a.bmp", Overwrite::Yes).ok());

    EXPECT_EQ(machine.readFile("C:\\A.BMP"), bytes);
}

TEST(Files, FailedCopyLeavesNothingBehind) {
    TemporaryMachine machine;
    machine.writePicture("C:\\A.BMP", 300);

    EXPECT_FALSE(copyFile("C:\\MISSING.BMP", "C:\\B.BMP", Overwrite::No).ok());
    EXPECT_FALSE(copyFile("C:\\WINDOWS", "C:\\B.BMP", Overwrite::No).ok());
    EXPECT_FALSE(copyFile("C:\\A.BMP", "C:\\NO\\B.BMP", Overwrite::Yes).ok());

    EXPECT_EQ(listFiles("C:\\", "*.*").value(), std::vector<std::string>{"A.BMP"});
    EXPECT_EQ(std::distance(fs::directory_iterator(machine.root() / "c"), fs::directory_iterator()),
              2);
}

TEST(Files, ErrorsNameOperationPathsAndReason) {
    TemporaryMachine machine;

    const Status status = copyFile("C:\\WINDOWS\\A.BMP", "C:\\logo.sys", Overwrite::Yes);

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().text(),
              "cannot copy C:\\WINDOWS\\A.BMP to C:\\logo.sys: no such file or directory");
    EXPECT_EQ(status.error().message(), "C:\\WINDOWS\\A.BMP → C:\\logo.sys\n"
                                        "このﾌｧｲﾙをｺﾋﾟｰできません。ファイルが見つかりません。");
}

TEST(Files, MissingFolderIsAPathNotFound) {
    TemporaryMachine machine;

    const Result<std::vector<std::string>> listed = listFiles("C:\\NOWHERE", "*.BMP");

    ASSERT_FALSE(listed.ok());
    EXPECT_EQ(listed.error().code(), ENOTDIR);
    EXPECT_EQ(listed.error().message(),
              "C:\\NOWHERE\nこのﾌｫﾙﾀﾞのﾌｧｲﾙ一覧を読み込めません。パスが見つかりません。");
}

TEST(Files, UnmappedDriveReportsNoDevice) {
    TemporaryMachine machine;

    const Status status = deleteFile("Q:\\LOGO.SYS");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), ENODEV);
    EXPECT_EQ(status.error().text(), "cannot delete Q:\\LOGO.SYS: drive Q: is not mapped");
    EXPECT_EQ(status.error().message(),
              "Q:\\LOGO.SYS\nこのﾌｧｲﾙを削除できません。ドライブが割り当てられていません。");
}

TEST(Files, RenameRefusesAnExistingDestination) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\OLD.SYS", "old");
    machine.writeFile("C:\\WINDOWS\\NEW.SYS", "new");

    EXPECT_FALSE(renameFile("C:\\WINDOWS\\NEW.SYS", "C:\\WINDOWS\\old.sys").ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\OLD.SYS"), "old");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\NEW.SYS"), "new");

    ASSERT_TRUE(renameFile("C:\\WINDOWS\\NEW.SYS", "C:\\WINDOWS\\LOGOW.SYS").ok());
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\NEW.SYS"));
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\LOGOW.SYS"), "new");
}

TEST(Files, RenameStaysOnItsDrive) {
    TemporaryMachine machine;
    machine.addDrive('D');
    machine.writeFile("C:\\A.SYS", "a");

    const Status status = renameFile("C:\\A.SYS", "D:\\A.SYS");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EXDEV);
    EXPECT_EQ(status.error().destination(), "D:\\A.SYS");
    EXPECT_TRUE(machine.exists("C:\\A.SYS"));
    EXPECT_FALSE(machine.exists("D:\\A.SYS"));
}

TEST(Files, ReplaceMovesOntoAnExistingFile) {
    TemporaryMachine machine;
    machine.writeFile("C:\\logo.sys", "old logo");
    machine.writeFile("C:\\WINDOWS\\STAGED.SYS", "new logo");

    ASSERT_TRUE(replaceFile("C:\\WINDOWS\\STAGED.SYS", "C:\\LOGO.SYS").ok());

    EXPECT_EQ(machine.readFile("C:\\logo.sys"), "new logo");
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\STAGED.SYS"));
    EXPECT_FALSE(replaceFile("C:\\WINDOWS\\STAGED.SYS", "C:\\LOGO.SYS").ok());
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), "new logo");
}

TEST(Files, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "old contents, longer than the new ones");

    ASSERT_TRUE(writeFileAtomically("C:\\WINDOWS\\kor.ini", "new").ok());

    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\KOR.INI"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(machine.root() / "c" / "WINDOWS"),
                            fs::directory_iterator()),
              2);
}

TEST(Files, AtomicWriteOntoADirectoryFailsAndCleansUp) {
    TemporaryMachine machine;
    fs::create_directories(machine.root() / "c" / "WINDOWS" / "KOR.INI");

    const Status status = writeFileAtomically("C:\\WINDOWS\\KOR.INI", "x");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().path(), "C:\\WINDOWS\\KOR.INI");
    EXPECT_EQ(std::distance(fs::directory_iterator(machine.root() / "c" / "WINDOWS"),
                            fs::directory_iterator()),
              2);
}

TEST(Files, ReadDeleteAndCreateDirectory) {
    TemporaryMachine machine;
    machine.writeFile("C:\\A.TXT", std::string("a\0b", 3));

    EXPECT_EQ(readFile("c:\\a.txt").valueOr(""), std::string("a\0b", 3));
    ASSERT_TRUE(deleteFile("C:\\a.txt").ok());
    EXPECT_FALSE(fileExists("C:\\A.TXT"));
    EXPECT_FALSE(deleteFile("C:\\A.TXT").ok());
    EXPECT_FALSE(readFile("C:\\A.TXT").ok());

    ASSERT_TRUE(createDirectory("C:\\WINDOWS\\korback").ok());
    EXPECT_TRUE(directoryExists("C:\\WINDOWS\\KORBACK"));
    EXPECT_FALSE(fileExists("C:\\WINDOWS\\KORBACK"));
    EXPECT_FALSE(createDirectory("C:\\WINDOWS\\KORBACK").ok());
    EXPECT_TRUE(directoryExists("C:\\"));
    EXPECT_FALSE(directoryExists("Q:\\"));
}

TEST(Files, ListsVisibleFilesOnlySortedWithoutRegardToCase) {
    TemporaryMachine machine;
    for (const char* name : {"C:\\PICS\\b.bmp", "C:\\PICS\\A.BMP", "C:\\PICS\\c.BMP",
                             "C:\\PICS\\.hidden.bmp", "C:\\PICS\\notes.txt"})
        machine.writeFile(name, "BM");
    fs::create_directories(machine.root() / "c" / "PICS" / "DIR.BMP");
    fs::create_directories(machine.root() / "c" / "PICS" / ".cache");
    fs::create_symlink(machine.root() / "c" / "PICS" / "A.BMP",
                       machine.root() / "c" / "PICS" / "link.bmp");

    EXPECT_EQ(listFiles("C:\\pics", "*.BMP").value(),
              (std::vector<std::string>{"A.BMP", "b.bmp", "c.BMP", "link.bmp"}));
    EXPECT_EQ(listDirectories("C:\\PICS").value(), std::vector<std::string>{"DIR.BMP"});
    EXPECT_FALSE(listFiles("C:\\NOWHERE", "*.*").ok());
}

struct WildcardCase {
    const char* name;
    const char* pattern;
    bool matches;
    TextEncoding encoding = TextEncoding::Utf8;
};

class Wildcard : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcard, FollowsWindowsRules) {
    EXPECT_EQ(matchesWildcard(GetParam().name, GetParam().pattern, GetParam().encoding),
              GetParam().matches)
        << GetParam().name << " against " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Wildcard,
    ::testing::Values(WildcardCase{"a.bmp", "*.BMP", true},
                      WildcardCase{"A.BMP.BAK", "*.BMP", false},
                      WildcardCase{"README", "*.*", true}, WildcardCase{"a.b.c", "*.*", true},
                      WildcardCase{"LOGO", "LOGO.*", true}, WildcardCase{"LOGO1", "LOGO.*", false},
                      WildcardCase{"logo1.bmp", "LOGO?.BMP", true},
                      WildcardCase{"logo.bmp", "LOGO?.BMP", false},
                      WildcardCase{"表紙.bmp", "??.bmp", true},
                      WildcardCase{"表紙.bmp", "?.bmp", false}, WildcardCase{"NOEXT", "*.", true},
                      WildcardCase{"A.TXT", "*.", false}, WildcardCase{"abcabd", "*abd", true},
                      WildcardCase{"X.LZH", "*", true}, WildcardCase{"X.LZH", "Y*", false},
                      // Archive members: CP932 paths, a trail byte never folded.
                      WildcardCase{"\x83\x61.BMP", "\x83\x41.BMP", false, TextEncoding::Cp932},
                      WildcardCase{"\x95\x5C.BMP", "?.bmp", true, TextEncoding::Cp932},
                      WildcardCase{"\x95\x5C\\A.BMP", "*\\a.bmp", true, TextEncoding::Cp932},
                      WildcardCase{"LOGO", "LOGO.*", true, TextEncoding::Cp932}));

// A file without any write bit, as a FAT mount shows a read-only one. Tests
// run as root, for whom access(2) calls every file writable.
void makeReadOnly(const fs::path& host) {
    fs::permissions(host, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST(Files, ReadOnlyFileIsNotDeleted) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\LOGOW.SYS", "logo");
    makeReadOnly(machine.host("C:\\WINDOWS\\LOGOW.SYS"));

    const Status status = deleteFile("C:\\WINDOWS\\logow.sys");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EACCES);
    EXPECT_EQ(status.error().message(),
              "C:\\WINDOWS\\logow.sys\nこのﾌｧｲﾙを削除できません。アクセスが拒否されました。");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\LOGOW.SYS"), "logo");
}

TEST(Files, ReadOnlyFileIsNotReplaced) {
    TemporaryMachine machine;
    machine.writeFile("C:\\logo.sys", "old logo");
    machine.writeFile("C:\\WINDOWS\\STAGED.SYS", "new logo");
    makeReadOnly(machine.host("C:\\logo.sys"));

    const Status status = replaceFile("C:\\WINDOWS\\STAGED.SYS", "C:\\LOGO.SYS");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EACCES);
    EXPECT_EQ(status.error().operation(), Operation::Move);
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), "old logo");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\STAGED.SYS"), "new logo");
}

TEST(Files, ReadOnlyFileIsNotOverwrittenByACopy) {
    TemporaryMachine machine;
    machine.writePicture("C:\\WINDOWS\\A.BMP", 1000, 1);
    machine.writeFile("C:\\logo.sys", "old logo");
    makeReadOnly(machine.host("C:\\logo.sys"));

    const Status status = copyFile("C:\\WINDOWS\\A.BMP", "C:\\logo.sys", Overwrite::Yes);

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EACCES);
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), "old logo");
    EXPECT_EQ(std::distance(fs::directory_iterator(machine.root() / "c"), fs::directory_iterator()),
              2);
}

TEST(Files, ReadOnlyFileIsNotRewritten) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "old");
    makeReadOnly(machine.host("C:\\WINDOWS\\KOR.INI"));

    const Status status = writeFileAtomically("C:\\WINDOWS\\KOR.INI", "new");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EACCES);
    EXPECT_EQ(status.error().text(), "cannot write C:\\WINDOWS\\KOR.INI: the file is read-only");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\KOR.INI"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(machine.root() / "c" / "WINDOWS"),
                            fs::directory_iterator()),
              2);
}

TEST(Files, AnyWriteBitMakesAFileWritable) {
    TemporaryMachine machine;
    machine.writeFile("C:\\A.SYS", "a");
    fs::permissions(machine.host("C:\\A.SYS"), fs::perms::owner_read | fs::perms::others_write);

    EXPECT_TRUE(writeFileAtomically("C:\\A.SYS", "b").ok());
    EXPECT_TRUE(deleteFile("C:\\A.SYS").ok());
}

TEST(Files, ReadOnlyFileMayStillBeReadCopiedAndRenamed) {
    TemporaryMachine machine;
    machine.writeFile("C:\\A.SYS", "a");
    makeReadOnly(machine.host("C:\\A.SYS"));

    EXPECT_EQ(readFile("C:\\A.SYS").valueOr(""), "a");
    ASSERT_TRUE(copyFile("C:\\A.SYS", "C:\\B.SYS", Overwrite::No).ok());
    ASSERT_TRUE(renameFile("C:\\A.SYS", "C:\\C.SYS").ok());
    EXPECT_EQ(machine.readFile("C:\\C.SYS"), "a");
}

// A TMP outside every drive, as "/tmp" often is.
class HostFolder {
  public:
    HostFolder() {
        std::string pattern = (fs::temp_directory_path() / "kor-host-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~HostFolder() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;

    const fs::path& path() const { return m_path; }
    std::string text() const { return m_path.string(); }

  private:
    fs::path m_path;
};

TEST(Files, HostPathsOutsideEveryDriveWork) {
    TemporaryMachine machine;
    const HostFolder folder;
    const std::string staged = folder.text() + "\\$$$LHA32.$$$";

    ASSERT_TRUE(writeFileAtomically(staged, "archive").ok());
    EXPECT_EQ(fs::path(folder.path() / "$$$LHA32.$$$"),
              Machine::current().hostPath(staged).value());
    EXPECT_TRUE(fileExists(staged));
    EXPECT_TRUE(directoryExists(folder.text()));
    EXPECT_EQ(readFile(folder.text() + "/.\\$$$LHA32.$$$").valueOr(""), "archive");
    EXPECT_EQ(fileLength(staged).valueOr(0), 7u);
    EXPECT_EQ(listFiles(folder.text(), "*.$$$").valueOr({}),
              std::vector<std::string>{"$$$LHA32.$$$"});
    ASSERT_TRUE(copyFile(staged, "C:\\WINDOWS\\COPY.LZH", Overwrite::No).ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\COPY.LZH"), "archive");
    ASSERT_TRUE(deleteFile(staged).ok());
    EXPECT_FALSE(fs::exists(folder.path() / "$$$LHA32.$$$"));
}

TEST(Files, HostPathErrorsNameTheHostPath) {
    TemporaryMachine machine;
    const HostFolder folder;

    const Result<std::string> read = readFile(folder.text() + "\\MISSING.LZH");

    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().path(), folder.text() + "/MISSING.LZH");
    EXPECT_EQ(read.error().code(), ENOENT);
}

TEST(Files, RenameKeepsAHostPathAndADriveApart) {
    TemporaryMachine machine;
    const HostFolder folder;
    machine.writeFile("C:\\A.SYS", "a");

    const Status status = renameFile("C:\\A.SYS", folder.text() + "\\A.SYS");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EXDEV);
    EXPECT_TRUE(machine.exists("C:\\A.SYS"));
}

TEST(Files, EnvironmentDirectoryMakesAWindowsPathFull) {
    TemporaryMachine machine;
    const EnvironmentVariable tmp("TMP", "c:/temp\\");

    EXPECT_EQ(environmentDirectory("TMP"), "C:\\temp");
}

TEST(Files, EnvironmentDirectoryNamesAHostPathOnADriveAsWindowsDoes) {
    TemporaryMachine machine;
    fs::create_directories(machine.root() / "c" / "Temp");
    const EnvironmentVariable temp("TEMP", (machine.root() / "c" / "Temp").c_str());

    EXPECT_EQ(environmentDirectory("TEMP"), "C:\\Temp");
}

TEST(Files, EnvironmentDirectoryOutsideEveryDriveStaysAHostPath) {
    TemporaryMachine machine;
    const HostFolder folder;
    const EnvironmentVariable tmp("TMP", (folder.text() + "/").c_str());

    const std::string directory = environmentDirectory("TMP");

    EXPECT_EQ(directory, folder.text());
    ASSERT_TRUE(writeFileAtomically(directory + "\\$$$LHA32.$$$", "x").ok());
    EXPECT_TRUE(fs::is_regular_file(folder.path() / "$$$LHA32.$$$"));
}

TEST(Files, EnvironmentDirectoryIsEmptyWhenUnsetEmptyOrUnusable) {
    TemporaryMachine machine;
    const EnvironmentVariable tmp("TMP", nullptr);
    const EnvironmentVariable temp("TEMP", "");
    const EnvironmentVariable network("KOR_TEST_DIRECTORY", "\\\\server\\share");

    EXPECT_EQ(environmentDirectory("TMP"), "");
    EXPECT_EQ(environmentDirectory("TEMP"), "");
    EXPECT_EQ(environmentDirectory("KOR_TEST_DIRECTORY"), "");
}

// As root on another user's tree, as a boot script runs: that user's links
// lead only where the user may go.
TEST(Files, ForeignLinksLeadOnlyWhereTheirOwnerMayGo) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the tree to another user needs root";
    TemporaryMachine machine;
    const ForeignTree tree = testing::makeForeignTree(machine);
    struct Case {
        const char* path;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"C:\\PICS\\PIC.BMP", tree.picture},  {"C:\\PICS\\MINE.BMP", tree.own},
        {"C:\\PICS\\EVIL.BMP", std::nullopt}, {"C:\\PICS\\CHAIN.BMP", std::nullopt},
        {"C:\\ETC\\A.BMP", std::nullopt},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        const Result<std::string> read = readFile(test.path);
        EXPECT_EQ(read ? 0 : read.error().code(), test.bytes ? 0 : ENOENT);
        EXPECT_TRUE(!read || read.value() == test.bytes) << "the bytes of the link's target";
        EXPECT_EQ(fileExists(test.path), test.bytes.has_value());
        EXPECT_EQ(copyFile(test.path, "C:\\COPY.BMP", Overwrite::Yes).ok(), test.bytes.has_value());
    }
    EXPECT_EQ(listFiles("C:\\PICS", "*.BMP").valueOr({}),
              (std::vector<std::string>{"MINE.BMP", "PIC.BMP"}));
    EXPECT_EQ(listDirectories("C:\\").valueOr({}), (std::vector<std::string>{"PICS", "WINDOWS"}));
    EXPECT_FALSE(copyFile("C:\\PICS\\PIC.BMP", "C:\\ETC\\logo.sys", Overwrite::Yes).ok());
    EXPECT_FALSE(deleteFile("C:\\ETC\\A.BMP").ok());
    EXPECT_FALSE(deleteFile("C:\\PICS\\EVIL.BMP").ok());
    EXPECT_FALSE(fs::exists(tree.secretFile.parent_path() / "logo.sys"));
    EXPECT_TRUE(fs::exists(tree.secretFile.parent_path() / "A.BMP"));
}

// A link flipped between a harmless target and the secret while it is read:
// what was checked is what is read.
TEST(Files, AForeignLinkSwappedWhileReadNeverYieldsTheSecret) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the tree to another user needs root";
    TemporaryMachine machine;
    const ForeignTree tree = testing::makeForeignTree(machine);
    const fs::path link = machine.root() / "c" / "PICS" / "FLIP.BMP";
    std::atomic<bool> reading{true};
    std::thread flipper([&] {
        const fs::path staged = link.parent_path() / "FLIP.NEW";
        for (int flip = 0; flip < 1'000'000 && reading; ++flip) {
            std::error_code error;
            fs::create_symlink(flip % 2 ? tree.secretFile : fs::path("PIC.BMP"), staged, error);
            if (!error && ::lchown(staged.c_str(), testing::ForeignUser, testing::ForeignUser) == 0)
                fs::rename(staged, link, error);
            fs::remove(staged, error);
        }
    });
    int secrets = 0;
    int pictures = 0;
    for (int read = 0; read < 3000; ++read) {
        const std::string bytes = readFile("C:\\PICS\\FLIP.BMP").valueOr("");
        secrets += bytes == tree.secret;
        pictures += bytes == tree.picture;
    }
    reading = false;
    flipper.join();
    EXPECT_EQ(secrets, 0);
    EXPECT_GT(pictures, 0) << "the harmless target is read through the link";
}

} // namespace
} // namespace kor::platform
