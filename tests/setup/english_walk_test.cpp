// SPDX-License-Identifier: GPL-3.0-or-later
// korsetup in English: every window and the messages its menus and buttons
// give, walked under a locale that is not Japanese. No caption, title, menu
// item, tooltip, header or message holds Japanese but the user's own data,
// and every caption shows whole or has the whole in its tooltip.

#include "about_window.h"
#include "browser_test_support.h"
#include "caption_check.h"
#include "controls.h"
#include "convert_window.h"
#include "drop_support.h"
#include "fonts.h"
#include "image_display.h"
#include "location_window.h"
#include "logo_browser.h"
#include "lzh_writer.h"
#include "machine_chooser.h"
#include "main_window.h"
#include "options_window.h"
#include "recording_services.h"
#include "source_chooser.h"
#include "window_test_support.h"

#include "language/translation.h"
#include "platform/desktop_services.h"
#include "platform/machine.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>

using kor::setup::MainWindow;
using kor::testing::liveWindow;

namespace {

// The controls that show the user's own data, whatever its language: lists
// of drives, folders, files, archive members and machines (their headers
// and tooltips are the program's, and checked), paths and file names.
const QSet<QString> DataControls = {
    QStringLiteral("driveList"),     QStringLiteral("folderList"),
    QStringLiteral("fileList"),      QStringLiteral("memberList"),
    QStringLiteral("memberNames"),   QStringLiteral("machineList"),
    QStringLiteral("openingSource"), QStringLiteral("middleSource"),
    QStringLiteral("endingSource"),  QStringLiteral("outputFolderPath"),
    QStringLiteral("outputName"),
};

// Whether `control` is one of DataControls or lies inside one.
bool showsData(const QWidget& control, const QWidget& root) {
    for (const QWidget* widget = &control; widget && widget != &root;
         widget = widget->parentWidget())
        if (DataControls.contains(widget->objectName()))
            return true;
    return false;
}

// Whether `text` holds a character of Japanese writing: kana (half-width
// too), CJK ideographs, Japanese punctuation or a full-width form.
bool holdsJapanese(const QString& text) {
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if ((code >= 0x3000 && code <= 0x30FF) || (code >= 0x3400 && code <= 0x4DBF) ||
            (code >= 0x4E00 && code <= 0x9FFF) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFF00 && code <= 0xFFEF))
            return true;
    }
    return false;
}

// One walk: a fresh machine, recorded messages, korsetup's main window, and
// what was found wrong on the way.
struct Walk {
    explicit Walk(const QStringList& ini = {}) {
        machine.writeFile(kor::testing::KorIni, kor::testing::koriniText(ini));
    }

    void start() {
        window = std::make_unique<MainWindow>();
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
    }

    void menu(const char* item) {
        window->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }

    void text(const QString& where, const QString& shown) {
        if (holdsJapanese(shown))
            problems << where + QStringLiteral(": Japanese: ") + shown;
    }

    void actions(const QString& where, const QList<QAction*>& list) {
        for (QAction* action : list) {
            text(where + QStringLiteral(" action ") + action->objectName(), action->text());
            text(where + QStringLiteral(" action tip ") + action->objectName(), action->toolTip());
            if (action->menu())
                actions(where + QStringLiteral(" > ") + action->text(), action->menu()->actions());
        }
    }

