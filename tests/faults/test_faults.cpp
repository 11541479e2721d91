// Losing the connection in the middle of an action that writes several rows:
// the rows are all written or none, the user is never told of a success that
// did not happen, and the next action after the reconnect stores what it says.
// Each action is cut once before each of its writes (and its START
// TRANSACTION and COMMIT), and at the statements a second workstation's lock
// can hold it on.
#include "app/dialogs.h"
#include "app/guard.h"
#include "catalogue/catalogue.h"
#include "catalogue/frmfindpart.h"
#include "data/people.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"
#include "refdata/addresseditors.h"
#include "support/connfaults.h"
#include "support/orders.h"
#include "support/testdb.h"

#include <QSet>
#include <QTest>
#include <mutex>

using namespace zel;
using namespace zel::test;

namespace {

enum class Stored { None, All, Partial };

// The statements worth cutting before: writes, locking reads and the
// transaction's own.
bool aWrite(const QString& sql) {
    const QString s = sql.trimmed().toUpper();
    return s.startsWith(u"INSERT") || s.startsWith(u"UPDATE") || s.startsWith(u"DELETE") ||
           s.startsWith(u"START TRANSACTION") || s.startsWith(u"COMMIT") ||
           s.contains(u"FOR UPDATE");
}

} // namespace

class FaultTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        second = std::make_unique<SecondSession>();
    }
    void TearDown() override {
        dialogs().closeAll();
        settle();
        po.reset();
        gi.reset();
        second.reset();
        frmPurchaseOrder::openers() = {};
        DbTest::TearDown();
    }

    bool saw(const QString& text) const { return msgs->texts().contains(text); }
    bool sawError() const {
        for (const auto& m : msgs->messages)
            if (m.kind == RecordingMessages::Message::Error)
                return true;
        return false;
    }
    QString seen() const {
        QStringList all;
        for (const auto& m : msgs->messages)
            if (m.kind != RecordingMessages::Message::Question)
                all << m.text;
        return all.isEmpty() ? QStringLiteral("(nothing)") : all.join(QStringLiteral(" | "));
    }

    // One action cut at each of its moments. `prepare` puts the window up on
    // a fresh database, `act` is what the user does, `stored` reads what the
    // other workstations see, `succeeded` whether the user was told it
    // worked, `retry` the next action after the failure (given what was
    // stored), which must then be stored in full and said to be; it returns
    // false when there is nothing left to do.
    struct Action {
        const char* name;
        std::function<void()> prepare, act;
        std::function<Stored()> stored;
        std::function<bool()> succeeded;
        std::function<bool(Stored)> retry;
    };

    // Resets the database and puts the action's window up afresh.
    void fresh(const Action& a) {
        resetDatabase();
        dialogs().closeAll();
        settle();
        a.prepare();
        msgs->clear();
    }

    void sweep(const Action& a) {
        fresh(a);
        const int moments = killBeforeStatement(-1, a.act, aWrite);
        ASSERT_EQ(a.stored(), Stored::All) << a.name << ": " << seen().toStdString();
        ASSERT_TRUE(a.succeeded()) << a.name << ": " << seen().toStdString();
        ASSERT_GT(moments, 0);

        int lost = 0; // cuts that left nothing stored: the sweep really cut
        for (int n = 0; n < moments; ++n) {
            fresh(a);
            QString at;
            killBeforeStatement(n, a.act, aWrite, &at);
            ASSERT_FALSE(at.isEmpty()) << a.name << ": no statement #" << n << " to cut before";
            const Stored s = a.stored();
            lost += s == Stored::None;
            const bool ok = a.succeeded();
            const std::string where = std::string(a.name) + " cut before " + at.toStdString() +
                                      "; user saw: " + seen().toStdString();
            EXPECT_NE(s, Stored::Partial) << where;
            EXPECT_TRUE(!ok || s == Stored::All) << "said it worked: " << where;
            EXPECT_FALSE(s == Stored::All && seen().contains("not saved")) << where;
            if (s == Stored::None) {
                EXPECT_FALSE(ok) << where;
                EXPECT_TRUE(sawError() && seen().contains("connection")) << where;
            }
            // The next action reconnects and stores what it says.
            msgs->clear();
            if (!a.retry(s))
                continue;
            EXPECT_EQ(a.stored(), Stored::All) << where << "; retried: " << seen().toStdString();
            EXPECT_TRUE(a.succeeded()) << where << "; retried: " << seen().toStdString();
            EXPECT_FALSE(sawError()) << where << "; retried: " << seen().toStdString();
        }
        EXPECT_GT(lost, 0) << a.name;
    }

    void openPurchaseOrder() {
        po = std::make_unique<frmPurchaseOrder>();
        po->show();
    }
    void openGoodsIn() {
        gi = std::make_unique<frmGoodsIn>();
        gi->show();
    }
    // Both the header's status and every line's are `status`, as others see them.
    Stored stampedWith(qint64 order, int status, int was) {
        const int lines = second->count("Order Details", "`Order ID` = ?", {order});
        const int header =
            second->one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?", {order})
                .toInt();
        const int on = second->count("Order Details", "`Order ID` = ? AND `Parts Status` = ?",
                                     {order, status});
        const int off =
            second->count("Order Details", "`Order ID` = ? AND `Parts Status` = ?", {order, was});
        if (header == status && on == lines)
            return Stored::All;
        if (header == was && off == lines)
            return Stored::None;
        return Stored::Partial;
    }

    std::unique_ptr<SecondSession> second;
    std::unique_ptr<frmPurchaseOrder> po;
    std::unique_ptr<frmGoodsIn> gi;
};

