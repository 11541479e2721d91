// The order finder in each mode against the private server, its hand-back to
// the hub and the result printout.
#include "app/dialogs.h"
#include "bound/reportpreview.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"
#include "search/frmfindrecord.h"
#include "search/rptprintresult.h"
#include "support/testdb.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTest>

using namespace zel;
using zel::test::count;
using zel::test::one;
using zel::test::snapshot;

namespace {

qint64 order(const QString& ref, const QString& when, const QVariant& total = "10",
             const QString& rep = "2001") {
    return gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Quoted Date`, `Grand "
                          "Total`, `Sales Rep`) "
                          "VALUES (?, ?, ?, ?)",
                          {ref, when, total, rep});
}

} // namespace

class FinderTest : public test::DbTest {
protected:
    test::Seed seed() const override { return test::Seed::Empty; }
    void SetUp() override {
        DbTest::SetUp();
        gConn().execute(
            "INSERT INTO `Employee Data` (`Payroll ID`, `Forenames`, `Surname`, `Type`) VALUES "
            "(2001, 'Ann', 'Smith', 'Dentist'), (2002, 'Bob', 'Jones', 'Dentist')");
        gConn().execute("INSERT INTO `Status Table` (`ID`, `Status Letter`, `Status Description`) "
                        "VALUES (2, 'P', 'Pending')");
        hub = std::make_unique<frmPurchaseOrder>();
        finder = new frmFindRecord(*hub);
        finder->setAttribute(Qt::WA_DeleteOnClose);
        finder->show();
    }
    void TearDown() override {
        if (finder)
            finder->close();
        test::settle();
        hub.reset();
        DbTest::TearDown();
    }
    QStringList refs() const {
        QStringList out;
        for (int r = 0; r < finder->ListDetails->rowCount(); ++r)
            out << finder->ListDetails->model().text(r, 1);
        return out;
    }
    void search(int mode, std::initializer_list<std::pair<QLineEdit*, QString>> boxes) {
        if (finder->mode() != mode)
            finder->FindOptions_Click(mode);
        for (auto& [box, text] : boxes)
            box->setText(text);
        finder->Command1_Click();
    }

    std::unique_ptr<frmPurchaseOrder> hub;
    QPointer<frmFindRecord> finder;
};

TEST_F(FinderTest, OpensWithNoModeAndNoBoxes) {
    EXPECT_EQ(finder->windowTitle(), "Find Record");
    EXPECT_EQ(finder->Label1->text(), "PO Finder");
    EXPECT_FALSE(finder->SingleDate->isVisible());
    EXPECT_FALSE(finder->RepsHeld->isVisible());
    EXPECT_FALSE(finder->DescLabel->isVisible());
    finder->Command1_Click(); // no mode: nothing searched, no total
    EXPECT_EQ(finder->MainTotal->text(), "");
    EXPECT_EQ(finder->ListDetails->rowCount(), 0);
    finder->FindOptions_Click(3);
    EXPECT_EQ(finder->DescLabel->text(), "The date range I wish to use is between");
    EXPECT_TRUE(finder->FirstDate->isVisible());
    EXPECT_TRUE(finder->LabelAnd->isVisible());
    EXPECT_FALSE(finder->SingleDate->isVisible());
}

TEST_F(FinderTest, ASingleDateTakesTheWholeDayAndNothingElse) {
    order("DAY-START", "2001-04-12 00:00:00");
    order("DAY-END", "2001-04-12 23:59:59");
    order("DAY-BEFORE", "2001-04-11 23:59:59");
    order("DAY-AFTER", "2001-04-13 00:00:00");
    order("O'QUOTE", "2001-04-12 10:00:00", QVariant());
    search(1, {{finder->SingleDate, "12/04/2001"}});
    EXPECT_EQ(refs(), (QStringList{"DAY-START", "O'QUOTE", "DAY-END"}));
    EXPECT_EQ(finder->MainTotal->text(), "£20.00");
    EXPECT_EQ(finder->ListDetails->model().text(0, 2), "10.00");
    EXPECT_EQ(finder->ListDetails->model().text(0, 0), "12/04/2001");
    // The key column is there but not seen.
    EXPECT_EQ(finder->ListDetails->model().columnName(3), "Quote ID");
    EXPECT_TRUE(finder->ListDetails->isColumnHidden(3));
    // The result list is only read.
    EXPECT_FALSE(finder->ListDetails->editCell(0, 1, "CHANGED"));
    EXPECT_EQ(
        gConn()
            .scalar("SELECT COUNT(*) FROM `Order Information` WHERE `Customer Ref` = 'DAY-START'")
            .toInt(),
        1);
}