    void items(const QString& where, const QAbstractItemView& view, bool data) {
        const QAbstractItemModel* model = view.model();
        if (!model)
            return;
        for (int column = 0; column < model->columnCount(); ++column)
            for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                text(where + QStringLiteral(" header"),
                     model->headerData(column, Qt::Horizontal, role).toString());
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                if (!data)
                    text(where + QStringLiteral(" item"), index.data(Qt::DisplayRole).toString());
                text(where + QStringLiteral(" item tip"), index.data(Qt::ToolTipRole).toString());
            }
    }

    // Checks `root`, a window, and every control of it that shows.
    void check(QWidget& root) {
        const QString name = root.objectName();
        text(name + QStringLiteral(" title"), root.windowTitle());
        if (auto* child = qobject_cast<QMdiSubWindow*>(&root); child && child->systemMenu())
            actions(name + QStringLiteral(" title-bar menu"), child->systemMenu()->actions());
        if (auto* main = qobject_cast<QMainWindow*>(&root))
            actions(name + QStringLiteral(" menu bar"), main->menuBar()->actions());
        QList<QWidget*> controls = root.findChildren<QWidget*>();
        controls.prepend(&root);
        for (QWidget* control : controls) {
            if (control != &root && !control->isVisibleTo(&root))
                continue;
            const QString where = name + u'/' + control->objectName();
            const bool data = showsData(*control, root);
            // A header is checked with the view it heads.
            if (auto* view = qobject_cast<QAbstractItemView*>(control);
                view && !qobject_cast<QHeaderView*>(view))
                items(where, *view, data);
            if (data)
                continue;
            if (const std::optional<QString> caption = kor::testing::captionOf(*control)) {
                text(where, *caption);
                if (!kor::testing::captionReadsWhole(*control))
                    problems << where + QStringLiteral(": clipped: ") + *caption;
            }
            text(where + QStringLiteral(" tip"), control->toolTip());
            text(where + QStringLiteral(" status tip"), control->statusTip());
            text(where + QStringLiteral(" what's this"), control->whatsThis());
            if (auto* combo = qobject_cast<QComboBox*>(control))
                for (int i = 0; i < combo->count(); ++i)
                    text(where + QStringLiteral(" item"), combo->itemText(i));
            if (auto* edit = qobject_cast<QLineEdit*>(control))
                text(where + QStringLiteral(" placeholder"), edit->placeholderText());
            if (auto* spin = qobject_cast<QSpinBox*>(control))
                text(where, spin->prefix() + spin->suffix() + spin->specialValueText());
            actions(where, control->actions());
        }
    }

    template <typename Window> Window& open(const char* item) {
        menu(item);
        Window* shown = liveWindow<Window>(*window);
        if (!shown)
            qFatal("%s opened no window", item);
        check(*shown);
        return *shown;
    }

    // Checks the messages and questions said so far.
    void checkMessages() {
        const QStringList told = kor::testing::shownMessages(recording);
        for (const auto& message : recording.recorder().messages)
            text(QStringLiteral("message title"), QString::fromStdString(message.caption));
        for (const QString& message : told)
            text(QStringLiteral("message"), message);
        for (const std::string& question : recording.recorder().questions)
            text(QStringLiteral("question"), QString::fromStdString(question));
        said += static_cast<int>(told.size() + recording.recorder().questions.size());
    }

    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    std::unique_ptr<MainWindow> window;
    QStringList problems;
    int said = 0;
};

using Steps = std::function<void(Walk&)>;

const std::string Logo = kor::testing::logoBitmap(kor::testing::Quarters);

// An archive of a logo and of a picture too small to be one, named in
// Japanese as Japanese users name them, in a Japanese folder.
void archiveFiles(Walk& walk) {
    walk.machine.writeFile(
        "C:\\ARC\\A.LZH",
        kor::testing::makeLzhArchive({{"\x98\x61\x95\x97.BMP", Logo}, {"SMALL.BMP", "BM tiny"}}));
    kor::testing::makeFolder(walk.machine, QStringLiteral("C:\\ARC\\壁紙"));
}

void pictureFiles(Walk& walk) {
    walk.machine.writeFile("C:\\PICS\\A.BMP", Logo);
    walk.machine.writeFile("C:\\PICS\\SMALL.BMP", "BM tiny");
    kor::testing::makeFolder(walk.machine, QStringLiteral("C:\\PICS\\壁紙"));
}

bool pick(kor::setup::LogoBrowser& browser, const char* name) {
    const QList<QListWidgetItem*> found =
        browser.fileList->findItems(QString::fromLatin1(name), Qt::MatchFixedString);
    if (found.isEmpty())
        return false;
    browser.fileList->setCurrentItem(found.front());
    return true;
}

