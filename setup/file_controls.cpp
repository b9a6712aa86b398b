// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_controls.h"

#include "controls.h"
#include "drop_label.h"

#include "platform/files.h"
#include "platform/machine.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionHeader>

#include <algorithm>
#include <cerrno>
#include <functional>

namespace kor::setup {

namespace {

std::string joinPath(const std::string& directory, const std::string& name) {
    return directory.ends_with('\\') ? directory + name : directory + '\\' + name;
}

// "C:\WINDOWS\SYSTEM" gives "C:\", "C:\WINDOWS", "C:\WINDOWS\SYSTEM".
std::vector<std::string> pathsLeadingTo(const std::string& path) {
    std::vector<std::string> paths{path.substr(0, 3)};
    for (std::size_t separator = path.find('\\', 3); separator != std::string::npos;
         separator = path.find('\\', separator + 1))
        paths.push_back(path.substr(0, separator));
    if (path.size() > 3)
        paths.push_back(path);
    return paths;
}

std::string lastComponent(const std::string& path) {
    return path.size() <= 3 ? path : path.substr(path.rfind('\\') + 1);
}

constexpr int PathRole = Qt::UserRole;

// The files of `directory` that match any of `patterns`, in the order
// listFiles gives.
platform::Result<std::vector<std::string>> listMatchingFiles(const std::string& directory,
                                                             std::string_view patterns) {
    if (patterns.find(';') == std::string_view::npos)
        return platform::listFiles(directory, patterns);
    platform::Result<std::vector<std::string>> names = platform::listFiles(directory, "*.*");
    if (!names)
        return names;
    std::erase_if(names.value(),
                  [&](const std::string& name) { return !matchesAnyPattern(name, patterns); });
    return names;
}

QStringList windowsPathTypes() {
    return {QString::fromLatin1(WindowsPathMimeType)};
}

// A list lets one entry be dragged at a time, the one the drag began on.
QMimeData* draggedEntryData(const QList<QListWidgetItem*>& items,
                            const std::function<std::string(const QListWidgetItem&)>& pathOf) {
    if (items.isEmpty())
        return nullptr;
    return windowsPathData(pathOf(*items.front()));
}

// A header whose captions, when wider than their column, end in "…" as on
// Windows. Qt's own header elides against the whole header's width, before it
// knows the section's, and so never elides: a right-aligned caption loses its
// beginning instead.
class ElidingHeader final : public QHeaderView {
  public:
    explicit ElidingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

  protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        QStyleOptionHeader section = *option;
        section.rect = QRect(0, 0, sectionSize(logicalIndex), height());
        const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &section, this);
        option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, label.width());
    }
};

} // namespace

bool matchesAnyPattern(std::string_view name, std::string_view patterns) {
    for (std::size_t start = 0; start <= patterns.size();) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        const std::string_view pattern = patterns.substr(start, end - start);
        if (!pattern.empty() && platform::matchesWildcard(name, pattern))
            return true;
        start = end + 1;
    }
    return false;
}

DriveListBox::DriveListBox(QWidget* parent)
    : QComboBox(parent), m_drive(platform::Machine::current().currentDrive()) {
    fillDrives();
    connect(this, &QComboBox::activated, this, &DriveListBox::pick);
}

platform::Status DriveListBox::setDrive(std::string_view path) {
    const platform::Machine& machine = platform::Machine::current();
    platform::Result<std::string> full = machine.fullPath(path);
    // A host path counts for the drive it lies on.
    if (full && full.value().starts_with('/'))
        full = machine.windowsPath(full.value());
    if (!full)
        return full.error();
    // Asked of the drive itself, not through a host path, which a drive that
    // is a disk image does not have.
    const char letter = full.value().front();
    if (!machine.isDriveMapped(letter))
        return platform::Error(platform::Operation::Find, full.value(), ENODEV,
                               std::string("drive ") + letter + ": is not mapped");

    if (findData(QChar(letter)) < 0)
        fillDrives();
    selectDrive(letter);
    if (letter != m_drive) {
        m_drive = letter;
        emit changed();
    }
    return {};
}

void DriveListBox::fillDrives() {
    const QSignalBlocker blocker(this);
    clear();
    for (char letter : platform::Machine::current().drives())
        addItem(QString(QChar(letter)).toLower() + QStringLiteral(":"), QChar(letter));
    selectDrive(m_drive);
}

