// Rows written cell by cell as the editable grids write them: new rows,
// cells written only while they hold what was loaded, deletes all or none.
#include "connection/database.h"
#include "data/tablerows.h"
#include "support/testdb.h"

#include <chrono>
#include <future>
#include <thread>

using namespace zel;
using namespace zel::test;
using tablerows::Outcome;

namespace {

const QString kLines = QStringLiteral("Order Details");

QVariant cell(qint64 id, const QString& column) {
    return one(QStringLiteral("SELECT `%1` FROM `Order Details` WHERE `ID` = ?").arg(column), {id});
}

} // namespace

class TableRowsDataTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(TableRowsDataTest, ANewRowGetsItsKeyAndTheServersDefaults) {
    const qint64 id = tablerows::insert(kLines, {{"Order ID", 5}, {"Part Id", "P-1"}});
    ASSERT_GT(id, 0);
    const RowSet back = tablerows::read(kLines, "ID", id, {"Part Id", "Quantity", "Unit Price"});
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back.columns, (QStringList{"Part Id", "Quantity", "Unit Price"}));
    EXPECT_EQ(back.rows[0][0].toString(), "P-1");
    EXPECT_EQ(back.rows[0][1].toInt(), 0); // the column's default
    EXPECT_TRUE(tablerows::read(kLines, "ID", id + 1, {"Part Id"}).isEmpty());
}

TEST_F(TableRowsDataTest, ACellIsWrittenOnlyWhileItHoldsWhatWasLoaded) {
    const qint64 id = tablerows::insert(kLines, {{"Order ID", 5}, {"Description", "Old"}});

    // Written, and what the server stored comes back (its rounding).
    tablerows::CellWrite w = tablerows::writeCell(kLines, "ID", id, "Unit Price", 0, "1.23456");
    EXPECT_EQ(w.outcome, Outcome::Written);
    EXPECT_DOUBLE_EQ(w.stored.toDouble(), 1.2346);

    // Another workstation changed the description meanwhile: not overwritten.
    gConn().execute("UPDATE `Order Details` SET `Description` = 'Theirs' WHERE `ID` = ?", {id});
    w = tablerows::writeCell(kLines, "ID", id, "Description", "Old", "Mine");
    EXPECT_EQ(w.outcome, Outcome::ChangedElsewhere);
    EXPECT_EQ(cell(id, "Description").toString(), "Theirs");

    // A change to another cell of the line does not stand in the way.
    w = tablerows::writeCell(kLines, "ID", id, "Quantity", 0, 4);
    EXPECT_EQ(w.outcome, Outcome::Written);
    EXPECT_EQ(cell(id, "Quantity").toInt(), 4);
    EXPECT_EQ(cell(id, "Description").toString(), "Theirs");
}

TEST_F(TableRowsDataTest, NullsCompareAsValues) {
    const qint64 id = tablerows::insert(kLines, {{"Order ID", 5}});
    // The cell is null: a loaded null matches, a loaded text does not.
    EXPECT_EQ(tablerows::writeCell(kLines, "ID", id, "Notes", "", "x").outcome,
              Outcome::ChangedElsewhere);
    EXPECT_EQ(tablerows::writeCell(kLines, "ID", id, "Notes", QVariant(), "x").outcome,
              Outcome::Written);
    // And back to null, from the value now stored.
    const tablerows::CellWrite w = tablerows::writeCell(kLines, "ID", id, "Notes", "x", QVariant());
    EXPECT_EQ(w.outcome, Outcome::Written);
    EXPECT_TRUE(w.stored.isNull());
    EXPECT_TRUE(cell(id, "Notes").isNull());
}

TEST_F(TableRowsDataTest, ARowDeletedElsewhereIsToldNotRecreated) {
    const qint64 id = tablerows::insert(kLines, {{"Order ID", 5}});
    gConn().execute("DELETE FROM `Order Details` WHERE `ID` = ?", {id});
    EXPECT_EQ(tablerows::writeCell(kLines, "ID", id, "Quantity", 0, 9).outcome, Outcome::Deleted);
    EXPECT_EQ(count(kLines), 0);
}

TEST_F(TableRowsDataTest, AWriteWaitsForAnotherWorkstationsLockAndThenSeesItsChange) {
    const qint64 id = tablerows::insert(kLines, {{"Order ID", 5}, {"Quantity", 1}});
    // The other workstation changes the cell and commits while this one waits
    // on the row's lock.
    std::promise<QString> locked;
    std::thread otherWorkstation([&] {
        Database other(QStringLiteral("otherWorkstation"));
        if (!other.open(testSettings())) {
            locked.set_value(other.lastOpenError());
            return;
        }
        other.begin();
        other.execute("UPDATE `Order Details` SET `Quantity` = 2 WHERE `ID` = ?", {id});
        locked.set_value(QString());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.commit();
    });
    const QString error = locked.get_future().get();
    tablerows::CellWrite w;
    if (error.isEmpty())
        w = tablerows::writeCell(kLines, "ID", id, "Quantity", 1, 3);
    otherWorkstation.join();
    ASSERT_EQ(error, "");
    EXPECT_EQ(w.outcome, Outcome::ChangedElsewhere);
    EXPECT_EQ(cell(id, "Quantity").toInt(), 2);
}

TEST_F(TableRowsDataTest, NamesAreQuotedSoOddNamesStayNames) {
    // A column name with a back-quote is taken as a name, never as SQL.
    const qint64 id = tablerows::insert(kLines, {{"Order ID", 5}});
    EXPECT_THROW(tablerows::writeCell(kLines, "ID", id, "Quantity` = 1, `Notes", 0, 2), DbError);
    EXPECT_EQ(cell(id, "Quantity").toInt(), 0);
    EXPECT_THROW(tablerows::remove(kLines, "ID` OR 1=1 OR `ID", {id}), DbError);
    EXPECT_EQ(count(kLines), 1);
}

TEST_F(TableRowsDataTest, ADeleteOfSeveralRowsIsAllOrNone) {
    const qint64 a = tablerows::insert(kLines, {{"Order ID", 5}});
    const qint64 b = tablerows::insert(kLines, {{"Order ID", 5}});
    const qint64 c = tablerows::insert(kLines, {{"Order ID", 6}});
    // The second delete fails: the first is undone with it.
    int statements = 0;
    EXPECT_THROW(withStatementHook(
                     [&](const QString& sql) {
                         if (sql.startsWith("DELETE") && ++statements == 2)
                             throw DbError(1146, "Table doesn't exist", sql);
                     },
                     [&] {
                         tablerows::remove(kLines, "ID", {a, b});
                     }),
                 DbError);
    EXPECT_EQ(count(kLines), 3);
    tablerows::remove(kLines, "ID", {a, b});
    EXPECT_EQ(count(kLines), 1);
    EXPECT_EQ(one("SELECT `ID` FROM `Order Details`").toLongLong(), c);
}
