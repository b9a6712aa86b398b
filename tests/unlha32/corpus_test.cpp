// SPDX-License-Identifier: GPL-3.0-or-later
// Archives written by real archivers, checked against what the lhasa reader
// reported for each member (expected/<archiver>/<archive>-hdr.txt), and the
// damaged and hostile archives of regression/.

#include "library_calls.h"
#include "lzh_writer.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

extern "C" {
#include <lha_decoder.h>
}

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

using namespace kor::testing;

namespace {

namespace fs = std::filesystem;

const fs::path corpus = KOR_LZH_CORPUS;

struct ExpectedMember {
    std::map<std::string, std::string> fields;

    const std::string& field(const std::string& key) const {
        static const std::string none;
        const auto found = fields.find(key);
        return found == fields.end() ? none : found->second;
    }
    std::uint64_t number(const std::string& key) const { return std::stoull(field(key)); }
    bool isFile() const { return field("compress_method") != "-lhd-"; }
};

// The blocks of an expected file: "key: value" lines, "--" after each member.
std::vector<ExpectedMember> readExpected(const fs::path& file) {
    std::vector<ExpectedMember> members(1);
    std::ifstream input(file);
    for (std::string line; std::getline(input, line);) {
        if (line == "--") {
            members.emplace_back();
        } else if (const auto colon = line.find(": "); colon != std::string::npos) {
            members.back().fields[line.substr(0, colon)] = line.substr(colon + 2);
        } else if (line.ends_with(':')) {
            members.back().fields[line.substr(0, line.size() - 1)] = "";
        }
    }
    members.pop_back();
    return members;
}

std::string foldedPath(std::string text) {
    std::ranges::replace(text, '\\', '/');
    std::ranges::transform(text, text.begin(), [](char byte) {
        return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    });
    return text;
}

std::string windowsPathOf(const fs::path& relative) {
    std::string path = relative.generic_string();
    std::ranges::replace(path, '/', '\\');
    return path;
}

// The MS-DOS stamp that a Unix time shows in the local zone, held within the
// years the stamp can express.
std::pair<std::uint16_t, std::uint16_t> dosStamp(std::int64_t unixTime) {
    const std::time_t time = static_cast<std::time_t>(unixTime);
    std::tm local{};
    localtime_r(&time, &local);
    if (local.tm_year + 1900 < 1980)
        return {dosDate(1980, 1, 1), dosTime(0, 0, 0)};
    return {dosDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
            dosTime(local.tm_hour, local.tm_min, local.tm_sec)};
}

// The file name a member is written under: the last part of its stored name.
std::string writtenName(const std::string& name) {
    return name.substr(name.find_last_of("\\/") + 1);
}

// Where the expected files, made by a later lhasa, and the installed lhasa
// 0.3.1 or the member record part ways.
const std::set<std::string> unreadableForInstalledLhasa = {
    // Self-extractors whose archive this lhasa does not find.
    "explzh_723/declha_sfx_ansi.exe",
    "explzh_723/declha_sfx_unicode.exe",
    // A folder stored as an empty -lh0- file stops this lhasa (lhasa bug #31).
    "lha_amiga_122/lh0_dirs_bug.lzh",
};

// OS-9/68k LHa puts a Unix time in the extended area of level 0 and 1
// headers besides an MS-DOS stamp of another zone; lhasa reports the Unix
// time, the record holds the stamp as stored.
bool holdsAnotherStamp(const fs::path& relative, const ListedMember& info) {
    return relative.begin()->string() == "lha_osk_201" && info.headerLevel <= 1;
}

// LHark writes "-lh7-" for a variant of its own, which later lhasa versions
// report as "-lk7-"; the record holds the method as stored.
std::string storedMethod(const std::string& reported) {
    return reported == "-lk7-" ? "-lh7-" : reported;
}

std::string readHostFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The library decodes the LZH methods that lhasa has a decoder for, and no
// other archiver's.
bool libraryDecodes(const std::string& method) {
    std::string name = method;
    return !method.starts_with("-pm") && lha_decoder_for_name(name.data()) != nullptr;
}

// The corpus's archives as the machine's drive D:, read in place.
class CorpusMachine {
  public:
    CorpusMachine() { fs::create_directory_symlink(corpus / "archives", m_machine.root() / "d"); }
    TemporaryMachine& machine() { return m_machine; }

