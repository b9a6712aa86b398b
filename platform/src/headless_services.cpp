// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services.h"

#include "platform/text.h"

#include "language/translation.h"

#include <cstdlib>
#include <iostream>

namespace kor::platform {
namespace {

// The face of an unattended run: nobody is there to read a box or answer a
// question, so texts go to standard error and every question is answered No,
// which never lets the program do more than it would have done unasked. Texts
// may carry names from KOR.INI or an archive, so their control characters are
// shown, never sent to the terminal.
class HeadlessServices final : public Services {
  public:
    void showMessage(std::string_view caption, std::string_view text) override {
        std::cerr << escapeControlCharacters(caption) << ": " << escapeControlCharacters(text)
                  << '\n'
                  << std::flush;
    }

    Answer ask(std::string_view text) override {
        std::cerr << language::translate("platform", "確認") << ": "
                  << escapeControlCharacters(text) << " (answered No: nobody is there to answer)\n"
                  << std::flush;
        return Answer::No;
    }

    void beep() override { std::cerr << '\a' << std::flush; }

    FolderOpening openFolder(std::string_view windowsPath) override {
        std::cerr << "cannot open the folder " << escapeControlCharacters(windowsPath)
                  << ": no desktop is running\n"
                  << std::flush;
        return FolderOpening::NoFileManager;
    }

    [[noreturn]] void endProgram(int exitStatus) override {
        std::cout.flush();
        std::cerr.flush();
        std::exit(exitStatus);
    }
};

} // namespace

std::unique_ptr<Services> makeHeadlessServices() {
    return std::make_unique<HeadlessServices>();
}

} // namespace kor::platform
