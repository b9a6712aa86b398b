// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kor::korlogo {

enum class Message {
    Synopsis,
    Help,
    MoreHelp,
    Version,
    HelpCheck,
    Shown,
    NotShown,
    Cycles,
    DoesNotMove,
    Unreadable,
    NotAFile,
    HelpConvert,
    Converted,
    CannotReadPicture,
    IsAFolder,
    PictureTooLarge,
    PictureTooWide,
    PictureDamaged,
    PictureOutOfMemory,
    PictureUnreadable,
    CannotWriteLogo,
    OutputNotAFile,
    StandardOutput,
    BadAnimateFrom,
    HelpPreview,
    PreviewCannotSave,
    PreviewNoDisplay,
};

// Every text korlogo writes, in the language of the session. The reasons a
// file is refused are core's texts, shared with korsetup and KOR.
class Messages {
  public:
    // Why a file could not be read, in the system's words; in English after a
    // colon, so without its capital unless it starts with an acronym.
    std::string reason(int error) const;

    // The text of `message` with {1}, {2}, ... replaced by `values`.
    std::string text(Message message, std::initializer_list<std::string_view> values = {}) const;
};

} // namespace kor::korlogo
