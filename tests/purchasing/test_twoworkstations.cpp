// The purchase order window on two workstations at once, and its reference
// list on a large practice.
#include "purchasing/purchaseordertest.h"

namespace {
// Answers Yes/No from the queue, and first runs what another workstation does
// while the question is on screen.
class BusyMessages : public RecordingMessages {
public:
    std::function<void()> whileAsking;
    bool question(const QString& text, const QString& title) override {
        if (auto f = std::exchange(whileAsking, nullptr))
            f();
        return RecordingMessages::question(text, title);
    }
};
} // namespace

TEST_F(PurchaseOrderTest, PreviousFindsAnOrderAnotherWorkstationAdded) {
    OtherWorkstation other;
    const qint64 key =
        other.db.insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES ('ELSEWHERE/1')");
    w->Command3_Click();
    EXPECT_EQ(w->orderKey(), key);
    EXPECT_EQ(w->CustRef->Text(), "ELSEWHERE/1");
}

class TwoWorkstationsTest : public PurchaseOrderTest {
protected:
    void SetUp() override {
        PurchaseOrderTest::SetUp();
        ASSERT_TRUE(a.open(test::testSettings())) << a.lastOpenError().toStdString();
    }
    void TearDown() override {
        a.release();
        PurchaseOrderTest::TearDown();
    }
    bool asked(const QString& text) const {
        for (const auto& m : msgs->messages)
            if (m.kind == RecordingMessages::Message::Question && m.text == text)
                return true;
        return false;
    }
    Database a{QStringLiteral("workstationA")};
};

TEST_F(TwoWorkstationsTest, DifferentColumnsChangedOnBothWorkstationsBothSurvive) {
    const qint64 key = makeOrder("PEN/24/0535", {{"30", "1", "0"}});
    pickOrder(key);
    a.execute("UPDATE `Order Information` SET `Town` = 'Reading' WHERE `Quote ID` = ?", {key});
    w->Telephone->setText("0118 496 0000");
    w->Command8_Click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(header("Town", key), "Reading");
    EXPECT_EQ(header("Telephone", key), "0118 496 0000");

    // A second save of B still leaves A's town alone; B's own later change is written.
    w->Telephone->setText("0118 496 0001");
    w->Command8_Click();
    EXPECT_EQ(header("Town", key), "Reading");
    EXPECT_EQ(header("Telephone", key), "0118 496 0001");
}

TEST_F(TwoWorkstationsTest, TheSameColumnChangedOnBothAsksAndOverwritesNothing) {
    const qint64 key = makeOrder("PEN/24/0535", {{"30", "1", "0"}});
    pickOrder(key);
    a.execute("UPDATE `Order Information` SET `Telephone` = 'from A' WHERE `Quote ID` = ?", {key});
    w->Telephone->setText("from B");
    w->Street->setText("B's street");
    msgs->answer(false);
    w->Command8_Click();
    const QString question = "Order PEN/24/0535 was changed on another workstation: reload it?";
    EXPECT_TRUE(asked(question));
    EXPECT_NE(msgs->last(), "Information saved successfully");
    EXPECT_EQ(header("Telephone", key), "from A");
    EXPECT_EQ(header("Street", key), "");
    EXPECT_EQ(w->Telephone->text(), "from B");

    // Yes shows the order as stored; saving then writes B's next change.
    msgs->clear();
    msgs->answer(true);
    w->Command8_Click();
    EXPECT_TRUE(asked(question));
    EXPECT_EQ(w->Telephone->text(), "from A");
    EXPECT_EQ(w->Street->text(), "");
    w->Telephone->setText("from B");
    w->Command8_Click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(header("Telephone", key), "from B");
}

