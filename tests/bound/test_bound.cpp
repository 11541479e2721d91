// The bound list and grid against the private server.
#include "bound/datacombo.h"
#include "bound/datagrid.h"
#include "bound/datalist.h"
#include "support/testdb.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using namespace zel;
using zel::test::DbTest;
using zel::test::settle;

class BoundTest : public DbTest {};

namespace {
const char* kStatusList = "SELECT * FROM `Status Table`";
const char* kRefList =
    "SELECT `Order Information`.`Customer Ref`, `Quote ID` FROM `Order Information` "
    "ORDER BY `Order Information`.`Customer Ref`;";
} // namespace

TEST_F(BoundTest, ComboBoundTextAndTextFollowTheSelection) {
    DataCombo combo;
    combo.loadList(kStatusList, {}, "Status Description", "ID");
    EXPECT_EQ(combo.count(), 6);
    EXPECT_EQ(combo.BoundText(), "");
    combo.setBoundText("2");
    EXPECT_EQ(combo.Text(), "Pending Approval");
    EXPECT_EQ(combo.BoundText(), "2");
    combo.setText("Approved");
    EXPECT_EQ(combo.BoundText(), "1");
    combo.setText("Something new");
    EXPECT_EQ(combo.BoundText(), "");
    EXPECT_EQ(combo.Text(), "Something new");
    combo.setBoundText("99");
    EXPECT_EQ(combo.BoundText(), "");
    EXPECT_EQ(combo.Text(), "");
}

TEST_F(BoundTest, TypingAReferenceThatIsNotListedLeavesNoKey) {
    DataCombo combo;
    combo.show();
    combo.loadList(kRefList, {}, "Customer Ref", "Quote ID");
    combo.setBoundText("25");
    EXPECT_EQ(combo.Text(), "O'NEILL/26/0429");
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), "NEW/REF/1");
    EXPECT_EQ(combo.Text(), "NEW/REF/1");
    EXPECT_EQ(combo.BoundText(), "");
    // Two orders share a reference: the list keeps the one chosen.
    combo.setBoundText("13");
    EXPECT_EQ(combo.BoundText(), "13");
    EXPECT_EQ(combo.Text(), "ALB/25/0633");
    // The list is refreshed without losing the chosen order.
    gConn().execute("INSERT INTO `Order Information` (`Customer Ref`) VALUES ('AAA first')");
    combo.refresh();
    EXPECT_EQ(combo.BoundText(), "13");
    EXPECT_EQ(combo.itemText(0), "AAA first");
}

TEST_F(BoundTest, OnlyAUserPickFromTheListRaisesArea2) {
    DataCombo combo;
    combo.show();
    combo.loadList(kStatusList, {}, "Status Description", "ID");
    QSignalSpy spy(&combo, &DataCombo::Click);

    combo.setBoundText("3"); // by code: nothing
    combo.setText("Approved");
    EXPECT_EQ(spy.count(), 0);

    QTest::mouseClick(combo.lineEdit(), Qt::LeftButton); // the edit part
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), DataCombo::EditPart);

    combo.pickKey("4");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), DataCombo::List);
    EXPECT_EQ(combo.Text(), "Delivered");
}

