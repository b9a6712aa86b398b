// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services.h"

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kor::testing {

// Thrown by RecordingServices::endProgram so that a test sees the end of the
// program instead of the process ending.
struct ProgramEnded : std::runtime_error {
    explicit ProgramEnded(int status) : std::runtime_error("program ended"), exitStatus(status) {}
    int exitStatus;
};

// Records every message, question, beep and opened folder, answers questions
// from a queue (Yes when empty), opens folders as `folderOpening` says, and
// throws ProgramEnded at the end.
class RecordingServices final : public platform::Services {
  public:
    struct Message {
        std::string caption;
        std::string text;
    };

    void showMessage(std::string_view caption, std::string_view text) override;
    platform::Answer ask(std::string_view text) override;
    void beep() override;
    platform::FolderOpening openFolder(std::string_view windowsPath) override;
    [[noreturn]] void endProgram(int exitStatus) override;

    std::vector<Message> messages;
    std::vector<std::string> questions;
    std::deque<platform::Answer> answers;
    std::vector<std::string> openedFolders;
    platform::FolderOpening folderOpening = platform::FolderOpening::Opened;
    int beeps = 0;
};

// Installs a RecordingServices for the lifetime of this object.
class RecordingScope {
  public:
    RecordingScope();
    ~RecordingScope();
    RecordingScope(const RecordingScope&) = delete;
    RecordingScope& operator=(const RecordingScope&) = delete;

    RecordingServices& recorder() { return *m_recorder; }

  private:
    RecordingServices* m_recorder;
    std::unique_ptr<platform::Services> m_previous;
};

} // namespace kor::testing
