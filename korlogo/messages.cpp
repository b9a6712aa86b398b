#include "messages.h"

#include "platform/result.h"

#include <cctype>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace kor::korlogo {
namespace {

struct Text {
    Message message;
    const char* english;
    const char* japanese;
};

// Every text korlogo writes; {1}, {2}, ... stand for the values filled in.
constexpr Text Texts[] = {
    {Message::Usage,
     "usage: korlogo check [--pc98] FILE...\n"
     "       korlogo preview [--pc98] [--interval MS] [--save PNG] FILE\n"
     "Says for each FILE whether Windows 95 (or a PC-98, with --pc98) can show it\n"
     "as a start-up or shut-down logo and, if not, why.\n"
     "preview shows FILE in a window as the machine shows it, its colours cycling\n"
     "one step every MS milliseconds (55); Esc ends it. With --save it writes the\n"
     "first frame, the 640x400 screen in a 32-pixel border, to PNG instead.\n"
     "Exit status: 0 when every file can be shown, 1 otherwise, 2 on bad usage.\n",
     "使い方: korlogo check [--pc98] ファイル...\n"
     "       korlogo preview [--pc98] [--interval ミリ秒] [--save PNG] ファイル\n"
     "ファイルごとに、Windows 95 (--pc98 を付けると PC-98) が起動・終了時のロゴとして\n"
     "表示できるかどうかと、できない場合はその理由を表示します。\n"
     "preview はファイルを起動画面と同じようにウィンドウに表示し、色を指定のミリ秒\n"
     "(省略時 55) ごとに循環させます。Esc で終了します。--save を付けると、最初の\n"
     "画面 (640x400 の画面と周囲 32 ドットの枠) を PNG に書き出します。\n"
     "終了コード: すべて表示できるとき 0、そうでないとき 1、使い方の誤りは 2。\n"},
    {Message::Shown, "{1}: {2} can show it as a logo; {3}",
     "{1}: {2} のロゴとして表示できます。{3}"},
    {Message::NotShown, "{1}: {2} cannot show it as a logo: {3}",
     "{1}: {2} のロゴとして表示できません。{3}"},
    {Message::Separator, "; ", ""},
    {Message::Cycles, "entries {1}-{2} cycle", "パレットの {1}～{2} 番の色が循環します。"},
    {Message::DoesNotMove, "does not move", "アニメーションはありません。"},
    {Message::Unreadable, "cannot read it: {1}", "読み込めません。{1}。"},
    {Message::NotAFile, "not a file", "ファイルではありません。"},
    {Message::NotABitmap, "not a Windows bitmap", "Windows のビットマップではありません。"},
    {Message::WrongWidth, "the width is {1}, not {2}",
     "幅が {1} ドットです ({2} ドットでなければなりません)。"},
    {Message::WrongHeight, "the height is {1}, not {2}",
     "高さが {1} ドットです ({2} ドットでなければなりません)。"},
    {Message::WrongDepth, "the colour depth is {1} bits, not {2}",
     "1 ドットの色のビット数が {1} です ({2} でなければなりません)。"},
    {Message::Compressed, "the pixels are compressed (method {1})",
     "画像が圧縮されています (方式 {1})。"},
    {Message::WrongPaletteSize, "the palette has {1} entries, not {2}",
     "パレットが {1} 色です ({2} 色でなければなりません)。"},
    {Message::WrongLength, "the file is {1} bytes long, not {2}",
     "ファイルの大きさが {1} バイトです ({2} バイトでなければなりません)。"},
    {Message::TruncatedPixels, "the pixels end {1} bytes past the end of the file",
     "画像データが途中で切れています ({1} バイト不足)。"},
    {Message::WrongPixelOffset, "the pixels start at byte {1}, not {2}",
     "画像データの開始位置が {1} バイト目です ({2} バイト目でなければなりません)。"},
    {Message::PreviewCannotSave, "{1}: cannot write it: {2}", "{1}: 書き込めません。{2}。"},
    {Message::PreviewNoDisplay,
     "korlogo preview: no display to show the window on; --save PNG writes the picture instead",
     "korlogo preview: ウィンドウを表示する画面がありません。--save PNG で画像に書き出せます。"},
};

} // namespace

Language languageOfThisSession() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::string_view(value).starts_with("ja") ? Language::Japanese
                                                             : Language::English;
    }
    return Language::English;
}

std::string Messages::reason(int error) const {
    if (m_language == Language::Japanese)
        return kor::platform::japaneseReason(error);
    std::string reason = std::generic_category().message(error);
    if (reason.size() > 1 && std::isupper(static_cast<unsigned char>(reason[0])) &&
        std::islower(static_cast<unsigned char>(reason[1])))
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}

std::string Messages::text(Message message, std::initializer_list<std::string> values) const {
    std::string filled;
    for (const Text& entry : Texts)
        if (entry.message == message)
            filled = m_language == Language::Japanese ? entry.japanese : entry.english;
    std::size_t number = 1;
    for (const std::string& value : values) {
        const std::string mark = "{" + std::to_string(number++) + "}";
        for (auto at = filled.find(mark); at != std::string::npos;
             at = filled.find(mark, at + value.size()))
            filled.replace(at, mark.size(), value);
    }
    return filled;
}

} // namespace kor::korlogo
