// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert_window.h"

#include "controls.h"
#include "fonts.h"
#include "main_window.h"
#include "source_chooser.h"
#include "twips.h"

#include "pictures/picture_reading.h"

#include "core/archive.h"
#include "core/logo.h"
#include "core/logo_problem_text.h"
#include "language/translation.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/services.h"
#include "platform/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <vector>

#include <unistd.h>

namespace kor::setup {

namespace {

using core::Framing;
using core::LogoFormat;

// A text of the window's, translated, with its {1}, {2}, ... filled in.
std::string filled(const QString& text, std::initializer_list<std::string_view> values = {}) {
    return language::fill(text.toStdString(), values);
}

// The first cycling entry a new logo gets: Windows 95's own logo cycles its
// last twenty entries.
constexpr int DefaultAnimateFrom = 236;

// The logos a new one can become at once, in the order the window lists them.
constexpr std::array<std::pair<core::LogoSlot, const char*>, 3> InstallChoices{{
    {core::LogoSlot::Opening,
     QT_TRANSLATE_NOOP("kor::setup::ConvertWindow", "ｵｰﾌﾟﾆﾝｸﾞ (logo.sys)")},
    {core::LogoSlot::Middle, QT_TRANSLATE_NOOP("kor::setup::ConvertWindow", "中間 (logow.sys)")},
    {core::LogoSlot::Ending,
     QT_TRANSLATE_NOOP("kor::setup::ConvertWindow", "ｴﾝﾃﾞｨﾝｸﾞ (logos.sys)")},
}};

std::string joinPath(std::string folder, std::string_view name) {
    return core::addBackslash(folder) + std::string(name);
}

// The part of a Windows path after its last "\".
std::string_view nameOf(std::string_view path) {
    const std::size_t separator = path.rfind('\\');
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    return toQString(a).compare(toQString(b), Qt::CaseInsensitive) == 0;
}

// The source's base name as a short name in upper case, at most `limit`
// bytes as FAT stores them, characters a short name cannot hold left out.
std::string shortBaseName(std::string_view sourceName, std::size_t limit) {
    const std::size_t dot = sourceName.rfind('.');
    const QString base = toQString(sourceName.substr(0, dot));
    std::string name;
    std::size_t bytes = 0;
    for (const QChar character : base) {
        const char16_t code = character.unicode();
        std::string piece;
        if (code < 0x80) {
            const char ascii = static_cast<char>(code);
            if (std::isalnum(static_cast<unsigned char>(ascii)) ||
                std::string_view("!#$%&'()-@^_`{}~").find(ascii) != std::string_view::npos)
                piece = platform::upperAscii(std::string(1, ascii));
        } else if (!character.isSurrogate()) {
            piece = QString(character).toStdString();
        }
        const platform::Result<std::string> stored = platform::toCp932(piece);
        if (piece.empty() || !stored)
            continue;
        if (bytes + stored.value().size() > limit)
            break;
        bytes += stored.value().size();
        name += piece;
    }
    return name;
}

// The name the logo is offered under: the source's short name with ".BMP", as
// the program's own pictures are named, "LOGO" when nothing is left of it.
// A BMP source whose name that would be gets "_L" at its end instead, so that
// the offer never names the picture itself.
std::string logoNameFor(std::string_view sourceName) {
    const std::string base = shortBaseName(sourceName, 8);
    if (base.empty())
        return "LOGO.BMP";
    if (!sameName(base + ".BMP", sourceName))
        return base + ".BMP";
    return shortBaseName(sourceName, 6) + "_L.BMP";
}

// Why a typed file name cannot be used; "" when it can.
std::string whyNotFileName(const std::string& name) {
    if (name.empty())
        return QCoreApplication::translate("kor::setup::ConvertWindow",
                                           "ﾌｧｲﾙ名が入力されていません")
            .toStdString();
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos ||
        std::ranges::any_of(name, [](char c) { return static_cast<unsigned char>(c) < 0x20; }) ||
        name.find_first_not_of('.') == std::string::npos)
        return filled(QCoreApplication::translate(
                          "kor::setup::ConvertWindow",
                          "{1}\nﾌｧｲﾙ名に使えない文字があります (\\ / : * ? \" < > |)"),
                      {name});
    if (!platform::toCp932(name))
        return filled(QCoreApplication::translate("kor::setup::ConvertWindow",
                                                  "{1}\nﾌｧｲﾙ名に Windows で使えない文字があります"),
                      {name});
    return {};
}

// Why a picture was not read, in the window's words: the decoders' own are
// English.
std::string whyNotRead(pictures::PictureFault fault) {
    switch (fault) {
    case pictures::PictureFault::TooWide:
        return filled(QCoreApplication::translate("kor::setup::ConvertWindow",
                                                  "画像の横幅が大きすぎます (上限は {1} ﾄﾞｯﾄです)"),
                      {std::to_string(pictures::PngRowPixelsLimit)});
    case pictures::PictureFault::Damaged:
        return QCoreApplication::translate("kor::setup::ConvertWindow",
                                           "画像を読み込めません (ﾃﾞｰﾀが壊れています)")
            .toStdString();
    case pictures::PictureFault::OutOfMemory:
        return QCoreApplication::translate("kor::setup::ConvertWindow",
                                           "画像を読み込めません (ﾒﾓﾘが不足しています)")
            .toStdString();
    case pictures::PictureFault::None:
    case pictures::PictureFault::Unreadable:
        break;
    }
    return QCoreApplication::translate("kor::setup::ConvertWindow", "画像を読み込めません")
        .toStdString();
}

// Decodes the picture file an open descriptor reads as korlogo convert does,
// as it goes rather than from a copy of it all in memory. Takes the descriptor.
pictures::PictureReading decodePicture(int descriptor, Framing framing) {
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {};
    }
    return pictures::readPictureForLogo(file, framing);
}

