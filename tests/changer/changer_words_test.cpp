// SPDX-License-Identifier: GPL-3.0-or-later
// What an unattended run under a Japanese locale tells the user when a run
// cannot go as configured: Japanese words that name the cause, never the
// English of the archive library or mtools, nor the run's temporary folders.

#include "changer_run.h"

#include "core/logo.h"
#include "lzh_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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

} // namespace
} // namespace kor::testing