TEST_F(FinderTest, MonthsAndRangesIncludeTheirEdges) {
    order("MAR-31", "2001-03-31 23:59:59");
    order("APR-01", "2001-04-01 00:00:00");
    order("APR-30", "2001-04-30 23:59:59");
    order("MAY-01", "2001-05-01 00:00:00");
    order("APR-2002", "2002-04-15 00:00:00");
    order("FEB-2002", "2002-02-10 00:00:00");
    search(2, {{finder->SingleMonth, "04"}, {finder->Yearfield, "2001"}});
    EXPECT_EQ(refs(), (QStringList{"APR-01", "APR-30"}));
    EXPECT_EQ(finder->ListDetails->model().columnName(4), "Expr1");
    snapshot(*finder, "finder-month");

    search(3, {{finder->FirstDate, "01/04/2001"}, {finder->SecondDate, "30/04/2001"}});
    EXPECT_EQ(refs(), (QStringList{"APR-01", "APR-30"}));
    // Before the range's days but in a later year: not listed.
    search(3, {{finder->FirstDate, "01/03/2002"}, {finder->SecondDate, "30/04/2002"}});
    EXPECT_EQ(refs(), (QStringList{"APR-2002"}));
    // Dates typed the wrong way round still mean the days between them.
    search(3, {{finder->FirstDate, "30/04/2001"}, {finder->SecondDate, "31/03/2001"}});
    EXPECT_EQ(refs(), (QStringList{"MAR-31", "APR-01", "APR-30"}));
}

TEST_F(FinderTest, CriteriaThatCannotBeReadSaySoAndKeepTheList) {
    order("APR-01", "2001-04-01 00:00:00");
    search(2, {{finder->SingleMonth, "4"}, {finder->Yearfield, "2001"}});
    ASSERT_EQ(refs(), QStringList{"APR-01"});
    search(2, {{finder->SingleMonth, "April"}, {finder->Yearfield, "2001"}});
    EXPECT_EQ(msgs->last(),
              "Month: \"April\" is not a month. Please enter its number, 1 to 12 (eg 04).");
    EXPECT_EQ(refs(), QStringList{"APR-01"});
    search(2, {{finder->SingleMonth, "13"}, {finder->Yearfield, "2001"}});
    EXPECT_TRUE(msgs->last().startsWith("Month: \"13\""));
    search(1, {{finder->SingleDate, "32/01/2001"}});
    EXPECT_EQ(msgs->last(),
              "Date: \"32/01/2001\" is not a date. Please enter it as dd/mm/yyyy (eg 12/04/2001).");
    search(1, {{finder->SingleDate, "12/04/2001' OR '1'='1"}});
    EXPECT_TRUE(msgs->last().startsWith("Date: \"12/04/2001' OR"));
    EXPECT_EQ(finder->ListDetails->rowCount(), 0); // the mode change emptied it; nothing matched
}

