// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include "core/logo_problem_text.h"
#include "core/session_language.h"
#include "platform/result.h"

#include <cctype>
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
     "Says for each FILE whether Windows 95 (or a PC-98, with --pc98) can show it\n"
     "as a start-up or shut-down logo and, if not, why.\n"
     "Exit status: 0 when every file can be shown, 1 otherwise, 2 on bad usage.\n",
     "使い方: korlogo check [--pc98] ファイル...\n"
     "ファイルごとに、Windows 95 (--pc98 を付けると PC-98) が起動・終了時のロゴとして\n"
     "表示できるかどうかと、できない場合はその理由を表示します。\n"
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
    {Message::UsageConvert,
     "usage: korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]\n"
     "                       [--animate-from N] PICTURE LOGO\n"
     "Turns PICTURE (PNG, JPEG, GIF, BMP, ...) into the logo file LOGO for Windows 95 (or a\n"
     "PC-98, with --pc98), or writes it to standard output when LOGO is -: the whole picture\n"
     "with black bars (--fit, the default), the screen covered and the picture cropped\n"
     "(--fill), or the picture stretched (--stretch). A PNG or JPEG may have up to 100\n"
     "megapixels, other pictures up to 32.\n"
     "The picture keeps its shape on the 640x400 screen as a 4:3 monitor shows it (640x480);\n"
     "--square-pixels keeps it on 640x400 square pixels, as an emulator shows them unscaled.\n"
     "--animate-from N: palette entries N to the last cycle when the logo is shown.\n"
     "Exit status: 0 when LOGO was written, 1 otherwise, 2 on bad usage.\n",
     "使い方: korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]\n"
     "                        [--animate-from N] 画像 ロゴ\n"
     "画像 (PNG、JPEG、GIF、BMP など) を Windows 95 (--pc98 を付けると PC-98) のロゴファイルに\n"
     "変換します。ロゴに - を指定すると標準出力に書き出します。画像全体を黒い余白付きで (--fit、\n"
     "既定)、画面いっぱいに切り抜いて (--fill)、または引き伸ばして (--stretch) 収めます。\n"
     "画像の大きさの上限は、PNG と JPEG は 100 メガピクセル、その他は 32 メガピクセルです。\n"
     "画像の形は、4:3 のモニタに映る 640x400 の画面 (640x480) で保たれます。--square-pixels\n"
     "を付けると、エミュレータが拡大せずに映す 640x400 の正方形ピクセルの画面で保たれます。\n"
     "--animate-from N: 表示中にパレットの N 番から最後までの色を循環させます。\n"
     "終了コード: ロゴを書き込めたとき 0、そうでないとき 1、使い方の誤りは 2。\n"},
    {Message::Converted, "{1}: {2} logo, {3}x{4}, {5} colours, {6}",
     "{1}: {2} のロゴを書き込みました ({3}x{4} ドット、{5} 色)。{6}"},
    {Message::CannotReadPicture, "korlogo: cannot read the picture {1}: {2}",
     "korlogo: {1}: 画像を読み込めません。{2}"},
    {Message::IsAFolder, "it is a folder", "フォルダです。"},
    {Message::PictureTooLarge,
     "it is {1}x{2} pixels, more than the {3} megapixels a picture may have",
     "{1}x{2} ドットで、上限の {3} メガピクセルを超えています。"},
    {Message::PictureTooWide, "rows wider than {1} pixels are not read",
     "横幅が {1} ドットを超える画像は読み込めません。"},
    {Message::PictureDamaged, "the picture is damaged: {1}", "画像のデータが壊れています。"},
    {Message::PictureOutOfMemory, "out of memory", "メモリが不足しています。"},
    {Message::PictureUnreadable, "{1}", "画像の形式に対応していないか、データが壊れています。"},
    {Message::CannotWriteLogo, "korlogo: cannot write {1}: {2}",
     "korlogo: {1}: 書き込めません。{2}。"},
    {Message::OutputNotAFile,
     "korlogo: cannot write {1}: it is not a regular file (a folder, a device, a FIFO or a "
     "socket) and is left as it is; - writes to standard output",
     "korlogo: {1}: 通常のファイルではない (フォルダ、デバイス、FIFO など) "
     "ため、そのままにしました。"
     "標準出力に書き出すには - を指定してください。"},
    {Message::StandardOutput, "standard output", "標準出力"},
    {Message::BadAnimateFrom,
     "korlogo: --animate-from takes a palette entry from 1 to {1}, not \"{2}\"",
     "korlogo: --animate-from にはパレットの 1～{1} 番を指定してください (\"{2}\" は使えません)。"},
    {Message::UsagePreview,
     "usage: korlogo preview [--pc98] [--square-pixels] [--interval MS] [--save PNG] FILE\n"
     "Shows FILE in a window as the machine shows it on a 4:3 monitor (640x480, or 640x400\n"
     "square pixels with --square-pixels), its colours cycling one step every MS milliseconds\n"
     "(55); Esc ends it. With --save it writes the first frame, the screen in a 32-pixel\n"
     "border, to PNG instead (- for standard output).\n"
     "Exit status: 0 when it was shown or saved, 1 otherwise, 2 on bad usage.\n",
     "使い方: korlogo preview [--pc98] [--square-pixels] [--interval ミリ秒] [--save PNG]\n"
     "                        ファイル\n"
     "ファイルを起動画面と同じように 4:3 のモニタの形 (640x480、--square-pixels を付けると\n"
     "640x400 の正方形ピクセル) でウィンドウに表示し、色を指定のミリ秒 (省略時 55) ごとに\n"
     "循環させます。Esc で終了します。--save を付けると、最初の画面 (画面と周囲 32 ドットの\n"
     "枠) を PNG に書き出します (- は標準出力)。\n"
     "終了コード: 表示または書き出しができたとき 0、そうでないとき 1、使い方の誤りは 2。\n"},
    {Message::PreviewCannotSave, "korlogo: cannot write {1}: {2}",
     "korlogo: {1}: 書き込めません。{2}。"},
    {Message::PreviewNoDisplay,
     "korlogo preview: no display to show the window on; --save PNG writes the picture instead",
     "korlogo preview: ウィンドウを表示する画面がありません。--save PNG で画像に書き出せます。"},
};

} // namespace

Language languageOfThisSession() {
    return core::sessionLanguage();
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
    std::string_view text;
    for (const Text& entry : Texts)
        if (entry.message == message)
            text = m_language == Language::Japanese ? entry.japanese : entry.english;
    return core::fillInValues(text, values);
}

} // namespace kor::korlogo
