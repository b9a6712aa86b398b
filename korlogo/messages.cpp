#include "messages.h"

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