TEST_F(FinderTest, AProductGroupListsAnOrderOnce) {
    gConn().execute("INSERT INTO `Products` (`Product ID`, `Product Name`, `group id`) VALUES (1, "
                    "'A', 10), (2, 'B', 10), "
                    "(3, 'C', 20)");
    qint64 both = order("TWO-LINES", "2001-01-01");
    qint64 other = order("OTHER-GROUP", "2001-01-02");
    for (auto [o, p] : {std::pair{both, 1}, {both, 2}, {both, 1}, {other, 3}})
        gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Product ID`) VALUES (?, ?)",
                       {o, p});
    search(4, {{finder->ProductGroup, "10"}});
    EXPECT_EQ(refs(), QStringList{"TWO-LINES"});
    search(4, {{finder->ProductGroup, "99"}});
    EXPECT_TRUE(refs().isEmpty());
    search(4, {{finder->ProductGroup, "'; DROP TABLE products; --"}});
    EXPECT_TRUE(refs().isEmpty());
    EXPECT_EQ(gConn().scalar("SELECT COUNT(*) FROM `Products`").toInt(), 3);
}

TEST_F(FinderTest, DentistsChosenTwiceCountTwiceAndReentryStartsAfresh) {
    order("ANN-1", "2001-01-01", "10", "2001");
    order("ANN-2", "2001-01-02", "5", "2001");
    order("BOB-1", "2001-01-03", "7", "2002");
    finder->FindOptions_Click(5);
    EXPECT_EQ(finder->DescLabel->text(), "The User number I wish to use is");
    finder->ButtonSingle_Click(); // none selected
    EXPECT_EQ(msgs->texts(), QStringList{"Please select a practitioner"});
    finder->RepsHeld->setBoundText("2001");
    finder->ButtonSingle_Click();
    finder->ButtonSingle_Click();
    EXPECT_EQ(finder->RepsBin->model()->rowCount(), 2);
    EXPECT_EQ(finder->RepsBin->listModel().listText(0), "Ann  Smith");
    finder->Command1_Click();
    EXPECT_EQ(refs().size(), 4);
    EXPECT_EQ(finder->MainTotal->text(), "£30.00");
    snapshot(*finder, "finder-dentists");

    // A pick in the chosen list takes the dentist off.
    finder->RepsBin->pickKey("2001");
    EXPECT_EQ(finder->RepsBin->model()->rowCount(), 0);
    finder->RepsHeld->setBoundText("2002");
    finder->ButtonSingle_Click();
    finder->FindOptions_Click(1);
    finder->FindOptions_Click(5);
    EXPECT_EQ(finder->RepsBin->model()->rowCount(), 0);
    EXPECT_EQ(
        gConn().scalar("SELECT COUNT(*) FROM `Live Quotation Search Selected Sales Rep`").toInt(),
        0);
}

TEST_F(FinderTest, ADoubleClickOpensTheOrderInTheHubAndCloses) {
    order("FIRST", "2001-01-01");
    qint64 key = order("SECOND", "2001-01-01");
    gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`) VALUES (?, 'X-1')", {key});
    // Listed after the hub read its orders: the hub's list catches up.
    search(1, {{finder->SingleDate, "01/01/2001"}});
    finder->ListDetails->setCurrentCell(1, 1);
    finder->ListDetails_DblClick();
    test::settle();
    EXPECT_EQ(hub->orderKey(), key);
    EXPECT_EQ(hub->CustRef->Text(), "SECOND");
    EXPECT_EQ(hub->DataGrid1->rowCount(), 1);
    EXPECT_TRUE(finder.isNull());
}