  private:
    TemporaryMachine m_machine;
};

// Comparisons run where the expected stamps were made.
class LondonTime {
  public:
    LondonTime() {
        if (const char* zone = std::getenv("TZ"))
            m_previous = zone;
        ::setenv("TZ", "Europe/London", 1);
        ::tzset();
    }
    ~LondonTime() {
        if (m_previous)
            ::setenv("TZ", m_previous->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    LondonTime(const LondonTime&) = delete;
    LondonTime& operator=(const LondonTime&) = delete;

  private:
    std::optional<std::string> m_previous;
};

// The archivers with expected values, but the damaged and hostile archives.
std::vector<std::string> archiverFolders() {
    std::vector<std::string> folders;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(corpus / "expected", error))
        if (entry.is_directory() && entry.path().filename() != "regression")
            folders.push_back(entry.path().filename().string());
    std::ranges::sort(folders);
    return folders;
}

TEST(LzhCorpus, CorpusIsPresent) {
    ASSERT_TRUE(fs::is_directory(corpus / "archives"))
        << "the LZH corpus is missing: " << corpus << " (set KOR_LZH_CORPUS)";
    ASSERT_TRUE(fs::is_directory(corpus / "expected")) << corpus;
    EXPECT_GE(archiverFolders().size(), 20u);
}

class ArchiverCorpus : public ::testing::TestWithParam<std::string> {
  protected:
    void checkArchive(const fs::path& relative, const fs::path& expectedFile);
    void checkStamp(const fs::path& relative, const ListedMember& listed,
                    const ExpectedMember& expected);
    void checkExtraction(const std::string& archive, const ListedMember& listed,
                         const ExpectedMember& expected);

    LondonTime m_londonTime;
    CorpusMachine m_corpus;
    int m_archives = 0;
    int m_members = 0;
    int m_extracted = 0;
    int m_foldersLeftOut = 0;
    std::vector<std::string> m_notes;
    int m_destinations = 0;
};

void ArchiverCorpus::checkArchive(const fs::path& relative, const fs::path& expectedFile) {
    const std::string archive = "D:\\" + windowsPathOf(relative);
    SCOPED_TRACE(archive);
    ++m_archives;
    if (unreadableForInstalledLhasa.contains(relative.generic_string())) {
        EXPECT_EQ(UnlhaCheckArchive(archive.c_str(), 1), 0);
        m_notes.push_back(archive + ": cannot be read by the installed lhasa");
        return;
    }
    EXPECT_NE(UnlhaCheckArchive(archive.c_str(), 1), 0) << "not taken for an archive";

    std::vector<ExpectedMember> expected = readExpected(expectedFile);
    std::erase_if(expected, [&](const ExpectedMember& member) {
        if (member.isFile() && member.number("length") <= 0xFFFFFFFF)
            return false;
        if (member.isFile())
            m_notes.push_back(archive + " " + member.field("filename") +
                              ": left out, too large for the member record");
        return true;
    });
    const std::vector<ListedMember> listed = listMembers(archive);
    ASSERT_EQ(listed.size(), expected.size()) << "member count";

    for (std::size_t index = 0; index < listed.size(); ++index) {
        const ListedMember& info = listed[index];
        const ExpectedMember& want = expected[index];
        SCOPED_TRACE("member " + info.name);
        ++m_members;
        EXPECT_EQ(foldedPath(info.name), foldedPath(want.field("path") + want.field("filename")));
        EXPECT_EQ(info.method, storedMethod(want.field("compress_method")));
        EXPECT_EQ(info.compressedSize, want.number("compressed_length"));
        EXPECT_EQ(info.originalSize, want.number("length"));
        EXPECT_EQ(info.headerLevel, want.number("header_level"));
        EXPECT_EQ(info.osType, std::stoul(want.field("os_type")));
        EXPECT_EQ(info.crc, std::stoul(want.field("crc"), nullptr, 16));
        checkStamp(relative, info, want);
        checkExtraction(archive, info, want);
    }
}

void ArchiverCorpus::checkStamp(const fs::path& relative, const ListedMember& listed,
                                const ExpectedMember& expected) {
    if (expected.field("timestamp").empty())
        return;
    const std::int64_t timestamp = std::stoll(expected.field("timestamp"));
    if (listed.headerLevel >= 2) {
        EXPECT_EQ(std::make_pair(listed.date, listed.time), dosStamp(timestamp));
    } else if (holdsAnotherStamp(relative, listed)) {
        EXPECT_EQ(listed.date, dosStamp(timestamp).first) << "the zones differ by hours only";
    } else {
        // lhasa read the stored stamp as local time, so this is exact.
        EXPECT_EQ(unixTimeOf(listed.date, listed.time), timestamp);
    }
}

void ArchiverCorpus::checkExtraction(const std::string& archive, const ListedMember& listed,
                                     const ExpectedMember& expected) {
    const std::string destination = "C:\\OUT\\" + std::to_string(++m_destinations) + "\\";
    const fs::path destinationHost = m_corpus.machine().host(destination);
    fs::create_directories(destinationHost);
    const CommandResult result =
        runCommand("x -jf0 \"" + archive + "\" \"" + destination + "\"  \"" + listed.name + "\"");
    if (!libraryDecodes(expected.field("compress_method"))) {
        EXPECT_NE(result.status, 0) << "a member that cannot be decoded was extracted";
        EXPECT_TRUE(fs::is_empty(destinationHost));
        m_notes.push_back(archive + " " + listed.name +
                          ": not decoded: " + expected.field("compress_method"));
        return;
    }
    ASSERT_EQ(result.status, 0) << result.report;
    // Absolute paths and ".." lead nowhere: only the last part is written,
    // inside the destination.
    EXPECT_EQ(treeBelow(destinationHost), std::set<std::string>{writtenName(listed.name)});
    if (writtenName(listed.name) != listed.name)
        ++m_foldersLeftOut;
    const auto files = treeBelow(destinationHost);
    const std::string data = readHostFile(destinationHost / *files.begin());
    EXPECT_EQ(data.size(), expected.number("length"));
    EXPECT_EQ(lzhCrc16(data), std::stoul(expected.field("crc"), nullptr, 16));
    ++m_extracted;
}

TEST_P(ArchiverCorpus, MembersMatchTheArchiversRecords) {
    const fs::path archives = corpus / "archives" / GetParam();
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(archives))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), corpus / "archives"));
    std::ranges::sort(files);
    for (const fs::path& relative : files) {
        const fs::path expectedFile = corpus / "expected" / relative.parent_path() /
                                      (relative.filename().string() + "-hdr.txt");
        if (fs::exists(expectedFile))
            checkArchive(relative, expectedFile);
    }
    EXPECT_GT(m_archives, 0) << "no archive of " << GetParam() << " has expected values";
    std::cout << GetParam() << ": " << m_archives << " archives, " << m_members
              << " members matched, " << m_extracted << " extracted with the right CRC, "
              << m_foldersLeftOut << " of them without their folders\n";
    for (const std::string& note : m_notes)
        std::cout << "  " << note << "\n";
}

