// Suppliers, purchasers and the practice's addresses: account numbers, the
// rows that carry them, what uses them, and the lists the pickers show.
#include "connection/database.h"
#include "data/people.h"
#include "support/testdb.h"

#include <QSet>
#include <mutex>

using namespace zel;
using namespace zel::test;

namespace {

qlonglong personOf(qint64 payrollId, const QVariant& shortName, const QVariant& name,
                   const QString& type) {
    return gConn().insert("INSERT INTO `Employee Data` (`Payroll ID`, `Previous Surname`, "
                          "`Forenames`, `Type`) VALUES (?, ?, ?, ?)",
                          {payrollId, shortName, name, type});
}

void setCounter(const QVariant& value) {
    gConn().execute("INSERT INTO `tblGlobalSysConfig` (`Item`, `NumberValue`) VALUES ('PatNo', ?) "
                    "ON DUPLICATE KEY UPDATE `NumberValue` = VALUES(`NumberValue`)",
                    {value});
}

qint64 counter() {
    return one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'")
        .toLongLong();
}

QStringList column(const RowSet& rs, const QString& name) {
    QStringList out;
    for (int r = 0; r < rs.size(); ++r)
        out << rs.at(r, name).toString();
    return out;
}

} // namespace

class PeopleDataTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(PeopleDataTest, NumbersAlreadyCarriedArePassedOverToTheFirstFreeOne) {
    setCounter(5);
    // 5, 6 and 8 are taken (by any kind of row): 7 is the first free number.
    personOf(5, "A", "A", "Supplier");
    personOf(6, "B", "B", "Dentist");
    personOf(8, "C", "C", "Practice");
    EXPECT_EQ(people::allocateAccountNumber(gConn()), 7);
    EXPECT_EQ(counter(), 8);
    // The counter now points at a carried number again: 9 follows.
    EXPECT_EQ(people::allocateAccountNumber(gConn()), 9);
    EXPECT_EQ(counter(), 10);
}

TEST_F(PeopleDataTest, ACounterAtZeroStartsAtOneAndAMissingOneHandsOutNothing) {
    setCounter(0);
    EXPECT_EQ(people::allocateAccountNumber(gConn()), 1);
    EXPECT_EQ(counter(), 2);
    setCounter(QVariant());
    EXPECT_EQ(people::allocateAccountNumber(gConn()), 0);
    gConn().execute("DELETE FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'");
    EXPECT_EQ(people::allocateAccountNumber(gConn()), 0);
    EXPECT_EQ(count("tblGlobalSysConfig"), 0); // no counter is made up
}

TEST_F(PeopleDataTest, WorkstationsAllocatingAtOnceNeverGetTheSameNumber) {
    setCounter(100);
    constexpr int kThreads = 4, kEach = 25;
    std::mutex m;
    QList<qint64> numbers;
    const QStringList errors = onWorkstations(kThreads, kEach, [&](Database& db, int, int) {
        const qint64 n = people::allocateAccountNumber(db);
        std::lock_guard lock(m);
        numbers << n;
    });
    ASSERT_TRUE(errors.isEmpty()) << errors.first().toStdString();
    EXPECT_EQ(QSet<qint64>(numbers.begin(), numbers.end()).size(), kThreads * kEach);
    EXPECT_EQ(counter(), 100 + kThreads * kEach);
}

TEST_F(PeopleDataTest, ASaveInsertsThenUpdatesAndNeverTakesAnotherKindsNumber) {
    setCounter(1);
    EXPECT_EQ(people::saveAccountRow(gConn(), 40, "Supplier",
                                     {{"Previous Surname", "ACME"}, {"forenames", "Acme Ltd"}}),
              "");
    EXPECT_EQ(people::saveAccountRow(gConn(), 40, "Supplier",
                                     {{"Previous Surname", "ACME"}, {"Forenames", "Acme plc"}}),
              "");
    ASSERT_EQ(count("Employee Data", "`Payroll ID` = 40"), 1);
    EXPECT_EQ(one("SELECT `Forenames` FROM `Employee Data` WHERE `Payroll ID` = 40").toString(),
              "Acme plc");
    // The kind is compared without regard to case.
    EXPECT_EQ(people::saveAccountRow(gConn(), 40, "SUPPLIER", {{"Forenames", "Acme"}}), "");

    personOf(41, "DR", "Dr Who", "Dentist");
    personOf(42, "X", "Unknown", QString());
    EXPECT_EQ(people::saveAccountRow(gConn(), 41, "Supplier", {{"Forenames", "Taken"}}),
              "a dentist");
    gConn().execute("UPDATE `Employee Data` SET `Type` = NULL WHERE `Payroll ID` = 42");
    EXPECT_EQ(people::saveAccountRow(gConn(), 42, "Supplier", {{"Forenames", "Taken"}}),
              "an unnamed kind of");
    EXPECT_EQ(count("Employee Data", "`Forenames` = 'Taken'"), 0);
}

