// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive.h"

#include "core/archive_library.h"
#include "core/logo.h"
#include "lzh_writer.h"
#include "recording_services.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace kor::core {
namespace {

using testing::LzhMember;
using testing::makeLzhArchive;
using testing::TemporaryMachine;

// The lists of a hosting window, with the columns it was given and the row an
// extraction takes chosen by the test.
class ListHost final : public ArchiveListInMemory {
  public:
    std::uintptr_t windowHandle() const override { return 7; }
    void setReportColumns(std::span<const ReportColumn> shown) override {
        columns.clear();
        for (const ReportColumn& column : shown)
            columns.push_back({std::string(column.header), column.alignment});
    }

    struct Column {
        std::string header;
        ColumnAlignment alignment;
        bool operator==(const Column&) const = default;
    };
    std::vector<Column> columns;
};

std::string picture(std::size_t length, char fill = 'p') {
    std::string bytes(length, fill);
    bytes[0] = 'B';
    bytes[1] = 'M';
    return bytes;
}

TEST(MemberNames, LeadBytesAreThoseOfShiftJis) {
    struct Case {
        unsigned char byte;
        bool lead;
    };
    for (const Case& c : {Case{0x80, false}, Case{0x81, true}, Case{0x9F, true}, Case{0xA0, false},
                          Case{0xA1, false}, Case{0xDF, false}, Case{0xE0, true}, Case{0xFC, true},
                          Case{0xFD, false}, Case{0x5C, false}, Case{'A', false}})
        EXPECT_EQ(isLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
}

TEST(MemberNames, DecodeShiftJis) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    for (const Case& c : {
             Case{"LOGO.BMP", "LOGO.BMP"},
             Case{"\x95\x5C.BMP", "表.BMP"}, // 0x5C trail byte stays in its character
             Case{"SUB\\\x83\x8D\x83\x53.BMP", "SUB\\ロゴ.BMP"},
             Case{"\xB6\xC5", "ｶﾅ"},       // half-width katakana
             Case{"ABC\x81", "ABC"},       // a lead byte at the end is dropped
             Case{"\x81\x20X", "\uFFFDX"}, // no character: never found again
         })
        EXPECT_EQ(decodeMemberName(c.bytes.c_str()), c.text);
}

TEST(ArchiveRows, CellsShowSizesTheJapaneseShortDateAndTheTimeWithoutLeadingZeros) {
    // The host's date order must not leak in: a C locale writes "%x" month first.
    std::setlocale(LC_TIME, "C");
    ArchiveEntry entry;
    entry.name = "A.BMP";
    entry.unpackedSize = 129078;
    entry.packedSize = 4711;
    entry.date = {1997, 3, 4};
    entry.hour = 9;
    entry.minute = 5;
    entry.second = 10;
    EXPECT_EQ(archiveRowCells(entry),
              (std::vector<std::string>{"A.BMP", "129078", "4711", "97/03/04", "9:5:10"}));
    entry.date = {2001, 13, 0};
    EXPECT_EQ(archiveRowCells(entry)[3], "01/13/00") << "an impossible date shows what is stored";
}

class ArchiveListing : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.settingsDirectory = "C:\\WINDOWS";
        prepareSettingsPath(settings);
        std::filesystem::create_directories(machine.host("C:\\ARC"));
        ASSERT_TRUE(platform::Machine::current().setCurrentDirectory("C:\\ARC").ok());
    }

    void writeArchive(const std::string& name, const std::vector<LzhMember>& members) {
        machine.writeFile("C:\\ARC\\" + name, makeLzhArchive(members));
    }

    // Lists `name` the way the programs do, from the current directory.
    ListingResult list(ListHost& host, const std::string& name) {
        state.currentArchiveName = name;
        return listArchive(host, state);
    }

    TemporaryMachine machine;
    Settings settings;
    ArchiveState state;
};

TEST_F(ArchiveListing, ListsEveryMemberInStoredOrderUnderFiveColumns) {
    writeArchive(
        "LOGOS.LZH",
        {{"Z.BMP", picture(129078), testing::dosDate(1997, 3, 4), testing::dosTime(9, 5, 10)},
         {"\x83\x8D\x83\x53 1.BMP", picture(128118)},
         {"SUB\\A.BMP", "small", testing::dosDate(2001, 13, 0), testing::dosTime(0, 0, 0)}});
    ListHost host;
    EXPECT_EQ(list(host, "LOGOS.LZH"), ListingResult::Listed);
    EXPECT_EQ(host.columns.size(), 5u);
    EXPECT_EQ(host.names, (std::vector<std::string>{"Z.BMP", "ロゴ 1.BMP", "SUB\\A.BMP"}));
    ASSERT_EQ(host.rows.size(), 3u);
    EXPECT_EQ(host.rows[0],
              (std::vector<std::string>{"Z.BMP", "129078", "129078", "97/03/04", "9:5:10"}));
    EXPECT_EQ(host.rows[1][0], "ロゴ 1.BMP");
    EXPECT_EQ(host.rows[1][1], "128118");
    EXPECT_EQ(host.rows[2][0], "SUB\\A.BMP") << "a member with an impossible date is still listed";
}