TEST_F(TwoWorkstationsTest, TheStoredTotalFollowsTheLinesStoredAtTheSave) {
    auto busy = std::make_shared<BusyMessages>();
    msgs = busy;
    setMessageService(busy);
    const qint64 key = makeOrder("PEN/24/0535", {{"30", "1", "0"}});
    pickOrder(key);
    EXPECT_EQ(w->lblFinalTotal->text(), "£36.00");
    // While B's approval question is open, A adds a line.
    busy->whileAsking = [&] {
        a.insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Unit Price`, `Quantity`, "
                 "`Discount`) "
                 "VALUES (?, 'P2', 100, 1, 0)",
                 {key});
    };
    busy->answer(true);
    w->Status->setBoundText("1");
    w->Status_Click(DataCombo::List);
    EXPECT_EQ(header("Grand Total", key), "156.0000");
    // The ledger is posted the stored total too, not the stale screen's.
    EXPECT_EQ(one("SELECT `Cinout` FROM `Transaction` WHERE `Ref` = ?", {key}).toString(),
              "-156.0000");

    // In package mode the stored total is the package total, whatever the lines.
    w->ckPPrice->setChecked(true);
    w->PackagePrice->setText("50");
    w->Command8_Click();
    EXPECT_EQ(header("Grand Total", key), "60.0000");
}

TEST_F(TwoWorkstationsTest, AGridEditOfALineDeletedElsewhereSaysSoAndShowsTheStoredLines) {
    const qint64 key = makeOrder("PEN/24/0535", {{"30", "1", "0"}, {"40", "1", "0"}});
    pickOrder(key);
    ASSERT_EQ(w->DataGrid1->rowCount(), 2);
    const QVariant line = w->DataGrid1->model().value(0, 0);
    a.execute("DELETE FROM `Order Details` WHERE `ID` = ?", {line});
    GridModel& m = w->DataGrid1->model();
    EXPECT_FALSE(m.setData(m.index(0, 5), QVariant(QStringLiteral("99")), Qt::EditRole));
    settle();
    EXPECT_TRUE(msgs->last().contains("deleted on another workstation"))
        << msgs->last().toStdString();
    EXPECT_EQ(w->DataGrid1->rowCount(), 1);
    EXPECT_EQ(count("Order Details", "`Order ID` = ?", {key}), 1);
}

TEST_F(TwoWorkstationsTest, SavingAnOrderDeletedElsewhereAsksBeforeMakingANewOne) {
    const qint64 key = makeOrder("TWO/WS/1", {{"30", "1", "0"}});
    pickOrder(key);
    a.transaction([&] {
        a.execute("DELETE FROM `Order Details` WHERE `Order ID` = ?", {key});
        a.execute("DELETE FROM `Order Information` WHERE `Quote ID` = ?", {key});
    });
    const int orders = count("Order Information");
    w->Telephone->setText("0118 496 0000");
    msgs->choose(MessageService::Answer::No);
    w->Command8_Click();
    const QString question =
        "Order TWO/WS/1 was deleted on another workstation. Save it as a new order?";
    EXPECT_TRUE(asked(question));
    EXPECT_NE(msgs->last(), "Information saved successfully");
    EXPECT_EQ(count("Order Information"), orders);

    // Yes saves it as a new order, with everything on screen.
    msgs->choose(MessageService::Answer::Yes);
    w->Command8_Click();
    EXPECT_EQ(count("Order Information"), orders + 1);
    const qint64 saved = w->orderKey();
    EXPECT_NE(saved, key);
    EXPECT_EQ(header("Telephone", saved), "0118 496 0000");
    EXPECT_EQ(header("Customer Ref", saved), "TWO/WS/1");
}

TEST_F(PurchaseOrderTest, TheReferenceListReadsAPageNotEveryOrderAndFindsTheRestByTyping) {
    // More orders than a page, the last one sorting after all of them.
    gConn().transaction([] {
        for (int i = 0; i < orderform::kRefPage + 20; ++i)
            gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES (?)",
                           {QStringLiteral("AAA/PAGE/%1").arg(i, 3, 10, QLatin1Char('0'))});
    });
    const qint64 late = makeOrder("ZZZ/LATE/1", {{"5.00", "2", "0"}});

    // Opening the window reads orders only a page or one order at a time.
    QStringList orderReads;
    gConn().setStatementHook([&](const QString& sql) {
        if (sql.contains("`Order Information`"))
            orderReads << sql;
    });
    w = std::make_unique<frmPurchaseOrder>();
    w->show();
    settle();
    gConn().setStatementHook({});
    ASSERT_FALSE(orderReads.isEmpty());
    for (const QString& sql : orderReads)
        EXPECT_TRUE(sql.contains("LIMIT") || sql.contains("`Quote ID` = ?")) << sql.toStdString();
    EXPECT_EQ(w->CustRef->count(), orderform::kRefPage);
    EXPECT_EQ(w->CustRef->itemText(0), "AAA/PAGE/000");

    // Typing finds an order beyond the page; only taking it from the list opens it.
    typeRef("zzz/la");
    EXPECT_EQ(w->CustRef->BoundText(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);
    QCompleter* c = w->CustRef->completer();
    ASSERT_EQ(c->completionCount(), 1);
    c->popup()->setCurrentIndex(c->completionModel()->index(0, 0));
    QTest::keyClick(c->popup(), Qt::Key_Return);
    EXPECT_EQ(w->CustRef->BoundText(), QString::number(late));
    EXPECT_EQ(w->CustRef->Text(), "ZZZ/LATE/1");
    EXPECT_EQ(w->DataGrid1->rowCount(), 1);

    // Typing another order's reference over it keeps this order on screen.
    typeRef("AAA/PAGE/005");
    EXPECT_EQ(w->CustRef->BoundText(), QString::number(late));
    EXPECT_EQ(w->CustRef->Text(), "AAA/PAGE/005");
    // The previous order, set by code and beyond the page, is shown by its key.
    w->Command3_Click();
    EXPECT_EQ(w->CustRef->BoundText(), QString::number(late));
    EXPECT_EQ(w->CustRef->Text(), "ZZZ/LATE/1");
}
