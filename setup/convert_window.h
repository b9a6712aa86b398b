// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "file_controls.h"

#include "core/logo_conversion.h"
#include "core/setup_session.h"

#include <QMdiSubWindow>

#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kor::setup {

class MainWindow;

// The pictures the converter lists: those Qt reads, as "*.BMP;*.PNG;...".
inline constexpr std::string_view ConvertiblePicturePattern = "*.BMP;*.PNG;*.JPG;*.JPEG;*.GIF";

// Whether a file name ends like one of the pictures the converter lists.
bool isConvertiblePictureName(std::string_view name);

// The picture-to-logo converter: the user picks a picture on the machine's
// drives, the machine (its screen 4:3, or square pixels), how the picture
// meets the screen and whether its colours cycle, and the folder and name of
// the logo; 変換 writes it there, all or nothing, and offers to make it one
// of the three logos at once. It reads and writes only through the machine,
// so a drive that is a disk image serves as any other, and leaves the
// machine's current drive and directory alone.
class ConvertWindow final : public QMdiSubWindow {
    Q_OBJECT

  public:
    ConvertWindow(MainWindow& main, core::SetupSession& session);

    // Run once, when the main window makes it: places it, picks the machine
    // the settings are for and shows the output folder.
    void load();

    // Shows the picture at `windowsPath` (a full Windows path) as the source,
    // selected in its folder's list. Fails, changing nothing, when its folder
    // cannot be shown.
    platform::Status setSource(const std::string& windowsPath);
    // The full Windows path of the selected picture; "" when none is.
    std::string sourcePath() const;

    // Where the logo goes; until the user picks a folder, the source's.
    void setOutputFolder(const std::string& windowsPath);
    const std::string& outputFolder() const { return m_outputFolder; }

    // The options as the controls hold them.
    core::ConversionOptions options() const;

    // The controls, reached by the window's own code and by tests: the
    // picture's drive, folder and file; the machine and whether its screen
    // has square pixels; how the picture meets the screen; whether its
    // colours cycle, from which palette entry; the folder and name of the
    // logo, and which of the three logos it becomes.
    QFrame* contentPanel;
    QLabel* sourceHeading;
    DriveListBox* driveList;
    DirListBox* folderList;
    FileListBox* fileList;
    QGroupBox* machineGroup;
    QRadioButton* targetWindows95Option;
    QRadioButton* targetPc98Option;
    QCheckBox* squarePixelsBox;
    QGroupBox* framingGroup;
    QRadioButton* fitWholeOption;
    QRadioButton* fillScreenOption;
    QRadioButton* stretchOption;
    QGroupBox* colourCyclingGroup;
    QCheckBox* cycleColoursBox;
    QLabel* firstCycledHeading;
    QSpinBox* firstCycledEntry;
    QLabel* outputFolderHeading;
    QLabel* outputFolderPath;
    QPushButton* chooseFolderButton;
    QLabel* outputNameHeading;
    QLineEdit* outputName;
    QLabel* logoToInstallHeading;
    QComboBox* logoToInstall;
    QPushButton* convertButton;
    QPushButton* closeButton;

  private:
    void driveChanged();
    void folderChanged();
    void filePicked();
    void convert();
    void closeClicked();
    void chooseOutputFolder();
    void machineChanged();
    void showOutputFolder(const std::string& windowsPath);

    // Reads, decodes and converts the source; nullopt when the user has been
    // told why not.
    std::optional<std::string> convertedSource(const std::string& source);
    // Offers to make the written logo the one picked in the list of logos.
    void offerInstall(const std::string& written, core::LogoFormat format);

    MainWindow& m_main;
    core::SetupSession& m_session;
    std::string m_outputFolder;
    bool m_outputChosen = false;
};

} // namespace kor::setup