// "*" and "?" are wildcards only in a search: a member named with them is
// listed with its own sizes, never those of another member its name matches.
TEST_F(ArchiveListing, WildcardNamesShowTheirOwnMembers) {
    writeArchive("WILD.LZH", {{"A1.BMP", std::string(10, 'a')},
                              {"A*.BMP", std::string(20, 'b')},
                              {"?.BMP", std::string(30, 'c')},
                              {"X.BMP", std::string(40, 'd')},
                              {"\x81\x20X", std::string(50, 'e')},
                              {"a1.bmp", std::string(60, 'f')}});
    ListHost host;
    list(host, "WILD.LZH");
    EXPECT_EQ(host.names.size(), 6u);
    std::vector<std::pair<std::string, std::string>> sizes;
    for (const auto& row : host.rows)
        sizes.emplace_back(row[0], row[1]);
    EXPECT_EQ(sizes, (std::vector<std::pair<std::string, std::string>>{{"A1.BMP", "10"},
                                                                       {"A*.BMP", "20"},
                                                                       {"?.BMP", "30"},
                                                                       {"X.BMP", "40"},
                                                                       {"a1.bmp", "60"}}))
        << "a name without a CP932 form gets no row";
}

TEST_F(ArchiveListing, ManyWildcardNamesAreListed) {
    std::vector<LzhMember> members;
    for (int i = 0; i < 20000; ++i)
        members.push_back({"*" + std::to_string(i) + "?.BMP", std::to_string(i)});
    writeArchive("MANY.LZH", members);
    ListHost host;
    list(host, "MANY.LZH");
    ASSERT_EQ(host.rows.size(), 20000u);
    EXPECT_EQ(host.rows[12345][0], "*12345?.BMP");
    EXPECT_EQ(host.rows[12345][1], "5");
}

TEST_F(ArchiveListing, AnEmptyArchiveShowsOnlyTheHeaders) {
    writeArchive("EMPTY.LZH", {});
    ListHost host;
    host.rows = {{"left over"}};
    EXPECT_TRUE(fillArchiveList(host, "EMPTY.LZH"));
    EXPECT_EQ(host.columns.size(), 5u);
    EXPECT_TRUE(host.rows.empty());
}

TEST_F(ArchiveListing, AMissingArchiveEmptiesTheListsAndFails) {
    ListHost host;
    host.names = {"old"};
    host.rows = {{"old"}};
    EXPECT_FALSE(fillArchiveList(host, "GONE.LZH"));
    EXPECT_TRUE(host.names.empty());
    EXPECT_TRUE(host.rows.empty());
}

TEST_F(ArchiveListing, AFailedListingSaysWhyAndForgetsTheArchive) {
    machine.writeFile("C:\\ARC\\FAKE.LZH", "this is plain text, not an archive");
    writeArchive("ONE.LZH", {{"A.BMP", "a"}});
    struct Case {
        std::string archive;
        bool libraryPresent;
        ListingResult result;
        std::string textPart;
    };
    for (const Case& c :
         {Case{"FAKE.LZH", true, ListingResult::NotAnArchive, "正しいLHarcﾌｧｲﾙではありません"},
          Case{"ONE.LZH", false, ListingResult::LibraryMissing, "libunlha32.so"}}) {
        if (!c.libraryPresent)
            ArchiveLibrary::instance().setLocation(machine.root() / "no-such-library.so");
        ListHost host;
        EXPECT_EQ(list(host, c.archive), c.result) << c.archive;
        EXPECT_EQ(state.currentArchiveName, "") << c.archive;
        EXPECT_NE(listingFailureMessage(c.result).find(c.textPart), std::string::npos);
        ArchiveLibrary::instance().setLocation(std::nullopt);
    }
}

