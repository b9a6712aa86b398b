#pragma once

#include "file_controls.h"

#include <QMdiSubWindow>

namespace kor::setup {

class KORsetupMain;

// The logo browser: the window in which the user walks drives and
// directories and picks a picture or an archive. It has no border and sits
// in the top left corner of the main window's inner area; its height follows
// the picture-source mode (set by the options window's check_set).
class Form1 final : public QMdiSubWindow {
    Q_OBJECT

  public:
    static constexpr int DesignedWidthTwips = 6525;
    static constexpr int DesignedHeightTwips = 5430;

    explicit Form1(KORsetupMain& main);

    void Form_Load();

    // The window's height in twips; with no border it is its inner height.
    void setHeightInTwips(int twips);

    // The controls, set by the main window's start-up and by check_set.
    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;

  private:
    void Drive1_Change();
    void Dir1_Change();

    KORsetupMain& m_main;
};

} // namespace kor::setup
