// SPDX-License-Identifier: GPL-3.0-or-later
// The cells of the member list's rows, as the logo browser shows an archive's
// entries.

#include "member_rows.h"

#include <QStringList>
#include <QTest>

#include <clocale>

Q_DECLARE_METATYPE(kor::core::ArchiveEntry)

namespace {

QStringList toStringList(const std::vector<std::string>& cells) {
    QStringList list;
    for (const std::string& cell : cells)
        list << QString::fromStdString(cell);
    return list;
}

} // namespace

class MemberRowsTest : public QObject {
    Q_OBJECT

  private slots:
    void cellsShowSizesTheJapaneseShortDateAndTheTimeWithoutLeadingZeros_data();
    void cellsShowSizesTheJapaneseShortDateAndTheTimeWithoutLeadingZeros();
};

void MemberRowsTest::cellsShowSizesTheJapaneseShortDateAndTheTimeWithoutLeadingZeros_data() {
    QTest::addColumn<kor::core::ArchiveEntry>("entry");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("a member") << kor::core::ArchiveEntry{"A.BMP", 129078, 4711, {1997, 3, 4},
                                                         9,       5,      10,   "-lh5-"}
                              << QStringList{"A.BMP", "129078", "4711", "97/03/04", "9:5:10"};
    QTest::newRow("29 February of a leap year")
        << kor::core::ArchiveEntry{"L.BMP", 1, 1, {1996, 2, 29}, 0, 0, 0, ""}
        << QStringList{"L.BMP", "1", "1", "96/02/29", "0:0:0"};
    // A date or a time that cannot be is blank, each on its own.
    QTest::newRow("zero DOS date")
        << kor::core::ArchiveEntry{"Z.BMP", 1, 1, {1980, 0, 0}, 12, 30, 0, ""}
        << QStringList{"Z.BMP", "1", "1", "", "12:30:0"};
    QTest::newRow("month 13") << kor::core::ArchiveEntry{"B.BMP", 1, 1, {2001, 13, 5}, 0, 0, 0, ""}
                              << QStringList{"B.BMP", "1", "1", "", "0:0:0"};
    QTest::newRow("month 257") << kor::core::ArchiveEntry{"B.BMP", 1, 1, {2001, 257, 5},
                                                          0,       0, 0, ""}
                               << QStringList{"B.BMP", "1", "1", "", "0:0:0"};
    QTest::newRow("day 0") << kor::core::ArchiveEntry{"B.BMP", 1, 1, {2001, 3, 0}, 0, 0, 0, ""}
                           << QStringList{"B.BMP", "1", "1", "", "0:0:0"};
    QTest::newRow("31 April") << kor::core::ArchiveEntry{"B.BMP", 1, 1, {2001, 4, 31}, 0, 0, 0, ""}
                              << QStringList{"B.BMP", "1", "1", "", "0:0:0"};
    QTest::newRow("29 February of another year")
        << kor::core::ArchiveEntry{"B.BMP", 1, 1, {1997, 2, 29}, 0, 0, 0, ""}
        << QStringList{"B.BMP", "1", "1", "", "0:0:0"};
    QTest::newRow("hour 24") << kor::core::ArchiveEntry{"T.BMP", 1, 1, {1997, 3, 4}, 24, 0, 0, ""}
                             << QStringList{"T.BMP", "1", "1", "97/03/04", ""};
    QTest::newRow("minute 60") << kor::core::ArchiveEntry{"T.BMP", 1,  1, {1997, 3, 4},
                                                          23,      60, 0, ""}
                               << QStringList{"T.BMP", "1", "1", "97/03/04", ""};
    QTest::newRow("second 60 (a stored count of 30)")
        << kor::core::ArchiveEntry{"T.BMP", 1, 1, {1997, 3, 4}, 23, 59, 60, ""}
        << QStringList{"T.BMP", "1", "1", "97/03/04", ""};
    QTest::newRow("2 GiB and more read negative")
        << kor::core::ArchiveEntry{"C.BMP", 4294967295u, 2147483648u, {1980, 1, 1}, 23, 59, 58, ""}
        << QStringList{"C.BMP", "-1", "-2147483648", "80/01/01", "23:59:58"};
}

void MemberRowsTest::cellsShowSizesTheJapaneseShortDateAndTheTimeWithoutLeadingZeros() {
    QFETCH(kor::core::ArchiveEntry, entry);
    QFETCH(QStringList, cells);
    // The host's date order must not leak in: a C locale writes "%x" month first.
    std::setlocale(LC_TIME, "C");
    QCOMPARE(toStringList(kor::setup::memberRowCells(entry)), cells);
    QCOMPARE(std::size(kor::setup::MemberColumns), std::size_t(cells.size()));
}

QTEST_APPLESS_MAIN(MemberRowsTest)
#include "member_rows_test.moc"
