// SPDX-License-Identifier: GPL-3.0-or-later
// korsetup on a boot drive that is a FAT disk image, as an emulator's Windows
// 95 disk is, in the formats emulators keep it in: a raw disk, QEMU's qcow2,
// and a PC-98 disk behind its HDI header, whose boot drive is A:. The logo
// browser walks into a folder with a Japanese 8.3 name, shows a picture or an
// archive member and makes it a logo at once; the logo backup, the converter
// and the location window's chooser work inside the image. The image is
// checked byte for byte and with fsck.fat afterwards, and with qemu-img check
// where QEMU keeps it.

#include "browser_test_support.h"
#include "convert_window.h"
#include "disk_image.h"
#include "image_display.h"
#include "location_window.h"
#include "run_program.h"
#include "source_chooser.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <unistd.h>

using kor::setup::ImageDisplay;
using kor::testing::FatVolume;
using kor::testing::liveWindow;
using kor::testing::OpenBrowser;
using kor::testing::ProgramRun;
using kor::testing::TemporaryMachine;
using kor::testing::withChooser;

namespace {

namespace fs = std::filesystem;

const std::array<QColor, 4> OtherQuarters = {QColor(Qt::cyan), QColor(Qt::magenta),
                                             QColor(Qt::yellow), QColor(Qt::black)};

std::string picture(int which) {
    return kor::testing::logoBitmap(which == 0 ? kor::testing::Quarters : OtherQuarters);
}

std::string cp932(std::string_view text) {
    return kor::platform::toCp932(text).value();
}

const std::string Folder = "C:\\PICS\\壁紙";
const std::string Archive = Folder + "\\和風.LZH";

// The kinds of disk each case runs on: "raw", an MBR disk with one FAT16
// partition from sector 63; "qcow2", that disk converted by qemu-img, as QEMU
// keeps it; "hdi", a PC-98 disk behind its HDI header, whose boot drive is A:.
const char* const DiskKinds[] = {"raw", "qcow2", "hdi"};

ProgramRun runQemuImg(const std::vector<std::string>& arguments) {
    return kor::testing::runProgram("/usr/bin/qemu-img", {}, arguments);
}

// Why this machine cannot hold a drive on a disk of `kind`; empty when it can.
QString whyNoDrive(const QString& kind) {
    if (kind != QStringLiteral("qcow2"))
        return {};
    const std::string why = kor::testing::whyNoQemuExport();
    return why.empty()
               ? QString()
               : QStringLiteral("cannot export a qcow2 image: ") + QString::fromStdString(why);
}

// The disk of the boot drive: the image the drive links to, and its volume.
struct Disk {
    QString kind;
    // In the raw disk; of a qcow2 image, in a raw copy that volume() reads
    // out anew.
    FatVolume raw;
    fs::path linked;

    char letter() const { return kind == QStringLiteral("hdi") ? 'A' : 'C'; }

    // `path`, written for drive C:, on the boot drive; a bare name as it is.
    std::string onDrive(std::string path) const {
        if (path.starts_with("C:"))
            path[0] = letter();
        return path;
    }

    // The KOR.INI lines `lines`, their paths written for drive C:, on the
    // boot drive.
    QStringList onDrive(QStringList lines) const {
        for (QString& line : lines)
            line.replace(QStringLiteral("=C:\\"),
                         QStringLiteral("=%1:\\").arg(QChar::fromLatin1(letter())));
        return lines;
    }

