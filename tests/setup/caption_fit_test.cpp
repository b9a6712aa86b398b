// SPDX-License-Identifier: GPL-3.0-or-later
// Captions that do not fit their controls: shortened with "…" and shown whole
// in the tooltip under English, left as they are under Japanese.

#include "caption_check.h"
#include "controls.h"
#include "session_locale.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

using kor::setup::fitCaptions;
using kor::setup::setCaption;
using kor::setup::wholeCaption;
using kor::testing::captionOf;
using kor::testing::captionShowsWhole;

namespace {

enum class Kind { Label, WrappedLabel, Button, CheckBox, GroupBox };

const QString OwnToolTip = QStringLiteral("Its own tip");
const QString ShortCaption = QStringLiteral("OK");
const QString LongCaption =
    QStringLiteral("A caption far too long for the control it was given to");

// A control of `kind` inside `window`, at a fixed size as the setup windows
// place them, showing `caption`. The check box has a tooltip of its own.
QWidget* makeControl(Kind kind, QWidget& window, const QString& caption) {
    QWidget* control = nullptr;
    switch (kind) {
    case Kind::Label:
        control = new QLabel(caption, &window);
        break;
    case Kind::WrappedLabel: {
        auto* label = new QLabel(caption, &window);
        label->setWordWrap(true);
        control = label;
        break;
    }
    case Kind::Button:
        control = new QPushButton(caption, &window);
        break;
    case Kind::CheckBox:
        control = new QCheckBox(caption, &window);
        control->setToolTip(OwnToolTip);
        break;
    case Kind::GroupBox:
        control = new QGroupBox(caption, &window);
        break;
    }
    // A single line as high as the designed captions (180 twips), lower
    // than its font: only its width counts.
    const int height = kind == Kind::Label          ? 12
                       : kind == Kind::WrappedLabel ? 40
                       : kind == Kind::GroupBox     ? 60
                                                    : 24;
    control->setGeometry(10, 10, 120, height);
    return control;
}

// Gives `control` a caption as code that knows nothing of fitting does.
void giveCaption(QWidget& control, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(caption);
}

QString ownToolTipOf(Kind kind) {
    return kind == Kind::CheckBox ? OwnToolTip : QString();
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class CaptionFitTest : public QObject {
    Q_OBJECT

  private slots:
    void fitsOrShowsWholeInTheTooltip_data();
    void fitsOrShowsWholeInTheTooltip();
    void japaneseCaptionsStayAsTheyAre_data();
    void japaneseCaptionsStayAsTheyAre();
};

void CaptionFitTest::fitsOrShowsWholeInTheTooltip_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("caption");
    const struct {
        const char* name;
        Kind kind;
    } kinds[] = {{"label", Kind::Label},
                 {"word-wrapped label", Kind::WrappedLabel},
                 {"push button", Kind::Button},
                 {"check box", Kind::CheckBox},
                 {"group box", Kind::GroupBox}};
    for (const auto& [name, kind] : kinds) {
        QTest::addRow("%s, fits", name) << kind << ShortCaption;
        QTest::addRow("%s, too long", name) << kind << LongCaption;
    }
}

void CaptionFitTest::fitsOrShowsWholeInTheTooltip() {
    QFETCH(Kind, kind);
    QFETCH(QString, caption);
    const kor::testing::SessionLocale english(nullptr, "C", "C");
    QWidget window;
    window.resize(400, 200);
    QWidget* control = makeControl(kind, window, caption);
    if (kind == Kind::Label)
        QVERIFY(control->fontMetrics().height() > control->height());
    // The measure of this test, independent of the code under test.
    const bool fits = captionShowsWhole(*control);
    QCOMPARE(fits, caption == ShortCaption);

    fitCaptions(window);
    QCOMPARE(wholeCaption(*control), caption);
    const QString shown = *captionOf(*control);
    if (fits) {
        QCOMPARE(shown, caption);
        QCOMPARE(control->toolTip(), ownToolTipOf(kind));
    } else {
        QVERIFY2(shown.endsWith(u'…') && caption.startsWith(shown.chopped(1)), qPrintable(shown));
        QVERIFY2(captionShowsWhole(*control), qPrintable(shown));
        const QString tip = ownToolTipOf(kind).isEmpty()
                                ? caption
                                : caption + QStringLiteral("\n\n") + ownToolTipOf(kind);
        QCOMPARE(control->toolTip(), tip);
    }
    // Fitted again, as a window is when it is placed, nothing changes.
    fitCaptions(window);
    QCOMPARE(*captionOf(*control), shown);
    QCOMPARE(wholeCaption(*control), caption);

    // A short caption given later shows whole, with the control's own tip.
    setCaption(*control, ShortCaption);
    QCOMPARE(*captionOf(*control), ShortCaption);
    QCOMPARE(wholeCaption(*control), ShortCaption);
    QCOMPARE(control->toolTip(), ownToolTipOf(kind));
    // And a long one is fitted as it is given.
    setCaption(*control, caption);
    QCOMPARE(*captionOf(*control), shown);
    QCOMPARE(wholeCaption(*control), caption);

    // A caption given by the control's own setter is its own, whole, and is
    // fitted with the window.
    const QString other = caption + QStringLiteral(" too");
    giveCaption(*control, other);
    QCOMPARE(wholeCaption(*control), other);
    fitCaptions(window);
    QCOMPARE(wholeCaption(*control), other);
    QCOMPARE(*captionOf(*control), fits ? other : shown);
    if (!fits)
        QVERIFY(control->toolTip().startsWith(other));
}

void CaptionFitTest::japaneseCaptionsStayAsTheyAre_data() {
    QTest::addColumn<Kind>("kind");
    QTest::newRow("label") << Kind::Label;
    QTest::newRow("push button") << Kind::Button;
    QTest::newRow("check box") << Kind::CheckBox;
    QTest::newRow("group box") << Kind::GroupBox;
}

void CaptionFitTest::japaneseCaptionsStayAsTheyAre() {
    QFETCH(Kind, kind);
    const kor::testing::SessionLocale japanese(nullptr, "ja_JP.UTF-8", "ja_JP.UTF-8");
    QWidget window;
    window.resize(400, 200);
    QWidget* control = makeControl(kind, window, LongCaption);
    fitCaptions(window);
    QCOMPARE(*captionOf(*control), LongCaption);
    QCOMPARE(wholeCaption(*control), LongCaption);
    QCOMPARE(control->toolTip(), ownToolTipOf(kind));
    setCaption(*control, LongCaption + QStringLiteral("!"));
    QCOMPARE(*captionOf(*control), LongCaption + QStringLiteral("!"));
}

QTEST_MAIN(CaptionFitTest)
#include "caption_fit_test.moc"