TEST_F(FinderTest, ThePrintoutSumsTheGrandTotalsUnderADoubleRule) {
    order("TEN", "2001-01-01", "10");
    order("TWENTY", "2001-01-01", "20.50");
    order("NONE", "2001-01-01", QVariant());
    finder->Command2_Click(); // no search yet: nothing
    EXPECT_EQ(dialogs().find("report:Find Quotation Report"), nullptr);
    search(1, {{finder->SingleDate, "01/01/2001"}});
    auto doc =
        search::printResult(gConn().select(finder->searchSQL().sql, finder->searchSQL().binds));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->caption, "Find Quotation Report");
    ASSERT_EQ(doc->pages.size(), 1);
    const report::Page& p = doc->pages[0];
    EXPECT_EQ(p.find("CustRef").size(), 3);
    EXPECT_EQ(p.find("GrandTotal")[0]->text, "£10.00");
    EXPECT_EQ(p.find("GrandTotal")[1]->text, "£20.50");
    EXPECT_EQ(p.find("GrandTotal")[2]->text, "");
    EXPECT_EQ(p.text("Label6"), "£30.50");
    EXPECT_EQ(p.text("Label5"), "Page 1 of 1");
    EXPECT_EQ(p.text("Label1"), "Purchase Order Search");
    ASSERT_TRUE(p.has("Line1") && p.has("Line2"));
    EXPECT_LT(p.find("Line1")[0]->rect.top(), p.find("Label6")[0]->rect.top());
    finder->Command2_Click();
    auto* preview = qobject_cast<ReportPreview*>(dialogs().find("report:Find Quotation Report"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Find Quotation Report");
    preview->close();
}

TEST_F(FinderTest, TheGoodsFinderHandsTheOrderToTheGoodsInwardWindow) {
    qint64 key = order("GOODS", "2001-01-01");
    gConn().insert(
        "INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Quantity`) VALUES (?, 'X-1', 10)",
        {key});
    frmGoodsIn goods;
    QPointer<frmFindRecord> f = new frmFindRecord(goods, frmFindRecord::Caller::GoodsIn);
    f->setAttribute(Qt::WA_DeleteOnClose);
    f->show();
    EXPECT_EQ(f->windowTitle(), "PO Finder");
    EXPECT_EQ(f->objectName(), "frmFindGoodsRecord");
    f->FindOptions_Click(1);
    f->SingleDate->setText("01/01/2001");
    f->Command1_Click();
    f->ListDetails->setCurrentCell(0, 1);
    f->ListDetails_DblClick();
    test::settle();
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(goods.CustRef->Text(), "GOODS");
    EXPECT_EQ(goods.DataGrid1->rowCount(), 1);
    EXPECT_EQ(hub->CustRef->Text(), ""); // the purchase order window is not touched
}

TEST_F(FinderTest, TwoFindersOnTwoConnectionsSearchOnlyTheirOwnDentists) {
    order("ANN-1", "2001-01-01", "10", "2001");
    order("ANN-2", "2001-01-02", "5", "2001");
    order("BOB-1", "2001-01-03", "7", "2002");
    // Another workstation's finder, on a connection of its own.
    Database other(QStringLiteral("other workstation"));
    ASSERT_TRUE(other.open(test::testSettings()));
    QPointer<frmFindRecord> second =
        new frmFindRecord(*hub, frmFindRecord::Caller::PurchaseOrder, other);
    second->setAttribute(Qt::WA_DeleteOnClose);
    second->show();
    auto choose = [](frmFindRecord* f, const char* rep) {
        f->FindOptions_Click(5);
        f->RepsHeld->setBoundText(rep);
        f->ButtonSingle_Click();
    };
    auto refsOf = [](frmFindRecord* f) {
        QStringList out;
        for (int r = 0; r < f->ListDetails->rowCount(); ++r)
            out << f->ListDetails->model().text(r, 1);
        return out;
    };
    choose(finder, "2001");
    choose(second, "2002");
    // Whatever other programs leave in the shared working table is not read.
    gConn().execute(
        "INSERT INTO `Live Quotation Search Selected Sales Rep` VALUES ('2002', 'Bob  Jones')");
    finder->Command1_Click();
    second->Command1_Click();
    EXPECT_EQ(refsOf(finder), (QStringList{"ANN-1", "ANN-2"}));
    EXPECT_EQ(finder->MainTotal->text(), "£15.00");
    EXPECT_EQ(finder->ListDetails->model().text(0, 0), "Ann  Smith");
    EXPECT_EQ(refsOf(second), QStringList{"BOB-1"});
    EXPECT_EQ(second->MainTotal->text(), "£7.00");
    // The other finder changing its mode or its choice leaves this one's alone.
    second->RepsBin->pickKey("2002");
    second->FindOptions_Click(1);
    second->FindOptions_Click(5);
    finder->Command1_Click();
    EXPECT_EQ(refsOf(finder), (QStringList{"ANN-1", "ANN-2"}));
    EXPECT_EQ(finder->RepsBin->model()->rowCount(), 1);
    // The printout reads the same rows again.
    auto doc =
        search::printResult(gConn().select(finder->searchSQL().sql, finder->searchSQL().binds));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pages[0].find("CustRef").size(), 2);
    EXPECT_TRUE(msgs->messages.empty()) << msgs->texts().join("|").toStdString();
    second->close();
}