    // The volume as the image holds it now.
    FatVolume volume() const {
        if (kind == QStringLiteral("qcow2")) {
            // -U: the drive's export may still hold the image.
            const ProgramRun out =
                runQemuImg({"convert", "-U", "-O", "raw", linked.string(), raw.image.string()});
            if (out.exitStatus != 0)
                throw std::runtime_error(out.standardError);
        }
        return raw;
    }
};

// Moves the folder drive C: of `machine` into a disk of `kind`, damaged by
// `damage` first if given, makes the boot drive's folder of $KOR_ROOT a link
// to it, and installs the machine anew.
Disk moveDriveIntoImage(TemporaryMachine& machine, const QString& kind,
                        const std::function<void(const FatVolume&)>& damage) {
    const fs::path drive = machine.root() / "c";
    Disk disk{kind, {}, {}};
    if (kind == QStringLiteral("hdi")) {
        const kor::testing::Pc98PartitionSpec boot{kor::testing::FatType::Fat16, 1, 240, true};
        disk.raw = kor::testing::makePc98Disk(machine.root() / "pc98.hdi", {&boot, 1}).front();
        disk.raw.offset +=
            kor::testing::addDiskHeader(disk.raw.image, kor::testing::DiskHeader::Hdi);
    } else {
        disk.raw = kor::testing::makeMbrDisk(machine.root() / "win95.img",
                                             kor::testing::FatType::Fat16, 63);
    }
    kor::testing::copyTree(disk.raw, drive);
    if (damage)
        damage(disk.raw);
    disk.linked = disk.raw.image;
    if (kind == QStringLiteral("qcow2")) {
        disk.linked = machine.root() / "win95.qcow2";
        const ProgramRun made =
            runQemuImg({"convert", "-O", "qcow2", disk.raw.image.string(), disk.linked.string()});
        if (made.exitStatus != 0)
            throw std::runtime_error(made.standardError);
    }
    fs::remove_all(drive);
    fs::create_symlink(disk.linked.filename(),
                       machine.root() /
                           std::string(1, static_cast<char>(std::tolower(disk.letter()))));
    kor::platform::Machine::setCurrent(
        kor::platform::Machine(machine.root(), disk.onDrive("C:\\WINDOWS")));
    return disk;
}

// C:\WINDOWS with KOR.INI (CP932, as Windows writes it; its paths of drive
// C: on the boot drive) and old logos, and the folder 壁紙 with two pictures
// and an archive of the same two, moved into a disk of `kind`.
Disk writeImageDrive(TemporaryMachine& machine, const QStringList& ini, const QString& kind,
                     const std::function<void(const FatVolume&)>& damage = {}) {
    const Disk disk{kind, {}, {}};
    machine.writeFile(kor::testing::KorIni, cp932(kor::testing::koriniText(disk.onDrive(ini))));
    for (const char* logo : {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"})
        machine.writeFile(logo, "old logo");
    machine.writeFile(Folder + "\\A.BMP", picture(0));
    machine.writeFile(Folder + "\\富士.BMP", picture(1));
    machine.writeFile(Archive, kor::testing::makeLzhArchive({
                                   {"ONE.BMP", picture(0)},
                                   {cp932("桜.BMP"), picture(1)},
                               }));
    return moveDriveIntoImage(machine, kind, damage);
}

// "C:\WINDOWS\logos.sys" as mtools names it in the image.
std::string imagePath(const std::string& windowsPath) {
    std::string path = windowsPath.substr(2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Every name in the root and the Windows directory, folders marked, in upper
// case, as FAT matches them.
QStringList namesOnTheDrive(const Disk& disk) {
    QStringList names;
    for (const std::string& folder : {disk.onDrive("C:\\"), disk.onDrive("C:\\WINDOWS\\")}) {
        const std::vector<std::string> files = kor::platform::listFiles(folder, "*.*").valueOr({});
        const std::vector<std::string> folders = kor::platform::listDirectories(folder).valueOr({});
        for (const std::string& name : files)
            names << QString::fromStdString(folder + name);
        for (const std::string& name : folders)
            names << QString::fromStdString(folder + name + "\\");
    }
    for (QString& name : names)
        name = name.toUpper();
    names.sort();
    return names;
}

// The bytes of a file of the drive, through the platform; throws with the
// reason when it cannot be read.
std::string readOnTheDrive(const std::string& path) {
    kor::platform::Result<std::string> bytes = kor::platform::readFile(path);
    if (!bytes)
        throw std::runtime_error(bytes.error().text());
    return std::move(bytes).value();
}

std::string hostBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// fsck.fat finds the volume sound, and qemu-img the image that QEMU keeps.
void expectSoundDisk(const Disk& disk) {
    const kor::testing::FsckResult check = kor::testing::checkVolume(disk.volume());
    QVERIFY2(check.exitStatus == 0, check.output.c_str());
    if (disk.kind == QStringLiteral("qcow2")) {
        const ProgramRun image = runQemuImg({"check", "-U", disk.linked.string()});
        QVERIFY2(image.exitStatus == 0, (image.standardOutput + image.standardError).c_str());
    }
}

// Made before the browser's machine, which fills it.
struct ImageDisk {
    Disk disk;
};

struct ImageBrowser : ImageDisk, OpenBrowser {
    ImageBrowser(const QStringList& ini, const QString& kind,
                 const std::function<void(const FatVolume&)>& damage = {})
        : OpenBrowser(ini, [this, ini, kind, damage](TemporaryMachine& m) {
              disk = writeImageDrive(m, ini, kind, damage);
          }) {}

    // Double-clicks the folder `name` in the directory list.
    bool openFolder(const QString& name) {
        for (int row = 0; row < browser->folderList->count(); ++row) {
            QListWidgetItem* item = browser->folderList->item(row);
            if (item->text().trimmed() != name)
                continue;
            const QPoint centre = browser->folderList->visualItemRect(item).center();
            QTest::mouseClick(browser->folderList->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(browser->folderList->viewport(), Qt::LeftButton, {}, centre);
            return true;
        }
        return false;
    }

    // Clicks the member named `name` in the member list.
    bool pickMember(const QString& name) {
        for (int row = 0; row < browser->memberList->rowCount(); ++row)
            if (browser->memberList->cellText(row, 0) == name) {
                clickMember(row);
                return true;
            }
        return false;
    }
};

// Adds the column "disk", first, to a case's data.
void addDiskColumn() {
    QTest::addColumn<QString>("disk");
}

// Adds the row `name` once on each kind of disk, with `values` for the
// columns after "disk".
template <typename... Values> void addDiskRows(const char* name, const Values&... values) {
    for (const char* kind : DiskKinds)
        (QTest::addRow("%s, %s", kind, name) << QString::fromLatin1(kind) << ... << values);
}

const QStringList BmpMode{"ArcCheck=on"};
const QStringList ArchiveMode{};

} // namespace

// Skips the case when this machine cannot hold a drive on the disk of the
// row.
#define SKIP_WITHOUT_DISK(kind)                                                                    \
    if (const QString why = whyNoDrive(kind); !why.isEmpty())                                      \
    QSKIP(qPrintable(why))

class ImageDriveSetupTest : public QObject {
    Q_OBJECT

  private slots:
    void showAndInstallAtOnce_data();
    void showAndInstallAtOnce();
    void backupCopiesIntoTheImage_data();
    void backupCopiesIntoTheImage();
    void convertsInsideTheImage_data();
    void convertsInsideTheImage();
    void installsNothingOnADamagedVolume_data();
    void installsNothingOnADamagedVolume();
    void chooserRecordsAPickInsideTheImage_data();
    void chooserRecordsAPickInsideTheImage();
};

void ImageDriveSetupTest::showAndInstallAtOnce_data() {
    addDiskColumn();
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<bool>("walk"); // through the directory list, else from KOR.INI
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("member");    // "" in BMP mode
    QTest::addColumn<QString>("button");    // of the image display
    QTest::addColumn<QString>("logo");      // on drive C:, moved to the boot drive
    QTest::addColumn<int>("pictureNumber"); // 0 or 1, as picture() makes it

    addDiskRows("BMP mode, walked to, opening", BmpMode, true, QStringLiteral("A.BMP"), QString(),
                QStringLiteral("installOpeningButton"), QStringLiteral("C:\\logo.sys"), 0);
    addDiskRows("BMP mode, a Japanese name, from KOR.INI, ending",
                BmpMode + QStringList{"DirOnly=" + QString::fromStdString(Folder)}, false,
                QStringLiteral("富士.BMP"), QString(), QStringLiteral("installEndingButton"),
                QStringLiteral("C:\\WINDOWS\\logos.sys"), 1);
    addDiskRows("archive mode, walked to, middle", ArchiveMode, true, QStringLiteral("和風.LZH"),
                QStringLiteral("ONE.BMP"), QStringLiteral("installMiddleButton"),
                QStringLiteral("C:\\WINDOWS\\logow.sys"), 0);
    addDiskRows("archive mode, a Japanese member, from KOR.INI, opening",
                QStringList{"Dir=" + QString::fromStdString(Folder), "FileName=和風.LZH"}, false,
                QStringLiteral("和風.LZH"), QStringLiteral("桜.BMP"),
                QStringLiteral("installOpeningButton"), QStringLiteral("C:\\logo.sys"), 1);
}

void ImageDriveSetupTest::showAndInstallAtOnce() {
    QFETCH(QString, disk);
    QFETCH(QStringList, ini);
    QFETCH(bool, walk);
    QFETCH(QString, file);
    QFETCH(QString, member);
    QFETCH(QString, button);
    QFETCH(QString, logo);
    QFETCH(int, pictureNumber);
    SKIP_WITHOUT_DISK(disk);
    ImageBrowser shown(ini, disk);
    const std::string folder = shown.disk.onDrive(Folder);
    const std::string sourcePath = folder + "\\" + file.toStdString();
    const std::string logoPath = shown.disk.onDrive(logo.toStdString());
    const std::string source = readOnTheDrive(sourcePath);

    QCOMPARE(shown.browser->driveList->currentText(),
             QStringLiteral("%1:").arg(QChar::fromLatin1(shown.disk.letter()).toLower()));
    if (walk) {
        QVERIFY(shown.openFolder(QStringLiteral("PICS")));
        QVERIFY(shown.openFolder(QStringLiteral("壁紙")));
    }
    QCOMPARE(shown.browser->folderList->path(), folder);
    QVERIFY(shown.pickFile(file));
    if (!member.isEmpty())
        QVERIFY(shown.pickMember(member));
    const QStringList namesBefore = namesOnTheDrive(shown.disk);

    QTest::mouseClick(shown.browser->viewButton, Qt::LeftButton);
    QPointer<ImageDisplay> display = liveWindow<ImageDisplay>(*shown.window);
    QVERIFY2(display, shown.messages().empty() ? "" : shown.messages().front().c_str());
    QCOMPARE(display->windowTitle(), member.isEmpty() ? file : member);
    const QImage area = display->pictureView->grab().toImage();
    const QPoint corners[] = {{1, 1}, {382, 1}, {1, 286}, {382, 286}};
    const auto& quarters = pictureNumber == 0 ? kor::testing::Quarters : OtherQuarters;
    for (std::size_t quarter = 0; quarter < 4; ++quarter)
        QCOMPARE(area.pixelColor(corners[quarter]), quarters[quarter]);

    QTest::mouseClick(display->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(shown.messages(), std::vector<std::string>{std::string(kor::testing::Changed)});
    QTest::mouseClick(display->closeButton, Qt::LeftButton);
    QTRY_VERIFY(display.isNull());

    const std::string logoBytes = kor::testing::readFile(shown.disk.volume(), imagePath(logoPath));
    QVERIFY(logoBytes == picture(pictureNumber));
    QVERIFY(readOnTheDrive(logoPath) == logoBytes);
    QVERIFY(readOnTheDrive(sourcePath) == source);
    // No staged logo, extracted copy or temporary folder is left behind.
    QCOMPARE(namesOnTheDrive(shown.disk), namesBefore);
    expectSoundDisk(shown.disk);
}

void ImageDriveSetupTest::backupCopiesIntoTheImage_data() {
    addDiskColumn();
    QTest::addColumn<int>("rounds"); // each with new logos first
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("copies");

    addDiskRows("first backup", 1, QString(), 3);
    addDiskRows("a second backup overwrites the first", 2, QString(), 3);
    addDiskRows("logos.sys missing: the first two copied", 1,
                QStringLiteral("C:\\WINDOWS\\logos.sys"), 2);
}

void ImageDriveSetupTest::backupCopiesIntoTheImage() {
    QFETCH(QString, disk);
    QFETCH(int, rounds);
    QFETCH(QString, missing);
    QFETCH(int, copies);
    SKIP_WITHOUT_DISK(disk);
    TemporaryMachine machine;
    const Disk image = writeImageDrive(machine, ArchiveMode, disk);
    kor::testing::RecordingScope recording;
    kor::setup::MainWindow window;
    const std::string logos[] = {image.onDrive("C:\\logo.sys"),
                                 image.onDrive("C:\\WINDOWS\\logow.sys"),
                                 image.onDrive("C:\\WINDOWS\\logos.sys")};
    if (!missing.isEmpty())
        QVERIFY(kor::platform::deleteFile(image.onDrive(missing.toStdString())));

    for (int round = 0; round < rounds; ++round) {
        // Lengths by logo and bytes by round, so that a copy under the wrong
        // name or a stale one shows.
        for (int i = 0; i < copies; ++i)
            QVERIFY(kor::platform::writeFileAtomically(
                logos[i], std::string(1000 + static_cast<std::size_t>(i), char('a' + round))));
        window.findChild<QAction*>(QStringLiteral("backupAction"))->trigger();
    }

    QCOMPARE(recording.recorder().messages.back().text,
             std::string(copies == 3 ? "バックアップ終了"
                                     : "バックアップするためのファイルが見つかりませんでした、"
                                       "確認してください。"));
    const FatVolume volume = image.volume();
    for (int i = 0; i < 3; ++i) {
        const std::string logo = imagePath(logos[i]);
        const std::string name = logo.substr(logo.rfind('/') + 1);
        if (i < copies)
            QVERIFY2(kor::testing::readFile(volume, "/WINDOWS/korback/" + name) ==
                         kor::testing::readFile(volume, logo),
                     name.c_str());
        else
            QVERIFY(!kor::platform::fileExists(image.onDrive("C:\\WINDOWS\\korback\\") + name));
    }
    expectSoundDisk(image);
}

void ImageDriveSetupTest::convertsInsideTheImage_data() {
    addDiskColumn();
    addDiskRows("a PNG");
}

// The converter reads a PNG inside the image, writes the logo beside it and
// installs it as logo.sys, all inside the image.
void ImageDriveSetupTest::convertsInsideTheImage() {
    QFETCH(QString, disk);
    SKIP_WITHOUT_DISK(disk);
    TemporaryMachine machine;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QVERIFY(picture.save(&png, "PNG"));
    machine.writeFile(Folder + "\\PHOTO.PNG", png.data().toStdString());
    const Disk image = writeImageDrive(machine, ArchiveMode, disk);
    const std::string folder = image.onDrive(Folder);
    kor::testing::RecordingScope recording;
    kor::setup::MainWindow window;
    const QStringList namesBefore = namesOnTheDrive(image);

    window.findChild<QAction*>(QStringLiteral("convertAction"))->trigger();
    auto* converter = liveWindow<kor::setup::ConvertWindow>(window);
    QVERIFY(converter);
    QVERIFY(converter->setSource(folder + "\\PHOTO.PNG"));
    recording.recorder().answers = {kor::platform::Answer::Yes};
    converter->convertButton->click();

    QCOMPARE(recording.recorder().messages.back().text, std::string(kor::testing::Changed));
    const std::string logo = readOnTheDrive(folder + "\\PHOTO.BMP");
    QCOMPARE(logo.size(), 129078u);
    QVERIFY(kor::testing::readFile(image.volume(), "/logo.sys") == logo);
    QCOMPARE(namesOnTheDrive(image), namesBefore);
    expectSoundDisk(image);
}

void ImageDriveSetupTest::installsNothingOnADamagedVolume_data() {
    addDiskColumn();
    addDiskRows("logo.sys in a loop");
}

// A logo.sys whose cluster chain loops: the install button says so and
// writes nothing, while the browser and the display go on reading.
void ImageDriveSetupTest::installsNothingOnADamagedVolume() {
    QFETCH(QString, disk);
    SKIP_WITHOUT_DISK(disk);
    ImageBrowser shown(BmpMode + QStringList{"DirOnly=" + QString::fromStdString(Folder)}, disk,
                       [](const FatVolume& volume) {
                           const std::vector<std::uint32_t> logo =
                               kor::testing::clusterChain(volume, "LOGO.SYS");
                           kor::testing::setFatEntry(volume, logo.back(), logo.front());
                       });
    const std::string before = hostBytes(shown.disk.linked);

    QVERIFY(shown.pickFile(QStringLiteral("A.BMP")));
    QTest::mouseClick(shown.browser->viewButton, Qt::LeftButton);
    QPointer<ImageDisplay> display = liveWindow<ImageDisplay>(*shown.window);
    QVERIFY(display);
    QTest::mouseClick(display->findChild<QPushButton*>(QStringLiteral("installOpeningButton")),
                      Qt::LeftButton);

    QCOMPARE(shown.messages().size(), 1u);
    const std::string said = shown.messages().front();
    QVERIFY2(said.find("ﾃﾞｨｽｸｲﾒｰｼﾞ " + shown.disk.linked.string() +
                       " のﾌｧｲﾙｼｽﾃﾑが壊れています (\\logo.sys のｸﾗｽﾀﾁｪｰﾝが循環しています)。"
                       "Windows の ScanDisk で修復してください") != std::string::npos,
             said.c_str());
    QVERIFY(hostBytes(shown.disk.linked) == before);
}

void ImageDriveSetupTest::chooserRecordsAPickInsideTheImage_data() {
    addDiskColumn();
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("opened");       // the folder the user opens, on drive C:
    QTest::addColumn<QString>("picked");       // a subfolder in BMP mode, else an archive
    QTest::addColumn<QString>("shown");        // by the opening logo's value
    QTest::addColumn<QStringList>("recorded"); // KOR.INI's new lines, paths on drive C:

    const QString folder = QString::fromStdString(Folder);
    addDiskRows("BMP mode, a Japanese subfolder", BmpMode, QStringLiteral("C:\\PICS"),
                QStringLiteral("壁紙"), folder, QStringList{"DirOnly=" + folder});
    addDiskRows("archive mode, a Japanese archive", ArchiveMode, folder, QStringLiteral("和風.LZH"),
                QStringLiteral("和風.LZH"), QStringList{"Dir=" + folder, "FileName=和風.LZH"});
}

// The location window's chooser lists the image's drive, walks its folders
// and records the pick in KOR.INI inside the image.
void ImageDriveSetupTest::chooserRecordsAPickInsideTheImage() {
    QFETCH(QString, disk);
    QFETCH(QStringList, ini);
    QFETCH(QString, opened);
    QFETCH(QString, picked);
    QFETCH(QString, shown);
    QFETCH(QStringList, recorded);
    SKIP_WITHOUT_DISK(disk);
    TemporaryMachine machine;
    const Disk image = writeImageDrive(machine, ini, disk);
    const auto onDrive = [&](const QString& path) {
        return QString::fromStdString(image.onDrive(path.toStdString()));
    };
    kor::testing::RecordingScope recording;
    kor::setup::MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QAction*>(QStringLiteral("locationAction"))->trigger();
    auto* location = liveWindow<kor::setup::LocationWindow>(window);
    QVERIFY(location);

    const bool chosen =
        withChooser(*location->openingSource, [&](kor::setup::SourceChooser& chooser) {
            QVERIFY(chooser.driveList->setDrive(image.onDrive("C:\\")));
            QVERIFY(chooser.folderList->setPath(onDrive(opened).toStdString()));
            QListWidget& list = ini == BmpMode ? static_cast<QListWidget&>(*chooser.folderList)
                                               : static_cast<QListWidget&>(*chooser.fileList);
            const QList<QListWidgetItem*> found =
                list.findItems(QStringLiteral("^ *") + QRegularExpression::escape(picked) + '$',
                               Qt::MatchRegularExpression);
            QVERIFY(!found.isEmpty());
            list.setCurrentItem(found.back());
            QTest::mouseClick(chooser.okButton, Qt::LeftButton);
        });

    QVERIFY(chosen);
    QCOMPARE(location->openingSource->text(), onDrive(shown));
    QCOMPARE(kor::testing::shownMessages(recording), QStringList());
    const std::string korIni =
        kor::testing::readFile(image.volume(), imagePath(std::string(kor::testing::KorIni)));
    for (const QString& line : image.onDrive(recorded))
        QVERIFY2(korIni.find("\n" + cp932(line.toStdString()) + "\r\n") != std::string::npos,
                 qPrintable(line));
    expectSoundDisk(image);
}

QTEST_MAIN(ImageDriveSetupTest)
#include "image_drive_setup_test.moc"
