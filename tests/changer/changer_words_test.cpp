// SPDX-License-Identifier: GPL-3.0-or-later
// What an unattended run under a Japanese locale tells the user when a run
// cannot go as configured: Japanese words that name the cause, never the
// English of the archive library or mtools, nor the run's temporary folders.

#include "changer_run.h"

#include "core/logo.h"
#include "lzh_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

std::string picture(char fill) {
    return withBitmapStart(std::string(core::LogoLength, fill));
}

// A member whose stored path makes the extraction command longer than the
// library takes directly, so that it goes through a response file.
LzhMember memberWithALongPath(char fill) {
    return {std::string(200, 'F') + "\\LONG.BMP", picture(fill), {}, {}, 2};
}

// Words that would leak from the libraries or the run's own workings.
constexpr std::string_view ForeignWords[] = {"cannot",        "CRC error", "damaged",
                                             "mtools",        "Disk full", "No directory slots",
                                             "No space left", "~KOR"};

struct RunCase {
    const char* name;
    // Prepares the machine; gives the run's environment beyond KOR_ROOT.
    std::function<void(const TemporaryMachine&, std::map<std::string, std::string>&)> prepare;
    int exitStatus;
    std::string said;      // a part of standard error
    char middleLogo = 'm'; // what C:\WINDOWS\logow.sys holds afterwards, as picture()
};

TEST(ChangerWords, EachFailureIsToldInJapaneseAndNamesItsCause) {
    const std::string damaged = [] {
        std::string archive = makeLzhArchive({{"BAD.BMP", picture('b')}});
        archive[archive.size() - 2] ^= 0x01; // a byte of the data: its CRC no longer holds
        return archive;
    }();
    const RunCase cases[] = {
        {"a TMP that does not exist fails only the slot whose command needs it",
         [](const TemporaryMachine& machine, auto& environment) {
             machine.writeFile("C:\\ARC\\LONG.LZH", makeLzhArchive({memberWithALongPath('l')}));
             machine.writeFile("C:\\ARC\\SHORT.LZH", makeLzhArchive({{"S.BMP", picture('s')}}));
             writeSettings(machine, "Dir=C:\\ARC\nFileName=LONG.LZH\n"
                                    "MDir=C:\\ARC\nMFileName=SHORT.LZH");
             environment["TMP"] = "C:\\NO\\SUCH\\FOLDER";
         },
         0, "環境変数 TMP のﾌｫﾙﾀﾞ C:\\NO\\SUCH\\FOLDER\\ にﾌｧｲﾙを作成できません", 's'},
        {"a damaged member is named, not the folder it was extracted into",
         [&damaged](const TemporaryMachine& machine, auto&) {
             machine.writeFile("C:\\ARC\\BAD.LZH", damaged);
             writeSettings(machine, "Dir=C:\\ARC\nFileName=BAD.LZH");
         },
         0, "BAD.LZH : BAD.BMP を解凍できません: CRC が一致しません"},
        {"a network path as WINDIR is refused",
         [](const TemporaryMachine&, auto& environment) {
             environment["WINDIR"] = "\\\\server\\share";
         },
         1, "\\\\server\\share\nWINDIR の Windows ﾌｫﾙﾀﾞを使えません"},
        {"a WINDIR without a drive letter is refused",
         [](const TemporaryMachine&, auto& environment) { environment["WINDIR"] = "1:\\WINDOWS"; },
         1, "1:\\WINDOWS\nWINDIR の Windows ﾌｫﾙﾀﾞを使えません"},
        {"a read-only logo is told as read-only, not as a failed copy",
         [](const TemporaryMachine& machine, auto&) {
             machine.writeFile("C:\\PICS\\P.BMP", picture('p'));
             writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS");
             fs::permissions(machine.host("C:\\logo.sys"), fs::perms::owner_read);
         },
         1, "C:\\logo.sys\nこのﾛｺﾞﾌｧｲﾙを置き換えられません。読み取り専用になっています。"},
        {"an archive path longer than Windows holds is too long, not a broken archive",
         [](const TemporaryMachine& machine, auto&) {
             writeSettings(machine, "Dir=C:\\ARC\nFileName=" + std::string(340, 'A') + ".LZH");
             fs::create_directories(machine.host("C:\\ARC"));
         },
         1, "このﾊﾟｽは使えません。ファイル名が長すぎます。"},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryMachine machine;
        machine.writeFile("C:\\logo.sys", picture('o'));
        machine.writeFile("C:\\WINDOWS\\logow.sys", picture('m'));
        std::map<std::string, std::string> environment{{"KOR_ROOT", machine.root().string()},
                                                       {"LANG", "ja_JP.UTF-8"}};
        c.prepare(machine, environment);

        const ProgramRun run = runProgram(KOR_PROGRAM, environment);

        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.standardError;
        EXPECT_NE(run.standardError.find(c.said), std::string::npos) << run.standardError;
        for (const std::string_view word : ForeignWords)
            EXPECT_EQ(run.standardError.find(word), std::string::npos) << run.standardError;
        // The logo whose slot failed is kept; another slot still changes.
        EXPECT_EQ(machine.readFile("C:\\logo.sys"), picture('o'));
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), picture(c.middleLogo));
    }
}