TEST_F(FinderTest, ADentistWithALongNameCanBeChosenAndFound) {
    const QString forenames(60, 'F'), surname(45, 'S');
    gConn().execute("INSERT INTO `Employee Data` (`Payroll ID`, `Forenames`, `Surname`, `Type`) "
                    "VALUES (2003, ?, ?, "
                    "'Dentist')",
                    {forenames, surname});
    order("LONG-1", "2001-01-01", "12", "2003");
    finder->cmbLoadRep();
    finder->FindOptions_Click(5);
    finder->RepsHeld->setBoundText("2003");
    finder->ButtonSingle_Click();
    EXPECT_TRUE(msgs->messages.empty()) << msgs->last().toStdString();
    ASSERT_EQ(finder->RepsBin->model()->rowCount(), 1);
    EXPECT_EQ(finder->RepsBin->listModel().listText(0), forenames + "  " + surname);
    finder->Command1_Click();
    EXPECT_EQ(refs(), QStringList{"LONG-1"});
    EXPECT_EQ(finder->ListDetails->model().text(0, 0), forenames + "  " + surname);
}

TEST_F(FinderTest, TheTotalNeverOutlivesItsListAndNoDentistIsAskedFor) {
    order("ANN-1", "2001-01-01", "10", "2001");
    search(1, {{finder->SingleDate, "01/01/2001"}});
    ASSERT_EQ(finder->MainTotal->text(), "£10.00");
    finder->FindOptions_Click(2);
    EXPECT_EQ(finder->MainTotal->text(), "");
    EXPECT_EQ(finder->ListDetails->rowCount(), 0);
    search(1, {{finder->SingleDate, "01/01/2001"}});
    ASSERT_EQ(finder->MainTotal->text(), "£10.00");
    search(1, {{finder->SingleDate, "02/01/2001"}}); // finds nothing
    EXPECT_EQ(finder->MainTotal->text(), "");
    // The dentist mode with nobody chosen asks for a dentist.
    finder->FindOptions_Click(5);
    finder->Command1_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Choose at least one dentist with >"});
    EXPECT_EQ(finder->MainTotal->text(), "");
    finder->RepsHeld->setBoundText("2001");
    finder->ButtonSingle_Click();
    finder->Command1_Click();
    EXPECT_EQ(finder->MainTotal->text(), "£10.00");
    finder->RepsBin->pickKey("2001");
    msgs->clear();
    finder->Command1_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Choose at least one dentist with >"});
}

TEST_F(FinderTest, TheModeFollowsTheOptionButtonsHoweverTheyAreToggled) {
    // From code or a tool, through the button's own state.
    finder->FindOptions[2]->setChecked(true);
    EXPECT_EQ(finder->mode(), 2);
    EXPECT_EQ(finder->DescLabel->text(), "Please enter the month and year (eg 04 2001)");
    EXPECT_TRUE(finder->SingleMonth->isVisible());
    // From the keyboard: an arrow key moves to the next option.
    finder->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(finder));
    finder->FindOptions[2]->setFocus();
    QTest::keyClick(finder->FindOptions[2], Qt::Key_Down);
    EXPECT_TRUE(finder->FindOptions[3]->isChecked());
    EXPECT_EQ(finder->mode(), 3);
    EXPECT_TRUE(finder->FirstDate->isVisible());
    EXPECT_FALSE(finder->SingleMonth->isVisible());
    // From a screen reader: the button's accessible action.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(finder->FindOptions[5]);
    ASSERT_TRUE(a && a->actionInterface());
    const QStringList actions = a->actionInterface()->actionNames();
    a->actionInterface()->doAction(actions.contains(QAccessibleActionInterface::toggleAction())
                                       ? QAccessibleActionInterface::toggleAction()
                                       : QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(finder->mode(), 5);
    EXPECT_TRUE(finder->RepsHeld->isVisible());
    EXPECT_EQ(finder->DescLabel->text(), "The User number I wish to use is");
}

namespace {
// Clicks a column heading of the result list as the user would.
void clickHeading(DataGrid* grid, int column) {
    QHeaderView* h = grid->horizontalHeader();
    const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2,
                    h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
}
// The text the list shows in a cell (what its delegate paints).
QString shown(DataGrid* grid, int row, int column) {
    const QModelIndex i = grid->model().index(row, column);
    auto* d = qobject_cast<QStyledItemDelegate*>(grid->itemDelegateForIndex(i));
    return d ? d->displayText(i.data(), QLocale()) : i.data().toString();
}
} // namespace

