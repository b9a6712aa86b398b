// SPDX-License-Identifier: GPL-3.0-or-later
// korsetup on a drive C: that is a FAT disk image, as an emulator's Windows 95
// disk is: the logo browser walks into a folder with a Japanese 8.3 name,
// shows a picture or an archive member and makes it a logo at once, and the
// logo backup copies into the image. The image is checked byte for byte and
// with fsck.fat afterwards.

#include "browser_test_support.h"
#include "convert_window.h"
#include "disk_image.h"
#include "image_display.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

using kor::setup::ImageDisplay;
using kor::testing::FatVolume;
using kor::testing::liveWindow;
using kor::testing::OpenBrowser;
using kor::testing::TemporaryMachine;

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

// Moves the folder drive C: of `machine` into an MBR disk with one FAT16
// partition from sector 63, makes $KOR_ROOT/c a link to it, and installs the
// machine anew. Returns the volume.
FatVolume moveDriveIntoImage(TemporaryMachine& machine) {
    const fs::path drive = machine.root() / "c";
    FatVolume volume =
        kor::testing::makeMbrDisk(machine.root() / "win95.img", kor::testing::FatType::Fat16, 63);
    kor::testing::copyTree(volume, drive);
    fs::remove_all(drive);
    fs::create_symlink("win95.img", drive);
    kor::platform::Machine::setCurrent(kor::platform::Machine(machine.root(), "C:\\WINDOWS"));
    return volume;
}

