// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "core/version.h"

#include "platform/text.h"

namespace kor::changer {

CommandLine parseCommandLine(std::span<const std::string> arguments) {
    CommandLine line;
    bool help = false;
    bool version = false;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            help = true;
        else if (argument == "--version")
            version = true;
        else if (argument == "--dry-run")
            line.options.dryRun = true;
        else if (argument == "--verbose")
            line.options.verbose = true;
        else {
            line.action = CommandLine::Action::Mistake;
            line.mistake = argument;
            return line;
        }
    }
    if (help)
        line.action = CommandLine::Action::ShowHelp;
    else if (version)
        line.action = CommandLine::Action::ShowVersion;
    return line;
}

std::string usageText(core::TextLanguage language) {
    if (language == core::TextLanguage::Japanese)
        return "使い方: KOR [--dry-run] [--verbose]\n"
               "        KOR --help | --version\n"
               "エミュレートした Windows 95 の起動・終了時のロゴ (logo.sys、logow.sys、logos.sys) "
               "を、\nKOR.INI で指定したフォルダまたは LZH "
               "書庫から無作為に選んだ画像に変更します。\n"
               "\n"
               "  --dry-run    画像を選ぶだけで何も書き込まず、何をインストールするかを表示します\n"
               "  --verbose    ロゴごとに、選んだ画像と結果を 1 行ずつ表示します\n"
               "  -h, --help   この説明を表示して終了します\n"
               "  --version    バージョンを表示して終了します\n"
               "\n"
               "環境変数:\n"
               "  KOR_ROOT     1 文字の名前の項目がドライブになるホストのフォルダ (既定値 ~/.kor)\n"
               "  WINDIR       KOR.INI のある Windows ディレクトリ (既定値 C:\\WINDOWS)\n"
               "  TMP, TEMP    書庫ライブラリが作業ファイルを書く場所 (書庫モードのみ)\n"
               "\n"
               "終了コード: 最後まで実行したとき 0、失敗で中断したとき 1、使い方の誤りは 2。\n";
    return "usage: KOR [--dry-run] [--verbose]\n"
           "       KOR --help | --version\n"
           "Changes the start-up and shut-down logos of an emulated Windows 95 machine\n"
           "(logo.sys, logow.sys, logos.sys) to pictures drawn at random from the folders\n"
           "or LZH archives that KOR.INI names.\n"
           "\n"
           "  --dry-run    draw as a run would and say what would be installed; write nothing\n"
           "  --verbose    also say for each logo what was drawn and what came of it\n"
           "  -h, --help   show this help and exit\n"
           "  --version    show the version and exit\n"
           "\n"
           "Environment:\n"
           "  KOR_ROOT     host folder whose one-letter entries are the drives (default ~/.kor)\n"
           "  WINDIR       the Windows directory, which holds KOR.INI (default C:\\WINDOWS)\n"
           "  TMP, TEMP    where the archive library writes its work file (archive mode only)\n"
           "\n"
           "Exit status: 0 when the run went to its end, 1 when a failure ended it,\n"
           "2 on bad usage.\n";
}

std::string versionText(core::TextLanguage language) {
    const std::string version(core::programVersion());
    return language == core::TextLanguage::Japanese ? "KOR バージョン " + version + "\n"
                                                    : "KOR version " + version + "\n";
}

std::string mistakeText(const std::string& argument, core::TextLanguage language) {
    // The argument may hold anything; a control character must not reach the terminal.
    const std::string shown =
        platform::escapeControlCharacters(argument, platform::LineBreaks::Escape);
    if (language == core::TextLanguage::Japanese)
        return "KOR: 引数 " + shown +
               " は使えません\n使い方: KOR [--dry-run] [--verbose] | --help | --version\n";
    return "KOR: unknown argument " + shown +
           "\nusage: KOR [--dry-run] [--verbose] | --help | --version\n";
}

} // namespace kor::changer