void clickMember(kor::setup::LogoBrowser& browser, int row) {
    kor::setup::ReportListView* list = browser.memberList;
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// Runs `open`, which opens a source chooser, and checks the chooser while it
// is shown.
void checkChooser(Walk& walk, const std::function<void()>& open) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* chooser = qobject_cast<kor::setup::SourceChooser*>(widget);
                chooser && chooser->isVisible()) {
                opened = true;
                walk.check(*chooser);
                chooser->reject();
            }
    });
    open();
    if (!opened)
        walk.problems << QStringLiteral("no chooser opened");
}

} // namespace

Q_DECLARE_METATYPE(Steps)

class EnglishWalkTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void windowsAndMessagesSpeakEnglish_data();
    void windowsAndMessagesSpeakEnglish();
    void messageBoxesSpeakEnglish();
};

void EnglishWalkTest::initTestCase() {
    // As korsetup starts.
    QVERIFY(!kor::language::sessionReadsJapanese());
    kor::setup::useJapaneseUiFont();
    kor::language::useSessionLanguage();
    // Paths read with backslashes: the captions' face is not a Japanese one,
    // which draws "\" as "¥".
    const QString face = QFontInfo(kor::setup::japaneseUiFont()).family();
    QVERIFY2(!face.startsWith(QStringLiteral("IPA")) && !face.contains(QStringLiteral("CJK")),
             qPrintable(face));
}

void EnglishWalkTest::windowsAndMessagesSpeakEnglish_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<int>("said"); // messages and questions at least
    const QStringList archiveMode{"Dir=C:\\ARC", "FileName=A.LZH"};
    const QStringList bmpMode{"ArcCheck=on", "DirOnly=C:\\PICS"};

    QTest::newRow("main window and its menus") << QStringList{} << Steps([](Walk& walk) {
        walk.start();
        walk.check(*walk.window);
    }) << 0;
    QTest::newRow("main window: start folder that cannot be opened, picture drops")
        << archiveMode << Steps([](Walk& walk) {
               archiveFiles(walk);
               walk.start();
               walk.recording.recorder().folderOpening =
                   kor::platform::FolderOpening::NotAHostFolder;
               walk.menu("openFolderAction");
               walk.recording.recorder().folderOpening =
                   kor::platform::FolderOpening::NoFileManager;
               walk.menu("openFolderAction");
               kor::testing::dropFiles(*walk.window,
                                       {kor::testing::hostPathOf(walk.machine, "C:\\ARC\\A.LZH")});
               kor::testing::dropFiles(*walk.window,
                                       {kor::testing::hostPathOf(walk.machine, "C:\\ARC")});
           })
        << 4;
    QTest::newRow("start-up note of a folder of drives without any")
        << QStringList{} << Steps([](Walk& walk) {
               const std::filesystem::path root = walk.machine.root() / "empty";
               std::filesystem::create_directories(root);
               const QByteArray given = qgetenv("KOR_ROOT");
               qputenv("KOR_ROOT", QByteArray::fromStdString(root.string()));
               kor::platform::Machine::setCurrent(kor::platform::Machine::folderOfDrives());
               qputenv("KOR_ROOT", given);
               walk.start();
               walk.check(*walk.window);
           })
        << 1;
    QTest::newRow("logo browser, archive mode, and its changes")
        << archiveMode << Steps([](Walk& walk) {
               archiveFiles(walk);
               walk.start();
               auto& browser = walk.open<kor::setup::LogoBrowser>("openBrowserAction");
               browser.changeLogo(kor::core::LogoSlot::Opening,
                                  kor::setup::MemberSource::ExtractAnew);
               if (!pick(browser, "A.LZH"))
                   walk.problems << QStringLiteral("A.LZH is not listed");
               browser.fileChosen();
               clickMember(browser, 1);
               walk.check(browser);
               browser.installOpeningButton->click();
               clickMember(browser, 0);
               browser.installMiddleButton->click();
               walk.check(browser);
           })
        << 3;
    QTest::newRow("logo browser, BMP mode, and the image display")
        << bmpMode << Steps([](Walk& walk) {
               pictureFiles(walk);
               walk.start();
               auto& browser = walk.open<kor::setup::LogoBrowser>("openBrowserAction");
               if (!pick(browser, "SMALL.BMP"))
                   walk.problems << QStringLiteral("SMALL.BMP is not listed");
               walk.check(browser);
               browser.installEndingButton->click();
               browser.viewButton->click();
               pick(browser, "A.BMP");
               browser.viewButton->click();
               auto* display = liveWindow<kor::setup::ImageDisplay>(*walk.window);
               if (!display)
                   return void(walk.problems << QStringLiteral("no image display"));
               walk.check(*display);
               display->installOpeningButton->click();
           })
        << 3;
    QTest::newRow("location window, archive mode, its drops and chooser")
        << archiveMode << Steps([](Walk& walk) {
               archiveFiles(walk);
               walk.start();
               auto& location = walk.open<kor::setup::LocationWindow>("locationAction");
               kor::testing::dropFiles(*location.openingSource,
                                       {kor::testing::hostPathOf(walk.machine, "C:\\ARC")});
               kor::testing::dropFiles(*location.middleSource, {QStringLiteral("/")});
               checkChooser(walk,
                            [&] { QTest::mouseDClick(location.endingSource, Qt::LeftButton); });
               location.clearAllButton->click();
               walk.check(location);
           })
        << 2;
    QTest::newRow("location window, BMP mode, and its chooser") << bmpMode << Steps([](Walk& walk) {
        pictureFiles(walk);
        walk.start();
        auto& location = walk.open<kor::setup::LocationWindow>("locationAction");
        kor::testing::dropFiles(
            *location.openingSource,
            {kor::testing::hostPathOf(walk.machine, "C:\\PICS\\A.BMP") + QStringLiteral(".gone")});
        checkChooser(walk, [&] { QTest::mouseDClick(location.openingSource, Qt::LeftButton); });
    }) << 1;
    QTest::newRow("options window") << QStringList{} << Steps([](Walk& walk) {
        walk.start();
        walk.open<kor::setup::OptionsWindow>("optionsAction");
    }) << 0;
    QTest::newRow("about window") << QStringList{} << Steps([](Walk& walk) {
        walk.start();
        walk.open<kor::setup::AboutWindow>("aboutAction");
    }) << 0;
    QTest::newRow("converter") << archiveMode << Steps([](Walk& walk) {
        archiveFiles(walk);
        walk.start();
        auto& converter = walk.open<kor::setup::ConvertWindow>("convertAction");
        converter.convertButton->click();
        checkChooser(walk, [&] { converter.chooseFolderButton->click(); });
    }) << 1;
    QTest::newRow("machine chooser") << QStringList{} << Steps([](Walk& walk) {
        walk.start();
        walk.open<kor::setup::MachineChooser>("machineAction");
    }) << 0;
    QTest::newRow("logo backup") << QStringList{} << Steps([](Walk& walk) {
        walk.start();
        walk.menu("backupAction");
    }) << 2;
}

