// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording_services.h"

namespace kor::testing {

void RecordingServices::showMessage(std::string_view caption, std::string_view text) {
    messages.push_back({std::string(caption), std::string(text)});
}

platform::Answer RecordingServices::ask(std::string_view text) {
    questions.emplace_back(text);
    if (answers.empty())
        return platform::Answer::Yes;
    const platform::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingServices::beep() {
    ++beeps;
}

platform::FolderOpening RecordingServices::openFolder(std::string_view windowsPath) {
    openedFolders.emplace_back(windowsPath);
    return folderOpening;
}

void RecordingServices::endProgram(int exitStatus) {
    throw ProgramEnded(exitStatus);
}

RecordingScope::RecordingScope() {
    auto recorder = std::make_unique<RecordingServices>();
    m_recorder = recorder.get();
    m_previous = platform::setServices(std::move(recorder));
}

RecordingScope::~RecordingScope() {
    platform::setServices(std::move(m_previous));
}

} // namespace kor::testing
