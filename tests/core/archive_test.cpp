// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive.h"

#include "core/archive_library.h"
#include "core/logo.h"
#include "lzh_writer.h"
#include "recording_services.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace kor::core {
namespace {

using testing::LzhMember;
using testing::makeLzhArchive;
using testing::TemporaryMachine;

ArchiveEntry named(std::string name) {
    ArchiveEntry entry;
    entry.name = std::move(name);
    return entry;
}

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

// The listing keeps its entries compactly; every field comes back as added,
// as far as a member record can hold it.
TEST(ArchiveListing, KeepsEveryFieldAsARecordHoldsIt) {
    struct Case {
        ArchiveEntry entry;
        ArchiveEntry kept;
    };
    const ArchiveEntry full{"SUB\\ロゴ.BMP", 4294967295u, 4711, {2107, 12, 31}, 23, 59, 58,
                            "-lh5-"};
    ArchiveEntry oddSecond = full;
    oddSecond.second = 59;
    ArchiveEntry noMethod = full;
    noMethod.method.clear();
    const Case cases[] = {{full, full},
                          {ArchiveEntry{}, ArchiveEntry{}},
                          {oddSecond, full}, // a record counts seconds in twos
                          {noMethod, noMethod},
                          {{"", 1, 2, {2001, 13, 0}, 31, 63, 62, "-lzs-"},
                           {"", 1, 2, {2001, 13, 0}, 31, 63, 62, "-lzs-"}}};
    ArchiveListing listing;
    for (const Case& c : cases)
        ASSERT_TRUE(listing.add(c.entry));
    ASSERT_EQ(listing.size(), std::size(cases));
    for (std::size_t i = 0; i < listing.size(); ++i) {
        EXPECT_EQ(listing[i], cases[i].kept) << i;
        EXPECT_EQ(listing.name(i), cases[i].kept.name) << i;
        EXPECT_EQ(listing.unpackedSize(i), cases[i].kept.unpackedSize) << i;
    }
    // Methods are told apart up to 255 of them; a further one lists as none.
    for (int i = 0; i < 300; ++i)
        listing.add({"M", 0, 0, {}, 0, 0, 0, "-x" + std::to_string(i) + "-"});
    EXPECT_EQ(listing[listing.size() - 300 + 252].method, "-x252-");
    EXPECT_EQ(listing[listing.size() - 300 + 253].method, "");
    listing.clear();
    EXPECT_TRUE(listing.empty());
}

class ListingArchives : public ::testing::Test {
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
    ListingResult list(ArchiveListing& listing, const std::string& name) {
        state.currentArchiveName = name;
        return listArchive(state, listing);
    }

    TemporaryMachine machine;
    Settings settings;
    ArchiveState state;
};

TEST_F(ListingArchives, ListsEveryMemberInStoredOrderUnderFiveColumns) {
    writeArchive(
        "LOGOS.LZH",
        {{"Z.BMP", picture(129078), testing::dosDate(1997, 3, 4), testing::dosTime(9, 5, 10)},
         {"\x83\x8D\x83\x53 1.BMP", picture(128118)},
         {"SUB\\A.BMP", "small", testing::dosDate(2001, 13, 0), testing::dosTime(0, 0, 0)}});
    ArchiveListing listing;
    EXPECT_EQ(list(listing, "LOGOS.LZH"), ListingResult::Listed);
    ASSERT_EQ(listing.size(), 3u);
    EXPECT_EQ(listing[0], (ArchiveEntry{"Z.BMP", 129078, 129078, {1997, 3, 4}, 9, 5, 10, "-lh0-"}));
    EXPECT_EQ(listing.name(1), "ロゴ 1.BMP");
    EXPECT_EQ(listing.unpackedSize(1), 128118u);
    EXPECT_EQ(listing[2].name, "SUB\\A.BMP") << "a member with an impossible date is still listed";
    EXPECT_EQ(listing[2].date, (ArchiveEntry::CalendarDate{2001, 13, 0}));
    EXPECT_EQ(listing.unlistedCount(), 0u);
}

// "*" and "?" are wildcards only in a search: a member named with them is
// listed with its own sizes, never those of another member its name matches.
TEST_F(ListingArchives, WildcardNamesShowTheirOwnMembers) {
    writeArchive("WILD.LZH", {{"A1.BMP", std::string(10, 'a')},
                              {"A*.BMP", std::string(20, 'b')},
                              {"?.BMP", std::string(30, 'c')},
                              {"X.BMP", std::string(40, 'd')},
                              {"\x81\x20X", std::string(50, 'e')},
                              {"a1.bmp", std::string(60, 'f')}});
    ArchiveListing listing;
    list(listing, "WILD.LZH");
    EXPECT_EQ(listing.size() + listing.unlistedCount(), 6u);
    std::vector<std::pair<std::string, std::uint32_t>> sizes;
    for (std::size_t i = 0; i < listing.size(); ++i)
        sizes.emplace_back(listing.name(i), listing.unpackedSize(i));
    EXPECT_EQ(sizes,
              (std::vector<std::pair<std::string, std::uint32_t>>{
                  {"A1.BMP", 10}, {"A*.BMP", 20}, {"?.BMP", 30}, {"X.BMP", 40}, {"a1.bmp", 60}}))
        << "a name without a CP932 form gets no entry";
}

TEST_F(ListingArchives, ManyWildcardNamesAreListed) {
    std::vector<LzhMember> members;
    for (int i = 0; i < 20000; ++i)
        members.push_back({"*" + std::to_string(i) + "?.BMP", std::to_string(i)});
    writeArchive("MANY.LZH", members);
    ArchiveListing listing;
    list(listing, "MANY.LZH");
    ASSERT_EQ(listing.size(), 20000u);
    EXPECT_EQ(listing.name(12345), "*12345?.BMP");
    EXPECT_EQ(listing.unpackedSize(12345), 5u);
}

TEST_F(ListingArchives, AnEmptyArchiveListsNothing) {
    writeArchive("EMPTY.LZH", {});
    ArchiveListing listing;
    listing.add(named("left over"));
    EXPECT_TRUE(fillArchiveList(listing, "EMPTY.LZH"));
    EXPECT_TRUE(listing.empty());
}

TEST_F(ListingArchives, AMissingArchiveEmptiesTheListingAndFails) {
    ArchiveListing listing;
    listing.add(named("old"));
    listing.addUnlisted();
    EXPECT_FALSE(fillArchiveList(listing, "GONE.LZH"));
    EXPECT_TRUE(listing.empty());
    EXPECT_EQ(listing.unlistedCount(), 0u);
}

TEST_F(ListingArchives, AFailedListingSaysWhyAndForgetsTheArchive) {
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
        ArchiveListing listing;
        EXPECT_EQ(list(listing, c.archive), c.result) << c.archive;
        EXPECT_EQ(state.currentArchiveName, "") << c.archive;
        EXPECT_NE(listingFailureMessage(c.result).find(c.textPart), std::string::npos);
        ArchiveLibrary::instance().setLocation(std::nullopt);
    }
}

