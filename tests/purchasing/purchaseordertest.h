#pragma once
// The purchase order window under test: the fixture and the helpers the
// purchase order tests share.
#include "app/dialogs.h"
#include "orderform/orderactions.h"
#include "purchasing/frmorderdetails.h"
#include "purchasing/frmpurchaseorder.h"
#include "support/orders.h"
#include "support/testdb.h"
#include "values/val.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <iostream>

using namespace zel;
using zel::test::count;
using zel::test::one;
using zel::test::settle;
using zel::test::snapshot;

class PurchaseOrderTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        w = std::make_unique<frmPurchaseOrder>();
        w->show();
    }
    void TearDown() override {
        w.reset();
        DbTest::TearDown();
    }
    void pickOrder(qint64 key) { test::pickOrder(w->CustRef, key); }
    void typeRef(const QString& ref) { test::typeRef(w->CustRef, ref); }
    // A stored order, listed by the window.
    qint64 makeOrder(const QString& ref, const QList<QStringList>& lines,
                     const test::OrderHeader& header = {}) {
        const qint64 key = test::makeOrder(ref, lines, header);
        w->cmbLoadList1();
        return key;
    }

    std::unique_ptr<frmPurchaseOrder> w;
};

// One header column of a stored order, as text.
inline QString header(const char* column, qint64 key) {
    return one(QStringLiteral("SELECT `%1` FROM `Order Information` WHERE `Quote ID` = ?")
                   .arg(column),
               {key})
        .toString();
}
// A second workstation on the same database.
struct OtherWorkstation {
    Database db{QStringLiteral("other-workstation")};
    OtherWorkstation() {
        EXPECT_TRUE(db.open(test::testSettings())) << db.lastOpenError().toStdString();
    }
    ~OtherWorkstation() {
        db.rollback();
        db.release();
    }
};
// How the window's title starts when it names an order.
inline const QString kTitle = QStringLiteral("Purchase Ordering \u2014 ");
