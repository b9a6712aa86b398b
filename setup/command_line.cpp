// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "core/version.h"
#include "language/translation.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <span>
#include <string_view>

namespace kor::setup {
namespace {

// The options QGuiApplication and QApplication take from the command line,
// with a value ("-platform offscreen") or without.
constexpr std::string_view QtOptionsWithValue[] = {"-platform",
                                                   "-platformpluginpath",
                                                   "-platformtheme",
                                                   "-plugin",
                                                   "-qwindowgeometry",
                                                   "-geometry",
                                                   "-qwindowtitle",
                                                   "-title",
                                                   "-qwindowicon",
                                                   "-icon",
                                                   "-session",
                                                   "-display",
                                                   "-name",
                                                   "-style",
                                                   "-stylesheet"};
constexpr std::string_view QtFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb",
                                        "-testability"};
// Options Qt takes with the value joined by "=", as "-style=fusion".
constexpr std::string_view QtOptionsWithJoinedValue[] = {
    "-style=", "-stylesheet=", "-qmljsdebugger="};

bool isOneOf(std::string_view option, std::span<const std::string_view> options) {
    return std::ranges::find(options, option) != options.end();
}

bool hasJoinedValue(std::string_view option) {
    return std::ranges::any_of(QtOptionsWithJoinedValue, [option](std::string_view start) {
        return option.starts_with(start);
    });
}

// korsetup's help, in Japanese; its English is in translations/kor_en.ts.
constexpr const char* Usage = KOR_TRANSLATE_NOOP(
    "korsetup",
    "使い方: korsetup [--machine 名前|パス] [Qt のオプション]\n"
    "        korsetup --help | --version\n"
    "KOR の設定プログラムです。画像をロゴとして試し、すぐにロゴにし、KOR が画像を\n"
    "選ぶフォルダまたは LZH 書庫とオプションを設定し、ロゴファイルをバックアップ\n"
    "します。画面 (ディスプレイ) が必要です。\n"
    "\n"
    "  --machine 名前|パス\n"
    "               このマシンで動きます: 覚えたマシンの名前 (KOR --list-machines)、\n"
    "               またはエミュレータのマシンのフォルダか設定ファイル。\n"
    "               ないときは KOR_ROOT、korsetup で最後に選んだマシン、~/.kor の順\n"
    "  -h, --help   この説明を表示して終了します\n"
    "  --version    バージョンを表示して終了します\n"
    "  Qt のオプション (-platform、-style、-reverse など) は Qt に渡します。\n"
    "\n"
    "環境変数:\n"
    "  KOR_ROOT     1 文字の名前の項目がドライブになるホストのフォルダ (既定値 ~/.kor)\n"
    "  WINDIR       KOR.INI のある Windows ディレクトリ (既定値 C:\\WINDOWS)\n"
    "  TMP, TEMP    書庫ライブラリが作業ファイルを書く場所\n"
    "\n"
    "終了コード: ウィンドウを閉じたとき 0、画面がないときや続けられないときは 1、\n"
    "使い方の誤りは 2。\n");

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    line.qtArguments.push_back(0);
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        // Qt reads "--platform" as "-platform".
        const std::string_view qtOption =
            argument.starts_with("--") ? argument.substr(1) : argument;
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (argument == "--machine" && i + 1 < argc) {
            line.machine = argv[++i];
        } else if (argument.starts_with("--machine=") && argument.size() > 10) {
            line.machine = argument.substr(std::string_view("--machine=").size());
        } else if (isOneOf(qtOption, QtOptionsWithValue) && i + 1 < argc) {
            if (qtOption == "-platform")
                line.qtPlatform = argv[i + 1];
            else if (qtOption == "-display")
                line.qtDisplay = argv[i + 1];
            line.qtArguments.push_back(i);
            line.qtArguments.push_back(++i);
        } else if (isOneOf(qtOption, QtFlags) || hasJoinedValue(qtOption)) {
            line.qtArguments.push_back(i);
        } else {
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

std::string qtPlatformOf(const CommandLine& line) {
    if (line.qtPlatform)
        return *line.qtPlatform;
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    return chosen ? chosen : "";
}

int refuseWithoutDesktop() {
    std::cerr << language::translate(
        "korsetup", "korsetup: ウィンドウを表示する画面がありません。デスクトップ (DISPLAY または "
                    "WAYLAND_DISPLAY のあるセッション) で起動してください。\n");
    return 1;
}

int answerCommandLine(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Action::ShowHelp:
        std::cout << language::translate("korsetup", Usage);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::cout << language::fill(language::translate("korsetup", "korsetup バージョン {1}\n"),
                                    {std::string(core::programVersion())});
        return 0;
    case CommandLine::Action::Mistake:
        // The argument may hold anything; a control character must not reach the terminal.
        std::cerr << language::fill(
            language::translate("korsetup",
                                "korsetup: 引数 {1} は使えません\n"
                                "使い方: korsetup [--machine 名前|パス] [Qt のオプション] | "
                                "--help | --version\n"),
            {platform::escapeControlCharacters(line.mistake, platform::LineBreaks::Escape)});
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    return 0;
}

} // namespace kor::setup
