// The order status editor and the instruction text to suppliers.
#include "refdata/frmeditstatus.h"
#include "refdata/frmpoinstr.h"
#include "refdata/refdatatest.h"

#include <QTest>

using namespace zel;
using namespace zel::test;

namespace {

QVariant description(const QString& letter) {
    return one("SELECT `Status Description` FROM `Status Table` WHERE BINARY `Status Letter` = ?",
               {letter});
}

QVariant instruction(const char* column) {
    return one(
        QStringLiteral(
            "SELECT `%1` FROM `tblGlobalSysConfig` WHERE `Item` = 'POSuppliersAdditionalText'")
            .arg(QLatin1String(column)));
}

} // namespace

class StatusTest : public RefDataTest {
protected:
    frmEditStatus* editor() {
        return openVia<frmEditStatus>(refdata::openStatusEditor, "frmEditStatus");
    }
    void type(frmEditStatus* e, const QString& letter, const QString& text) {
        e->Command1->click();
        QTest::keyClicks(e->StatusLetter, letter);
        QTest::keyClicks(e->StatusDescription, text);
    }
};

TEST_F(StatusTest, APickShowsTheStatusAndSaveNeedsALetterAndADescription) {
    auto* e = editor();
    EXPECT_EQ(e->cmbStatus->count(), 6);
    e->cmbStatus->pickKey("P");
    EXPECT_EQ(e->StatusLetter->text(), "P");
    EXPECT_EQ(e->StatusDescription->text(), "Pending Approval");
    snapshot(*e, "frmEditStatus");

    e->Command1->click(); // New
    e->Command3->click();
    QTest::keyClicks(e->StatusLetter, "Z");
    e->Command3->click();
    EXPECT_EQ(msgs->texts(), (QStringList{"Please provide a Status Letter 'B to Z'",
                                          "Please provide a Status Description"}));
    EXPECT_EQ(count("Status Table"), 6);
}

TEST_F(StatusTest, SaveUpdatesTheExactLetterOrAddsOneAndKeepsQuotes) {
    auto* e = editor();
    type(e, "P", "Awaiting sign-off");
    e->Command3->click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(description("P").toString(), "Awaiting sign-off");
    type(e, "A", "Approved by the practice"); // only deleting A is refused
    e->Command3->click();
    EXPECT_EQ(one("SELECT `Status Description` FROM `Status Table` WHERE `ID` = 1").toString(),
              "Approved by the practice");
    EXPECT_EQ(count("Status Table"), 6);

    type(e, "Q'\"", "Won't \"ship\"");
    e->Command3->click();
    EXPECT_EQ(count("Status Table"), 7);
    EXPECT_EQ(description("A").toString(), "Approved by the practice");
    EXPECT_EQ(description("Q'\"").toString(), "Won't \"ship\"");

    // Found again by its letter after reopening.
    e->close();
    settle();
    e = editor();
    e->cmbStatus->pickKey("Q'\"");
    EXPECT_EQ(e->StatusLetter->text(), "Q'\"");
    EXPECT_EQ(e->StatusDescription->text(), "Won't \"ship\"");

    msgs->clear();
    type(e, "ABCDEF", "Too long a letter");
    e->Command3->click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Status Letter is too long: it can hold 5 characters and 6 were typed."});
    EXPECT_EQ(count("Status Table"), 7);
}

TEST_F(StatusTest, ALetterDifferingOnlyByCaseOrBlanksIsRefusedAndSoIsABlankOne) {
    auto* e = editor();
    for (const char* letter : {"b", "B ", " b"}) {
        msgs->clear();
        type(e, letter, "Backorder, second copy");
        e->Command3->click();
        ASSERT_EQ(msgs->messages.size(), 1u) << letter;
        EXPECT_EQ(msgs->last(),
                  QStringLiteral(
                      "Status Letter \"%1\" differs only by letter case or blanks from the status "
                      "\"B\" already stored. Type \"B\" to change that status, or choose another "
                      "letter. Nothing was saved.")
                      .arg(letter));
    }
    msgs->clear();
    type(e, "   ", "Blank");
    e->Command3->click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please provide a Status Letter 'B to Z'"});
    EXPECT_EQ(count("Status Table"), 6);
    EXPECT_EQ(description("B").toString(), "Back Ordered");
    // The letter as stored still updates, and a new one is added.
    type(e, "B", "Back ordered by supplier");
    e->Command3->click();
    type(e, "Z", "Zero-rated");
    e->Command3->click();
    EXPECT_EQ(description("B").toString(), "Back ordered by supplier");
    EXPECT_EQ(count("Status Table"), 7);
}