void EnglishWalkTest::windowsAndMessagesSpeakEnglish() {
    QFETCH(QStringList, ini);
    QFETCH(Steps, steps);
    QFETCH(int, said);
    Walk walk(ini);
    steps(walk);
    walk.checkMessages();
    for (const QString& problem : walk.problems)
        qWarning("%s", qPrintable(problem));
    QVERIFY2(walk.problems.isEmpty(), "Japanese or clipped texts, as listed above");
    // The steps gave the messages they were meant to give.
    QVERIFY(walk.said >= said);
}

// The boxes the messages come in: their titles and buttons.
void EnglishWalkTest::messageBoxesSpeakEnglish() {
    const std::unique_ptr<kor::platform::Services> desktop = kor::platform::makeDesktopServices();
    QStringList seen;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                seen << box->windowTitle();
                for (const QAbstractButton* button : box->buttons())
                    seen << button->text();
                box->buttons().front()->click();
                poll.stop();
            }
    });
    poll.start(0);
    static_cast<void>(desktop->ask("Replace it?"));
    poll.start(0);
    desktop->showMessage(kor::setup::ProgramTitle, "The logo has been changed.");
    seen.sort();
    QCOMPARE(seen, QStringList({"&No", "&Yes", "Confirm", "OK", "korsetup"}));
}

QTEST_MAIN(EnglishWalkTest)
#include "english_walk_test.moc"
