// SPDX-License-Identifier: GPL-3.0-or-later
// The picture-to-logo converter: a picture picked on the machine's drives
// becomes a logo of exactly the machine's length in the chosen folder, and at
// once one of the three logos when the user agrees; a picture that cannot be
// read, a folder that is gone or a declined overwrite leaves every file as it
// was; a picture dropped on the main window opens the converter on it.

#include "convert_window.h"
#include "drop_support.h"
#include "main_window.h"
#include "recording_services.h"
#include "session_language.h"
#include "window_test_support.h"

#include "core/logo_format.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

using kor::platform::Answer;
using kor::setup::ConvertWindow;
using kor::setup::MainWindow;
using kor::testing::liveWindow;

namespace {

constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";
const std::string OldLogo = "old logo";

// A picture of four coloured quarters, encoded as `format` ("PNG", "JPG").
std::string pictureBytes(const char* format, QSize size = {300, 200}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height() / 2; ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, x < size.width() / 2 ? Qt::red : Qt::green);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot encode a %s picture", format);
    return buffer.data().toStdString();
}

// Whether the pixel of `logo` at (x, y), top row 0, is black: a bar beside or
// above the picture.
bool isBar(const std::string& logo, kor::core::LogoFormat format, int x, int y) {
    const kor::core::LogoLayout layout = kor::core::layoutOf(format);
    const std::size_t row = layout.pixelOffset + static_cast<std::size_t>(layout.height - 1 - y) *
                                                     layout.width * layout.bitsPerPixel / 8;
    const auto byte = static_cast<unsigned char>(logo[row + x * layout.bitsPerPixel / 8]);
    const int entry = layout.bitsPerPixel == 8 ? byte : x % 2 ? byte & 15 : byte >> 4;
    const auto* quad = reinterpret_cast<const unsigned char*>(logo.data()) + 54 + entry * 4;
    return quad[0] + quad[1] + quad[2] < 24;
}

// The main window on a fresh machine whose KOR.INI holds `ini`, with old
// logos, drive D: and the converter open.
struct OpenConverter {
    explicit OpenConverter(const QStringList& ini = {}) {
        machine.writeFile(KorIni, kor::testing::koriniText(ini));
        for (const char* logo :
             {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"})
            machine.writeFile(logo, OldLogo);
        kor::testing::makeFolder(machine, QStringLiteral("D:\\LOGOS"));
        window = std::make_unique<MainWindow>();
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
    }

    ConvertWindow& open() {
        window->findChild<QAction*>(QStringLiteral("convertAction"))->trigger();
        converter = liveWindow<ConvertWindow>(*window);
        if (!converter)
            qFatal("the converter did not open");
        return *converter;
    }

    // Picks `name` in `folder` with the converter's own lists.
    void pick(const std::string& folder, const QString& name) {
        QVERIFY(converter->driveList->setDrive(folder));
        QVERIFY(converter->folderList->setPath(folder));
        const QList<QListWidgetItem*> found =
            converter->fileList->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        converter->fileList->setCurrentItem(found.front());
    }

    std::vector<std::string> folderFiles(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(machine.host(folder)))
            names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    }

    QStringList messages() { return kor::testing::shownMessages(recording); }

    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    std::unique_ptr<MainWindow> window;
    ConvertWindow* converter = nullptr;
};

} // namespace

class ConvertWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void convertsAndInstalls_data();
    void convertsAndInstalls();
    void failureWritesNothing_data();
    void failureWritesNothing();
    void dropOnMainWindow_data();
    void dropOnMainWindow();
    void neverWritesOverItsSource();
    void speaksEnglishUnderAnotherLocale();
};