// C:\WINDOWS with KOR.INI (CP932, as Windows writes it) and old logos, and
// the folder 壁紙 with two pictures and an archive of the same two.
FatVolume writeImageDrive(TemporaryMachine& machine, const QStringList& ini) {
    machine.writeFile(kor::testing::KorIni, cp932(kor::testing::koriniText(ini)));
    for (const char* logo : {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"})
        machine.writeFile(logo, "old logo");
    machine.writeFile(Folder + "\\A.BMP", picture(0));
    machine.writeFile(Folder + "\\富士.BMP", picture(1));
    machine.writeFile(Archive, kor::testing::makeLzhArchive({
                                   {"ONE.BMP", picture(0)},
                                   {cp932("桜.BMP"), picture(1)},
                               }));
    return moveDriveIntoImage(machine);
}

// "C:\WINDOWS\logos.sys" as mtools names it in the image.
std::string imagePath(const std::string& windowsPath) {
    std::string path = windowsPath.substr(2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Every name in the root and the Windows directory, folders marked, in upper
// case, as FAT matches them.
QStringList namesOnTheDrive() {
    QStringList names;
    for (const std::string folder : {"C:\\", "C:\\WINDOWS\\"}) {
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

void expectSoundVolume(const FatVolume& volume) {
    const kor::testing::FsckResult check = kor::testing::checkVolume(volume);
    QVERIFY2(check.exitStatus == 0, check.output.c_str());
}

// Made before the browser's machine, which fills it.
struct ImageVolume {
    FatVolume volume;
};

struct ImageBrowser : ImageVolume, OpenBrowser {
    explicit ImageBrowser(const QStringList& ini)
        : OpenBrowser(ini, [this, ini](TemporaryMachine& m) { volume = writeImageDrive(m, ini); }) {
    }

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

const QStringList BmpMode{"ArcCheck=on"};
const QStringList ArchiveMode{};

} // namespace

class ImageDriveSetupTest : public QObject {
    Q_OBJECT

  private slots:
    void showAndInstallAtOnce_data();
    void showAndInstallAtOnce();
    void backupCopiesIntoTheImage_data();
    void backupCopiesIntoTheImage();
    void convertsInsideTheImage();
    void installsNothingOnADamagedVolume();
};

void ImageDriveSetupTest::showAndInstallAtOnce_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<bool>("walk"); // through the directory list, else from KOR.INI
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("member"); // "" in BMP mode
    QTest::addColumn<QString>("button"); // of the image display
    QTest::addColumn<QString>("logo");
    QTest::addColumn<int>("pictureNumber"); // 0 or 1, as picture() makes it

    QTest::newRow("BMP mode, walked to, opening") << BmpMode << true << "A.BMP"
                                                  << ""
                                                  << "installOpeningButton"
                                                  << "C:\\logo.sys" << 0;
    QTest::newRow("BMP mode, a Japanese name, from KOR.INI, ending")
        << (BmpMode + QStringList{"DirOnly=" + QString::fromStdString(Folder)}) << false
        << "富士.BMP"
        << ""
        << "installEndingButton"
        << "C:\\WINDOWS\\logos.sys" << 1;
    QTest::newRow("archive mode, walked to, middle") << ArchiveMode << true << "和風.LZH"
                                                     << "ONE.BMP"
                                                     << "installMiddleButton"
                                                     << "C:\\WINDOWS\\logow.sys" << 0;
    QTest::newRow("archive mode, a Japanese member, from KOR.INI, opening")
        << QStringList{"Dir=" + QString::fromStdString(Folder), "FileName=和風.LZH"} << false
        << "和風.LZH"
        << "桜.BMP"
        << "installOpeningButton"
        << "C:\\logo.sys" << 1;
}

void ImageDriveSetupTest::showAndInstallAtOnce() {
    QFETCH(QStringList, ini);
    QFETCH(bool, walk);
    QFETCH(QString, file);
    QFETCH(QString, member);
    QFETCH(QString, button);
    QFETCH(QString, logo);
    QFETCH(int, pictureNumber);
    ImageBrowser shown(ini);
    const std::string sourcePath = Folder + "\\" + file.toStdString();
    const std::string source = readOnTheDrive(sourcePath);

    QCOMPARE(shown.browser->driveList->currentText(), QStringLiteral("c:"));
    if (walk) {
        QVERIFY(shown.openFolder(QStringLiteral("PICS")));
        QVERIFY(shown.openFolder(QStringLiteral("壁紙")));
    }
    QCOMPARE(shown.browser->folderList->path(), Folder);
    QVERIFY(shown.pickFile(file));
    if (!member.isEmpty())
        QVERIFY(shown.pickMember(member));
    const QStringList namesBefore = namesOnTheDrive();

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

    const std::string logoBytes =
        kor::testing::readFile(shown.volume, imagePath(logo.toStdString()));
    QVERIFY(logoBytes == picture(pictureNumber));
    QVERIFY(readOnTheDrive(logo.toStdString()) == logoBytes);
    QVERIFY(readOnTheDrive(sourcePath) == source);
    // No staged logo, extracted copy or temporary folder is left behind.
    QCOMPARE(namesOnTheDrive(), namesBefore);
    expectSoundVolume(shown.volume);
}

void ImageDriveSetupTest::backupCopiesIntoTheImage_data() {
    QTest::addColumn<int>("rounds"); // each with new logos first
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("copies");

    QTest::newRow("first backup") << 1 << "" << 3;
    QTest::newRow("a second backup overwrites the first") << 2 << "" << 3;
    QTest::newRow("logos.sys missing: the first two copied") << 1 << "C:\\WINDOWS\\logos.sys" << 2;
}

void ImageDriveSetupTest::backupCopiesIntoTheImage() {
    QFETCH(int, rounds);
    QFETCH(QString, missing);
    QFETCH(int, copies);
    TemporaryMachine machine;
    const FatVolume volume = writeImageDrive(machine, ArchiveMode);
    kor::testing::RecordingScope recording;
    kor::setup::MainWindow window;
    const std::string logos[] = {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys",
                                 "C:\\WINDOWS\\logos.sys"};
    if (!missing.isEmpty())
        QVERIFY(kor::platform::deleteFile(missing.toStdString()));

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
    for (int i = 0; i < 3; ++i) {
        const std::string logo = imagePath(logos[i]);
        const std::string name = logo.substr(logo.rfind('/') + 1);
        if (i < copies)
            QVERIFY2(kor::testing::readFile(volume, "/WINDOWS/korback/" + name) ==
                         kor::testing::readFile(volume, logo),
                     name.c_str());
        else
            QVERIFY(!kor::platform::fileExists("C:\\WINDOWS\\korback\\" + name));
    }
    expectSoundVolume(volume);
}

// The converter reads a PNG inside the image, writes the logo beside it and
// installs it as logo.sys, all inside the image.
void ImageDriveSetupTest::convertsInsideTheImage() {
    TemporaryMachine machine;
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&png, "PNG"));
    machine.writeFile(Folder + "\\PHOTO.PNG", png.data().toStdString());
    const FatVolume volume = writeImageDrive(machine, ArchiveMode);
    kor::testing::RecordingScope recording;
    kor::setup::MainWindow window;
    const QStringList namesBefore = namesOnTheDrive();

    window.findChild<QAction*>(QStringLiteral("convertAction"))->trigger();
    auto* converter = liveWindow<kor::setup::ConvertWindow>(window);
    QVERIFY(converter);
    QVERIFY(converter->setSource(Folder + "\\PHOTO.PNG"));
    recording.recorder().answers = {kor::platform::Answer::Yes};
    converter->convertButton->click();

    QCOMPARE(recording.recorder().messages.back().text, std::string(kor::testing::Changed));
    const std::string logo = readOnTheDrive(Folder + "\\PHOTO.BMP");
    QCOMPARE(logo.size(), 129078u);
    QVERIFY(kor::testing::readFile(volume, "/logo.sys") == logo);
    QCOMPARE(namesOnTheDrive(), namesBefore);
    expectSoundVolume(volume);
}

// A logo.sys whose cluster chain loops: the install button says so and
// writes nothing, while the browser and the display go on reading.
void ImageDriveSetupTest::installsNothingOnADamagedVolume() {
    ImageBrowser shown(BmpMode + QStringList{"DirOnly=" + QString::fromStdString(Folder)});
    const std::vector<std::uint32_t> logo = kor::testing::clusterChain(shown.volume, "LOGO.SYS");
    kor::testing::setFatEntry(shown.volume, logo.back(), logo.front());
    const std::string before = hostBytes(shown.volume.image);

    QVERIFY(shown.pickFile(QStringLiteral("A.BMP")));
    QTest::mouseClick(shown.browser->viewButton, Qt::LeftButton);
    QPointer<ImageDisplay> display = liveWindow<ImageDisplay>(*shown.window);
    QVERIFY(display);
    QTest::mouseClick(display->findChild<QPushButton*>(QStringLiteral("installOpeningButton")),
                      Qt::LeftButton);

    QCOMPARE(shown.messages().size(), 1u);
    const std::string said = shown.messages().front();
    QVERIFY2(said.find("ﾃﾞｨｽｸｲﾒｰｼﾞ " + shown.volume.image.string() +
                       " のﾌｧｲﾙｼｽﾃﾑが壊れています (\\logo.sys のｸﾗｽﾀﾁｪｰﾝが循環しています)。"
                       "Windows の ScanDisk で修復してください") != std::string::npos,
             said.c_str());
    QVERIFY(hostBytes(shown.volume.image) == before);
}

QTEST_MAIN(ImageDriveSetupTest)
#include "image_drive_setup_test.moc"