struct NoteCase {
    const char* kind;
    std::string settings;                     // KOR.INI's keys, a line each
    std::map<std::string, std::string> files; // Windows path -> bytes, after KOR.INI
    std::vector<std::string> arguments;
    std::string japanese; // a whole line of standard output or error
    std::string english;
    // Prepares what files cannot; gives the run's environment beyond KOR_ROOT and LANG.
    std::function<void(const TemporaryMachine&, std::map<std::string, std::string>&)> prepare =
        [](const TemporaryMachine&, auto&) {};
};

// Each kind of note and report line a run writes, once under a Japanese locale
// and once under LANG=C: the same note in either language, the data in it
// (paths, member names, KOR.INI) as it is.
TEST(ChangerWords, EachNoteSaysTheSameInJapaneseAndInEnglish) {
    const std::string damaged = [] {
        std::string archive = makeLzhArchive({{"BAD.BMP", picture('b')}});
        archive[archive.size() - 2] ^= 0x01;
        return archive;
    }();
    const std::string tooLong(core::LargestPictureLength + 1, 'x');
    const std::string longMember = "LONG.LZH : " + std::string(200, 'F') + "\\LONG.BMP";
    const NoteCase cases[] = {
        {"installed",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\A.BMP", picture('a')}},
         {"--verbose"},
         "C:\\logo.sys を C:\\P\\A.BMP に変更しました",
         "C:\\logo.sys: installed C:\\P\\A.BMP"},
        {"would install",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\A.BMP", picture('a')}},
         {"--dry-run"},
         "C:\\logo.sys を C:\\P\\A.BMP に変更します (--dry-run なので書き込みません)",
         "C:\\logo.sys: would install C:\\P\\A.BMP"},
        {"no source",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\A.BMP", picture('a')}},
         {"--verbose"},
         "C:\\WINDOWS\\logow.sys は変更しません: KOR.INI に取り出し元が指定されていません",
         "C:\\WINDOWS\\logow.sys: left unchanged: KOR.INI names no source for it"},
        {"left unchanged, on the report",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\S.BMP", picture('s').substr(0, 1000)}},
         {"--verbose"},
         "C:\\logo.sys は変更しません: C:\\P\\S.BMP は 1000 バイトで、ロゴの大きさ (129078 バイト) "
         "と違います",
         "C:\\logo.sys: left unchanged: C:\\P\\S.BMP is 1000 bytes long, not the length of a logo "
         "(129078 bytes)"},
        {"wrong length",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\S.BMP", picture('s').substr(0, 1000)}},
         {},
         "KOR: logo.sys は変更しません: C:\\P\\S.BMP は 1000 バイトで、ロゴの大きさ (129078 "
         "バイト) "
         "と違います",
         "KOR: logo.sys: left unchanged: C:\\P\\S.BMP is 1000 bytes long, not the length of a "
         "logo (129078 bytes)"},
        {"too long for a logo",
         "sizecheck=on\nArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\L.BMP", tooLong}},
         {},
         "KOR: logo.sys は変更しません: C:\\P\\L.BMP は 16777217 バイトあり、ロゴにできる大きさ "
         "(16777216 バイトまで) を超えています",
         "KOR: logo.sys: left unchanged: C:\\P\\L.BMP is 16777217 bytes long, more than a logo "
         "may be (16777216 bytes at most)"},
        {"empty folder",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\SUB\\A.BMP", picture('a')}},
         {},
         "KOR: logo.sys は変更しません: C:\\P にファイルがありません",
         "KOR: logo.sys: left unchanged: C:\\P holds no file"},
        {"empty archive",
         "Dir=C:\\ARC\nFileName=E.LZH",
         {{"C:\\ARC\\E.LZH", makeLzhArchive({})}},
         {},
         "KOR: logo.sys は変更しません: 書庫 E.LZH にファイルがありません",
         "KOR: logo.sys: left unchanged: the archive E.LZH holds no file"},
        {"member that cannot be extracted",
         "Dir=C:\\ARC\nFileName=BAD.LZH",
         {{"C:\\ARC\\BAD.LZH", damaged}},
         {},
         "KOR: logo.sys は変更しません: BAD.LZH : BAD.BMP を解凍できません: CRC "
         "が一致しません。ﾌｧｲﾙのﾃﾞｰﾀが壊れています",
         "KOR: logo.sys: left unchanged: cannot extract BAD.LZH : BAD.BMP: The CRC does not "
         "match. The file's data is damaged"},
        {"installed, but not shown",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\T.BMP", std::string(core::LogoLength, 't')}},
         {},
         "KOR: logo.sys を C:\\P\\T.BMP に変更しましたが、Windows 95 "
         "のロゴとして表示できない可能性があります。Windows のビットマップではありません。",
         "KOR: logo.sys was changed to C:\\P\\T.BMP, but Windows 95 may not show it as a logo: "
         "not a Windows bitmap"},
        {"not an archive",
         "Dir=C:\\ARC\nFileName=X.LZH",
         {{"C:\\ARC\\X.LZH", "plain text"}},
         {},
         "KOR: 正しいLHarcﾌｧｲﾙではありません",
         "KOR: Not a valid LHarc archive"},
        {"KOR.INI in UTF-8",
         "",
         {{"C:\\WINDOWS\\KOR.INI", "\xEF\xBB\xBF[SaveDir]\r\n"}},
         {},
         "KOR: C:\\WINDOWS\\KOR.INI は UTF-8 で保存されているので UTF-8 として読みました。"
         "Windows 95 でも使えるよう、Shift-JIS で保存し直してください",
         "KOR: C:\\WINDOWS\\KOR.INI is saved as UTF-8, so it was read as UTF-8; save it as "
         "Shift-JIS again so that Windows 95 can read it too"},
        {"read-only logo",
         "ArcCheck=on\nDirOnly=C:\\P",
         {{"C:\\P\\A.BMP", picture('a')}},
         {},
         "このﾛｺﾞﾌｧｲﾙを置き換えられません。読み取り専用になっています。",
         "Cannot replace this logo file. It is read-only.",
         [](const TemporaryMachine& machine, auto&) {
             fs::permissions(machine.host("C:\\logo.sys"), fs::perms::owner_read);
         }},
        {"TMP that takes no file",
         "Dir=C:\\ARC\nFileName=LONG.LZH",
         {{"C:\\ARC\\LONG.LZH", makeLzhArchive({memberWithALongPath('l')})}},
         {},
         "KOR: logo.sys は変更しません: " + longMember +
             " を解凍できません: 環境変数 TMP のﾌｫﾙﾀﾞ C:\\NO\\SUCH\\FOLDER\\ "
             "にﾌｧｲﾙを作成できません (ファイルが見つかりません)",
         "KOR: logo.sys: left unchanged: cannot extract " + longMember +
             ": Cannot create a file in the folder C:\\NO\\SUCH\\FOLDER\\ of the environment "
             "variable TMP (File not found)",
         [](const TemporaryMachine&, auto& environment) {
             environment["TMP"] = "C:\\NO\\SUCH\\FOLDER";
         }},
    };
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(c.kind);
        for (const bool english : {false, true}) {
            const std::string& expected = english ? c.english : c.japanese;
            const char* locale = english ? "C" : "ja_JP.UTF-8";
            TemporaryMachine machine;
            machine.writeFile("C:\\logo.sys", picture('o'));
            writeSettings(machine, c.settings);
            for (const auto& [path, bytes] : c.files)
                machine.writeFile(path, bytes);
            std::map<std::string, std::string> environment{{"KOR_ROOT", machine.root().string()},
                                                           {"LANG", locale}};
            c.prepare(machine, environment);
            const ProgramRun run = runProgram(KOR_PROGRAM, environment, c.arguments);

            std::vector<std::string> lines;
            std::istringstream said(run.standardOutput + run.standardError);
            for (std::string line; std::getline(said, line);)
                lines.push_back(line);
            EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
                << locale << ":\n"
                << run.standardOutput << run.standardError;
            for (const std::string& line : lines)
                EXPECT_TRUE(!english || std::all_of(line.begin(), line.end(),
                                                    [](char byte) { return (byte & 0x80) == 0; }))
                    << "Japanese left in: " << line;
        }
    }
}

} // namespace
} // namespace kor::testing