INSTANTIATE_TEST_SUITE_P(Archivers, ArchiverCorpus, ::testing::ValuesIn(archiverFolders()),
                         [](const auto& info) { return info.param; });

// The damaged and hostile archives: nothing is ever written outside the
// destination folder, and nothing crashes.
class RegressionCorpus : public ::testing::Test {
  protected:
    CommandResult extract(std::string_view archive, std::string_view member) {
        return runCommand("x -jf0 D:\\regression\\" + std::string(archive) + " C:\\OUT\\  \"" +
                          std::string(member) + "\"");
    }
    std::vector<std::string> names(std::string_view archive) {
        std::vector<std::string> result;
        for (const ListedMember& member : listMembers("D:\\regression\\" + std::string(archive)))
            result.push_back(member.name);
        return result;
    }
    std::set<std::string> written() { return treeBelow(m_corpus.machine().host("C:\\OUT")); }

    void SetUp() override { fs::create_directories(m_corpus.machine().host("C:\\OUT")); }

    // Nothing may appear on drive C: but below C:\OUT, nor beside the
    // machine's root, whatever an archive tried.
    void TearDown() override {
        auto entries = treeBelow(m_corpus.machine().root() / "c");
        std::erase_if(entries, [](const std::string& entry) {
            return entry.starts_with("OUT") || entry.starts_with("WINDOWS");
        });
        EXPECT_TRUE(entries.empty()) << *entries.begin();
        EXPECT_EQ(treeBelow(m_corpus.machine().root() / "c" / "WINDOWS"),
                  std::set<std::string>{"SYSTEM"});
        for (const char* escaped : {"evil1.txt", "evil2.txt", "absolute_path.txt", "passwd", "etc"})
            EXPECT_FALSE(fs::exists(m_corpus.machine().root().parent_path() / escaped) &&
                         !m_before.contains(escaped))
                << escaped;
    }

    CorpusMachine m_corpus;
    std::set<std::string> m_before = [] {
        std::set<std::string> present;
        for (const char* name : {"evil1.txt", "evil2.txt", "absolute_path.txt", "passwd", "etc"})
            if (fs::exists(fs::temp_directory_path() / name))
                present.insert(name);
        return present;
    }();
};