TEST_F(BoundTest, AWheelNotchOrArrowKeyOverAClosedListPicksNothing) {
    DataCombo combo;
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    combo.loadList(kStatusList, {}, "Status Description", "ID");
    combo.setBoundText("3");
    QSignalSpy spy(&combo, &DataCombo::Click);

    for (QWidget* target : {static_cast<QWidget*>(&combo), static_cast<QWidget*>(combo.lineEdit())})
        for (int notch : {-120, 120}) {
            const QPointF at = QRectF(target->rect()).center();
            QWheelEvent wheel(at, target->mapToGlobal(at), {}, {0, notch}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
        }
    combo.setFocus();
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) {
        QTest::keyClick(&combo, key);
        QTest::keyClick(combo.lineEdit(), key);
    }
    QTest::keyClick(combo.lineEdit(), Qt::Key_Down);
    settle();
    EXPECT_EQ(combo.BoundText(), "3");
    EXPECT_EQ(spy.count(), 0);
    // The arrow down opens the list instead; Escape closes it unpicked.
    EXPECT_TRUE(combo.view()->isVisible());
    QTest::keyClick(combo.view(), Qt::Key_Escape);
    EXPECT_EQ(combo.BoundText(), "3");
    EXPECT_EQ(spy.count(), 0);

    // Return on an entry of the open list is a pick.
    combo.showPopup();
    ASSERT_TRUE(combo.view()->isVisible());
    combo.view()->setCurrentIndex(combo.model()->index(4, 0));
    QTest::keyClick(combo.view(), Qt::Key_Return);
    settle();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), DataCombo::List);
    EXPECT_EQ(combo.BoundText(), combo.listModel().key(4));

    // So is a click on an entry of the open list.
    combo.showPopup();
    const QRect item = combo.view()->visualRect(combo.model()->index(1, 0));
    QTest::mouseClick(combo.view()->viewport(), Qt::LeftButton, {}, item.center());
    settle();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), DataCombo::List);
    EXPECT_EQ(combo.BoundText(), combo.listModel().key(1));

    // Return in the edit part of a closed list is no pick, even on a listed text.
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), combo.listModel().listText(2));
    if (QWidget* popup = combo.completer()->popup(); popup->isVisible())
        QTest::keyClick(popup, Qt::Key_Escape);
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    settle();
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(BoundTest, ListPicksAndKeys) {
    DataList list;
    list.show();
    list.loadList("SELECT * FROM `Employee Data` WHERE `Type` = ? ORDER BY `Previous Surname`",
                  {"Dentist"}, "Previous Surname", "Payroll ID");
    EXPECT_EQ(list.model()->rowCount(), 5);
    EXPECT_EQ(list.BoundText(), "");
    QSignalSpy spy(&list, &DataList::Click);
    list.setBoundText(list.listModel().key(2));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(list.Text(), list.listModel().listText(2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualRect(list.model()->index(1, 0)).center());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.first().at(0).toInt(), 2);
    EXPECT_EQ(list.BoundText(), list.listModel().key(1));
}

namespace {
const char* kLines =
    "SELECT `ID`, `Order ID`, `Part Id`, `Description`, `Unit Price`, `Quantity`, `Discount`, "
    "CAST((`Unit Price`*`Quantity`*(1-`Discount`)*100)/100 AS DECIMAL(10,2)) AS `Extended Price`, "
    "`Quantity`-`Qty BI` AS `Qty OS`, `DueDate` FROM `Order Details` WHERE `Order ID` = ?";
}

TEST_F(BoundTest, GridColumnsFollowTheStatementWithWidthsAndCaptions) {
    DataGrid grid;
    grid.show();
    grid.bind(kLines, {1});
    EXPECT_EQ(grid.model().columnCount(), 10);
    EXPECT_EQ(grid.caption(3), "Description");
    grid.setColumnWidthTwips(0, 0);
    grid.setColumnWidthTwips(3, 4500);
    grid.setCaption(7, "Total Price");
    EXPECT_TRUE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.columnWidth(3), 300); // 4500 twips at 96 dpi
    EXPECT_EQ(grid.caption(7), "Total Price");
    // Rebinding rebuilds the columns with their own names.
    grid.bind("SELECT `ID`, `Quantity` FROM `Order Details` WHERE `Order ID` = ?", {1});
    EXPECT_EQ(grid.model().columnCount(), 2);
    EXPECT_FALSE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.caption(1), "Quantity");
}

