// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_problem_text.h"

#include <initializer_list>
#include <string>

namespace kor::korlogo {

// The reasons a file is refused are core's texts, shared with korsetup and KOR.
using Language = core::TextLanguage;

// The language of the messages, as the C library would choose it.
Language languageOfThisSession();

enum class Message {
    Usage,
    Shown,
    NotShown,
    Joined,
    Cycles,
    DoesNotMove,
    Unreadable,
    NotAFile,
    UsageConvert,
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
    UsagePreview,
    PreviewCannotSave,
    PreviewNoDisplay,
};

// Every text korlogo writes, in the language of the session.
class Messages {
  public:
    explicit Messages(Language language) : m_language(language) {}

    Language language() const { return m_language; }

    // Why a file could not be read, in the system's words; in English after a
    // colon, so without its capital unless it starts with an acronym.
    std::string reason(int error) const;

    // The text of `message` with {1}, {2}, ... replaced by `values`.
    std::string text(Message message, std::initializer_list<std::string> values = {}) const;

  private:
    Language m_language;
};

} // namespace kor::korlogo