QRadioButton* makeOption(QWidget* parent, const char* name, const QString& caption,
                         QRect geometry) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QString::fromLatin1(name));
    option->setGeometry(geometry);
    return option;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}

} // namespace

bool isConvertiblePictureName(std::string_view name) {
    return matchesAnyPattern(name, ConvertiblePicturePattern);
}

ConvertWindow::ConvertWindow(MainWindow& main, core::SetupSession& session)
    : m_main(main), m_session(session) {
    setUpChildWindow(*this, "ConvertWindow", tr("画像をロゴに変換"), CloseButton::Shown);

    contentPanel = makePanel(nullptr, "contentPanel");
    contentPanel->setFont(japaneseUiFont());
    contentPanel->setFixedSize(sizeFromTwips(6300, 4875));
    sourceHeading = makeLabel(contentPanel, "sourceHeading", rectFromTwips(120, 90, 4000, 240),
                              tr("変換する画像 (BMP・PNG・JPEG・GIF)"));
    driveList = new DriveListBox(contentPanel);
    driveList->setObjectName(QStringLiteral("driveList"));
    driveList->setGeometry(rectFromTwips(120, 360, 2900, 300));
    folderList = new DirListBox(contentPanel);
    folderList->setObjectName(QStringLiteral("folderList"));
    folderList->setGeometry(rectFromTwips(120, 720, 2900, 1500));
    fileList = new FileListBox(contentPanel);
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setGeometry(rectFromTwips(3120, 360, 3060, 1860));
    fileList->setPattern(ConvertiblePicturePattern);

    machineGroup =
        makeGroup(contentPanel, "machineGroup", tr("機種"), rectFromTwips(120, 2310, 1800, 1140));
    // The machine's screen comes with it: 4:3 unless the logo is for
    // square pixels, as an emulator shows 640x400 unscaled.
    targetWindows95Option =
        makeOption(machineGroup, "targetWindows95Option", QStringLiteral("Windows 95"),
                   rectFromTwips(150, 270, 1560, 255));
    targetPc98Option = makeOption(machineGroup, "targetPc98Option", QStringLiteral("PC-98"),
                                  rectFromTwips(150, 555, 1560, 255));
    squarePixelsBox = makeCheckBox(machineGroup, "squarePixelsBox", tr("正方形ﾋﾟｸｾﾙ"),
                                   rectFromTwips(150, 840, 1560, 255));
    squarePixelsBox->setToolTip(tr("640x400 の画面を正方形ﾋﾟｸｾﾙで映すｴﾐｭﾚｰﾀ向けに変換します"));
    framingGroup = makeGroup(contentPanel, "framingGroup", tr("画像の合わせ方"),
                             rectFromTwips(2010, 2310, 2040, 1140));
    fitWholeOption = makeOption(framingGroup, "fitWholeOption", tr("全体を収める"),
                                rectFromTwips(150, 270, 1800, 255));
    fillScreenOption = makeOption(framingGroup, "fillScreenOption", tr("画面を埋める"),
                                  rectFromTwips(150, 555, 1800, 255));
    stretchOption = makeOption(framingGroup, "stretchOption", tr("引き伸ばす"),
                               rectFromTwips(150, 840, 1800, 255));
    fitWholeOption->setChecked(true);
    colourCyclingGroup = makeGroup(contentPanel, "colourCyclingGroup", tr("色の動き"),
                                   rectFromTwips(4140, 2310, 2040, 1140));
    cycleColoursBox = makeCheckBox(colourCyclingGroup, "cycleColoursBox", tr("色を循環させる"),
                                   rectFromTwips(150, 300, 1800, 270));
    firstCycledHeading = makeLabel(colourCyclingGroup, "firstCycledHeading",
                                   rectFromTwips(150, 690, 1000, 255), tr("開始ﾊﾟﾚｯﾄ"));
    firstCycledEntry = new QSpinBox(colourCyclingGroup);
    firstCycledEntry->setObjectName(QStringLiteral("firstCycledEntry"));
    firstCycledEntry->setGeometry(rectFromTwips(1140, 660, 780, 315));
    firstCycledEntry->setRange(1, 255);
    firstCycledEntry->setValue(DefaultAnimateFrom);
    firstCycledEntry->setEnabled(false);

    outputFolderHeading = makeLabel(contentPanel, "outputFolderHeading",
                                    rectFromTwips(120, 3600, 1200, 240), tr("保存先ﾌｫﾙﾀﾞ"));
    outputFolderPath =
        makeLabel(contentPanel, "outputFolderPath", rectFromTwips(1320, 3540, 3780, 330));
    outputFolderPath->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outputFolderPath->setAutoFillBackground(true);
    outputFolderPath->setBackgroundRole(QPalette::Base);
    outputFolderPath->setIndent(3);
    chooseFolderButton = makeButton(contentPanel, "chooseFolderButton", tr("参照..."),
                                    rectFromTwips(5190, 3540, 990, 345));
    outputNameHeading = makeLabel(contentPanel, "outputNameHeading",
                                  rectFromTwips(120, 4020, 1200, 240), tr("ﾌｧｲﾙ名"));
    outputName = new QLineEdit(contentPanel);
    outputName->setObjectName(QStringLiteral("outputName"));
    outputName->setGeometry(rectFromTwips(1320, 3960, 1800, 330));
    logoToInstallHeading = makeLabel(contentPanel, "logoToInstallHeading",
                                     rectFromTwips(120, 4470, 1200, 240), tr("変換後のﾛｺﾞ"));
    logoToInstall = new QComboBox(contentPanel);
    logoToInstall->setObjectName(QStringLiteral("logoToInstall"));
    logoToInstall->setGeometry(rectFromTwips(1320, 4410, 2100, 330));
    for (const auto& [slot, caption] : InstallChoices)
        logoToInstall->addItem(tr(caption), static_cast<int>(slot));
    convertButton =
        makeButton(contentPanel, "convertButton", tr("変換"), rectFromTwips(3540, 4380, 1260, 375));
    closeButton =
        makeButton(contentPanel, "closeButton", tr("閉じる"), rectFromTwips(4920, 4380, 1260, 375));
    convertButton->setDefault(true);
    setTabOrderChain({driveList, folderList, fileList, targetWindows95Option, targetPc98Option,
                      squarePixelsBox, fitWholeOption, fillScreenOption, stretchOption,
                      cycleColoursBox, firstCycledEntry, chooseFolderButton, outputName,
                      logoToInstall, convertButton, closeButton});
    setWidget(contentPanel);

    connect(driveList, &DriveListBox::changed, this, &ConvertWindow::driveChanged);
    connect(folderList, &DirListBox::changed, this, &ConvertWindow::folderChanged);
    connect(fileList, &FileListBox::picked, this, &ConvertWindow::filePicked);
    connect(targetPc98Option, &QRadioButton::toggled, this, &ConvertWindow::machineChanged);
    connect(cycleColoursBox, &QCheckBox::toggled, firstCycledEntry, &QSpinBox::setEnabled);
    connect(convertButton, &QPushButton::clicked, this, &ConvertWindow::convert);
    connect(closeButton, &QPushButton::clicked, this, &ConvertWindow::closeClicked);
    connect(chooseFolderButton, &QPushButton::clicked, this, &ConvertWindow::chooseOutputFolder);
}

