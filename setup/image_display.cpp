// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_display.h"

#include "controls.h"
#include "logo_browser.h"
#include "main_window.h"
#include "twips.h"

#include <QApplication>
#include <QByteArray>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstring>

namespace kor::setup {
namespace {

QList<QRgb> colourTable(const core::LogoPalette& palette) {
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(palette.size()));
    for (const core::RgbQuad& entry : palette)
        table.push_back(qRgb(entry.red, entry.green, entry.blue));
    return table;
}

QImage indexedImage(const core::DecodedLogo& logo) {
    QImage image(logo.width, logo.height, QImage::Format_Indexed8);
    for (int y = 0; y < logo.height; ++y)
        std::memcpy(image.scanLine(y), &logo.pixels[static_cast<std::size_t>(y) * logo.width],
                    static_cast<std::size_t>(logo.width));
    image.setColorTable(colourTable(logo.palette));
    return image;
}

} // namespace

ImageDisplay::ImageDisplay(MainWindow& main, core::SetupSession& session)
    : m_main(main), m_session(session) {
    // The caption names the picture; the window is left by its own "終了" or
    // by going to another window.
    setUpChildWindow(*this, "ImageDisplay", tr("画像表示"), CloseButton::Hidden);

    auto* content = new QWidget;
    content->setFixedSize(sizeFromTwips(6015, 5100));
    picturePanel = makePanel(content, "picturePanel", rectFromTwips(0, 0, 6015, 4575));
    m_designedPanelPalette = picturePanel->palette();
    pictureView = new QLabel(picturePanel);
    pictureView->setObjectName(QStringLiteral("pictureView"));
    pictureView->setGeometry(rectFromTwips(120, 120, 5760, 4320));
    pictureView->setScaledContents(true);
    buttonPanel = makePanel(content, "buttonPanel", rectFromTwips(0, 4590, 6015, 525));
    installEndingButton = makeButton(buttonPanel, "installEndingButton", tr("ｴﾝﾃﾞｨﾝｸﾞにする"),
                                     rectFromTwips(3000, 90, 1440, 345));
    installMiddleButton = makeButton(buttonPanel, "installMiddleButton", tr("中間にする"),
                                     rectFromTwips(1560, 90, 1440, 345));
    installOpeningButton = makeButton(buttonPanel, "installOpeningButton", tr("ｵｰﾌﾟﾆﾝｸﾞにする"),
                                      rectFromTwips(120, 90, 1440, 345));
    closeButton =
        makeButton(content, "closeButton", tr("終了"), rectFromTwips(4470, 4680, 1440, 345));
    closeButton->raise();
    // Enter presses the button that has the focus, as on Windows.
    for (QPushButton* button :
         {installEndingButton, installMiddleButton, installOpeningButton, closeButton})
        button->setAutoDefault(true);
    setTabOrderChain({installEndingButton, installMiddleButton, installOpeningButton, closeButton});
    setWidget(content);

    connect(closeButton, &QPushButton::clicked, this, &ImageDisplay::returnToBrowser);
    connect(installOpeningButton, &QPushButton::clicked, this, &ImageDisplay::installOpening);
    connect(installMiddleButton, &QPushButton::clicked, this, &ImageDisplay::installMiddle);
    connect(installEndingButton, &QPushButton::clicked, this, &ImageDisplay::installEnding);
    connect(&m_animationTimer, &QTimer::timeout, this, &ImageDisplay::stepAnimation);
    m_main.whenDeactivated(this, &ImageDisplay::closeOnFocusLoss);
}

void ImageDisplay::load() {
    placeChildWindow(*this, m_main.innerSizeInTwips(), 25.0, 20.0);
    if (!m_session.isBmpMode())
        m_shownMember = m_main.logoBrowser().selectedMemberName();
}

void ImageDisplay::showPicture(const QString& title, const QImage& picture,
                               const QByteArray& bytes) {
    setWindowTitle(title);
    m_animationTimer.stop();
    // Windows 95's own screen decides, whatever the PC-98 option says: it is
    // the machine whose boot screen this window imitates.
    const std::optional<core::DecodedLogo> logo =
        core::decodeLogo({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size())},
                         core::LogoFormat::Windows95);
    if (!logo) {
        m_logo = QImage();
        m_animation.reset();
        picturePanel->setAutoFillBackground(false);
        picturePanel->setPalette(m_designedPanelPalette);
        pictureView->setPixmap(QPixmap::fromImage(picture));
        return;
    }
    m_logo = indexedImage(*logo);
    m_palette = logo->palette;
    m_animation = logo->animation;
    // The margin around the picture shows the border Windows paints around
    // the logo, in entry 0's colour.
    QPalette border = m_designedPanelPalette;
    border.setColor(QPalette::Window, QColor::fromRgb(m_logo.color(0)));
    picturePanel->setPalette(border);
    picturePanel->setAutoFillBackground(true);
    pictureView->setPixmap(QPixmap::fromImage(m_logo));
    if (m_animation && isVisible())
        m_animationTimer.start(core::LogoAnimationStepMilliseconds);
}

void ImageDisplay::stepAnimation() {
    if (!m_animation)
        return;
    m_palette = core::stepPaletteAnimation(m_palette, *m_animation);
    m_logo.setColorTable(colourTable(m_palette));
    pictureView->setPixmap(QPixmap::fromImage(m_logo));
}

void ImageDisplay::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (m_animation)
        m_animationTimer.start(core::LogoAnimationStepMilliseconds);
    focusCloseButton();
}

void ImageDisplay::hideEvent(QHideEvent* event) {
    // Nobody sees the colours move while the window is hidden or closed.
    m_animationTimer.stop();
    QMdiSubWindow::hideEvent(event);
}

bool ImageDisplay::event(QEvent* event) {
    // Once the activation has put back the focus it remembered.
    if (event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, &ImageDisplay::focusCloseButton);
    return QMdiSubWindow::event(event);
}

void ImageDisplay::focusCloseButton() {
    // The window comes into view again: when it is shown, and when the
    // program's window is active again after a message box or another
    // program covered it, "終了" has the focus, so that Enter leaves the
    // window. The
    // repaints of its own buttons do not count, or Tab could never leave
    // "終了", and neither does a click that brings the program back, which
    // would lose its button as it is pressed.
    if (QApplication::mouseButtons() == Qt::NoButton)
        closeButton->setFocus();
}

void ImageDisplay::installOpening() {
    m_main.logoBrowser().changeLogo(core::LogoSlot::Opening, MemberSource::AlreadyExtracted);
    m_used = true;
}

void ImageDisplay::installMiddle() {
    m_main.logoBrowser().changeLogo(core::LogoSlot::Middle, MemberSource::AlreadyExtracted);
    m_used = true;
}

void ImageDisplay::installEnding() {
    m_main.logoBrowser().changeLogo(core::LogoSlot::Ending, MemberSource::AlreadyExtracted);
    m_used = true;
}

void ImageDisplay::returnToBrowser() {
    close();
    m_main.showLogoBrowser();
}

void ImageDisplay::closeOnFocusLoss() {
    // The browser stays hidden; its menu item brings it back.
    close();
}

void ImageDisplay::closeEvent(QCloseEvent* event) {
    discardUnusedCopy();
    QMdiSubWindow::closeEvent(event);
}

void ImageDisplay::discardUnusedCopy() {
    // A copy only looked at is removed; one that is already gone is no
    // concern of the user's.
    if (m_shownMember && !m_used)
        m_main.logoBrowser().discardViewedCopy();
    m_shownMember.reset();
}

} // namespace kor::setup