// ---- the connection itself --------------------------------------------------

TEST_F(FaultTest, ALockedStatementKilledFromOutsideLeavesNothingAndTheRetryIsStored) {
    // Order 1's header is locked by another workstation, so the delete of
    // the order blocks after removing its lines; then the connection drops.
    openPurchaseOrder();
    po->CustRef->pickKey("1");
    const int lines = second->count("Order Details", "`Order ID` = 1");
    ASSERT_GT(lines, 0);
    second->lock("SELECT * FROM `Order Information` WHERE `Quote ID` = 1 FOR UPDATE");
    msgs->answer(true);
    EXPECT_TRUE(
        killWhileBlocked("Delete From `Order Information`", [&] { po->Command9->click(); }));
    second->release();
    EXPECT_FALSE(saw("Record deleted successfully")) << seen().toStdString();
    EXPECT_TRUE(sawError());
    EXPECT_EQ(second->count("Order Details", "`Order ID` = 1"), lines);
    EXPECT_EQ(second->count("Order Information", "`Quote ID` = 1"), 1);

    // Pressed again at once: reconnected, deleted, and really gone for everyone.
    msgs->clear();
    msgs->answer(true);
    po->Command9->click();
    EXPECT_TRUE(saw("Record deleted successfully")) << seen().toStdString();
    EXPECT_EQ(second->count("Order Details", "`Order ID` = 1"), 0);
    EXPECT_EQ(second->count("Order Information", "`Quote ID` = 1"), 0);
}

// ---- each action cut before each of its writes -----------------------------

TEST_F(FaultTest, NewOrderInsertAndFill) {
    sweep({"new order", [&] { openPurchaseOrder(); },
           [&] {
               test::typeRef(po->CustRef, "SWEEP/1");
               po->Status->setBoundText("2");
               po->Town->setText("Sweepham");
               po->VAT->setText("20");
               po->Command8->click();
           },
           [&] {
               const int bare = second->count("Order Information", "`Customer Ref` = 'SWEEP/1'");
               const int full = second->count(
                   "Order Information",
                   "`Customer Ref` = 'SWEEP/1' AND `Town` = 'Sweepham' AND `VAT` = 20");
               return bare == 0                ? Stored::None
                      : bare == 1 && full == 1 ? Stored::All
                                               : Stored::Partial;
           },
           [&] { return saw("Information saved successfully"); },
           [&](Stored) {
               po->Command8->click();
               return true;
           }});
}

