// SPDX-License-Identifier: GPL-3.0-or-later
// Checking and listing archives built by the test writer.

#include "library_calls.h"
#include "lzh_writer.h"
#include "temporary_machine.h"

#include "platform/machine.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kor::testing;

namespace {

constexpr const char* archivePath = "C:\\ARC\\TEST.LZH";

class ArchiveListing : public ::testing::Test {
  protected:
    void writeArchive(const std::vector<LzhMember>& members) {
        m_machine.writeFile(archivePath, makeLzhArchive(members));
    }
    std::vector<std::string> listedNames(std::string_view pattern = "*.*") {
        std::vector<std::string> names;
        for (const ListedMember& member : listMembers(archivePath, pattern))
            names.push_back(member.name);
        return names;
    }

    TemporaryMachine m_machine;
};

TEST_F(ArchiveListing, RecordHoldsTheMembersHeaderFields) {
    const std::string data = "a picture that is not really one";
    writeArchive({{.storedName = "LOGO.BMP",
                   .data = data,
                   .dosDate = dosDate(1999, 12, 31),
                   .dosTime = dosTime(9, 5, 10)}});

    ASSERT_NE(UnlhaCheckArchive(archivePath, 1), 0);
    const auto members = listMembers(archivePath);
    ASSERT_EQ(members.size(), 1u);
    const ListedMember& member = members.front();
    EXPECT_EQ(member.originalSize, data.size());
    EXPECT_EQ(member.compressedSize, data.size());
    EXPECT_EQ(member.crc, lzhCrc16(data));
    EXPECT_EQ(member.headerLevel, 0);
    EXPECT_EQ(member.ratio, 1000);
    EXPECT_EQ(member.date, dosDate(1999, 12, 31));
    EXPECT_EQ(member.time, dosTime(9, 5, 10));
    EXPECT_EQ(member.name, "LOGO.BMP");
    EXPECT_EQ(member.method, "-lh0-");
}

TEST_F(ArchiveListing, MembersComeInArchiveOrder) {
    writeArchive({{.storedName = "B.BMP", .data = "b"},
                  {.storedName = "A.BMP", .data = "a"},
                  {.storedName = "C.BMP", .data = "c"}});
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"B.BMP", "A.BMP", "C.BMP"}));
}

TEST_F(ArchiveListing, NameStoredInCapitalsComesBackInCapitals) {
    writeArchive(
        {{.storedName = "README.TXT", .data = "x"}, {.storedName = "Mixed Case.Bmp", .data = "y"}});
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"README.TXT", "Mixed Case.Bmp"}));
}

TEST_F(ArchiveListing, TrailByteThatLooksLikeBackslashIsKept) {
    // "表.BMP": 0x95 0x5C is one character, not a folder "\x95" and ".BMP".
    const std::string name = "\x95\x5C.BMP";
    writeArchive({{.storedName = name, .data = "x"}});
    EXPECT_EQ(listedNames(), std::vector<std::string>{name});
}

TEST_F(ArchiveListing, LevelTwoNameJoinsFoldersWithBackslash) {
    // Folder "表" and file "ソ 1.BMP" (0x83 0x5C), the long name of a level 2 header.
    const std::string name = "SUB\\\x95\x5C\\\x83\x5C 1 with a long name beyond eight.BMP";
    writeArchive({{.storedName = name,
                   .data = "x",
                   .dosDate = dosDate(2004, 7, 15),
                   .dosTime = dosTime(18, 30, 42),
                   .headerLevel = 2}});
    const auto members = listMembers(archivePath);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members.front().name, name);
    EXPECT_EQ(members.front().headerLevel, 2);
    EXPECT_EQ(members.front().date, dosDate(2004, 7, 15));
    EXPECT_EQ(members.front().time, dosTime(18, 30, 42));
}

TEST_F(ArchiveListing, MemberWhoseNameTheRecordCannotHoldIsLeftOut) {
    writeArchive({{.storedName = std::string(512, 'A'), .data = "fits", .headerLevel = 2},
                  {.storedName = std::string(513, 'B'), .data = "too long", .headerLevel = 2}});
    EXPECT_NE(UnlhaCheckArchive(archivePath, 1), 0);
    EXPECT_EQ(listedNames(), std::vector<std::string>{std::string(512, 'A')});
}

TEST_F(ArchiveListing, EmptyArchiveIsValidWithoutMembers) {
    writeArchive({});
    EXPECT_NE(UnlhaCheckArchive(archivePath, 1), 0);
    const HARC archive = UnlhaOpenArchive(0, archivePath, 0x2100);
    ASSERT_NE(archive, 0u);
    INDIVIDUALINFO info{};
    EXPECT_NE(UnlhaFindFirst(archive, "*.*", &info), 0);
    UnlhaCloseArchive(archive);
}

