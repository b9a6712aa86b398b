// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

#include <algorithm>
#include <optional>

// Whether a control's caption shows whole, measured as the toolkit draws it:
// the text against the room the style leaves it in the control.
namespace kor::testing {

// A caption as a button shows it: without the "&" of its shortcut.
inline QString withoutShortcutMark(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

// The caption of a label, a button or a group box; nullopt for any other
// control.
inline std::optional<QString> captionOf(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return withoutShortcutMark(button->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return group->title();
    return std::nullopt;
}

// Whether the caption of `control` shows whole at its size. A label of rich
// text is taken as its plain words; a single line is measured across only.
inline bool captionShowsWhole(const QWidget& control) {
    const QFontMetrics metrics = control.fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        QString text = label->text();
        if (label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument document;
            document.setHtml(text);
            text = document.toPlainText();
        }
        int room = label->contentsRect().width() - 2 * label->margin();
        const int indent = label->indent() >= 0      ? label->indent()
                           : label->frameWidth() > 0 ? metrics.horizontalAdvance(u'x') / 2
                                                     : 0;
        if (label->alignment() & (Qt::AlignLeft | Qt::AlignRight))
            room -= indent;
        if (!label->wordWrap())
            return metrics.horizontalAdvance(text) <= room;
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, room, 100000), Qt::TextWordWrap, text);
        return needed.width() <= room &&
               needed.height() <=
                   std::max(label->contentsRect().height() - 2 * label->margin(), metrics.height());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(button))
            contents = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(button))
            contents = QStyle::SE_RadioButtonContents;
        else if (const auto* push = qobject_cast<const QPushButton*>(button);
                 push && (push->autoDefault() || push->isDefault()))
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect room = button->style()->subElementRect(contents, &option, button);
        return metrics.horizontalAdvance(withoutShortcutMark(button->text())) <= room.width();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.textAlignment = group->alignment();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, group);
        return title.left() >= 0 && title.right() < group->width();
    }
    return true;
}

// Whether a user sees the whole caption of `control`: in the control, or in
// its tooltip where the control shows it shortened with "…".
inline bool captionReadsWhole(const QWidget& control) {
    const std::optional<QString> caption = captionOf(control);
    if (!caption || caption->isEmpty())
        return true;
    if (!captionShowsWhole(control))
        return control.toolTip().contains(*caption);
    if (!caption->endsWith(u'…'))
        return true;
    const QString kept = caption->chopped(1);
    return !kept.isEmpty() && control.toolTip().startsWith(kept) &&
           control.toolTip().size() > kept.size();
}

} // namespace kor::testing
