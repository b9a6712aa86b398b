// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>

// What the programs tell the user and ask of the desktop. On a desktop (a
// display is set) these are Qt dialogs and the desktop's file manager; in an
// unattended run the texts go to standard error. Tests install a recorder.
namespace kor::platform {

enum class Answer { Yes, No };

// What became of a folder given to the file manager.
enum class FolderOpening {
    Opened,
    // The Windows path has no host folder (one inside a disk image).
    NotAHostFolder,
    // Nothing on this desktop opens folders, or there is no desktop.
    NoFileManager,
};

class Services {
  public:
    virtual ~Services() = default;

    // A message box with one text, an OK button, no icon and `caption`.
    virtual void showMessage(std::string_view caption, std::string_view text) = 0;
    // A Yes/No box titled "確認" ("Confirm" in English).
    virtual Answer ask(std::string_view text) = 0;
    virtual void beep() = 0;
    // Opens a folder (a Windows path) in the desktop's file manager; says why
    // when that could not be done.
    virtual FolderOpening openFolder(std::string_view windowsPath) = 0;
    // Ends the program at once with `exitStatus`. A recorder may throw instead.
    [[noreturn]] virtual void endProgram(int exitStatus) = 0;
};

// The services of this process; the headless face until a program or a test
// installs another.
Services& services();

// Ends the program through services().endProgram, and at once should that
// return. Callers use this rather than the virtual call, whose [[noreturn]]
// g++ does not carry over to the call site.
[[noreturn]] void endProgram(int exitStatus);
// Installs other services (a recorder in tests); returns the ones replaced.
std::unique_ptr<Services> setServices(std::unique_ptr<Services> replacement);

// The face that writes to standard error and beeps with BEL.
std::unique_ptr<Services> makeHeadlessServices();

// Whether Qt can open a window on the platform `qtPlatforms` names (its
// -platform option or QT_QPA_PLATFORM, entries tried in turn separated by
// ';', empty for Qt's own choice of Wayland, then X11): a display it needs is
// set and answers. Qt ends the program when none can open; a platform that
// needs no display (offscreen, vnc, ...) is left to Qt.
bool windowsCanOpen(std::string_view qtPlatforms);

// The services of a program that may run on a desktop or unattended: the
// desktop face (a library of its own, loaded at the first message) when a
// display is set and that library loads, the headless face otherwise. A run
// with nothing to say never starts the windowing toolkit.
std::unique_ptr<Services> makeServicesForThisSession();

} // namespace kor::platform