TEST_F(StatusTest, AStatusThatOrdersCarryIsNeverDeleted) {
    const int used =
        count("Order Information", "`Status` = 2 OR `Quote ID` IN (SELECT `Order ID` FROM "
                                   "`Order Details` WHERE `Parts Status` = 2)");
    ASSERT_GT(used, 1);
    auto* e = editor();
    e->cmbStatus->pickKey("P");
    msgs->answer(true);
    e->Command2->click();
    EXPECT_EQ(
        msgs->texts(),
        QStringList{
            QStringLiteral("Status P is used by %1 orders and cannot be deleted.").arg(used)});
    EXPECT_EQ(count("Status Table", "`ID` = 2"), 1);

    // One order on its lines alone still counts.
    gConn().execute(
        "INSERT INTO `Status Table` (`Status Letter`, `Status Description`) VALUES ('X', 'Extra')");
    const QVariant x = one("SELECT `ID` FROM `Status Table` WHERE `Status Letter` = 'X'");
    gConn().execute(
        "UPDATE `Order Details` SET `Parts Status` = ? WHERE `ID` = (SELECT MIN(`ID`) FROM "
        "(SELECT `ID` FROM `Order Details`) t)",
        {x});
    msgs->clear();
    e->StatusLetter->setText("X");
    e->Command2->click();
    EXPECT_EQ(msgs->texts(), QStringList{"Status X is used by 1 order and cannot be deleted."});
    EXPECT_EQ(count("Status Table", "`Status Letter` = 'X'"), 1);
}

TEST_F(StatusTest, StatusAIsNeverDeletedAndAnyOtherDeleteAsksFirst) {
    gConn().execute("INSERT INTO `Status Table` (`Status Letter`, `Status Description`) VALUES "
                    "('a', 'archived')");
    auto* e = editor();
    e->cmbStatus->pickKey("A");
    e->Command2->click();
    EXPECT_EQ(msgs->texts(), QStringList{"You cannot delete this Status"});
    EXPECT_EQ(msgs->messages[0].kind, RecordingMessages::Message::Info);

    e->cmbStatus->pickKey("a");
    msgs->clear();
    msgs->answer(false);
    e->Command2->click();
    EXPECT_EQ(msgs->messages[0].kind, RecordingMessages::Message::Question);
    EXPECT_EQ(msgs->messages[0].title, "Delete record");
    EXPECT_EQ(count("Status Table"), 7);

    msgs->clear();
    msgs->answer(true);
    e->Command2->click();
    EXPECT_EQ(msgs->texts(), (QStringList{"Are you sure? This deletes the status \"a\" (archived).",
                                          "Record deleted successfully"}));
    EXPECT_EQ(count("Status Table"), 6);
    EXPECT_FALSE(description("A").isNull());
    EXPECT_EQ(e->StatusLetter->text(), "");

    // Still listed until reopened; picking it leaves the boxes as they were.
    e->StatusDescription->setText("as typed");
    e->cmbStatus->pickKey("a");
    EXPECT_EQ(e->StatusDescription->text(), "as typed");

    msgs->clear();
    msgs->answer(true);
    e->StatusLetter->setText("X");
    e->Command2->click();
    EXPECT_EQ(msgs->last(), "No status with the letter \"X\" is stored. Nothing was deleted.");
    EXPECT_EQ(count("Status Table"), 6);
}

class InstructionsTest : public RefDataTest {
protected:
    frmPOInstr* dialog() { return openVia<frmPOInstr>(refdata::openPOInstructions, "frmPOInstr"); }
};

TEST_F(InstructionsTest, CloseStoresTheTextWithItsLineBreaksAndTheFrameDiscardsIt) {
    auto* d = dialog();
    EXPECT_TRUE(d->Text1->toPlainText().startsWith("Please quote our order number"));
    snapshot(*d, "frmPOInstr");
    d->Text1->setPlainText("Deliver before noon.\nQuote the order number.");
    d->close();
    settle();
    EXPECT_TRUE(instruction("TextValue").toString().startsWith("Please quote"));

    d = dialog();
    d->Text1->setPlainText("Deliver before noon.\nQuote the order number.");
    d->Command1->click();
    EXPECT_EQ(open<QWidget>("frmPOInstr"), nullptr);
    EXPECT_EQ(instruction("TextValue").toString(), "Deliver before noon.\nQuote the order number.");
    EXPECT_EQ(dialog()->Text1->toPlainText(), "Deliver before noon.\nQuote the order number.");

    // An emptied text is stored as NULL and reopens empty.
    d = dialog();
    d->Text1->clear();
    d->Command1->click();
    EXPECT_TRUE(instruction("TextValue").isNull());
    EXPECT_EQ(dialog()->Text1->toPlainText(), "");
}

TEST_F(InstructionsTest, TheRowIsCreatedOnFirstCloseAndAnOverlongTextIsRefused) {
    gConn().execute("DELETE FROM `tblGlobalSysConfig` WHERE `Item` = 'POSuppliersAdditionalText'");
    auto* d = dialog();
    EXPECT_EQ(d->Text1->toPlainText(), "");
    d->Command1->click();
    EXPECT_EQ(count("tblGlobalSysConfig", "`Item` = 'POSuppliersAdditionalText'"), 1);
    EXPECT_TRUE(instruction("TextValue").isNull());
    EXPECT_EQ(instruction("NumberValue").toLongLong(), -33);

    d = dialog();
    const QString huge(70000, u'x');
    d->Text1->setPlainText(huge);
    d->Command1->click();
    EXPECT_EQ(
        msgs->texts(),
        QStringList{
            "PO Instructions is too long: it can hold 65535 characters and 70000 were typed."});
    EXPECT_EQ(open<frmPOInstr>("frmPOInstr"), d); // still open, with the text
    EXPECT_EQ(d->Text1->toPlainText().size(), huge.size());
    EXPECT_TRUE(instruction("TextValue").isNull());
}