TEST_F(FinderTest, AHeadingSortsTheListAndADoubleClickStillOpensTheOrderClicked) {
    // Dates whose day-first texts sort the other way round from the calendar.
    order("B-MID", "2001-02-01", "3313.86");
    order("a-early", "2001-01-02", "99.5");
    order("C-LATE", "2001-03-01", QVariant());
    const qint64 big = order("d-last", "2001-01-03", "12000");
    search(3, {{finder->FirstDate, "01/01/2001"}, {finder->SecondDate, "31/03/2001"}});
    ASSERT_EQ(refs(), (QStringList{"a-early", "d-last", "B-MID", "C-LATE"}));
    const QString total = finder->MainTotal->text();
    EXPECT_EQ(total, "£15,413.36");

    // Totals in the same currency form as the total beneath them.
    EXPECT_EQ(shown(finder->ListDetails, 2, 2), "£3,313.86");
    EXPECT_EQ(shown(finder->ListDetails, 1, 2), "£12,000.00");
    EXPECT_EQ(shown(finder->ListDetails, 3, 2), "");

    // By amount, not by text; an order without a total first; again the other way round.
    clickHeading(finder->ListDetails, 2);
    EXPECT_EQ(refs(), (QStringList{"C-LATE", "a-early", "B-MID", "d-last"}));
    snapshot(*finder, "finder-sorted-by-total");
    clickHeading(finder->ListDetails, 2);
    EXPECT_EQ(refs(), (QStringList{"d-last", "B-MID", "a-early", "C-LATE"}));
    EXPECT_EQ(finder->MainTotal->text(), total);
    // References letter case aside; dates by the calendar.
    clickHeading(finder->ListDetails, 1);
    EXPECT_EQ(refs(), (QStringList{"a-early", "B-MID", "C-LATE", "d-last"}));
    clickHeading(finder->ListDetails, 0);
    EXPECT_EQ(refs(), (QStringList{"a-early", "d-last", "B-MID", "C-LATE"}));
    clickHeading(finder->ListDetails, 0);
    EXPECT_EQ(refs(), (QStringList{"C-LATE", "B-MID", "d-last", "a-early"}));
    EXPECT_FALSE(finder->ListDetails->isColumnHidden(0));
    EXPECT_TRUE(finder->ListDetails->isColumnHidden(3));

    // A new search keeps the order chosen.
    search(3, {{finder->FirstDate, "01/01/2001"}, {finder->SecondDate, "31/03/2001"}});
    EXPECT_EQ(refs(), (QStringList{"C-LATE", "B-MID", "d-last", "a-early"}));

    // The row double-clicked is the order opened.
    const QModelIndex cell = finder->ListDetails->model().index(2, 1);
    ASSERT_EQ(cell.data().toString(), "d-last");
    QTest::mouseDClick(finder->ListDetails->viewport(), Qt::LeftButton, {},
                       finder->ListDetails->visualRect(cell).center());
    test::settle();
    EXPECT_EQ(hub->orderKey(), big);
    EXPECT_EQ(hub->CustRef->Text(), "d-last");
}

namespace {

QString fileText(const QString& path, QByteArray* bom = nullptr) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (bom)
        *bom = bytes.left(3);
    return QString::fromUtf8(bytes.mid(3));
}

} // namespace