void ConvertWindow::load() {
    placeChildWindow(*this, m_main.innerSizeInTwips(), 60.0, 60.0);
    // The machine the settings are for, as korsetup's other windows use.
    (core::logoFormatOf(m_session.settings) == LogoFormat::Pc98 ? targetPc98Option
                                                                : targetWindows95Option)
        ->setChecked(true);
    machineChanged();
    showOutputFolder(folderList->path());
}

platform::Status ConvertWindow::setSource(const std::string& windowsPath) {
    const std::size_t separator = windowsPath.rfind('\\');
    if (separator == std::string::npos)
        return platform::Error(platform::Operation::Find, windowsPath, ENOENT);
    // A root keeps its "\".
    const std::string folder = windowsPath.substr(0, std::max<std::size_t>(separator, 3));
    if (platform::Status drive = driveList->setDrive(folder); !drive)
        return drive;
    if (platform::Status shown = folderList->setPath(folder); !shown)
        return shown;
    // The folder list moving emits its change, which lists the folder; a
    // folder shown already is listed anew here.
    if (platform::Status listed = fileList->setPath(folderList->path()); !listed)
        return listed;
    const QString name = toQString(nameOf(windowsPath));
    for (int row = 0; row < fileList->count(); ++row)
        if (fileList->item(row)->text().compare(name, Qt::CaseInsensitive) == 0)
            fileList->setCurrentRow(row);
    return {};
}