void ConvertWindowTest::convertsAndInstalls_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<int>("animateFrom"); // 0: no cycling
    QTest::addColumn<int>("slot");        // the row of the logo to install
    QTest::addColumn<bool>("install");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("squarePixels");

    QTest::newRow("Windows 95, start-up logo")
        << QStringList{} << "my photo.png" << QByteArray("PNG") << "MYPHOTO.BMP" << 0 << 0 << true
        << "C:\\logo.sys" << false;
    QTest::newRow("Windows 95 from a JPEG, cycling, ending logo")
        << QStringList{} << "longfilename.jpeg" << QByteArray("JPG") << "LONGFILE.BMP" << 236 << 2
        << true << "C:\\WINDOWS\\logos.sys" << false;
    QTest::newRow("PC-98 from the settings, cycling, wait logo")
        << QStringList{"pc98Check=on"} << "写真です.png" << QByteArray("PNG") << "写真です.BMP"
        << 12 << 1 << true << "C:\\WINDOWS\\logow.sys" << false;
    QTest::newRow("install declined") << QStringList{} << "A.PNG" << QByteArray("PNG") << "A.BMP"
                                      << 0 << 0 << false << "C:\\logo.sys" << false;
    QTest::newRow("Windows 95 in square pixels")
        << QStringList{} << "B.PNG" << QByteArray("PNG") << "B.BMP" << 0 << 0 << true
        << "C:\\logo.sys" << true;
    QTest::newRow("PC-98 in square pixels")
        << QStringList{"pc98Check=on"} << "C.PNG" << QByteArray("PNG") << "C.BMP" << 0 << 0 << true
        << "C:\\logo.sys" << true;
}

void ConvertWindowTest::convertsAndInstalls() {
    QFETCH(QStringList, ini);
    QFETCH(QString, source);
    QFETCH(QByteArray, format);
    QFETCH(QString, outputName);
    QFETCH(int, animateFrom);
    QFETCH(int, slot);
    QFETCH(bool, install);
    QFETCH(QString, target);
    QFETCH(bool, squarePixels);

    OpenConverter setup(ini);
    setup.machine.writeFile("C:\\PICS\\" + source.toStdString(), pictureBytes(format.constData()));
    ConvertWindow& converter = setup.open();
    setup.pick("C:\\PICS", source);
    QCOMPARE(converter.outputName->text(), outputName);
    QCOMPARE(converter.outputFolder(), std::string("C:\\PICS"));
    converter.setOutputFolder("D:\\LOGOS");
    const bool pc98 = ini.contains(QStringLiteral("pc98Check=on"));
    QCOMPARE(converter.targetPc98Option->isChecked(), pc98);
    converter.cycleColoursBox->setChecked(animateFrom != 0);
    if (animateFrom != 0)
        converter.firstCycledEntry->setValue(animateFrom);
    converter.logoToInstall->setCurrentIndex(slot);
    // Its caption whole at the window's designed size.
    QVERIFY(converter.squarePixelsBox->sizeHint().width() <= converter.squarePixelsBox->width());
    converter.squarePixelsBox->setChecked(squarePixels);
    setup.recording.recorder().answers = {install ? Answer::Yes : Answer::No};
    converter.convertButton->click();

    const std::string output = "D:\\LOGOS\\" + outputName.toStdString();
    QVERIFY2(setup.machine.exists(output), qPrintable(setup.messages().join('\n')));
    const std::string logo = setup.machine.readFile(output);
    const auto logoFormat = pc98 ? kor::core::LogoFormat::Pc98 : kor::core::LogoFormat::Windows95;
    QCOMPARE(logo.size(), pc98 ? 128118u : 129078u);
    const auto found = kor::core::inspectLogo(
        {reinterpret_cast<const std::uint8_t*>(logo.data()), logo.size()}, logo.size(), logoFormat);
    QVERIFY(found.isShown());
    QCOMPARE(found.firstAnimatedEntry, static_cast<std::uint32_t>(animateFrom));
    // The 3:2 picture meets the 4:3 screen with bars above and below it, the
    // 640x400 screen of square pixels with bars beside it.
    const int width = kor::core::layoutOf(logoFormat).width;
    QCOMPARE(isBar(logo, logoFormat, width / 4, 2), !squarePixels);
    QCOMPARE(isBar(logo, logoFormat, 2, 100), squarePixels);
    // One question, naming the logo it offers; nothing written beside the
    // logo in the folder.
    QCOMPARE(setup.recording.recorder().questions.size(), 1u);
    QVERIFY(QString::fromStdString(setup.recording.recorder().questions.front())
                .contains(converter.logoToInstall->currentText()));
    QCOMPARE(setup.folderFiles("D:\\LOGOS"), std::vector<std::string>{outputName.toStdString()});
    QCOMPARE(setup.machine.readFile(target.toStdString()), install ? logo : OldLogo);
    QCOMPARE(setup.messages(), install ? QStringList{"変更が終了しました"} : QStringList{});
}