TEST_F(FinderTest, TheListIsSavedAsShownForASpreadsheet) {
    order("ZOË, \"RUSH\"", "2001-04-12 10:00:00", "1234.5");
    order("PLAIN", "2001-04-12 11:00:00", "-3.25");
    order("NO-TOTAL", "2001-04-12 12:00:00", QVariant());
    order("OTHER DAY", "2001-04-13 12:00:00", "99");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("april.csv");
    QStringList proposed;
    finder->askSavePath = [&](const QString& p) {
        proposed << p;
        return path;
    };
    // Nothing listed: the button is off, and asking anyway says why.
    EXPECT_FALSE(finder->cmdSaveCsv->isEnabled());
    finder->cmdSaveCsv_Click();
    EXPECT_EQ(msgs->last(),
              "There are no orders listed to save. Search for them first with Start.");
    EXPECT_TRUE(proposed.isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    search(1, {{finder->SingleDate, "12/04/2001"}});
    ASSERT_EQ(finder->ListDetails->rowCount(), 3);
    ASSERT_TRUE(finder->cmdSaveCsv->isEnabled());
    QTest::mouseClick(finder->cmdSaveCsv, Qt::LeftButton);
    ASSERT_EQ(proposed.size(), 1);
    EXPECT_TRUE(proposed[0].endsWith("Orders found.csv"));
    EXPECT_EQ(msgs->last(), "The 3 orders listed were saved as " + QDir::toNativeSeparators(path));
    QByteArray bom;
    // The key column is not seen and not saved; the total is no row of its own.
    EXPECT_EQ(fileText(path, &bom), "Quoted Date,Customer Ref,Grand Total,Status\r\n"
                                    "2001-04-12,\"ZOË, \"\"RUSH\"\"\",1234.50,\r\n"
                                    "2001-04-12,PLAIN,-3.25,\r\n"
                                    "2001-04-12,NO-TOTAL,,\r\n");
    EXPECT_EQ(bom, QByteArray("\xEF\xBB\xBF"));

    // Sorted by a heading, the file follows the order on screen.
    finder->ListDetails->horizontalHeader()->setSortIndicator(2, Qt::DescendingOrder);
    ASSERT_TRUE(finder->saveListAs(path));
    EXPECT_TRUE(fileText(path).contains("Status\r\n2001-04-12,\"ZOË, \"\"RUSH\"\"\",1234.50,\r\n"
                                        "2001-04-12,PLAIN,-3.25,\r\n"));

    // A file that cannot be written leaves the one there as it was.
    const QString before = fileText(path);
    const QString missing = dir.filePath("gone/april.csv");
    EXPECT_FALSE(finder->saveListAs(missing));
    EXPECT_TRUE(msgs->last().startsWith("Cannot save " + QDir::toNativeSeparators(missing) + ": "))
        << msgs->last().toStdString();
    EXPECT_EQ(msgs->messages.back().kind, RecordingMessages::Message::Error);
    EXPECT_FALSE(QFile::exists(missing));
    // Cancelling the file dialog saves nothing and says nothing.
    msgs->clear();
    finder->askSavePath = [](const QString&) { return QString(); };
    finder->cmdSaveCsv_Click();
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_EQ(fileText(path), before);

    // A new mode empties the list, and the button goes off with it.
    finder->FindOptions_Click(2);
    EXPECT_FALSE(finder->cmdSaveCsv->isEnabled());
}

TEST_F(FinderTest, TheGoodsFinderSavesItsListTooWithAShortcut) {
    order("G-1", "2001-05-01", "10", "2001");
    order("G-2", "2001-05-02", "20.125", "2002");
    frmGoodsIn goods;
    QPointer<frmFindRecord> f = new frmFindRecord(goods, frmFindRecord::Caller::GoodsIn);
    f->setAttribute(Qt::WA_DeleteOnClose);
    dialogs().show<frmFindRecord>("test:goodsfinder", [&] { return f.data(); });
    QTemporaryDir dir;
    const QString path = dir.filePath("dentists.csv");
    f->askSavePath = [&](const QString&) { return path; };
    // By dentist: the dentist's name leads the list.
    f->FindOptions_Click(5);
    f->RepsHeld->setBoundText("2002");
    f->ButtonSingle_Click();
    f->RepsHeld->setBoundText("2001");
    f->ButtonSingle_Click();
    f->Command1_Click();
    ASSERT_EQ(f->ListDetails->rowCount(), 2);
    EXPECT_EQ(f->cmdSaveCsv->text(), "Save as &CSV...");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f->cmdSaveCsv);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->text(QAccessible::Name), "Save as CSV");
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    // A letter presses its button as a click would, a moment later.
    for (int i = 0; i < 40 && !QFile::exists(path); ++i)
        QTest::qWait(25);
    const QString text = fileText(path);
    EXPECT_TRUE(text.startsWith("Rep Name,Customer Ref,Grand Total\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Bob  Jones,G-2,20.125\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Ann  Smith,G-1,10.00\r\n")) << text.toStdString();
    f->close();
}
