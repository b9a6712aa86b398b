#include "logo_browser.h"

#include "main_window.h"
#include "options_window.h"
#include "twips.h"

#include "core/archive.h"
#include "platform/machine.h"
#include "platform/services.h"

namespace kor::setup {

namespace {

void report(const platform::Error& error) {
    platform::services().showMessage(core::programTitle(core::HostingProgram::Setup),
                                     error.message());
}

} // namespace

Form1::Form1(KORsetupMain& main) : m_main(main) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("KOR SETUP"));
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* content = new QWidget(this);
    Drive1 = new DriveListBox(content);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(rectFromTwips(60, 75, 2400, 300));
    Dir1 = new DirListBox(content);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(rectFromTwips(75, 540, 2385, 1560));
    File1 = new FileListBox(content);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(rectFromTwips(2535, 60, 2325, 2070));
    File1->setPattern("*.LZH");
    setWidget(content);
    resize(sizeFromTwips(DesignedWidthTwips, DesignedHeightTwips));

    connect(Drive1, &DriveListBox::changed, this, &Form1::Drive1_Change);
    connect(Dir1, &DirListBox::changed, this, &Form1::Dir1_Change);
}

void Form1::Form_Load() {
    move(0, 0);
    m_main.optionsWindow().check_set();
}

void Form1::setHeightInTwips(int twips) {
    resize(width(), pixelsFromTwips(twips));
}

void Form1::Drive1_Change() {
    // The directory list moves to the drive's own current directory.
    if (auto shown = Dir1->setPath(std::string{Drive1->drive(), ':'}); !shown)
        return report(shown.error());
    if (auto selected = platform::Machine::current().setCurrentDrive(Drive1->drive()); !selected)
        report(selected.error());
}

void Form1::Dir1_Change() {
    if (auto listed = File1->setPath(Dir1->path()); !listed)
        return report(listed.error());
    if (auto changed = platform::Machine::current().setCurrentDirectory(Dir1->path()); !changed)
        report(changed.error());
}

} // namespace kor::setup
