#include "refdata/frmeditstatus.h"
#include "app/convert.h"
#include "app/guard.h"
#include "app/messages.h"
#include "refdata/boxvalues.h"
#include "refdata/formparts.h"
#include "schema/schema.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zel {

using namespace refdata;

namespace {

// The keys of the statuses whose letter is exactly `letter`. The server's
// comparison ignores letter case and trailing blanks, so its matches are
// narrowed here; `lock` takes them for update.
QVariantList statusesWithLetter(Database& db, const QString& letter, bool lock) {
    const RowSet rs = db.select(QStringLiteral("SELECT `ID`, `Status Letter` FROM `Status Table` "
                                               "WHERE `Status Letter` = ? ORDER BY `ID`") +
                                    (lock ? QStringLiteral(" FOR UPDATE") : QString()),
                                {letter});
    QVariantList ids;
    for (const auto& row : rs.rows)
        if (row[1].toString() == letter)
            ids << row[0];
    return ids;
}

// The letters stored that differ from `letter` only by letter case or by
// blanks around it ("b" beside "B").
QStringList lookAlikeLetters(Database& db, const QString& letter) {
    const RowSet rs =
        db.select(QStringLiteral("SELECT DISTINCT `Status Letter` FROM `Status Table` "
                                 "WHERE UPPER(TRIM(`Status Letter`)) = UPPER(TRIM(?))"),
                  {letter});
    QStringList out;
    for (const auto& row : rs.rows)
        if (row[0].toString() != letter)
            out << row[0].toString();
    return out;
}

// How many orders carry one of these statuses, on the order or on its lines.
qint64 ordersWithStatus(Database& db, const QVariantList& ids) {
    if (ids.isEmpty())
        return 0;
    const QString marks = QStringList(ids.size(), QStringLiteral("?")).join(u',');
    return db
        .scalar(
            QStringLiteral("SELECT COUNT(*) FROM `Order Information` o WHERE o.`Status` IN (%1) "
                           "OR EXISTS (SELECT 1 FROM `Order Details` d WHERE d.`Order ID` = "
                           "o.`Quote ID` AND d.`Parts Status` IN (%1))")
                .arg(marks),
            ids + ids)
        .toLongLong();
}

QString inUseMessage(const QString& letter, qint64 orders) {
    return QStringLiteral("Status %1 is used by %2 %3 and cannot be deleted.")
        .arg(letter, QString::number(orders),
             orders == 1 ? QStringLiteral("order") : QStringLiteral("orders"));
}

} // namespace