TEST_F(PeopleDataTest, TheListShowsANameForEveryRowOfItsKind) {
    personOf(1, "SHORT", QString(), "Supplier");
    personOf(2, QVariant(), QVariant(), "Supplier");
    personOf(3, "FULL", "Full Name Ltd", "Supplier");
    personOf(4, "DR", "Dr Jones", "Dentist");
    const RowSet rs = gConn().select(people::listStatement(), {"Supplier"});
    EXPECT_EQ(column(rs, "Forenames"), (QStringList{"Account 2", "Full Name Ltd", "SHORT"}));
    EXPECT_EQ(column(rs, "Payroll ID"), (QStringList{"2", "3", "1"}));
    EXPECT_EQ(people::listedName(1, "Supplier").toString(), "SHORT");
    EXPECT_TRUE(people::listedName(4, "Supplier").isNull());
    EXPECT_EQ(people::accountRow(4, "Dentist").at(0, "Forenames").toString(), "Dr Jones");
    EXPECT_TRUE(people::accountRow(4, "Supplier").isEmpty());
}

TEST_F(PeopleDataTest, UsageCountsFollowHowOrdersNameEachKind) {
    const qlonglong supplierRow = personOf(7, "SUP", "Supplier Ltd", "Supplier");
    personOf(7, "DR", "Dr Seven", "Dentist"); // another kind sharing the number
    const auto order = [](const QVariant& accountNo, const QVariant& customerId,
                          const QVariant& salesRep) {
        gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Account No`, "
                       "`CUSTOMER ID`, `Sales Rep`) VALUES ('R', ?, ?, ?)",
                       {accountNo, customerId, salesRep});
    };
    order("7", QVariant(), QVariant());         // the supplier by its account number
    order(QVariant(), supplierRow, QVariant()); // the supplier by its row
    order("7", supplierRow, "7");               // both, and the dentist: counted once each
    order("70", QVariant(), "70");              // neither
    EXPECT_EQ(people::ordersReferringTo(7, "Supplier"), 3);
    EXPECT_EQ(people::ordersReferringTo(7, "Dentist"), 1);
    EXPECT_EQ(people::ordersReferringTo(8, "Supplier"), 0);

    // A delete takes the rows of its own kind only.
    EXPECT_EQ(people::removeAccount(7, "Dentist"), 1);
    EXPECT_EQ(people::removeAccount(7, "Dentist"), 0);
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 7"), 1);
}

TEST_F(PeopleDataTest, ThePickersListsAndTheirKeys) {
    const qlonglong supplier = personOf(10, "SUP", "Supplier Ltd", "Supplier");
    personOf(11, QVariant(), "No short name Ltd", "Supplier");
    const qlonglong head = personOf(101, "HEAD", "Head Office", "Practice");
    personOf(102, "BRANCH", "Branch", "Practice");

    using people::AddressList;
    const RowSet suppliers = gConn().select(people::addressListStatement(AddressList::Suppliers));
    EXPECT_EQ(column(suppliers, "Customer Name"), QStringList{"Supplier Ltd"});
    EXPECT_EQ(people::addressListKey(AddressList::Suppliers), "Customer ID");
    EXPECT_EQ(suppliers.at(0, "Customer ID").toLongLong(), supplier);
    EXPECT_EQ(suppliers.at(0, "Account No").toLongLong(), 10);

    EXPECT_EQ(gConn().select(people::addressListStatement(AddressList::PracticesByAccount)).size(),
              2);
    EXPECT_EQ(people::addressListKey(AddressList::PracticesByAccount), "Account No");
    EXPECT_EQ(people::addressListKey(AddressList::PracticesByRow), "Customer ID");

    // Each list finds an entry by its own key, and only among its own rows.
    EXPECT_EQ(people::addressOf(AddressList::PracticesByAccount, "101").at(0, "Customer Name"),
              "Head Office");
    EXPECT_EQ(people::addressOf(AddressList::PracticesByRow, QString::number(head))
                  .at(0, "Customer Shortname"),
              "HEAD");
    EXPECT_TRUE(
        people::addressOf(AddressList::PracticesByAccount, QString::number(head)).isEmpty());
    EXPECT_TRUE(people::addressOf(AddressList::Suppliers, QString::number(head)).isEmpty());
    EXPECT_TRUE(people::addressOf(AddressList::PracticesByAccount, "10").isEmpty());
}

TEST_F(PeopleDataTest, PurchasersAreTheDentistsByCode) {
    gConn().insert("INSERT INTO `Employee Data` (`Payroll ID`, `Forenames`, `Surname`, "
                   "`Cost Centre`, `Type`) VALUES (2001, 'Sarah', 'Whitfield', 'CC-1', 'Dentist')");
    personOf(2002, "SUP", "Supplier", "Supplier");
    const RowSet all = gConn().select(people::purchaserListStatement());
    EXPECT_EQ(column(all, "Rep Code"), QStringList{"2001"});
    const RowSet rs = people::purchaserOf("2001");
    ASSERT_EQ(rs.size(), 1);
    EXPECT_EQ(rs.at(0, "Cost Centre").toString(), "CC-1");
    EXPECT_TRUE(rs.at(0, "Name").toString().contains("Whitfield"));
    EXPECT_TRUE(people::purchaserOf("2002").isEmpty());
}