std::string ConvertWindow::sourcePath() const {
    const std::string name = fileList->selectedName();
    return name.empty() ? std::string() : joinPath(fileList->path(), name);
}

void ConvertWindow::setOutputFolder(const std::string& windowsPath) {
    m_outputChosen = true;
    showOutputFolder(windowsPath);
}

void ConvertWindow::showOutputFolder(const std::string& windowsPath) {
    m_outputFolder = windowsPath;
    outputFolderPath->setText(toQString(windowsPath));
    outputFolderPath->setToolTip(toQString(windowsPath));
}

core::ConversionOptions ConvertWindow::options() const {
    core::ConversionOptions options;
    options.format = targetPc98Option->isChecked() ? LogoFormat::Pc98 : LogoFormat::Windows95;
    options.framing = fillScreenOption->isChecked() ? Framing::Fill
                      : stretchOption->isChecked()  ? Framing::Stretch
                                                    : Framing::Fit;
    options.animateFrom =
        cycleColoursBox->isChecked() ? static_cast<std::uint32_t>(firstCycledEntry->value()) : 0;
    options.shape = squarePixelsBox->isChecked() ? core::ScreenShape::SquarePixels
                                                 : core::ScreenShape::FourByThree;
    return options;
}

void ConvertWindow::machineChanged() {
    // The entries that can cycle: all but entry 0, which frames the screen;
    // a PC-98 logo has sixteen. A value beyond them comes down to the last.
    const int last = static_cast<int>(core::layoutOf(options().format).paletteEntries) - 1;
    const int before = firstCycledEntry->maximum();
    firstCycledEntry->setMaximum(last);
    // Back from a PC-98, whose range cut the entry down, the usual one
    // returns.
    if (last > before && firstCycledEntry->value() == before)
        firstCycledEntry->setValue(DefaultAnimateFrom);
}

void ConvertWindow::driveChanged() {
    // The folder list moves to the drive's own current directory; the
    // machine's current drive stays, as the logo browser relies on it.
    if (platform::Status shown = folderList->setPath(std::string{driveList->drive(), ':'}); !shown)
        tell(shown.error().message());
}

void ConvertWindow::folderChanged() {
    if (platform::Status listed = fileList->setPath(folderList->path()); !listed)
        tell(listed.error().message());
    if (!m_outputChosen)
        showOutputFolder(folderList->path());
}