TEST_F(ArchiveListing, FileThatIsNotAnArchiveIsRefused) {
    m_machine.writeFile(archivePath, "BM this is a bitmap, not an archive");
    EXPECT_EQ(UnlhaCheckArchive(archivePath, 1), 0);
    EXPECT_EQ(UnlhaOpenArchive(0, archivePath, 0x2100), 0u);
    m_machine.writeFile(archivePath, "");
    EXPECT_EQ(UnlhaCheckArchive(archivePath, 1), 0);
}

TEST_F(ArchiveListing, MissingArchiveIsRefused) {
    EXPECT_EQ(UnlhaCheckArchive("C:\\ARC\\NONE.LZH", 1), 0);
    EXPECT_EQ(UnlhaOpenArchive(0, "C:\\ARC\\NONE.LZH", 0x2100), 0u);
    EXPECT_EQ(UnlhaCheckArchive("Q:\\NOT\\MAPPED.LZH", 1), 0);
}

TEST_F(ArchiveListing, DamagedArchiveIsRefused) {
    const std::string whole =
        makeLzhArchive({{.storedName = "A.BMP", .data = std::string(100, 'a')},
                        {.storedName = "B.BMP", .data = "b"}});
    // Cut inside the second member's header.
    m_machine.writeFile(archivePath, whole.substr(0, whole.size() - 10));
    EXPECT_EQ(UnlhaCheckArchive(archivePath, 1), 0);
    // Cut inside the last member's data.
    m_machine.writeFile(archivePath, whole.substr(0, whole.size() - 2));
    EXPECT_EQ(UnlhaCheckArchive(archivePath, 1), 0);
    // Something that is not a header where the ending zero byte belongs.
    m_machine.writeFile(archivePath, whole.substr(0, whole.size() - 1) + "garbage");
    EXPECT_EQ(UnlhaCheckArchive(archivePath, 1), 0);
    EXPECT_EQ(UnlhaOpenArchive(0, archivePath, 0x2100), 0u);
}

TEST_F(ArchiveListing, ExactNameIsFoundWithoutRegardToCase) {
    writeArchive({{.storedName = "SUB\\LOGO.BMP", .data = "one"},
                  {.storedName = "LOGO.BMP", .data = "two"},
                  {.storedName = "OTHER.BMP", .data = "three"}});
    const HARC archive = UnlhaOpenArchive(0, archivePath, 0x2100);
    ASSERT_NE(archive, 0u);
    INDIVIDUALINFO info{};
    ASSERT_EQ(UnlhaFindFirst(archive, "logo.bmp", &info), 0);
    EXPECT_STREQ(info.szFileName, "LOGO.BMP");
    EXPECT_EQ(listedMember(info).originalSize, 3u);
    EXPECT_NE(UnlhaFindNext(archive, &info), 0);
    ASSERT_EQ(UnlhaFindFirst(archive, "sub/Logo.bmp", &info), 0);
    EXPECT_STREQ(info.szFileName, "SUB\\LOGO.BMP");
    EXPECT_NE(UnlhaFindFirst(archive, "NONE.BMP", &info), 0);
    UnlhaCloseArchive(archive);
}

TEST_F(ArchiveListing, CaseFoldingLeavesTrailBytesAlone) {
    // 0x83 0x61 and 0x83 0x41 are two different characters ("ヂ" and "ア"),
    // although their trail bytes are "a" and "A".
    writeArchive({{.storedName = "\x83\x61.BMP", .data = "x"}});
    EXPECT_EQ(listedNames("\x83\x61.bmp").size(), 1u);
    EXPECT_TRUE(listedNames("\x83\x41.BMP").empty());
}

TEST_F(ArchiveListing, WildcardsMatchMemberNames) {
    writeArchive({{.storedName = "A.BMP", .data = "1"},
                  {.storedName = "B.TXT", .data = "2"},
                  {.storedName = "LONG.BMP", .data = "3"},
                  {.storedName = "NODOT", .data = "4"}});
    EXPECT_EQ(listedNames("*.bmp"), (std::vector<std::string>{"A.BMP", "LONG.BMP"}));
    EXPECT_EQ(listedNames("?.*"), (std::vector<std::string>{"A.BMP", "B.TXT"}));
    EXPECT_EQ(listedNames("*").size(), 4u);
    EXPECT_EQ(listedNames("*.*").size(), 4u);
}

TEST_F(ArchiveListing, UnknownHandleFindsNothing) {
    writeArchive({{.storedName = "A.BMP", .data = "1"}});
    INDIVIDUALINFO info{};
    EXPECT_NE(UnlhaFindFirst(0, "*.*", &info), 0);
    EXPECT_NE(UnlhaFindFirst(987654321, "*.*", &info), 0);
    EXPECT_NE(UnlhaFindNext(987654321, &info), 0);

    const HARC archive = UnlhaOpenArchive(0, archivePath, 0x2100);
    ASSERT_NE(archive, 0u);
    EXPECT_NE(UnlhaFindNext(archive, &info), 0) << "FindNext before FindFirst";
    EXPECT_EQ(UnlhaCloseArchive(archive), 0);
    EXPECT_NE(UnlhaCloseArchive(archive), 0);
    EXPECT_NE(UnlhaFindFirst(archive, "*.*", &info), 0);
}