class MemberExtraction : public ListingArchives {
  protected:
    // Lists an archive of the given members.
    ArchiveListing listed(const std::vector<LzhMember>& members) {
        writeArchive("PICS.LZH", members);
        ArchiveListing listing;
        list(listing, "PICS.LZH");
        return listing;
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
    const ArchiveListing listing = listed({{"A.BMP", "x"}, {"B.BMP", picture(129078, 'b')}});
    const auto withArchive = filesUnder(machine.root());
    {
        auto extracted = extractMember(listing[1], state, settings);
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
        std::uint32_t listedSize;
        bool extracted;
    };
    // UINT32_MAX is listed as -1.
    for (const Case& c :
         {Case{"", "", 129078, true}, Case{"", "", 128118, false}, Case{"on", "", 128118, true},
          Case{"on", "", 129078, false}, Case{"", "on", 12, true}, Case{"on", "on", 0, true},
          Case{"", "on", 16777216, true}, Case{"", "on", 16777217, false},
          Case{"", "on", UINT32_MAX, false}}) {
        settings.pc98Check = c.pc98Check;
        settings.sizecheck = c.sizecheck;
        ArchiveEntry entry = listed({{"M.BMP", picture(12)}})[0];
        entry.unpackedSize = c.listedSize;
        const auto extracted = extractMember(entry, state, settings);
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
    const ArchiveListing listing = listed(members);
    ASSERT_EQ(listing.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto extracted = extractMember(listing[i], state, settings);
        const std::string written = extractedCopyName(listing.name(i));
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
    const ArchiveListing listing =
        listed({{"A.BMP", picture(300000, 'x')}, {"A.BMP", picture(129078, 'a')}});
    const auto extracted = extractMember(listing[1], state, settings);
    ASSERT_TRUE(extracted.ok()) << extracted.error().text();
    EXPECT_TRUE(machine.readFile(extracted.value().path()) == picture(129078, 'a'));
    EXPECT_EQ(extractMember(listing[0], state, settings).error().code(), EFBIG);
}

TEST_F(MemberExtraction, FilesOfTheMembersNameNeitherBlockNorSuffer) {
    machine.writeFile("C:\\WINDOWS\\B.BMP", "mine");
    machine.writeFile("C:\\WINDOWS\\LOGOW.SYS", "the logo");
    const ArchiveListing listing =
        listed({{"B.BMP", picture(129078)}, {"LOGOW.SYS", picture(129078, 'w')}});
    for (std::size_t row : {0u, 1u}) {
        const auto extracted = extractMember(listing[row], state, settings);
        ASSERT_TRUE(extracted.ok()) << extracted.error().text();
        EXPECT_EQ(machine.readFile(extracted.value().path()),
                  listing.name(row) == "B.BMP" ? picture(129078) : picture(129078, 'w'));
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
            const ArchiveListing listing = listed({{member + ".BMP", "data", {}, {}, 2}});
            ASSERT_EQ(listing.size(), 1u);
            ::setenv("TMP", temporary.c_str(), 1);
            const auto extracted = extractMember(listing[0], state, settings);
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
            const auto failed = extractMember(listing[0], state, settings);
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