void DriveListBox::selectDrive(char letter) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(QChar(letter)));
}

void DriveListBox::pick(int index) {
    const char letter = itemData(index).toChar().toLatin1();
    if (letter == m_drive)
        return;
    m_drive = letter;
    emit changed();
}

DirListBox::DirListBox(QWidget* parent)
    : QListWidget(parent), m_path(platform::Machine::current().currentDirectory()) {
    showFocusMark(*this);
    fill(platform::listDirectories(m_path).valueOr({}));
    connect(this, &QListWidget::itemActivated, this, &DirListBox::open);
}

platform::Status DirListBox::setPath(std::string_view path) {
    platform::Result<std::string> full = platform::Machine::current().fullPath(path);
    if (!full)
        return full.error();
    auto subfolders = platform::listDirectories(full.value());
    if (!subfolders)
        return subfolders.error();

    const bool moved = full.value() != m_path;
    m_path = std::move(full).value();
    fill(subfolders.value());
    if (moved)
        emit changed();
    return {};
}

std::string DirListBox::selectedPath() const {
    const QListWidgetItem* selected = currentItem();
    return selected ? selected->data(PathRole).toString().toStdString() : m_path;
}

QStringList DirListBox::mimeTypes() const {
    return windowsPathTypes();
}

QMimeData* DirListBox::mimeData(const QList<QListWidgetItem*>& items) const {
    return draggedEntryData(items, [](const QListWidgetItem& item) {
        return item.data(PathRole).toString().toStdString();
    });
}

void DirListBox::startDrag(Qt::DropActions) {
    // A drag tells where an entry lies; the list keeps it whatever the target
    // makes of it.
    emit dragStarted();
    QListWidget::startDrag(Qt::CopyAction);
    emit dragFinished();
}

void DirListBox::fill(const std::vector<std::string>& subfolders) {
    clear();
    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const std::vector<std::string> leading = pathsLeadingTo(m_path);
    QString indent;
    for (const std::string& path : leading) {
        auto* item = new QListWidgetItem(openFolder, indent + toQString(lastComponent(path)), this);
        item->setData(PathRole, toQString(path));
        indent += QStringLiteral("  ");
    }
    setCurrentRow(static_cast<int>(leading.size()) - 1);
    for (const std::string& name : subfolders) {
        auto* item = new QListWidgetItem(closedFolder, indent + toQString(name), this);
        item->setData(PathRole, toQString(joinPath(m_path, name)));
    }
}

void DirListBox::open(QListWidgetItem* item) {
    // A folder removed since it was listed is left listed; the list stays
    // where it is.
    static_cast<void>(setPath(item->data(PathRole).toString().toStdString()));
}

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent), m_path(platform::Machine::current().currentDirectory()) {
    // Every row is one line of text: the list lays out a folder of a hundred
    // thousand files without measuring each.
    setUniformItemSizes(true);
    showFocusMark(*this);
    fill(listMatchingFiles(m_path, m_pattern).valueOr({}));
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectedItems().isEmpty())
            emit picked();
    });
}

platform::Status FileListBox::setPath(std::string_view path) {
    platform::Result<std::string> full = platform::Machine::current().fullPath(path);
    if (!full)
        return full.error();
    auto names = listMatchingFiles(full.value(), m_pattern);
    if (!names)
        return names.error();
    // A pick belongs to its directory, even where another holds the same name.
    if (full.value() != m_path) {
        const QSignalBlocker blocker(this);
        clear();
    }
    m_path = std::move(full).value();
    fill(names.value());
    return {};
}

void FileListBox::setPattern(std::string_view pattern) {
    m_pattern = pattern;
    fill(listMatchingFiles(m_path, m_pattern).valueOr({}));
}

QStringList FileListBox::names() const {
    QStringList listed;
    for (int row = 0; row < count(); ++row)
        listed.append(item(row)->text());
    return listed;
}

std::string FileListBox::selectedName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

QStringList FileListBox::mimeTypes() const {
    return windowsPathTypes();
}

QMimeData* FileListBox::mimeData(const QList<QListWidgetItem*>& items) const {
    return draggedEntryData(items, [this](const QListWidgetItem& item) {
        return joinPath(m_path, item.text().toStdString());
    });
}

void FileListBox::startDrag(Qt::DropActions) {
    emit dragStarted();
    QListWidget::startDrag(Qt::CopyAction);
    emit dragFinished();
}