TEST_F(BoundTest, GridWritesAnEditToItsRowAndRefusesABadOne) {
    DataGrid grid;
    grid.show();
    grid.bind(kLines, {1});
    grid.model().setWriteTarget("Order Details", "ID");
    grid.setAllowUpdate(true);
    ASSERT_GT(grid.rowCount(), 0);
    const QVariant id = grid.model().value(0, 0);
    QSignalSpy edited(&grid, &DataGrid::AfterColEdit);

    ASSERT_TRUE(grid.editCell(0, 5, "7"));
    EXPECT_EQ(gConn().scalar("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              7);
    settle();
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.first().at(0).toInt(), 5);

    // A bad number is refused, the message names the field, nothing changes.
    EXPECT_FALSE(grid.editCell(0, 5, "seven"));
    EXPECT_EQ(msgs->last(), "Quantity: \"seven\" is not a whole number.");
    EXPECT_EQ(grid.model().text(0, 5), "7");
    EXPECT_EQ(gConn().scalar("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              7);

    // Texts are written exactly, empty text as NULL, dates in the UK order.
    ASSERT_TRUE(grid.editCell(0, 3, "Bond 'n' seal \\ 5ml"));
    EXPECT_EQ(
        gConn().scalar("SELECT `Description` FROM `Order Details` WHERE `ID` = ?", {id}).toString(),
        "Bond 'n' seal \\ 5ml");
    ASSERT_TRUE(grid.editCell(0, 3, ""));
    EXPECT_TRUE(
        gConn()
            .scalar("SELECT `Description` IS NULL FROM `Order Details` WHERE `ID` = ?", {id})
            .toBool());
    ASSERT_TRUE(grid.editCell(0, 9, "05/03/2026"));
    EXPECT_EQ(grid.model().text(0, 9), "05/03/2026");
    EXPECT_FALSE(grid.editCell(0, 9, "32/01/2001"));
    EXPECT_EQ(grid.model().text(0, 9), "05/03/2026");
    // Computed columns are never written.
    EXPECT_FALSE(grid.editCell(0, 7, "1"));
    EXPECT_FALSE(grid.editCell(0, 8, "1"));
}

namespace {
// Order 1's lines on screen in a grid that writes its edits; the first line's key.
QVariant showEditableLines(DataGrid& grid) {
    grid.resize(900, 300);
    grid.show();
    grid.bind(kLines, {1});
    grid.model().setWriteTarget("Order Details", "ID");
    grid.setAllowUpdate(true);
    return grid.model().value(0, 0);
}
} // namespace

TEST_F(BoundTest, GridTypingThroughTheEditorWritesTheCell) {
    DataGrid grid;
    const QVariant id = showEditableLines(grid);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setCurrentCell(0, 5);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_1); // a key opens the editor
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_EQ(gConn().scalar("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              12);
}

TEST_F(BoundTest, GridClickOnTheSelectedCellThenTypingAtOnceKeepsEveryKeystroke) {
    DataGrid grid;
    const QVariant id = showEditableLines(grid);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setFocus();
    grid.setCurrentCell(0, 5);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model().index(0, 5)).center());
    for (Qt::Key k : {Qt::Key_3, Qt::Key_4, Qt::Key_Return})
        QTest::keyClick(QApplication::focusWidget(), k);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    settle();
    EXPECT_EQ(gConn().scalar("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              34);
    EXPECT_FALSE(grid.isEditing());
}

TEST_F(BoundTest, GridScalesAFractionToAPercentage) {
    DataGrid grid;
    grid.bind(kLines, {1});
    grid.model().setWriteTarget("Order Details", "ID");
    grid.setAllowUpdate(true);
    grid.model().setColumnScale(6, 100);
    const QVariant id = grid.model().value(0, 0);
    ASSERT_TRUE(grid.editCell(0, 6, "12.5"));
    EXPECT_DOUBLE_EQ(
        gConn().scalar("SELECT `Discount` FROM `Order Details` WHERE `ID` = ?", {id}).toDouble(),
        0.125);
    EXPECT_EQ(grid.model().text(0, 6), "12.5");
}

TEST_F(BoundTest, GridAddsAndDeletesRowsWhenAllowed) {
    DataGrid grid;
    grid.bind(kLines, {1});
    grid.model().setWriteTarget("Order Details", "ID");
    const int before = grid.rowCount();
    grid.setAllowAddNew(true, [] { return QVariantMap{{"Order ID", 1}}; });
    EXPECT_EQ(grid.model().rowCount(), before + 1);
    ASSERT_TRUE(grid.editCell(before, 2, "NEW-1"));
    EXPECT_EQ(grid.rowCount(), before + 1);
    EXPECT_EQ(gConn().scalar("SELECT COUNT(*) FROM `Order Details` WHERE `Order ID` = 1").toInt(),
              before + 1);
    const QVariant newId = grid.model().value(before, 0);
    EXPECT_EQ(
        gConn().scalar("SELECT `Part Id` FROM `Order Details` WHERE `ID` = ?", {newId}).toString(),
        "NEW-1");

    EXPECT_FALSE(grid.model().removeRow(before)); // deleting not allowed yet
    grid.setAllowDelete(true);
    EXPECT_TRUE(grid.model().removeRow(before));
    EXPECT_EQ(
        gConn().scalar("SELECT COUNT(*) FROM `Order Details` WHERE `ID` = ?", {newId}).toInt(), 0);
}

TEST_F(BoundTest, GridNeverOverwritesACellChangedOnAnotherWorkstation) {
    DataGrid grid;
    grid.bind(kLines, {1});
    grid.model().setWriteTarget("Order Details", "ID");
    grid.setAllowUpdate(true);
    grid.setAllowAddNew(true, [] { return QVariantMap{{"Order ID", 1}}; });
    const QVariant id = grid.model().value(0, 0);
    // Another workstation changes the quantity after this grid loaded it.
    gConn().execute("UPDATE `Order Details` SET `Quantity` = 7 WHERE `ID` = ?", {id});
    EXPECT_FALSE(grid.editCell(0, 5, "9"));
    EXPECT_EQ(msgs->last(), "Quantity of this line was changed on another workstation. Nothing was "
                            "written; the lines are shown again with what is stored.");
    EXPECT_EQ(gConn().scalar("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              7);
    settle();
    EXPECT_EQ(grid.model().text(0, 5), "7");

    // Another column of the same line, and cells of a line just added here
    // (server defaults included), are written as usual.
    gConn().execute("UPDATE `Order Details` SET `Description` = 'elsewhere' WHERE `ID` = ?", {id});
    msgs->clear();
    ASSERT_TRUE(grid.editCell(0, 5, "9"));
    EXPECT_EQ(
        gConn()
            .scalar(
                "SELECT CONCAT(`Quantity`, ' ', `Description`) FROM `Order Details` WHERE `ID` = ?",
                {id})
            .toString(),
        "9 elsewhere");
    const int added = grid.model().rowCount() - 1;
    ASSERT_TRUE(grid.editCell(added, 2, "NEW-2"));
    for (int column : {4, 5, 6, 9})
        EXPECT_TRUE(grid.editCell(added, column, column == 9 ? "05/03/2026" : "3")) << column;
    EXPECT_TRUE(msgs->messages.empty()) << msgs->last().toStdString();
}

namespace {
// Clicks the row's header, selecting the whole line.
void clickRowHeader(DataGrid& grid, int row) {
    QHeaderView* h = grid.verticalHeader();
    QTest::mouseClick(
        h->viewport(), Qt::LeftButton, {},
        QPoint(h->width() / 2, h->sectionViewportPosition(row) + h->sectionSize(row) / 2));
}
} // namespace

TEST_F(BoundTest, DeleteRemovesALineOnlyWhenItsRowIsSelectedAndTheNamedQuestionIsAnsweredYes) {
    DataGrid grid;
    grid.resize(900, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.bind(kLines, {1});
    grid.model().setWriteTarget("Order Details", "ID");
    grid.setAllowUpdate(true);
    grid.setAllowDelete(true);
    grid.setRowDescriber(
        [&grid](int row) { return grid.model().text(row, 2) + " " + grid.model().text(row, 3); });
    const int lines = grid.rowCount();
    ASSERT_GE(lines, 2);
    const QVariant id = grid.model().value(1, 0);
    const QString code = grid.model().text(1, 2), description = grid.model().text(1, 3);
    QSignalSpy deleted(&grid, &DataGrid::AfterDelete);

    // Delete in a cell that is not being edited clears nothing, removes nothing.
    grid.setFocus();
    grid.setCurrentCell(1, 3);
    QTest::keyClick(&grid, Qt::Key_Delete);
    settle();
    EXPECT_EQ(grid.rowCount(), lines);
    EXPECT_EQ(grid.model().text(1, 3), description);
    EXPECT_EQ(gConn().scalar("SELECT COUNT(*) FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              1);
    EXPECT_TRUE(msgs->messages.empty());

    // The whole row chosen by its header: a question naming the line, No by default.
    clickRowHeader(grid, 1);
    ASSERT_TRUE(grid.selectionModel()->isRowSelected(1, {}));
    QTest::keyClick(&grid, Qt::Key_Delete);
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->messages[0].kind, RecordingMessages::Message::Question);
    EXPECT_EQ(msgs->last(), QStringLiteral("Delete line 2, %1 %2?").arg(code, description));
    EXPECT_TRUE(msgs->messages[0].defaultNo);
    EXPECT_EQ(grid.rowCount(), lines);
    EXPECT_EQ(gConn().scalar("SELECT COUNT(*) FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              1);
    EXPECT_EQ(deleted.count(), 0);

    msgs->answer(true);
    clickRowHeader(grid, 1);
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(grid.rowCount(), lines - 1);
    EXPECT_EQ(gConn().scalar("SELECT COUNT(*) FROM `Order Details` WHERE `ID` = ?", {id}).toInt(),
              0);
    EXPECT_EQ(gConn().scalar("SELECT COUNT(*) FROM `Order Details` WHERE `Order ID` = 1").toInt(),
              lines - 1);
    EXPECT_EQ(deleted.count(), 1);
}

TEST_F(BoundTest, TextKeysAreKeptExactlyAsStored) {
    gConn().execute("INSERT INTO `Products` (`Product Name`, `English Name`) VALUES ('5.10', "
                    "'Shade 2.0'), ('5.1', NULL)");
    DataCombo combo;
    combo.loadList("SELECT `Product Name`, `English Name` FROM `Products` ORDER BY `Product Name`",
                   {}, "Product Name", "Product Name");
    combo.setBoundText("5.10");
    EXPECT_EQ(combo.BoundText(), "5.10");
    EXPECT_EQ(combo.Text(), "5.10");
    combo.setBoundText("5.1");
    EXPECT_EQ(combo.Text(), "5.1");
    combo.loadList("SELECT `Product Name`, `English Name` FROM `Products` ORDER BY `Product Name`",
                   {}, "English Name", "English Name");
    combo.setBoundText("Shade 2.0");
    EXPECT_EQ(combo.Text(), "Shade 2.0");
}

namespace {
// The reference list in the look-up mode, a page of five.
void lookUpRefs(DataCombo& combo) {
    combo.setLookup(
        "SELECT `Customer Ref`, `Quote ID` FROM `Order Information` "
        "WHERE `Customer Ref` LIKE ? ESCAPE '!' ORDER BY `Customer Ref`, `Quote ID` "
        "LIMIT 5",
        "SELECT `Customer Ref`, `Quote ID` FROM `Order Information` WHERE `Quote ID` = ?",
        "Customer Ref", "Quote ID");
}
QStringList entries(const DataCombo& combo) {
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts << combo.itemText(i);
    return texts;
}
} // namespace

TEST_F(BoundTest, ALookUpListHoldsAPageAndFindsTheRestOnTheServer) {
    DataCombo combo;
    combo.show();
    lookUpRefs(combo);
    QStringList firstFive;
    for (const auto& r : gConn()
                             .select("SELECT `Customer Ref` FROM `Order Information` ORDER BY "
                                     "`Customer Ref`, `Quote ID` LIMIT 5")
                             .rows)
        firstFive << r[0].toString();
    EXPECT_EQ(entries(combo), firstFive);

    // A key far from the page is read by itself; typing filters on the server.
    combo.setBoundText("25");
    EXPECT_EQ(combo.Text(), "O'NEILL/26/0429");
    EXPECT_EQ(combo.BoundText(), "25");
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), "PEN/");
    EXPECT_EQ(combo.Text(), "PEN/");
    for (const QString& t : entries(combo))
        EXPECT_TRUE(t.startsWith("PEN/")) << t.toStdString();
    EXPECT_EQ(combo.BoundText(), "");
    EXPECT_GT(combo.completer()->completionCount(), 0);

    // Opening the list on the selection shows the first page again, and the selection.
    combo.setBoundText("25");
    combo.showPopup();
    EXPECT_EQ(entries(combo).mid(0, 5), firstFive);
    EXPECT_EQ(combo.currentText(), "O'NEILL/26/0429");
    combo.hidePopup();

    // A pick by key of an order beyond the page is a pick.
    QSignalSpy clicks(&combo, &DataCombo::Click);
    combo.pickKey("1");
    EXPECT_EQ(combo.Text(), "PEN/24/0535");
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), DataCombo::List);
    combo.setBoundText("99999");
    EXPECT_EQ(combo.BoundText(), "");
    EXPECT_EQ(combo.Text(), "");

    // A refresh reads the selected order afresh and keeps it.
    combo.setBoundText("25");
    gConn().execute("UPDATE `Order Information` SET `Customer Ref` = 'RENAMED/1' WHERE "
                    "`Quote ID` = 25");
    combo.refresh();
    EXPECT_EQ(combo.BoundText(), "25");
    EXPECT_EQ(combo.Text(), "RENAMED/1");
}

TEST_F(BoundTest, TypedPercentUnderscoreAndBackslashMatchOnlyThemselves) {
    for (const char* ref : {"ESC%1", "ESC_1", "ESCx1", "ESC\\1", "ESC!1", "ESC\\\\1"})
        gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES (?)", {ref});
    DataCombo combo;
    combo.show();
    lookUpRefs(combo);
    auto typed = [&](const QString& text) {
        combo.setText(QString());
        combo.lineEdit()->clear();
        QTest::keyClicks(combo.lineEdit(), text);
        return entries(combo);
    };
    EXPECT_EQ(typed("ESC%"), QStringList{"ESC%1"});
    EXPECT_EQ(typed("ESC_"), QStringList{"ESC_1"});
    EXPECT_EQ(typed("ESC!"), QStringList{"ESC!1"});
    EXPECT_EQ(typed("ESC\\1"), QStringList{"ESC\\1"});
    EXPECT_EQ(typed("esc\\\\"), QStringList{"ESC\\\\1"});
    EXPECT_EQ(typed("ESC").size(), 5); // the page's limit
    // A typed text that is exactly an entry selects it, as in a full list.
    combo.setText("ESC_1");
    EXPECT_FALSE(combo.BoundText().isEmpty());
}