void ConvertWindow::filePicked() {
    outputName->setText(toQString(logoNameFor(fileList->selectedName())));
}

void ConvertWindow::closeClicked() {
    close();
}

void ConvertWindow::chooseOutputFolder() {
    SourceChooser chooser(&m_main, SourceKind::SaveFolder, wholeCaption(*outputFolderHeading),
                          m_outputFolder);
    const QPointer<ConvertWindow> alive(this);
    if (chooser.exec() != QDialog::Accepted || !alive)
        return;
    setOutputFolder(chooser.chosenPath());
}

void ConvertWindow::convert() {
    const std::string source = sourcePath();
    if (source.empty())
        return tell(tr("変換する画像が選択されていません").toStdString());
    const std::string name = outputName->text().trimmed().toStdString();
    if (std::string why = whyNotFileName(name); !why.empty())
        return tell(why);
    if (platform::Status found = platform::findDirectory(m_outputFolder); !found)
        return tell(found.error().message());
    const std::string output = joinPath(m_outputFolder, name);
    if (platform::directoryExists(output))
        return tell(filled(tr("{1}\n同じ名前のﾌｫﾙﾀﾞがあります"), {output}));
    // The picture itself is never written over: a logo made from a BMP would
    // replace the only copy of the original.
    if (sameName(output, source))
        return tell(
            filled(tr("{1}\n変換元の画像と同じﾌｧｲﾙです。別のﾌｧｲﾙ名を付けてください"), {output}));

    // All is read and converted before anything is asked or written, so that
    // a picture that cannot be used leaves every file as it was.
    const std::optional<std::string> logo = convertedSource(source);
    if (!logo)
        return;
    if (platform::fileExists(output) &&
        platform::services().ask(filled(tr("{1}\nこのﾌｧｲﾙは既にあります。上書きしますか？"),
                                        {output})) != platform::Answer::Yes)
        return;
    if (platform::Status written = platform::writeFileAtomically(output, *logo); !written)
        return tell(written.error().message());
    offerInstall(output, options().format);
}

std::optional<std::string> ConvertWindow::convertedSource(const std::string& source) {
    const platform::Result<int> opened = platform::openFileForReading(source);
    if (!opened) {
        tell(opened.error().message());
        return std::nullopt;
    }
    const core::ConversionOptions chosen = options();
    const pictures::PictureReading picture = decodePicture(opened.value(), chosen.framing);
    if (picture.refusedSize.isValid()) {
        tell(source + "\n" +
             filled(tr("画像が大きすぎます ({1}x{2} ﾄﾞｯﾄ。上限は {3} ﾒｶﾞﾋﾟｸｾﾙです)"),
                    {std::to_string(picture.refusedSize.width()),
                     std::to_string(picture.refusedSize.height()),
                     std::to_string(picture.limitMegapixels)}));
        return std::nullopt;
    }
    if (!picture.picture) {
        tell(source + "\n" + whyNotRead(picture.fault));
        return std::nullopt;
    }
    const auto logo = core::convertToLogo(*picture.picture, chosen);
    if (!logo) {
        tell(logo.error().retold(logo.error().operation(), source).message());
        return std::nullopt;
    }
    return std::string(logo.value().begin(), logo.value().end());
}

void ConvertWindow::offerInstall(const std::string& written, LogoFormat format) {
    const std::string done = filled(tr("{1}\n{2} のﾛｺﾞに変換しました"),
                                    {written, std::string(core::machineNameOf(format))});
    // A logo for the other machine is not offered where the size check
    // would refuse it.
    if (!core::isLogoLengthAccepted(m_session.settings, core::layoutOf(format).length))
        return tell(done);
    const auto slot = static_cast<core::LogoSlot>(logoToInstall->currentData().toInt());
    if (platform::services().ask(filled(tr("{1}\nこのﾛｺﾞを今すぐ{2}にしますか？"),
                                        {done, logoToInstall->currentText().toStdString()})) !=
        platform::Answer::Yes)
        return;
    if (platform::Status installed = core::installLogoFromFile(m_session.settings, slot, written);
        !installed)
        return tell(installed.error().message());
    tell(tr("変更が終了しました").toStdString());
}

} // namespace kor::setup