TEST_F(ArchiveListing, RelativePathResolvesAgainstTheCurrentDirectory) {
    writeArchive({{.storedName = "A.BMP", .data = "1"}});
    ASSERT_TRUE(kor::platform::Machine::current().setCurrentDirectory("C:\\ARC"));
    EXPECT_NE(UnlhaCheckArchive("test.lzh", 1), 0);
    EXPECT_EQ(listMembers("test.lzh").size(), 1u);
}

TEST_F(ArchiveListing, ChangedArchiveIsReadAgain) {
    writeArchive({{.storedName = "OLD.BMP", .data = "1"}});
    EXPECT_EQ(listedNames(), std::vector<std::string>{"OLD.BMP"});
    writeArchive({{.storedName = "NEW.BMP", .data = "1"}});
    EXPECT_EQ(listedNames(), std::vector<std::string>{"NEW.BMP"});
}

TEST_F(ArchiveListing, OpenHandlesStayValidWhileOthersComeAndGo) {
    writeArchive({{.storedName = "A.BMP", .data = "1"}, {.storedName = "B.BMP", .data = "2"}});
    const HARC first = UnlhaOpenArchive(0, archivePath, 0x2100);
    INDIVIDUALINFO info{};
    ASSERT_EQ(UnlhaFindFirst(first, "*.*", &info), 0);
    const HARC second = UnlhaOpenArchive(0, archivePath, 0x2100);
    EXPECT_NE(first, second);
    ASSERT_EQ(UnlhaFindFirst(second, "B.BMP", &info), 0);
    UnlhaCloseArchive(second);
    ASSERT_EQ(UnlhaFindNext(first, &info), 0);
    EXPECT_STREQ(info.szFileName, "B.BMP");
    UnlhaCloseArchive(first);
}

// The programs list an archive by opening it once for the names and then once
// per member; with ten thousand members that must stay quick.
TEST_F(ArchiveListing, TenThousandMembersListOpeningTheArchivePerMember) {
    std::vector<LzhMember> members;
    for (int index = 0; index < 10000; ++index)
        members.push_back(
            {.storedName = "M" + std::to_string(index) + ".BMP", .data = std::to_string(index)});
    writeArchive(members);

    const auto names = listMembers(archivePath);
    ASSERT_EQ(names.size(), members.size());
    for (std::size_t index = 0; index < names.size(); ++index) {
        const HARC archive = UnlhaOpenArchive(0, archivePath, 0x2100);
        ASSERT_NE(archive, 0u);
        INDIVIDUALINFO info{};
        ASSERT_EQ(UnlhaFindFirst(archive, names[index].name.c_str(), &info), 0);
        ASSERT_EQ(listedMember(info).originalSize, members[index].data.size());
        UnlhaCloseArchive(archive);
    }
}

// The directory keeps names end to end in blocks of its own: names that fill
// several blocks, in any case, must each still find their own member.
TEST_F(ArchiveListing, LongNamesAcrossManyBlocksFindTheirOwnMembers) {
    std::vector<LzhMember> members;
    for (int index = 0; index < 400; ++index)
        members.push_back({.storedName = std::string(500, 'A') + std::to_string(index),
                           .data = std::string(static_cast<std::size_t>(index), 'x'),
                           .headerLevel = 2});
    members.push_back({.storedName = "a.bmp", .data = "lower"});
    members.push_back({.storedName = "A.BMP", .data = "upper!"});
    writeArchive(members);

    const HARC archive = UnlhaOpenArchive(0, archivePath, 0x2100);
    ASSERT_NE(archive, 0u);
    INDIVIDUALINFO info{};
    for (const int index : {0, 127, 128, 255, 399}) {
        const std::string name = std::string(500, 'a') + std::to_string(index);
        ASSERT_EQ(UnlhaFindFirst(archive, name.c_str(), &info), 0) << index;
        EXPECT_EQ(listedMember(info).originalSize, static_cast<std::uint32_t>(index));
        EXPECT_EQ(listedMember(info).name, std::string(500, 'A') + std::to_string(index));
        EXPECT_NE(UnlhaFindNext(archive, &info), 0);
    }
    std::vector<std::uint32_t> sizes;
    for (int found = UnlhaFindFirst(archive, "A.bmp", &info); found == 0;
         found = UnlhaFindNext(archive, &info))
        sizes.push_back(listedMember(info).originalSize);
    EXPECT_EQ(sizes, (std::vector<std::uint32_t>{5, 6})) << "both, in archive order";
    UnlhaCloseArchive(archive);
}

} // namespace