TEST_F(FaultTest, OrderDeleteWithItsLines) {
    int lines = 0;
    sweep({"order delete",
           [&] {
               openPurchaseOrder();
               po->CustRef->pickKey("2");
               lines = second->count("Order Details", "`Order ID` = 2");
           },
           [&] {
               msgs->answer(true);
               po->Command9->click();
           },
           [&] {
               const int l = second->count("Order Details", "`Order ID` = 2");
               const int h = second->count("Order Information", "`Quote ID` = 2");
               return l == 0 && h == 0       ? Stored::All
                      : l == lines && h == 1 ? Stored::None
                                             : Stored::Partial;
           },
           [&] { return saw("Record deleted successfully"); },
           [&](Stored s) {
               if (s == Stored::All)
                   return false;
               po->CustRef->pickKey("2");
               msgs->answer(true);
               po->Command9->click();
               return true;
           }});
}

TEST_F(FaultTest, HeaderSaveWithItsStatusStamp) {
    // The same stamp from the purchase order window (to 3) and goods in (to 6).
    for (const bool goodsIn : {false, true}) {
        const int to = goodsIn ? 6 : 3;
        DataCombo* status = nullptr;
        sweep({goodsIn ? "status stamp (goods in)" : "status stamp (purchase order)",
               [&] {
                   if (goodsIn) {
                       po.reset();
                       openGoodsIn();
                       gi->CustRef->pickKey("2");
                       status = gi->Status;
                   } else {
                       openPurchaseOrder();
                       po->CustRef->pickKey("2");
                       status = po->Status;
                   }
               },
               [&] { status->pickKey(QString::number(to)); }, [&] { return stampedWith(2, to, 4); },
               [&] { return !sawError() && status->BoundText() == QString::number(to); },
               [&](Stored) {
                   status->pickKey(QString::number(to));
                   return true;
               }});
    }
}

TEST_F(FaultTest, ApprovalWithItsLedgerRowAndStamp) {
    int ledger = 0;
    sweep({"approval",
           [&] {
               openPurchaseOrder();
               po->CustRef->pickKey("2");
               // Order 2 is posted in the demo data; take its posting away so it can be approved.
               gConn().execute("DELETE FROM `Transaction` WHERE `Ref` = 2");
               ledger = second->count("Transaction", "`Ref` = 2");
           },
           [&] {
               msgs->answer(true);
               po->Status->pickKey("1");
           },
           [&] {
               const Stored stamp = stampedWith(2, 1, 4);
               const int posted = second->count("Transaction", "`Ref` = 2") - ledger;
               if (stamp == Stored::All && posted == 1)
                   return Stored::All;
               if (stamp == Stored::None && posted == 0)
                   return Stored::None;
               return Stored::Partial;
           },
           [&] { return !sawError(); },
           [&](Stored s) {
               if (s == Stored::All)
                   return false;
               msgs->answer(true);
               po->Status->pickKey("1");
               return true;
           }});
}

TEST_F(FaultTest, PartFinderOkWithCorrectionsAndTheNewLine) {
    qint64 order = 0;
    frmFindPart* finder = nullptr;
    QString before;
    sweep(
        {"part finder OK",
         [&] {
             frmPurchaseOrder::openers().partFinder = [](OrderHub& h, const QString& c) {
                 openPartFinder(h, c);
             };
             openPurchaseOrder();
             order = gConn().insert(
                 "INSERT INTO `Order Information` (`Customer Ref`, `Status`) VALUES ('CAT/9', 2)");
             po->cmbLoadList1();
             po->CustRef->pickKey(QString::number(order));
             before = second->one("SELECT `English Name` FROM `Products` WHERE `Product ID` = 1")
                          .toString();
         },
         [&] {
             finder = openPartFinder(*po, "HEN-4480");
             finder->EnglishName->setText("Composite syringe A2, corrected");
             finder->Command2->click();
             settle();
         },
         [&] {
             const bool line = second->count("Order Details", "`Order ID` = ? AND `Product ID` = 1",
                                             {order}) == 1;
             const QString name =
                 second->one("SELECT `English Name` FROM `Products` WHERE `Product ID` = 1")
                     .toString();
             const bool corrected = name == "Composite syringe A2, corrected";
             if (line && corrected)
                 return Stored::All;
             if (!line && name == before)
                 return Stored::None;
             return Stored::Partial;
         },
         [&] { return !sawError() && !dialogs().find("frmFindPart"); },
         [&](Stored s) {
             if (s == Stored::All)
                 return false;
             // Still open with what was typed: OK again.
             auto* f = qobject_cast<frmFindPart*>(dialogs().find("frmFindPart"));
             EXPECT_NE(f, nullptr);
             if (!f)
                 return false;
             EXPECT_EQ(f->EnglishName->text(), "Composite syringe A2, corrected");
             f->Command2->click();
             settle();
             return true;
         }});
}

