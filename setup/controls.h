// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>
#include <string_view>

class QAbstractItemView;
class QCheckBox;
class QFrame;
class QLabel;
class QMdiSubWindow;
class QPushButton;
class QSize;
class QWidget;

// The pieces every setup window is built of: its title and frame, raised
// panels, captions and buttons named as the code names them, placed in twips.
namespace kor::setup {

// The title of the program's message boxes.
inline constexpr std::string_view ProgramTitle = "korsetup";

// Shows `text` in a message box under the program's title.
void tell(std::string_view text);

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Which frame a child window has: a title bar with a close button, or a title
// bar alone for a window left only by its own buttons.
enum class CloseButton { Shown, Hidden };

// Names and titles a child window that is deleted when it closes; its
// title-bar menu offers moving it and, with a close button, closing it.
void setUpChildWindow(QMdiSubWindow& window, const char* name, const QString& title,
                      CloseButton closeButton);

// Sizes a child window once inside the main window, where its title bar is
// part of it, fixes that size for good, and moves it to the given shares of
// the area's size in twips.
void placeChildWindow(QMdiSubWindow& window, QSize areaTwips, double widthDivisor,
                      double heightDivisor);

// A raised panel; with a geometry, in the Japanese face of the controls.
QFrame* makePanel(QWidget* parent, const char* name);
QFrame* makePanel(QWidget* parent, const char* name, QRect geometry);
QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption = {});
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry);
QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, QRect geometry);

// Under a language other than Japanese, shortens each caption inside `window`
// (a label's or a button's text, a group box's title) that would not show
// whole at its control's fixed size to what fits, ending in "…", and shows the
// whole caption in the control's tooltip. The Japanese captions were made for
// these sizes and are left as they are.
void fitCaptions(QWidget& window);

// Gives `control` a new caption, fitted as fitCaptions() does.
void setCaption(QWidget& control, const QString& caption);

// The caption `control` was given, whole where it shows shortened.
QString wholeCaption(const QWidget& control);

// Marks the current row of `list` with a dotted rectangle while the list has
// the keyboard focus, as Windows 95 does, in the colour opposite to the row's
// so that it shows on a selected row too.
void showFocusMark(QAbstractItemView& list);

// Tab moves through `widgets` in the order given.
void setTabOrderChain(std::initializer_list<QWidget*> widgets);

} // namespace kor::setup