void ConvertWindowTest::failureWritesNothing_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("said");

    QTest::newRow("undecodable picture") << "undecodable"
                                         << "画像を読み込めません";
    QTest::newRow("overwrite declined") << "declined"
                                        << "";
    QTest::newRow("output folder gone") << "gone"
                                        << "D:\\GONE";
}

void ConvertWindowTest::failureWritesNothing() {
    QFETCH(QString, fault);
    QFETCH(QString, said);

    OpenConverter setup;
    const bool undecodable = fault == QStringLiteral("undecodable");
    setup.machine.writeFile("C:\\PICS\\PHOTO.PNG", undecodable
                                                       ? std::string("\x89PNG\r\n\x1a\n broken", 16)
                                                       : pictureBytes("PNG"));
    setup.machine.writeFile("D:\\LOGOS\\PHOTO.BMP", OldLogo);
    ConvertWindow& converter = setup.open();
    setup.pick("C:\\PICS", QStringLiteral("PHOTO.PNG"));
    converter.setOutputFolder(fault == QStringLiteral("gone") ? "D:\\GONE" : "D:\\LOGOS");
    setup.recording.recorder().answers = {Answer::No};
    converter.convertButton->click();

    QCOMPARE(setup.machine.readFile("D:\\LOGOS\\PHOTO.BMP"), OldLogo);
    QCOMPARE(setup.folderFiles("D:\\LOGOS"), std::vector<std::string>{"PHOTO.BMP"});
    QCOMPARE(setup.machine.readFile("C:\\logo.sys"), OldLogo);
    // Only the declined overwrite is asked about.
    QCOMPARE(setup.recording.recorder().questions.size(),
             static_cast<std::size_t>(fault == QStringLiteral("declined")));
    const QStringList messages = setup.messages();
    if (said.isEmpty()) {
        QCOMPARE(messages, QStringList{});
    } else {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.front().contains(said), qPrintable(messages.front()));
    }
}

void ConvertWindowTest::dropOnMainWindow_data() {
    QTest::addColumn<QString>("dropped"); // a Windows path, or "outside"
    QTest::addColumn<QString>("refusal");

    QTest::newRow("picture") << "D:\\PICS\\Photo.png"
                             << "";
    QTest::newRow("not a picture")
        << "D:\\PICS\\README.TXT"
        << "ドロップされたファイルは変換できる画像 (BMP・PNG・JPEG・GIF) "
           "ではありません。";
    QTest::newRow("folder") << "D:\\PICS"
                            << "ドロップされたフォルダは変換できる画像 (BMP・PNG・JPEG・GIF) "
                               "ではありません。";
    QTest::newRow("outside the drives")
        << "outside"
        << "ドロップされたファイルはエミュレートされたマシンのドライブの外にあります。";
}

