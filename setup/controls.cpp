#include "controls.h"

#include "fonts.h"
#include "twips.h"

#include "platform/services.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

namespace kor::setup {

namespace {

QString latin1(const char* name) {
    return QString::fromLatin1(name);
}

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
}

void placeChildWindow(QMdiSubWindow& window, QSize areaTwips, double widthDivisor,
                      double heightDivisor) {
    window.adjustSize();
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

void setTabOrderChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace kor::setup