void FileListBox::fill(const std::vector<std::string>& names) {
    const QSignalBlocker blocker(this);
    const std::string kept = selectedName();
    clear();
    for (const std::string& name : names) {
        addItem(toQString(name));
        if (!kept.empty() && name == kept)
            setCurrentRow(count() - 1);
    }
}

// The rows of a report list: each row's cells in one string, separated by
// "\0" (no cell holds one: they come from C strings), so that a row costs
// little more than its text.
class ReportRows final : public QAbstractTableModel {
  public:
    explicit ReportRows(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return cell(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_columns[index.column()].alignment);
        case Qt::ToolTipRole:
            return index.row() == m_tipRow ? QVariant(m_tip) : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 ||
            section >= static_cast<int>(m_columns.size()))
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: // the whole caption, for a column too narrow to show it
            return m_columns[section].header;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_columns[section].alignment);
        default:
            return {};
        }
    }

    QString cell(int row, int column) const {
        const std::string& cells = m_rows[row];
        std::size_t start = 0;
        for (int skipped = 0; skipped < column; ++skipped) {
            start = cells.find('\0', start);
            if (start == std::string::npos)
                return {};
            ++start;
        }
        const std::size_t end = std::min(cells.find('\0', start), cells.size());
        return QString::fromUtf8(cells.data() + start, static_cast<qsizetype>(end - start));
    }

    void setToolTip(int row, const QString& tip) {
        m_tipRow = row;
        m_tip = tip;
    }

    void clearRows() {
        beginResetModel();
        m_rows.clear();
        m_rows.shrink_to_fit();
        m_tipRow = -1;
        endResetModel();
    }

    void clearColumns() {
        beginResetModel();
        m_columns.clear();
        endResetModel();
    }

    void addColumn(const QString& header, Qt::Alignment alignment) {
        const int column = static_cast<int>(m_columns.size());
        beginInsertColumns({}, column, column);
        m_columns.push_back({header, alignment | Qt::AlignVCenter});
        endInsertColumns();
    }

    void addRow(const std::vector<std::string>& cells) {
        std::string joined;
        for (std::size_t column = 0; column < m_columns.size() && column < cells.size(); ++column) {
            if (column > 0)
                joined += '\0';
            joined += cells[column];
        }
        const int row = static_cast<int>(m_rows.size());
        beginInsertRows({}, row, row);
        m_rows.push_back(std::move(joined));
        endInsertRows();
    }

  private:
    struct Column {
        QString header;
        Qt::Alignment alignment;
    };

    std::vector<Column> m_columns;
    std::vector<std::string> m_rows;
    int m_tipRow = -1;
    QString m_tip;
};

ReportListView::ReportListView(QWidget* parent) : QTreeView(parent), m_rows(new ReportRows(this)) {
    setHeader(new ElidingHeader(this));
    setModel(m_rows);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    showFocusMark(*this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

int ReportListView::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.front().row();
}

std::string ReportListView::selectedText() const {
    const std::vector<std::string> cells = selectedCells();
    return cells.empty() ? std::string() : cells.front();
}

std::vector<std::string> ReportListView::selectedCells() const {
    const int row = selectedRow();
    if (row < 0)
        return {};
    std::vector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(columnCount()));
    for (int column = 0; column < columnCount(); ++column)
        cells.push_back(m_rows->cell(row, column).toStdString());
    return cells;
}

void ReportListView::setSelectedRowToolTip(const QString& tip) {
    m_rows->setToolTip(selectedRow(), tip);
}

int ReportListView::rowCount() const {
    return m_rows->rowCount();
}

int ReportListView::columnCount() const {
    return m_rows->columnCount();
}

QString ReportListView::cellText(int row, int column) const {
    return m_rows->cell(row, column);
}

QString ReportListView::headerText(int column) const {
    return m_rows->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void ReportListView::clearRows() {
    m_rows->clearRows();
}

void ReportListView::clearColumns() {
    m_rows->clearColumns();
}

void ReportListView::addColumn(const QString& header, int width, Qt::Alignment alignment) {
    m_rows->addColumn(header, alignment);
    setColumnWidth(columnCount() - 1, width);
}

void ReportListView::addRow(const std::vector<std::string>& cells) {
    m_rows->addRow(cells);
}

void ReportListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void ReportListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (currentIndex() != before)
        emit clicked();
}

} // namespace kor::setup