frmEditStatus::frmEditStatus(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmEditStatus"));
    setWindowTitle(QStringLiteral("Purchase Order Status"));

    Label1 = makeHeading(this, "Label1", QStringLiteral("Edit Purchase Order Status"));
    Label2 = makeLabel(this, "Label2", QStringLiteral("Do NOT edit Status Letter \"A\""));
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->setStyleSheet(QStringLiteral("color: #c00000;"));
    Label3 = makeLabel(this, "Label3", QStringLiteral("Select Status:"));
    cmbStatus = new DataCombo(this);
    nameControl(cmbStatus, "cmbStatus", accessibleOf(Label3));
    Label4 = makeLabel(this, "Label4", QStringLiteral("Status Letter:"));
    StatusLetter = makeBox(this, "StatusLetter", accessibleOf(Label4));
    StatusLetter->setMaximumWidth(60);
    Label5 = makeLabel(this, "Label5", QStringLiteral("Status Description:"));
    StatusDescription = makeBox(this, "StatusDescription", accessibleOf(Label5));
    Label3->setBuddy(cmbStatus);
    Label4->setBuddy(StatusLetter);
    Label5->setBuddy(StatusDescription);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Command1 = makeButton(Frame1, "Command1", QStringLiteral("New"));
    Command2 = makeButton(Frame1, "Command2", QStringLiteral("Delete"));
    Command3 = makeButton(Frame1, "Command3", QStringLiteral("Save"));
    Command4 = makeButton(Frame1, "Command4", QStringLiteral("Exit"));
    auto* buttons = new QVBoxLayout(Frame1);
    for (QPushButton* b : {Command1, Command2, Command3, Command4})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(cmbStatus, 0, 1);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(StatusLetter, 1, 1, Qt::AlignLeft);
    grid->addWidget(Label5, 2, 0);
    grid->addWidget(StatusDescription, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(Label2);
    left->addSpacing(8);
    left->addLayout(grid);
    left->addStretch();
    auto* h = new QHBoxLayout(this);
    h->addLayout(left, 1);
    h->addWidget(Frame1);
    resize(560, 240);

    connect(cmbStatus, &DataCombo::Click, this,
            [this](int area) { guarded([&] { cmbStatus_Click(area); }); });
    auto on = [this](QPushButton* b, void (frmEditStatus::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    on(Command1, &frmEditStatus::Command1_Click);
    on(Command2, &frmEditStatus::Command2_Click);
    on(Command3, &frmEditStatus::Command3_Click);
    on(Command4, &frmEditStatus::Command4_Click);
    guarded([&] { Form_Load(); });
}

void frmEditStatus::Form_Load() {
    InitForm();
    cmbLoadData();
}

void frmEditStatus::InitForm() {
    StatusLetter->clear();
    StatusDescription->clear();
    cmbStatus->setText(QString());
}

void frmEditStatus::cmbLoadData() {
    cmbStatus->loadList(
        QStringLiteral("SELECT `Status Letter`,`Status Description` From `Status Table`"), {},
        QStringLiteral("Status Description"), QStringLiteral("Status Letter"));
}

void frmEditStatus::cmbStatus_Click(int area) {
    if (area != DataCombo::List)
        return;
    // The key is the letter as stored; the list gives it as displayed text.
    const QString letter = cmbStatus->selectedValue(QStringLiteral("Status Letter")).toString();
    const QVariantList ids = statusesWithLetter(gConn(), letter, false);
    if (ids.isEmpty())
        return; // deleted meanwhile: the boxes stay as they were
    const QVariant description = gConn().scalar(
        QStringLiteral("SELECT `Status Description` FROM `Status Table` WHERE `ID` = ?"),
        {ids.first()});
    StatusLetter->setText(letter);
    StatusDescription->setText(description.toString());
}

void frmEditStatus::Command1_Click() {
    InitForm();
}

void frmEditStatus::Command2_Click() {
    const QString letter = StatusLetter->text();
    if (letter == QLatin1String("A")) {
        messages().info(QStringLiteral("You cannot delete this Status"));
        return;
    }
    if (letter.isEmpty()) {
        messages().info(QStringLiteral(
            "No status is shown: choose a status from the list first. Nothing was deleted."));
        return;
    }
    Database& db = gConn();
    // A status that orders carry stays: deleting it would leave them without one.
    if (const qint64 used = ordersWithStatus(db, statusesWithLetter(db, letter, false))) {
        messages().info(inUseMessage(letter, used));
        return;
    }
    const QString description = StatusDescription->text().trimmed();
    const QString named = description.isEmpty()
                              ? QStringLiteral("\"%1\"").arg(letter)
                              : QStringLiteral("\"%1\" (%2)").arg(letter, description);
    if (!messages().question(QStringLiteral("Are you sure? This deletes the status %1.").arg(named),
                             QStringLiteral("Delete record")))
        return;
    qint64 removed = 0;
    qint64 used = 0;
    db.transaction([&] {
        const QVariantList ids = statusesWithLetter(db, letter, true);
        // Checked again: another workstation may have used it meanwhile.
        used = ordersWithStatus(db, ids);
        if (used > 0)
            return;
        for (const QVariant& id : ids)
            removed +=
                db.execute(QStringLiteral("Delete From `Status Table` Where `ID` = ?"), {id});
    });
    if (used > 0) {
        messages().info(inUseMessage(letter, used));
        return;
    }
    if (removed == 0) {
        messages().info(
            QStringLiteral("No status with the letter \"%1\" is stored. Nothing was deleted.")
                .arg(letter));
        return;
    }
    InitForm();
    messages().info(QStringLiteral("Record deleted successfully"));
}

void frmEditStatus::Command3_Click() {
    SaveData();
}

void frmEditStatus::Command4_Click() {
    close();
}

bool frmEditStatus::SaveData() {
    // A letter of blanks only is as good as none.
    if (StatusLetter->text().trimmed().isEmpty()) {
        messages().info(QStringLiteral("Please provide a Status Letter 'B to Z'"));
        return false;
    }
    if (StatusDescription->text().isEmpty()) {
        messages().info(QStringLiteral("Please provide a Status Description"));
        return false;
    }
    const QString letter = StatusLetter->text();
    Database& db = gConn();
    QStringList lookAlikes;
    try {
        const QVariantList values = columnValues(
            db, schema::StatusTable,
            {{QStringLiteral("Status Letter"), letter, QStringLiteral("Status Letter")},
             {QStringLiteral("Status Description"), StatusDescription->text(),
              QStringLiteral("Status Description")}});
        db.transaction([&] {
            const QVariantList ids = statusesWithLetter(db, letter, true);
            // "b" beside "B" would be a second status that reads as the same one.
            if (ids.isEmpty() && !(lookAlikes = lookAlikeLetters(db, letter)).isEmpty())
                return;
            if (ids.isEmpty())
                db.insert(QStringLiteral(
                              "INSERT INTO `Status Table` (`Status Letter`, `Status Description`) "
                              "VALUES (?, ?)"),
                          values);
            else
                db.execute(QStringLiteral(
                               "UPDATE `Status Table` SET `Status Description` = ? WHERE `ID` = ?"),
                           {values[1], ids.first()});
        });
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return false;
    } catch (const DbError& e) {
        messages().error(e.userMessage());
        return false;
    }
    if (!lookAlikes.isEmpty()) {
        messages().info(
            QStringLiteral(
                "Status Letter \"%1\" differs only by letter case or blanks from the status "
                "\"%2\" already stored. Type \"%2\" to change that status, or choose "
                "another letter. Nothing was saved.")
                .arg(letter, lookAlikes.first()));
        return false;
    }
    messages().info(QStringLiteral("Information saved successfully"));
    return true;
}

} // namespace zel