class MemberExtraction : public ArchiveListing {
  protected:
    // Lists an archive of the given members and selects row `selected`.
    ListHost listed(const std::vector<LzhMember>& members, std::size_t selected = 0) {
        writeArchive("PICS.LZH", members);
        ListHost host;
        list(host, "PICS.LZH");
        host.selected = selected;
        return host;
    }
};

// The files under the Windows directory, other than the logos and KOR.INI.
std::vector<std::filesystem::path> filesUnder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files.push_back(std::filesystem::relative(entry.path(), folder));
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(MemberExtraction, TheDrawnMemberAloneLandsInAFolderOfItsOwn) {
    const auto before = filesUnder(machine.root());
    ListHost host = listed({{"A.BMP", "x"}, {"B.BMP", picture(129078, 'b')}}, 1);
    const auto withArchive = filesUnder(machine.root());
    {
        auto extracted = extractSelectedMember(host, state, settings);
        ASSERT_TRUE(extracted.ok()) << extracted.error().text();
        EXPECT_EQ(machine.readFile(extracted.value().path()), picture(129078, 'b'));
        EXPECT_TRUE(extracted.value().path().starts_with("C:\\WINDOWS\\~KOR"))
            << extracted.value().path();
        EXPECT_EQ(filesUnder(machine.root()).size(), withArchive.size() + 2);
    }
    EXPECT_EQ(filesUnder(machine.root()), withArchive) << "the folder goes with the copy";
    EXPECT_GT(withArchive.size(), before.size());
}

TEST_F(MemberExtraction, TheLengthRuleDecidesBeforeAnythingIsExtracted) {
    struct Case {
        std::string pc98Check;
        std::string sizecheck;
        std::string listedSize;
        bool extracted;
    };
    for (const Case& c : {Case{"", "", "129078", true}, Case{"", "", "128118", false},
                          Case{"on", "", "128118", true}, Case{"on", "", "129078", false},
                          Case{"", "on", "12", true}, Case{"on", "on", "0", true},
                          Case{"", "on", "16777216", true}, Case{"", "on", "16777217", false},
                          Case{"", "on", "-1", false}, Case{"", "on", "x", false}}) {
        settings.pc98Check = c.pc98Check;
        settings.sizecheck = c.sizecheck;
        ListHost host = listed({{"M.BMP", picture(12)}});
        host.rows[0][1] = c.listedSize;
        const auto extracted = extractSelectedMember(host, state, settings);
        if (c.extracted) {
            // The library finds the listed size wrong, but only after the rule.
            EXPECT_NE(extracted.ok() ? 0 : extracted.error().code(), EFBIG) << c.listedSize;
        } else {
            ASSERT_FALSE(extracted.ok()) << c.listedSize;
            EXPECT_EQ(extracted.error().code(), EFBIG) << c.listedSize;
        }
    }
}

// Names that a command line could take for more than one member, a switch or
// a pattern: each names exactly the member drawn, and one of a pair that
// differs only in case is never the other.
TEST_F(MemberExtraction, EveryNameNamesOnlyItsOwnMember) {
    settings.sizecheck = "on";
    const std::vector<std::string> names = {
        "A.BMP",        "a.bmp",      "*",           "?.BMP",      "-jf0",
        "@RESP.TXT",    "x\ty.bmp",   "Q\"\" *.BMP", "\" \"*\"",   "DIR\t*\\T.BMP",
        "D\" *\\Q.BMP", "-X\\-Y.BMP", "\\LEAD.BMP",  "..\\UP.BMP", "C:\\X\\C.BMP",
        "SP ACE.BMP",   "DUP.BMP",    "DUP.BMP"};
    std::vector<LzhMember> members;
    for (std::size_t i = 0; i < names.size(); ++i)
        members.push_back({names[i], picture(64, static_cast<char>('a' + i))});
    ListHost host = listed(members);
    ASSERT_EQ(host.rows.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        host.selected = i;
        const auto extracted = extractSelectedMember(host, state, settings);
        const std::string written = extractedCopyName(host.rows[i][0]);
        const bool writable = written.find_first_of("*?\"\t") == std::string::npos;
        ASSERT_EQ(extracted.ok(), writable) << names[i];
        if (!writable)
            continue;
        // Of two members of one name and one length, the first is taken.
        const std::size_t expected = names[i] == "DUP.BMP" ? names.size() - 2 : i;
        const std::string folder =
            extracted.value().path().substr(0, extracted.value().path().size() - written.size());
        EXPECT_EQ(filesUnder(machine.host(folder)).size(), 1u) << names[i];
        EXPECT_EQ(machine.readFile(extracted.value().path()),
                  picture(64, static_cast<char>('a' + expected)))
            << names[i];
    }
}