void ConvertWindowTest::dropOnMainWindow() {
    QFETCH(QString, dropped);
    QFETCH(QString, refusal);

    OpenConverter setup;
    setup.machine.writeFile("D:\\PICS\\Photo.png", pictureBytes("PNG"));
    setup.machine.writeFile("D:\\PICS\\README.TXT", "text");
    QTemporaryDir outside;
    const QString outsidePicture = outside.filePath(QStringLiteral("Photo.png"));
    std::ofstream(outsidePicture.toStdString(), std::ios::binary) << pictureBytes("PNG");
    const QString hostPath = dropped == QStringLiteral("outside")
                                 ? outsidePicture
                                 : kor::testing::hostPathOf(setup.machine, dropped);

    const auto outcome = kor::testing::dropFiles(*setup.window, {hostPath});
    QVERIFY(outcome.dropAccepted);
    QCOMPARE(outcome.action, Qt::CopyAction);
    ConvertWindow* converter = liveWindow<ConvertWindow>(*setup.window);
    QCOMPARE(setup.messages(), refusal.isEmpty() ? QStringList{} : QStringList{refusal});
    QCOMPARE(setup.recording.recorder().beeps, refusal.isEmpty() ? 0 : 1);
    QCOMPARE(converter != nullptr, refusal.isEmpty());
    if (!converter)
        return;
    QVERIFY(converter->isVisible());
    QCOMPARE(converter->sourcePath(), dropped.toStdString());
    QCOMPARE(converter->outputName->text(), QStringLiteral("PHOTO.BMP"));
    // Fixed in size, and whole inside the main window.
    QVERIFY(converter->mdiArea()->rect().contains(converter->geometry()));
}

void ConvertWindowTest::neverWritesOverItsSource() {
    OpenConverter setup;
    const std::string picture = pictureBytes("BMP");
    setup.machine.writeFile("C:\\PICS\\SUNSET.BMP", picture);
    ConvertWindow& converter = setup.open();
    setup.pick("C:\\PICS", QStringLiteral("SUNSET.BMP"));
    // The name offered is not the picture's own.
    QCOMPARE(converter.outputName->text(), QStringLiteral("SUNSET_L.BMP"));
    converter.outputName->setText(QStringLiteral("sunset.bmp"));
    setup.recording.recorder().answers = {Answer::Yes, Answer::Yes};
    converter.convertButton->click();

    QCOMPARE(setup.machine.readFile("C:\\PICS\\SUNSET.BMP"), picture);
    QCOMPARE(setup.recording.recorder().questions.size(), 0u);
    QCOMPARE(setup.messages().size(), 1);
    QVERIFY(setup.messages().front().contains(QStringLiteral("変換元の画像と同じﾌｧｲﾙです")));
}

// Under a locale other than Japanese the converter asks and tells in English,
// with the logo's path, the machine and the logo picked in its list in their
// places, and titles its folder chooser with its output folder's caption.
void ConvertWindowTest::speaksEnglishUnderAnotherLocale() {
    const kor::testing::SessionLanguage english("C");
    OpenConverter setup;
    setup.machine.writeFile("C:\\PICS\\A.PNG", pictureBytes("PNG"));
    ConvertWindow& converter = setup.open();
    setup.pick("C:\\PICS", QStringLiteral("A.PNG"));

    QString chooserTitle;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* chooser = qobject_cast<kor::setup::SourceChooser*>(widget);
                chooser && chooser->isVisible()) {
                chooserTitle = chooser->windowTitle();
                chooser->reject();
            }
    });
    converter.chooseFolderButton->click();
    QCOMPARE(chooserTitle, QStringLiteral("Output folder"));

    converter.setOutputFolder("D:\\LOGOS");
    setup.recording.recorder().answers = {Answer::Yes};
    converter.convertButton->click();
    QCOMPARE(setup.recording.recorder().questions,
             std::vector<std::string>{"D:\\LOGOS\\A.BMP\nConverted to a Windows 95 logo.\n"
                                      "Install this logo now? It replaces: Opening (logo.sys)"});
    QCOMPARE(setup.messages(), QStringList{"The logo has been changed."});
}

QTEST_MAIN(ConvertWindowTest)
#include "convert_window_test.moc"
