// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <algorithm>

#include "core/version.h"

#include "language/translation.h"
#include "platform/text.h"

namespace kor::changer {

CommandLine parseCommandLine(std::span<const std::string> arguments) {
    CommandLine line;
    bool help = false;
    bool version = false;
    // The one action beyond a run that the line asks for.
    std::optional<CommandLine::Action> asked;
    const auto mistaken = [&](const std::string& argument, CommandLine::Mistake kind) {
        line.action = CommandLine::Action::Mistake;
        line.mistake = argument;
        line.mistakeKind = kind;
        return line;
    };
    // The command is found first, so that a mistake before it still lets the
    // machine start.
    const auto separator = std::find(arguments.begin(), arguments.end(), "--");
    if (separator != arguments.end()) {
        line.command.assign(separator + 1, arguments.end());
        if (line.command.empty())
            return mistaken("--", CommandLine::Mistake::MissingValue);
        arguments = arguments.first(static_cast<std::size_t>(separator - arguments.begin()));
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t valuesLeft = arguments.size() - i - 1;
        const auto ask = [&](CommandLine::Action action) {
            const bool first = !asked;
            asked = action;
            return first;
        };
        if (argument == "--help" || argument == "-h")
            help = true;
        else if (argument == "--version")
            version = true;
        else if (argument == "--dry-run")
            line.options.dryRun = true;
        else if (argument == "--verbose")
            line.options.verbose = true;
        else if (argument == "--machine") {
            if (valuesLeft < 1)
                return mistaken(argument, CommandLine::Mistake::MissingValue);
            if (line.machine)
                return mistaken(argument, CommandLine::Mistake::Misplaced);
            line.machine = arguments[++i];
        } else if (argument == "--drives" || argument == "--list-machines") {
            if (!ask(argument == "--drives" ? CommandLine::Action::ShowDrives
                                            : CommandLine::Action::ListMachines))
                return mistaken(argument, CommandLine::Mistake::Misplaced);
        } else if (argument == "--add-machine") {
            if (valuesLeft < 2)
                return mistaken(argument, CommandLine::Mistake::MissingValue);
            if (!ask(CommandLine::Action::AddMachine))
                return mistaken(argument, CommandLine::Mistake::Misplaced);
            line.addedName = arguments[++i];
            line.addedPath = arguments[++i];
        } else
            return mistaken(argument, CommandLine::Mistake::Unknown);
    }
    if (help)
        line.action = CommandLine::Action::ShowHelp;
    else if (version)
        line.action = CommandLine::Action::ShowVersion;
    else if (asked) {
        // A command runs after a change only; the listings and the adding
        // work on no machine of --machine.
        if (!line.command.empty())
            return mistaken("--", CommandLine::Mistake::Misplaced);
        if (line.machine && *asked != CommandLine::Action::ShowDrives)
            return mistaken("--machine", CommandLine::Mistake::Misplaced);
        line.action = *asked;
    }
    return line;
}

std::string usageText() {
    return language::translate(
        "changer",
        "使い方: KOR [--machine マシン] [--dry-run] [--verbose] [-- コマンド [引数...]]\n"
        "        KOR [--machine マシン] --drives\n"
        "        KOR --list-machines | --add-machine 名前 パス\n"
        "        KOR --help | --version\n"
        "エミュレートした Windows 95 の起動・終了時のロゴ (logo.sys、logow.sys、logos.sys) "
        "を、\nKOR.INI で指定したフォルダまたは LZH "
        "書庫から無作為に選んだ画像に変更します。\n"
        "\n"
        "  --machine マシン  エミュレータのマシン (登録した名前、マシンのフォルダ、\n"
        "                   または設定ファイルのパス) のロゴを変更します\n"
        "  --dry-run    画像を選ぶだけで何も書き込まず、何をインストールするかを表示します\n"
        "  --verbose    ロゴごとに、選んだ画像と結果を 1 行ずつ表示します\n"
        "  --drives     マシンのドライブ (文字、ディスク、パーティション、イメージ)、\n"
        "               Windows フォルダと起動ドライブを表示します\n"
        "  --list-machines  "
        "見つかったマシンと登録したマシンを、エミュレータ、起動ドライブ、\n"
        "               変更できるかどうかとともに 1 行ずつ表示します\n"
        "  --add-machine 名前 パス  パスのマシンを名前で登録します (machines.ini)\n"
        "  -- コマンド [引数...]  ロゴの変更の後 (失敗したときも)、KOR の代わりに\n"
        "               コマンドを実行します (例: -- 86Box -P ~/86Box/Win95)\n"
        "  -h, --help   この説明を表示して終了します\n"
        "  --version    バージョンを表示して終了します\n"
        "\n"
        "マシンは --machine、KOR_ROOT、korsetup で最後に選んだマシン、~/.kor の順に\n"
        "最初に見つかったものを使います。\n"
        "\n"
        "環境変数:\n"
        "  KOR_ROOT     1 文字の名前の項目がドライブになるホストのフォルダ (既定値 ~/.kor)\n"
        "  WINDIR       KOR.INI のある Windows ディレクトリ (既定値はマシンの MSDOS.SYS、\n"
        "               なければ C:\\WINDOWS)\n"
        "  XDG_CONFIG_HOME  machines.ini を置くフォルダの親 (既定値 ~/.config)\n"
        "  TMP, TEMP    書庫ライブラリが作業ファイルを書く場所 (書庫モードのみ)\n"
        "\n"
        "終了コード: 最後まで実行したとき 0、失敗で中断したとき 1、使い方の誤りは 2。\n"
        "-- の後のコマンドを実行できないときは 127 (見つからない) または 126。\n");
}

std::string versionText() {
    return language::fill(language::translate("changer", "KOR バージョン {1}"),
                          {core::programVersion()}) +
           "\n";
}

std::string mistakeText(const CommandLine& line) {
    // The argument may hold anything; a control character must not reach the terminal.
    const std::string shown =
        platform::escapeControlCharacters(line.mistake, platform::LineBreaks::Escape);
    const char* said = "";
    switch (line.mistakeKind) {
    case CommandLine::Mistake::Unknown:
        said = KOR_TRANSLATE_NOOP("changer", "引数 {1} は使えません");
        break;
    case CommandLine::Mistake::MissingValue:
        said = KOR_TRANSLATE_NOOP("changer", "引数 {1} の後に値がありません");
        break;
    case CommandLine::Mistake::Misplaced:
        said =
            KOR_TRANSLATE_NOOP("changer", "引数 {1} は二度、またはほかの引数と一緒には使えません");
        break;
    }
    return "KOR: " + language::fill(language::translate("changer", said), {shown}) + "\n" +
           language::translate(
               "changer", "使い方: KOR [--machine マシン] [--dry-run] [--verbose] [-- コマンド]"
                          " | --drives | --list-machines | --add-machine 名前 パス | --help"
                          " | --version") +
           "\n";
}

} // namespace kor::changer
