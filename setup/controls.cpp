// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include "fonts.h"
#include "twips.h"

#include "platform/services.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionFocusRect>

namespace kor::setup {

namespace {

QString latin1(const char* name) {
    return QString::fromLatin1(name);
}

// A child window's title-bar menu holds what a fixed-size window can do, as on
// Windows: move, and close when it has a close button. Qt's other entries
// (restore, size, minimize, maximize, stay on top) are removed; the kept ones
// are named in Japanese whether or not Qt's own translation is installed.
void keepMoveAndClose(QMdiSubWindow& window, CloseButton closeButton) {
    QMenu* menu = window.systemMenu();
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        // Qt names its entries through this context, so the comparison holds
        // in any language.
        if (action->text() == QMdiSubWindow::tr("&Move"))
            action->setText(QStringLiteral("移動(&M)"));
        else if (action->text() == QMdiSubWindow::tr("&Close") && closeButton == CloseButton::Shown)
            action->setText(QStringLiteral("閉じる(&C)"));
        else
            menu->removeAction(action);
    }
}

// The toolkit's style, but a focus mark that shows: Fusion's is a faint
// outline in the selection's own colour, lost on a selected row.
class DottedFocusStyle final : public QProxyStyle {
  public:
    DottedFocusStyle() : QProxyStyle(QApplication::style()->name()) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
        if (element != PE_FrameFocusRect || !focus)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        const QColor under = focus->backgroundColor.isValid()
                                 ? focus->backgroundColor
                                 : option->palette.color(QPalette::Base);
        painter->save();
        painter->setPen(QPen(QColor(255 - under.red(), 255 - under.green(), 255 - under.blue()), 1,
                             Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

void tell(std::string_view text) {
    platform::services().showMessage(ProgramTitle, text);
}

void setUpChildWindow(QMdiSubWindow& window, const char* name, const QString& title,
                      CloseButton closeButton) {
    window.setObjectName(latin1(name));
    window.setWindowTitle(title);
    window.setWindowFlags(
        Qt::CustomizeWindowHint | Qt::WindowTitleHint |
        (closeButton == CloseButton::Shown ? Qt::WindowCloseButtonHint : Qt::WindowFlags()));
    window.setAttribute(Qt::WA_DeleteOnClose);
    keepMoveAndClose(window, closeButton);
}

void placeChildWindow(QMdiSubWindow& window, QSize areaTwips, double widthDivisor,
                      double heightDivisor) {
    window.adjustSize();
    // Child windows cannot be resized, as on Windows 95: their controls sit
    // at fixed places, and a frame dragged wider would only show bare space.
    window.setFixedSize(window.size());
    window.move(pixelsFromTwips(areaTwips.width() / widthDivisor),
                pixelsFromTwips(areaTwips.height() / heightDivisor));
}

QFrame* makePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(latin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QFrame* makePanel(QWidget* parent, const char* name, QRect geometry) {
    QFrame* panel = makePanel(parent, name);
    panel->setFont(japaneseUiFont());
    panel->setGeometry(geometry);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(latin1(name));
    label->setGeometry(geometry);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(latin1(name));
    button->setGeometry(geometry);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(latin1(name));
    box->setGeometry(geometry);
    return box;
}

void showFocusMark(QAbstractItemView& list) {
    // One style for every list, made once the application's style is set.
    static DottedFocusStyle* const style = new DottedFocusStyle;
    list.setStyle(style);
}

void setTabOrderChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace kor::setup
