// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo.h"
#include "lzh_writer.h"
#include "run_program.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kor::testing {
namespace {

using core::LogoLength;

constexpr const char* Japanese = "ja_JP.UTF-8";
constexpr const char* English = "C";

std::map<std::string, std::string> environmentOf(const TemporaryMachine& machine,
                                                 const std::string& language) {
    return {{"KOR_ROOT", machine.root().string()}, {"WINDIR", "C:\\WINDOWS"}, {"LANG", language}};
}

// Every file and folder below the machine's root with its bytes, for telling
// that a run wrote, removed and created nothing.
std::map<std::string, std::string> snapshotOf(const TemporaryMachine& machine) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(machine.root())) {
        const std::string name = std::filesystem::relative(entry.path(), machine.root()).string();
        if (!entry.is_regular_file()) {
            tree[name] = "<folder>";
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        tree[name] = std::string(std::istreambuf_iterator<char>(file), {});
    }
    return tree;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// A machine whose KOR.INI would change logo.sys from the one picture of C:\ONE.
void prepareBmpMachine(const TemporaryMachine& machine) {
    machine.writePicture("C:\\logo.sys", LogoLength, 100);
    machine.writePicture("C:\\ONE\\ONLY.BMP", LogoLength, 1);
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\ONE\r\n");
}

TEST(CommandLine, HelpVersionAndMistakesAnswerAndChangeNothing) {
    enum Stream { Output, Error };
    struct Case {
        const char* program;
        std::vector<std::string> arguments;
        std::map<std::string, std::string> locale;
        int status;
        Stream stream;
        std::string marker;
    };
    const std::string version = KOR_VERSION;
    const Case cases[] = {
        {KOR_PROGRAM, {"--help"}, {{"LANG", English}}, 0, Output, "usage: KOR"},
        {KOR_PROGRAM, {"-h"}, {{"LANG", Japanese}}, 0, Output, "使い方: KOR"},
        {KOR_PROGRAM, {"--dry-run", "--help"}, {{"LANG", English}}, 0, Output, "--verbose"},
        {KOR_PROGRAM, {"--version"}, {{"LANG", English}}, 0, Output, "KOR version " + version},
        {KOR_PROGRAM, {"--version"}, {{"LANG", Japanese}}, 0, Output, "バージョン " + version},
        // LC_ALL wins over LANG, as in the C library.
        {KOR_PROGRAM, {"--help"}, {{"LANG", English}, {"LC_ALL", Japanese}}, 0, Output, "使い方"},
        {KOR_PROGRAM, {"--bogus"}, {{"LANG", English}}, 2, Error, "unknown argument --bogus"},
        {KOR_PROGRAM, {"--verbose", "X.BMP"}, {{"LANG", Japanese}}, 2, Error, "引数 X.BMP"},
        {KOR_PROGRAM, {"--help", "--bogus"}, {{"LANG", English}}, 2, Error, "--bogus"},
        {KOR_PROGRAM, {"--help"}, {{"LANG", English}}, 0, Output, "--add-machine NAME PATH"},
        {KOR_PROGRAM, {"--help"}, {{"LANG", Japanese}}, 0, Output, "-- コマンド [引数...]"},
        // A folder of drives: each letter's folder, then the Windows folder and boot drive.
        {KOR_PROGRAM,
         {"--drives"},
         {{"LANG", English}},
         0,
         Output,
         "/c\nWindows folder: C:\\WINDOWS\nboot drive: C:\n"},
        {KOR_PROGRAM, {"--drives"}, {{"LANG", Japanese}}, 0, Output, "起動ドライブ: C:\n"},
        {KOR_PROGRAM, {"--machine"}, {{"LANG", English}}, 2, Error, "--machine is missing"},
        {KOR_PROGRAM,
         {"--machine", "a", "--machine", "b"},
         {{"LANG", Japanese}},
         2,
         Error,
         "引数 --machine は二度"},
        {KOR_PROGRAM,
         {"--drives", "--list-machines"},
         {{"LANG", English}},
         2,
         Error,
         "--list-machines cannot be given"},
        {KOR_PROGRAM,
         {"--machine", "a", "--list-machines"},
         {{"LANG", English}},
         2,
         Error,
         "--machine cannot be given"},
        {KOR_PROGRAM,
         {"--add-machine", "Win95"},
         {{"LANG", English}},
         2,
         Error,
         "--add-machine is missing"},
        {KOR_PROGRAM, {"--verbose", "--"}, {{"LANG", English}}, 2, Error, "-- is missing"},
        // A mistake is told, and the machine still starts: the command runs.
        {KOR_PROGRAM, {"--drives", "--", "true"}, {{"LANG", English}}, 0, Error, "-- cannot"},
        {KOR_PROGRAM,
         {"--bogus", "--", "sh", "-c", "exit 7"},
         {{"LANG", English}},
         7,
         Error,
         "unknown argument --bogus"},
        {KORSETUP_PROGRAM, {"--help"}, {{"LANG", English}}, 0, Output, "usage: korsetup"},
        {KORSETUP_PROGRAM, {"-h"}, {{"LANG", Japanese}}, 0, Output, "使い方: korsetup"},
        {KORSETUP_PROGRAM, {"--version"}, {{"LANG", English}}, 0, Output, "version " + version},
        {KORSETUP_PROGRAM, {"--version"}, {{"LANG", Japanese}}, 0, Output, "バージョン " + version},
        {KORSETUP_PROGRAM, {"-platform", "offscreen", "--help"}, {}, 0, Output, "usage: korsetup"},
        {KORSETUP_PROGRAM, {"--bogus"}, {{"LANG", English}}, 2, Error, "unknown argument --bogus"},
        {KORSETUP_PROGRAM, {"X.BMP"}, {{"LANG", Japanese}}, 2, Error, "引数 X.BMP"},
        // An option of Qt's without its value would make Qt read past the end.
        {KORSETUP_PROGRAM, {"-platform"}, {{"LANG", English}}, 2, Error, "-platform"},
        {KORSETUP_PROGRAM,
         {"--machine", "Win95", "--help"},
         {{"LANG", English}},
         0,
         Output,
         "--machine NAME|PATH"},
        {KORSETUP_PROGRAM, {"--machine"}, {{"LANG", English}}, 2, Error, "argument --machine"},
        // Without a display Qt would end korsetup with a crash signal.
        {KORSETUP_PROGRAM, {}, {{"LANG", English}}, 1, Error, "korsetup: no display"},
        {KORSETUP_PROGRAM,
         {},
         {{"LANG", Japanese}, {"QT_QPA_PLATFORM", "xcb"}},
         1,
         Error,
         "korsetup: ウィンドウを表示する画面がありません"},
        {KORSETUP_PROGRAM, {"-platform", "xcb"}, {{"LANG", English}}, 1, Error, "on a desktop"},
        {KORLOGO_PROGRAM,
         {"--version"},
         {{"LANG", English}},
         0,
         Output,
         "korlogo version " + version},
        {KORLOGO_PROGRAM, {"--version"}, {{"LANG", Japanese}}, 0, Output, "バージョン " + version},
        {KORLOGO_PROGRAM,
         {"--help"},
         {{"LANG", English}},
         0,
         Output,
         "       korlogo --help | --version\nChecks"},
        {KORLOGO_PROGRAM, {"-h"}, {{"LANG", Japanese}}, 0, Output, "korlogo コマンド --help"},
        {KORLOGO_PROGRAM, {"convert", "--help"}, {{"LANG", English}}, 0, Output, "PICTURE LOGO"},
        {KORLOGO_PROGRAM, {"check", "-h"}, {{"LANG", English}}, 0, Output, "usage: korlogo check"},
        {KORLOGO_PROGRAM, {"preview", "--help"}, {{"LANG", English}}, 0, Output, "--interval MS"},
        {KORLOGO_PROGRAM, {"--bogus"}, {{"LANG", English}}, 2, Error, "See korlogo --help"},
        {KORLOGO_PROGRAM, {"convert", "--bogus"}, {{"LANG", Japanese}}, 2, Error, "詳しくは"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " +
                     (c.arguments.empty() ? std::string() : c.arguments.front()));
        TemporaryMachine machine;
        prepareBmpMachine(machine);
        const auto before = snapshotOf(machine);
        auto environment = environmentOf(machine, English);
        for (const auto& [name, value] : c.locale)
            environment[name] = value;
        // No DISPLAY and no QT_QPA_PLATFORM: korsetup answers on the console.
        const ProgramRun run = runProgram(c.program, environment, c.arguments);
        EXPECT_EQ(run.exitStatus, c.status) << run.standardError;
        const std::string& said = c.stream == Output ? run.standardOutput : run.standardError;
        const std::string& quiet = c.stream == Output ? run.standardError : run.standardOutput;
        EXPECT_NE(said.find(c.marker), std::string::npos) << said;
        // One help, or one short usage for a mistake: never a help per command.
        EXPECT_LE(occurrences(said, "usage: ") + occurrences(said, "使い方: "), 1u) << said;
        EXPECT_EQ(quiet, "");
        EXPECT_EQ(snapshotOf(machine), before) << "nothing ran";
    }
}

// KOR.INI, the files it names, and what a run says about each logo: the
// report line of each, in order, holds its logo file and this text. A run that
// goes to its end installs `installed` as logo.sys and leaves the others.
struct RunCase {
    const char* name;
    const char* language;
    std::string settings;
    std::map<std::string, std::string> files; // Windows path -> bytes
    int status;
    std::vector<std::string> reported;
    std::string installed;
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.name;
}

std::string picture(char fill, std::uint64_t length = LogoLength) {
    return withBitmapStart(std::string(length, fill));
}

std::vector<RunCase> runCases() {
    const std::string archive = makeLzhArchive({{"GOOD.BMP", picture('g')}});
    const std::string shortMember = makeLzhArchive({{"SHORT.BMP", picture('s', 1000)}});
    return {
        {"pictures",
         English,
         "ArcCheck=on\r\nDirOnly=C:\\ONE\r\nMDirOnly=C:\\BAD",
         {{"C:\\ONE\\ONLY.BMP", picture('o')}, {"C:\\BAD\\SHORT.BMP", picture('s', 1000)}},
         0,
         {"C:\\ONE\\ONLY.BMP", "C:\\BAD\\SHORT.BMP", "left unchanged"},
         picture('o')},
        {"missing folder", English, "ArcCheck=on\r\nDirOnly=C:\\NONE", {}, 1, {}, {}},
        {"archives",
         Japanese,
         "ArcCheck=off\r\nDir=C:\\ARC\r\nFileName=LOGOS.LZH\r\nMDir=C:\\ARC\r\nMFileName=S.LZH",
         {{"C:\\ARC\\LOGOS.LZH", archive}, {"C:\\ARC\\S.LZH", shortMember}},
         0,
         {"C:\\ARC\\LOGOS.LZH : GOOD.BMP", "S.LZH : SHORT.BMP", "変更しません"},
         picture('g')},
        {"not an archive",
         Japanese,
         "ArcCheck=off\r\nDir=C:\\ARC\r\nFileName=X.LZH",
         {{"C:\\ARC\\X.LZH", "not an archive"}},
         1,
         {},
         {}},
    };
}

class DryAndVerboseRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(DryAndVerboseRuns, DryRunWritesNothingAndReportsWhatARunDoes) {
    const RunCase& c = GetParam();
    TemporaryMachine machine;
    machine.writePicture("C:\\logo.sys", LogoLength, 100);
    machine.writePicture("C:\\WINDOWS\\logow.sys", LogoLength, 101);
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "[SaveDir]\r\n" + c.settings + "\r\n");
    // What a killed run left: a normal run removes it, a dry run must not.
    machine.writeFile("C:\\WINDOWS\\~KOR0001.TMP", "left by a killed run");
    for (const auto& [path, bytes] : c.files)
        machine.writeFile(path, bytes);
    const auto before = snapshotOf(machine);
    const auto environment = environmentOf(machine, c.language);

    const ProgramRun dry = runProgram(KOR_PROGRAM, environment, {"--dry-run"});
    EXPECT_EQ(snapshotOf(machine), before) << "a dry run writes nothing";
    const ProgramRun both = runProgram(KOR_PROGRAM, environment, {"--dry-run", "--verbose"});
    EXPECT_EQ(snapshotOf(machine), before) << "a dry run writes nothing";
    EXPECT_EQ(both.standardOutput, dry.standardOutput);
    const ProgramRun real = runProgram(KOR_PROGRAM, environment, {"--verbose"});

    EXPECT_EQ(dry.exitStatus, c.status) << dry.standardError;
    EXPECT_EQ(real.exitStatus, c.status) << real.standardError;
    EXPECT_EQ(dry.standardError, real.standardError) << "the same notes and messages";
    const auto dryLines = linesOf(dry.standardOutput);
    const auto realLines = linesOf(real.standardOutput);
    ASSERT_EQ(dryLines.size(), c.reported.size()) << dry.standardOutput;
    ASSERT_EQ(realLines.size(), c.reported.size()) << real.standardOutput;
    const std::vector<std::string> logos = {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys",
                                            "C:\\WINDOWS\\logos.sys"};
    for (std::size_t i = 0; i < c.reported.size(); ++i) {
        for (const std::string& line : {dryLines[i], realLines[i]}) {
            EXPECT_TRUE(line.starts_with(logos[i])) << line;
            EXPECT_NE(line.find(c.reported[i]), std::string::npos) << line;
        }
        // Only the installed logo's line tells a dry run from a real one.
        EXPECT_EQ(dryLines[i] != realLines[i], i == 0) << dryLines[i];
    }
    if (c.status == 0) {
        // The picture the dry run named is the one the run installed.
        EXPECT_EQ(machine.readFile("C:\\logo.sys"), c.installed);
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), before.at("c/WINDOWS/logow.sys"));
        EXPECT_FALSE(machine.exists("C:\\WINDOWS\\~KOR0001.TMP"));
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, DryAndVerboseRuns, ::testing::ValuesIn(runCases()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

} // namespace
} // namespace kor::testing
