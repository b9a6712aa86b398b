// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include "fonts.h"
#include "twips.h"

#include "language/translation.h"
#include "platform/services.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

#include <algorithm>

namespace kor::setup {

namespace {

QString latin1(const char* name) {
    return QString::fromLatin1(name);
}

// A child window's title-bar menu holds what a fixed-size window can do, as on
// Windows: move, and close when it has a close button. Qt's other entries
// (restore, size, minimize, maximize, stay on top) are removed; the kept ones
// are named as on Windows of the session's language, whether or not Qt's own
// translation is installed.
void keepMoveAndClose(QMdiSubWindow& window, CloseButton closeButton) {
    QMenu* menu = window.systemMenu();
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        // Qt names its entries through this context, so the comparison holds
        // in any language.
        if (action->text() == QMdiSubWindow::tr("&Move"))
            action->setText(QCoreApplication::translate("kor::setup::controls", "移動(&M)"));
        else if (action->text() == QMdiSubWindow::tr("&Close") && closeButton == CloseButton::Shown)
            action->setText(QCoreApplication::translate("kor::setup::controls", "閉じる(&C)"));
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

// Where a shortened control keeps its whole caption, the shortened one it
// shows, and the tooltip it had of its own before the caption was added to it.
constexpr const char* WholeCaptionProperty = "korWholeCaption";
constexpr const char* ShortenedCaptionProperty = "korShortenedCaption";
constexpr const char* OwnToolTipProperty = "korOwnToolTip";

// A button's caption as it shows: "&&" is an ampersand, a lone "&" only marks
// the shortcut's letter.
QString shownText(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

// The width the style adds around a button's caption: frame and margins, and
// for a check box or an option its mark. Asked with a wide caption, so that a
// minimum width the style keeps for short ones does not count.
int buttonFrameWidth(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = QStringLiteral("x");
    constexpr int wide = 10000;
    const QSize inner(wide, button.fontMetrics().height());
    QStyle::ContentsType type = QStyle::CT_PushButton;
    if (qobject_cast<const QCheckBox*>(&button))
        type = QStyle::CT_CheckBox;
    else if (qobject_cast<const QRadioButton*>(&button))
        type = QStyle::CT_RadioButton;
    return button.style()->sizeFromContents(type, &option, inner, &button).width() - wide;
}

// The room a label's text has: inside its frame and margin, less the indent
// on the side it is aligned to (half an "x" by default in a framed label).
QRect labelRoom(const QLabel& label) {
    const int margin = label.margin();
    QRect room = label.contentsRect().marginsRemoved(QMargins(margin, margin, margin, margin));
    int indent = label.indent();
    if (indent < 0)
        indent = label.frameWidth() > 0 ? label.fontMetrics().horizontalAdvance(u'x') / 2 : 0;
    if (label.alignment() & (Qt::AlignLeft | Qt::AlignRight))
        room.setWidth(room.width() - indent);
    return room;
}

// Whether `caption` shows whole in `control` at its size. A label's height
// counts only when it wraps its words: a single line taller than its label
// shows as the Japanese captions do in their designed heights.
bool showsWhole(const QWidget& control, const QString& caption) {
    const QFontMetrics metrics = control.fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        const QRect room = labelRoom(*label);
        if (!label->wordWrap())
            return metrics.boundingRect(QRect(), 0, caption).width() <= room.width();
        const QSize needed =
            metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, caption)
                .size();
        return needed.width() <= room.width() &&
               needed.height() <= std::max(room.height(), metrics.height());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return metrics.horizontalAdvance(shownText(caption)) + buttonFrameWidth(*button) <=
               button->width();
    if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = caption;
        option.textAlignment = group->alignment();
        option.features = group->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        if (group->isCheckable())
            option.subControls |= QStyle::SC_GroupBoxCheckBox;
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, group);
        // The title stands as far from the right edge as from the left.
        return title.right() + 1 + title.left() <= group->width();
    }
    return true;
}

QString captionOf(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return group->title();
    return {};
}

void showCaption(QWidget& control, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(caption);
}

// Whether `control` shows a caption that fitCaption() shortened: one set
// since in another way is its own, whole.
bool showsShortened(const QWidget& control) {
    const QVariant shortened = control.property(ShortenedCaptionProperty);
    return shortened.isValid() && shortened.toString() == captionOf(control);
}

// Whether a caption in `control` may be shortened: not a label of rich text,
// whose marks would be cut, and not under Japanese.
bool mayShorten(const QWidget& control, const QString& caption) {
    if (language::sessionReadsJapanese())
        return false;
    const auto* label = qobject_cast<const QLabel*>(&control);
    return !label || label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(caption));
}

// Shows `caption` in `control`, shortened to what fits when it does not.
void fitCaption(QWidget& control, const QString& caption) {
    if (const QVariant own = control.property(OwnToolTipProperty); own.isValid()) {
        control.setToolTip(own.toString());
        for (const char* property :
             {OwnToolTipProperty, WholeCaptionProperty, ShortenedCaptionProperty})
            control.setProperty(property, QVariant());
    }
    if (caption.isEmpty() || !mayShorten(control, caption) || showsWhole(control, caption)) {
        showCaption(control, caption);
        return;
    }
    QString kept = caption;
    QString shown;
    do {
        // A character outside the basic plane goes whole, and a shortcut's
        // "&" with the letter it marked, so that "…" does not become one.
        kept.chop(kept.size() > 1 && kept.back().isLowSurrogate() ? 2 : 1);
        shown = kept.trimmed();
        while (shown.endsWith(u'&'))
            shown.chop(1);
        shown += QStringLiteral("…");
    } while (!kept.isEmpty() && !showsWhole(control, shown));
    showCaption(control, shown);
    control.setProperty(WholeCaptionProperty, caption);
    control.setProperty(ShortenedCaptionProperty, shown);
    control.setProperty(OwnToolTipProperty, control.toolTip());
    const QString whole =
        qobject_cast<const QAbstractButton*>(&control) ? shownText(caption) : caption;
    control.setToolTip(
        control.toolTip().isEmpty() ? whole : whole + QStringLiteral("\n\n") + control.toolTip());
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
    fitCaptions(window);
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

void fitCaptions(QWidget& window) {
    for (QWidget* control : window.findChildren<QWidget*>())
        if (!showsShortened(*control))
            if (const QString caption = captionOf(*control); !caption.isEmpty())
                fitCaption(*control, caption);
}

void setCaption(QWidget& control, const QString& caption) {
    fitCaption(control, caption);
}

QString wholeCaption(const QWidget& control) {
    return showsShortened(control) ? control.property(WholeCaptionProperty).toString()
                                   : captionOf(control);
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