TEST_F(RegressionCorpus, EveryArchiveIsHandledWithoutEscaping) {
    for (const auto& entry : fs::directory_iterator(corpus / "archives" / "regression")) {
        const std::string archive = entry.path().filename().string();
        SCOPED_TRACE(archive);
        UnlhaCheckArchive(("D:\\regression\\" + archive).c_str(), 1);
        for (const std::string& name : names(archive))
            extract(archive, name);
        extract(archive, "*.*");
    }
}

TEST_F(RegressionCorpus, AbsoluteAndDotDotPathsLandInTheDestination) {
    const auto absolute = names("abspath.lzh");
    ASSERT_EQ(absolute.size(), 1u);
    EXPECT_EQ(foldedPath(absolute.front()), "/tmp/absolute_path.txt");
    EXPECT_EQ(extract("abspath.lzh", absolute.front()).status, 0);
    EXPECT_EQ(written(), std::set<std::string>{"absolute_path.txt"});

    const auto dotdot = names("dotdot.lzh");
    ASSERT_EQ(dotdot.size(), 2u);
    for (const std::string& name : dotdot) {
        EXPECT_NE(name.find(".."), std::string::npos) << name;
        fs::remove_all(m_corpus.machine().host("C:\\OUT"));
        fs::create_directory(m_corpus.machine().host("C:\\OUT"));
        EXPECT_EQ(extract("dotdot.lzh", name).status, 0) << name;
        EXPECT_EQ(written(), std::set<std::string>{writtenName(name)});
    }
    EXPECT_FALSE(fs::exists(m_corpus.machine().root() / "c" / writtenName(dotdot.front())));
}

TEST_F(RegressionCorpus, TerminalEscapeInNameIsRefused) {
    const auto listed = names("badterm.lzh");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_NE(extract("badterm.lzh", listed.front()).status, 0);
    EXPECT_TRUE(written().empty());
}

TEST_F(RegressionCorpus, TruncatedArchiveIsNotValid) {
    EXPECT_EQ(UnlhaCheckArchive("D:\\regression\\truncated.lzh", 1), 0);
    EXPECT_EQ(UnlhaOpenArchive(0, "D:\\regression\\truncated.lzh", 0x2100), 0u);
    EXPECT_NE(extract("truncated.lzh", "gpl-2").status, 0);
    EXPECT_TRUE(written().empty());
}

TEST_F(RegressionCorpus, ArchiveOfOneFolderHasNoMembers) {
    EXPECT_NE(UnlhaCheckArchive("D:\\regression\\dir.lzh", 1), 0);
    EXPECT_TRUE(names("dir.lzh").empty());
}

TEST_F(RegressionCorpus, SymbolicLinksAreNotMembers) {
    EXPECT_EQ(names("symlink1.lzh"), std::vector<std::string>{"foo.txt"});
    EXPECT_EQ(extract("symlink1.lzh", "foo.txt").status, 0);
    EXPECT_EQ(written(), std::set<std::string>{"foo.txt"});
    EXPECT_FALSE(fs::is_symlink(m_corpus.machine().host("C:\\OUT\\foo.txt")));
}

TEST_F(RegressionCorpus, FileBehindALinkLandsInTheDestination) {
    for (const char* archive : {"symlink2.lzh", "symlink3.lzh"}) {
        SCOPED_TRACE(archive);
        EXPECT_EQ(foldedPath(names(archive).at(0)), "etc/passwd");
        EXPECT_EQ(extract(archive, "etc\\passwd").status, 0);
        EXPECT_EQ(written(), std::set<std::string>{"passwd"});
        fs::remove(m_corpus.machine().host("C:\\OUT\\passwd"));
    }
}

TEST_F(RegressionCorpus, UnixSeparatorsBecomeBackslashes) {
    // Stored in capitals, which lhasa reports in small letters.
    EXPECT_EQ(names("unixsep.lzh"), std::vector<std::string>{"SUBDIR\\SUBDIR2\\HELLO.TXT"});
    EXPECT_EQ(extract("unixsep.lzh", "subdir\\subdir2\\hello.txt").status, 0);
    EXPECT_EQ(written(), std::set<std::string>{"HELLO.TXT"});
}

TEST_F(RegressionCorpus, WildcardsPickSeveralMembers) {
    EXPECT_EQ(names("multiple.lzh").size(), 5u);
    EXPECT_EQ(extract("multiple.lzh", "file2*").status, 0);
    EXPECT_EQ(written(), (std::set<std::string>{"file2-1.txt", "file2-2.txt"}));
}

} // namespace
