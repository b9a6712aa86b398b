// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/result.h"

#include "platform/host_files.h"
#include "platform/text.h"

#include "language/translation.h"

#include <cerrno>
#include <system_error>

namespace kor::platform {

std::string describeError(int error) {
    std::string reason = std::generic_category().message(error);
    // The reason follows a colon: "no such file or directory". A reason that
    // starts with an acronym keeps its capitals.
    if (reason.size() > 1 && reason[0] >= 'A' && reason[0] <= 'Z' && reason[1] >= 'a' &&
        reason[1] <= 'z')
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

namespace {

// The system's words, as the Japanese edition of Windows 95 reports a file
// error: full-width, a plain statement of the cause; null for an errno
// without a phrase of its own.
const char* phraseOf(int code) {
    switch (code) {
    case ENOENT:
        return KOR_TRANSLATE_NOOP("platform", "ファイルが見つかりません");
    case ENOTDIR:
        return KOR_TRANSLATE_NOOP("platform", "パスが見つかりません");
    case EACCES:
    case EPERM:
        return KOR_TRANSLATE_NOOP("platform", "アクセスが拒否されました");
    case EROFS:
        return KOR_TRANSLATE_NOOP("platform", "ディスクが書き込み禁止になっています");
    case ENOSPC:
    case EDQUOT:
        return KOR_TRANSLATE_NOOP("platform", "ディスクの空き容量が不足しています");
    case EEXIST:
        return KOR_TRANSLATE_NOOP("platform", "同じ名前のファイルが既にあります");
    case ENOTEMPTY:
        return KOR_TRANSLATE_NOOP("platform", "フォルダが空ではありません");
    case ENODEV:
        return KOR_TRANSLATE_NOOP("platform", "ドライブが割り当てられていません");
    case EXDEV:
        return KOR_TRANSLATE_NOOP("platform", "別のドライブです");
    case EISDIR:
        return KOR_TRANSLATE_NOOP("platform", "フォルダです");
    case EILSEQ:
        return KOR_TRANSLATE_NOOP("platform", "Shift-JIS で扱えない文字があります");
    case EIO:
        return KOR_TRANSLATE_NOOP("platform", "ディスクの読み書きに失敗しました");
    case EINVAL:
        return KOR_TRANSLATE_NOOP("platform", "指定された名前または値が正しくありません");
    case ENAMETOOLONG:
        return KOR_TRANSLATE_NOOP("platform", "ファイル名が長すぎます");
    case EFBIG:
        return KOR_TRANSLATE_NOOP("platform", "ファイルが大きすぎます");
    case EMFILE:
    case ENFILE:
        return KOR_TRANSLATE_NOOP("platform", "開いているファイルが多すぎます");
    case ENOMEM:
        return KOR_TRANSLATE_NOOP("platform", "メモリが不足しています");
    case EBUSY:
    case ETXTBSY:
        return KOR_TRANSLATE_NOOP("platform", "別のプロセスが使用中です");
    case EBADMSG:
        return KOR_TRANSLATE_NOOP("platform", "データが壊れています");
    case ESTALE:
        return KOR_TRANSLATE_NOOP("platform", "ファイルが途中で変更されました");
    }
    return nullptr;
}

} // namespace

std::string userReasonOf(int code) {
    if (const char* phrase = phraseOf(code))
        return language::translate("platform", phrase);
    return language::fill(language::translate("platform", "エラーが発生しました (errno {1}: {2})"),
                          {std::to_string(code), describeError(code)});
}

std::string Error::reason() const {
    return m_detail.empty() ? describeError(m_code) : m_detail;
}

std::string Error::userReason() const {
    return m_userReason.empty() ? userReasonOf(m_code) : escapeControlCharacters(m_userReason);
}

std::string Error::text() const {
    std::string text = "cannot " + std::string(m_operation.english);
    if (!m_path.empty())
        text += " " + m_path;
    if (!m_destination.empty())
        text += " to " + m_destination;
    return text + ": " + reason();
}

std::string Error::message() const {
    // A path may hold any byte a name can, a line break too: written escaped,
    // it stays on its own line and cannot pass for another report.
    std::string place = escapeControlCharacters(m_path, LineBreaks::Escape);
    if (!m_destination.empty())
        place += (place.empty() ? "→ " : " → ") +
                 escapeControlCharacters(m_destination, LineBreaks::Escape);
    // The operation is a sentence of its own, closed as the language closes
    // one; so is the reason.
    const std::string operation =
        language::translate(OperationContext, std::string(m_operation.japanese).c_str());
    const std::string reason = userReason();
    if (m_reasonLeads)
        return language::fill(language::translate("platform", "{1}。"), {reason}) + "\n" +
               (place.empty() ? "" : place + "\n") +
               language::fill(language::translate("platform", "{1}。"), {operation});
    const std::string sentences =
        language::fill(language::translate("platform", "{1}。{2}。"), {operation, reason});
    return place.empty() ? sentences : place + "\n" + sentences;
}

} // namespace kor::platform