// Of two members of one name, the one drawn is extracted: the other, however
// large, never slips past the length rule in its place.
TEST_F(MemberExtraction, AMemberOfTheSameNameNeverStandsInForTheDrawnOne) {
    ListHost host = listed({{"A.BMP", picture(300000, 'x')}, {"A.BMP", picture(129078, 'a')}}, 1);
    const auto extracted = extractSelectedMember(host, state, settings);
    ASSERT_TRUE(extracted.ok()) << extracted.error().text();
    EXPECT_TRUE(machine.readFile(extracted.value().path()) == picture(129078, 'a'));
    host.selected = 0;
    EXPECT_EQ(extractSelectedMember(host, state, settings).error().code(), EFBIG);
}

TEST_F(MemberExtraction, FilesOfTheMembersNameNeitherBlockNorSuffer) {
    machine.writeFile("C:\\WINDOWS\\B.BMP", "mine");
    machine.writeFile("C:\\WINDOWS\\LOGOW.SYS", "the logo");
    ListHost host = listed({{"B.BMP", picture(129078)}, {"LOGOW.SYS", picture(129078, 'w')}});
    for (std::size_t row : {0u, 1u}) {
        host.selected = row;
        const auto extracted = extractSelectedMember(host, state, settings);
        ASSERT_TRUE(extracted.ok()) << extracted.error().text();
        EXPECT_EQ(machine.readFile(extracted.value().path()),
                  host.rows[row][0] == "B.BMP" ? picture(129078) : picture(129078, 'w'));
    }
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\B.BMP"), "mine");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\LOGOW.SYS"), "the logo");
}

// Commands of 256 characters go to the library directly, longer ones through
// a response file in the temporary directory (a Windows path or a host path),
// which is deleted afterwards.
TEST_F(MemberExtraction, LongCommandsGoThroughAResponseFile) {
    settings.sizecheck = "on";
    const std::filesystem::path hostTemporary = machine.root() / "host-tmp";
    std::filesystem::create_directory(hostTemporary);
    for (const std::string& temporary :
         std::vector<std::string>{"", "C:\\", hostTemporary.string()}) {
        for (std::size_t nameLength : {100u, 210u}) {
            const std::string member(nameLength, 'N');
            ListHost host = listed({{member + ".BMP", "data", {}, {}, 2}});
            ASSERT_EQ(host.rows.size(), 1u);
            ::setenv("TMP", temporary.c_str(), 1);
            const auto extracted = extractSelectedMember(host, state, settings);
            ASSERT_TRUE(extracted.ok()) << temporary << ": " << extracted.error().text();
            EXPECT_EQ(machine.readFile(extracted.value().path()), "data");
            for (const auto& folder : {machine.root() / "c", hostTemporary})
                for (const auto& entry : std::filesystem::directory_iterator(folder))
                    EXPECT_FALSE(entry.is_regular_file() &&
                                 entry.path().filename().string().starts_with("~KOR"))
                        << entry.path();

            // A temporary directory that cannot take the response file fails
            // only the long command, and says so.
            ::setenv("TMP", "C:\\NO\\SUCH\\FOLDER", 1);
            const auto failed = extractSelectedMember(host, state, settings);
            EXPECT_EQ(failed.ok(), nameLength == 100u) << nameLength;
        }
    }
    ::unsetenv("TMP");
}

TEST(TemporaryDirectory, FallsBackFromTmpToTempToTheSystemDrive) {
    TemporaryMachine machine;
    ::unsetenv("TMP");
    ::unsetenv("TEMP");
    EXPECT_EQ(getSystemDriveRoot(), "C:\\");
    EXPECT_EQ(getTempDirectory(), "C:\\");
    ::setenv("TEMP", "C:\\TEMP", 1);
    EXPECT_EQ(getTempDirectory(), "C:\\TEMP\\");
    ::setenv("TMP", "C:\\WINDOWS\\TEMP\\", 1);
    EXPECT_EQ(getTempDirectory(), "C:\\WINDOWS\\TEMP\\");
    ::unsetenv("TMP");
    ::unsetenv("TEMP");
}

TEST(TemporaryDirectory, AddBackslashAddsOnlyOne) {
    std::string text = "C:\\TEMP";
    EXPECT_EQ(addBackslash(text), "C:\\TEMP\\");
    EXPECT_EQ(addBackslash(text), "C:\\TEMP\\");
    std::string empty;
    EXPECT_EQ(addBackslash(empty), "\\");
}

} // namespace
} // namespace kor::core