TEST_F(FaultTest, AccountNumberAllocationAndTheNewRowsSave) {
    frmEditAddress* editor = nullptr;
    qint64 counter = 0;
    sweep(
        {"account number",
         [&] {
             if (editor)
                 editor->close();
             settle();
             editor = new frmEditAddress;
             editor->setAttribute(Qt::WA_DeleteOnClose);
             editor->show();
             counter =
                 second
                     ->one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'")
                     .toLongLong();
         },
         [&] {
             editor->Command1->click();
             if (editor->AccountNo->text().isEmpty())
                 return;
             editor->CustomerShortname->setText("SWEEP");
             editor->Command3->click();
         },
         [&] {
             const qint64 now =
                 second
                     ->one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'")
                     .toLongLong();
             const int rows = second->count("Employee Data", "`Previous Surname` = 'SWEEP'");
             const qint64 shown = editor->AccountNo->text().toLongLong();
             // The number shown was taken from the counter, and saved under it.
             if (rows == 1 && shown >= counter && now == shown + 1 &&
                 second->count("Employee Data", "`Payroll ID` = ?", {shown}) == 1)
                 return Stored::All;
             // The counter moved on with nothing saved: only the number is used up, as New always
             // does.
             if (rows == 0 && (now == counter || (shown >= counter && now == shown + 1)))
                 return Stored::None;
             return Stored::Partial;
         },
         [&] { return saw("Information saved successfully"); },
         [&](Stored s) {
             if (s == Stored::All)
                 return false;
             if (editor->AccountNo->text().isEmpty())
                 editor->Command1->click();
             editor->CustomerShortname->setText("SWEEP");
             editor->Command3->click();
             return true;
         }});
    editor->close();
}

// ---- eight workstations handing out account numbers at once ----------------

TEST_F(FaultTest, EightWorkstationsAllocatingAndSavingNeverShareANumberNorFail) {
    constexpr int kThreads = 8, kEach = 200;
    const qint64 start =
        one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'").toLongLong();
    std::mutex m;
    QList<qint64> numbers;
    QStringList taken;
    QStringList errors = onWorkstations(kThreads, kEach, [&](Database& db, int t, int i) {
        const qint64 n = people::allocateAccountNumber(db);
        const QString other = people::saveAccountRow(
            db, n, QStringLiteral("Supplier"),
            {{QStringLiteral("Previous Surname"), QStringLiteral("W%1").arg(t)},
             {QStringLiteral("Forenames"), QStringLiteral("Workstation %1 row %2").arg(t).arg(i)}});
        std::lock_guard lock(m);
        numbers << n;
        if (!other.isEmpty())
            taken << QStringLiteral("%1 already taken by %2").arg(n).arg(other);
    });
    errors += taken;
    const QSet<qint64> distinct(numbers.begin(), numbers.end());
    EXPECT_EQ(errors.size(), 0) << (errors.isEmpty() ? "" : errors.first().toStdString());
    EXPECT_EQ(numbers.size(), kThreads * kEach);
    EXPECT_EQ(distinct.size(), numbers.size());
    EXPECT_EQ(count("Employee Data", "`Forenames` LIKE 'Workstation %'"), kThreads * kEach);
    EXPECT_EQ(
        one("SELECT COUNT(*) FROM (SELECT `Payroll ID` FROM `Employee Data` GROUP BY `Payroll ID` "
            "HAVING COUNT(*) > 1) d")
            .toInt(),
        0);
    // Every number handed out moved the counter on once.
    EXPECT_EQ(
        one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'").toLongLong(),
        start + kThreads * kEach);
}
