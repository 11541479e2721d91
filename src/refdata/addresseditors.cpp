#include "refdata/addresseditors.h"
#include "app/guard.h"
#include "app/messages.h"
#include "data/schema.h"
#include "refdata/boxvalues.h"
#include "refdata/formparts.h"
#include "values/convert.h"
#include "values/val.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zel {

using namespace refdata;

namespace refdata {

qint64 allocateAccountNumber(Database& db) {
    const QString item = QStringLiteral("PatNo");
    qint64 n = 0;
    db.transaction([&] {
        const QVariant stored = db.scalar(
            QStringLiteral(
                "SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = ? FOR UPDATE"),
            {item});
        if (stored.isNull())
            return; // no counter, or an empty one: nothing to hand out
        // 0 means "no row" in the editors, so numbering starts at 1.
        n = std::max<qint64>(stored.toLongLong(), 1);
        // Rows are found by their account number alone: a number already
        // carried (a counter set back, rows entered elsewhere) is passed over.
        if (!db.scalar(
                   QStringLiteral("SELECT 1 FROM `Employee Data` WHERE `Payroll ID` = ? LIMIT 1"),
                   {n})
                 .isNull())
            n = db.scalar(QStringLiteral("SELECT MIN(a.`Payroll ID`) + 1 FROM `Employee Data` a "
                                         "WHERE a.`Payroll ID` >= ? AND NOT EXISTS "
                                         "(SELECT 1 FROM `Employee Data` b WHERE b.`Payroll ID` = "
                                         "a.`Payroll ID` + 1)"),
                          {n})
                    .toLongLong();
        // Only over the value read: on a cluster the lock above holds on this
        // node alone, so a counter moved on another node meanwhile is seen
        // here and the allocation runs again.
        if (db.execute(QStringLiteral("UPDATE `tblGlobalSysConfig` SET `NumberValue` = ? "
                                      "WHERE `Item` = ? AND `NumberValue` = ?"),
                       {n + 1, item, stored}) != 1)
            throw DbError(1213, QStringLiteral("The account number counter was moved by another "
                                               "workstation meanwhile."));
    });
    return n;
}

QString saveAccountRow(Database& db, qint64 n, const QString& type,
                       const QList<QPair<QString, QVariant>>& values) {
    QStringList sets, columns;
    QVariantList binds;
    for (const auto& [column, value] : values) {
        columns << schema::q(schema::columnName(schema::EmployeeData, column));
        sets << columns.last() + QStringLiteral(" = ?");
        binds << value;
    }
    QString otherType;
    db.transaction([&] {
        otherType.clear();
        // Account numbers are written under the counter's lock, the one lock
        // allocation takes too: saves and allocations of every workstation
        // queue on it instead of deadlocking on the gaps of `Payroll ID`.
        db.scalar(QStringLiteral(
                      "SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = ? FOR UPDATE"),
                  {QStringLiteral("PatNo")});
        const RowSet rs =
            db.select(QStringLiteral("SELECT `Employee ID`, `Type` FROM `Employee Data` "
                                     "WHERE `Payroll id` = ? ORDER BY `Employee ID` FOR UPDATE"),
                      {n});
        for (const auto& row : rs.rows)
            if (row[1].toString().compare(type, Qt::CaseInsensitive) != 0) {
                otherType = row[1].isNull() ? QStringLiteral("an unnamed kind of")
                                            : QStringLiteral("a ") + row[1].toString().toLower();
                return;
            }
        if (rs.isEmpty()) {
            QStringList marks(columns.size() + 2, QStringLiteral("?"));
            db.insert(
                QStringLiteral("INSERT INTO `Employee Data` (`Payroll ID`, %1, `Type`) VALUES (%2)")
                    .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                QVariantList{n} + binds + QVariantList{type});
        } else {
            db.execute(QStringLiteral("UPDATE `Employee Data` SET `Payroll ID` = ?, %1, `Type` = ? "
                                      "WHERE `Employee ID` = ?")
                           .arg(sets.join(QStringLiteral(", "))),
                       QVariantList{n} + binds + QVariantList{type, rs.rows[0][0]});
        }
    });
    return otherType;
}

} // namespace refdata

AddressEditor::AddressEditor(Design design, QWidget* parent)
    : QWidget(parent, Qt::Window), design_(std::move(design)) {
    setObjectName(QString::fromLatin1(design_.name));
    setWindowTitle(design_.caption);

    Label1 = makeHeading(this, "Label1", design_.heading);
    Label2 = makeLabel(this, "Label2", design_.listLabel);
    comboShort = new DataCombo(this);
    nameControl(comboShort, "comboShort", accessibleOf(Label2));
    Label2->setBuddy(comboShort);
    comboShort->setMinimumWidth(240);

    struct Row {
        QLabel*& label;
        const char* labelName;
        QString caption;
        QLineEdit*& box;
        const char* boxName;
    };
    const Row rows[] = {
        {Label3, "Label3", QStringLiteral("Shortname:"), CustomerShortname, "CustomerShortname"},
        {Label4, "Label4", QStringLiteral("Account No:"), AccountNo, "AccountNo"},
        {Label5, "Label5", QStringLiteral("Name:"), CustomerName, "CustomerName"},
        {Label6, "Label6", QStringLiteral("Street:"), Street, "Street"},
        {Label7, "Label7", QStringLiteral("Street2:"), Street2, "Street2"},
        {Label8, "Label8", QStringLiteral("Town:"), Town, "Town"},
        {Label9, "Label9", QStringLiteral("County:"), County_Postcode, "County_Postcode"},
        {Label10, "Label10", QStringLiteral("Postcode"), postcode2, "postcode2"},
        {Label11, "Label11", QStringLiteral("Business No:"), BusinessNo, "BusinessNo"},
        {Label12, "Label12", QStringLiteral("E-Mail:"), EMail, "EMail"},
        {Label13, "Label13", QStringLiteral("Web Site:"), WebSite, "WebSite"},
    };
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Row& row : rows) {
        row.label = makeLabel(this, row.labelName, row.caption);
        row.box = makeBox(this, row.boxName, accessibleOf(row.label));
        row.label->setBuddy(row.box);
        // Eight rows on the left; the last three boxes beside the last three of them.
        const bool right = r >= 8;
        const int line = right ? r - 3 : r;
        grid->addWidget(row.label, line, right ? 3 : 0);
        grid->addWidget(row.box, line, right ? 4 : 1);
        ++r;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnStretch(4, 1);
    AccountNo->setReadOnly(true);
    AccountNo->setMaximumWidth(110);
    CustomerShortname->setMaximumWidth(160);
    postcode2->setMaximumWidth(110);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Command1 = makeButton(Frame1, "Command1", QStringLiteral("New"));
    Command2 = makeButton(Frame1, "Command2", QStringLiteral("Delete"));
    Command3 = makeButton(Frame1, "Command3", QStringLiteral("Save"));
    Command4 = makeButton(Frame1, "Command4", QStringLiteral("Exit"));
    auto* buttons = new QHBoxLayout(Frame1);
    for (QPushButton* b : {Command1, Command2, Command3, Command4})
        buttons->addWidget(b);

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addStretch();
    top->addWidget(Label2);
    top->addWidget(comboShort);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addSpacing(8);
    v->addLayout(grid);
    v->addStretch();
    v->addWidget(Frame1);
    resize(760, 380);

    connect(comboShort, &DataCombo::Click, this,
            [this](int area) { guarded([&] { comboShort_Click(area); }); });
    auto on = [this](QPushButton* b, void (AddressEditor::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    on(Command1, &AddressEditor::Command1_Click);
    on(Command2, &AddressEditor::Command2_Click);
    on(Command3, &AddressEditor::Command3_Click);
    on(Command4, &AddressEditor::Command4_Click);
}

QList<AddressEditor::Field> AddressEditor::fields() const {
    return {
        {CustomerShortname, QStringLiteral("Previous Surname"), QStringLiteral("Shortname")},
        {CustomerName, QStringLiteral("Forenames"), QStringLiteral("Name")},
        {Street, QStringLiteral("Address1"), QStringLiteral("Street")},
        {Street2, QStringLiteral("Address2"), QStringLiteral("Street2")},
        {Town, QStringLiteral("Town"), QStringLiteral("Town")},
        {County_Postcode, QStringLiteral("County"), QStringLiteral("County")},
        {postcode2, QStringLiteral("Post Code"), QStringLiteral("Postcode")},
        {BusinessNo, design_.businessColumn, QStringLiteral("Business No")},
        {EMail, QStringLiteral("E-Mail"), QStringLiteral("E-Mail")},
        {WebSite, QStringLiteral("WebSite"), QStringLiteral("Web Site")},
    };
}

void AddressEditor::Form_Load() {
    InitForm(true);
    cmbLoadData();
}

void AddressEditor::InitForm(bool withList) {
    for (QLineEdit* e : {CustomerShortname, AccountNo, CustomerName, Street, Street2, Town,
                         County_Postcode, postcode2, BusinessNo, EMail, WebSite})
        e->clear();
    if (withList)
        comboShort->setText(QString());
}

void AddressEditor::cmbLoadData() {
    // A row saved without a name is listed by its short name, never as a blank entry.
    comboShort->loadList(
        QStringLiteral("SELECT %1 AS `Forenames`, `Payroll ID` FROM `Employee Data` "
                       "WHERE (Type=?) Order By 1")
            .arg(listName()),
        {design_.type}, QStringLiteral("Forenames"), QStringLiteral("Payroll ID"));
}

QString AddressEditor::listName() {
    return QStringLiteral("COALESCE(NULLIF(`Forenames`,''), NULLIF(`Previous Surname`,''), "
                          "CONCAT('Account ', `Payroll ID`))");
}

qint64 AddressEditor::ordersReferringTo(qint64 accountNo) {
    // Orders name a supplier by its account number and its row number, a
    // purchaser by its code.
    if (design_.type == QLatin1String("Supplier"))
        return gConn()
            .scalar(
                QStringLiteral("SELECT COUNT(*) FROM `Order Information` WHERE `Account No` = ? "
                               "OR `CUSTOMER ID` IN (SELECT `Employee ID` FROM `Employee Data` "
                               "WHERE `Payroll ID` = ? AND `Type` = ?)"),
                {QString::number(accountNo), accountNo, design_.type})
            .toLongLong();
    return gConn()
        .scalar(QStringLiteral("SELECT COUNT(*) FROM `Order Information` WHERE `Sales Rep` = ?"),
                {QString::number(accountNo)})
        .toLongLong();
}

void AddressEditor::comboShort_Click(int area) {
    if (area != DataCombo::List)
        return;
    InitForm(false);
    const qint64 n = qint64(Val(comboShort->BoundText()));
    // Only a row of this editor's kind, even where another kind shares the number.
    showRow(gConn().select(QStringLiteral("Select * From `Employee Data` Where `Payroll id` = ? "
                                          "AND `Type` = ? ORDER BY `Employee ID` LIMIT 1"),
                           {n, design_.type}));
}

void AddressEditor::showRow(const RowSet& rs) {
    if (rs.isEmpty())
        return;
    AccountNo->setText(displayText(Kind::Integer, rs.at(0, QStringLiteral("Payroll ID"))));
    for (const Field& f : fields())
        f.box->setText(rs.at(0, f.column).toString());
}

void AddressEditor::Command1_Click() {
    InitForm(true);
    const qint64 n = GetPatNo();
    if (n == 0) {
        messages().info(
            QStringLiteral("No account number can be handed out: the counter 'PatNo' of "
                           "tblGlobalSysConfig is missing or empty."));
        return;
    }
    AccountNo->setText(QString::number(n));
}

void AddressEditor::Command2_Click() {
    const qint64 n = qint64(Val(AccountNo->text()));
    if (n == 0) {
        messages().info(QStringLiteral(
            "No record is shown: choose a name from the list first. Nothing was deleted."));
        return;
    }
    const QVariant stored = gConn().scalar(
        QStringLiteral("SELECT %1 FROM `Employee Data` WHERE `Payroll id` = ? AND `Type` = ? "
                       "ORDER BY `Employee ID` LIMIT 1")
            .arg(listName()),
        {n, design_.type});
    const QString what =
        QStringLiteral("%1 %2 (account number %3)")
            .arg(design_.type.toLower(), stored.isNull() ? CustomerName->text() : stored.toString(),
                 QString::number(n));
    const qint64 orders = stored.isNull() ? 0 : ordersReferringTo(n);
    const QString question =
        orders == 0 ? QStringLiteral("Are you sure? This deletes the %1.").arg(what)
                    : QStringLiteral("The %1 is used by %2 %3. The orders keep the name and "
                                     "address they were saved with.\n\nAre you sure you want "
                                     "to delete it?")
                          .arg(what, QString::number(orders),
                               orders == 1 ? QStringLiteral("order") : QStringLiteral("orders"));
    if (!messages().question(question, QStringLiteral("Delete record")))
        return;
    // Only a row of this editor's kind is ever deleted.
    const qint64 removed = gConn().execute(
        QStringLiteral("Delete From `Employee Data` Where `Payroll id` = ? AND `Type` = ?"),
        {n, design_.type});
    if (removed == 0) {
        messages().info(
            QStringLiteral("No %1 with account number %2 is stored. Nothing was deleted.")
                .arg(design_.type.toLower())
                .arg(n));
        return;
    }
    InitForm(true);
    messages().info(QStringLiteral("Record deleted successfully"));
}

void AddressEditor::Command3_Click() {
    SaveData();
}

void AddressEditor::Command4_Click() {
    close();
}

qint64 AddressEditor::GetPatNo() {
    return allocateAccountNumber(gConn());
}

bool AddressEditor::SaveData() {
    const qint64 n = qint64(Val(AccountNo->text()));
    if (n == 0)
        return false; // no row shown
    if (CustomerShortname->text().isEmpty()) {
        messages().info(QStringLiteral("Please provide a Short Name Limit to 8 Characters"));
        return false;
    }
    Database& db = gConn();
    QString otherType; // set when the number belongs to a row of another kind
    try {
        QList<BoxValue> boxes;
        for (const Field& f : fields())
            boxes.append({f.column, f.box->text(), f.label});
        const QVariantList values = columnValues(db, schema::EmployeeData, boxes);
        QList<QPair<QString, QVariant>> columns;
        for (int i = 0; i < boxes.size(); ++i)
            columns.append({boxes[i].column, values[i]});
        otherType = saveAccountRow(db, n, design_.type, columns);
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return false;
    } catch (const DbError& e) {
        messages().error(e.userMessage());
        return false;
    }
    if (!otherType.isEmpty()) {
        messages().info(
            QStringLiteral("Account number %1 belongs to %2 record, not a %3. Nothing was saved.")
                .arg(n)
                .arg(otherType, design_.type.toLower()));
        return false;
    }
    messages().info(QStringLiteral("Information saved successfully"));
    return true;
}

frmEditAddress::frmEditAddress(QWidget* parent)
    : AddressEditor({"frmEditAddress", QStringLiteral("Customer/Supplier Address"),
                     QStringLiteral("Supplier Address"), QStringLiteral("Select Supplier Name:"),
                     QStringLiteral("Supplier"), QStringLiteral("Telephone No")},
                    parent) {
    guarded([&] { Form_Load(); });
}

frmEditPurchaser::frmEditPurchaser(QWidget* parent)
    : AddressEditor({"frmEditPurchaser", QStringLiteral("Edit Purchaser Entry"),
                     QStringLiteral("Purchaser Address"), QStringLiteral("Select Purchaser Name:"),
                     QStringLiteral("Dentist"), QStringLiteral("Business No")},
                    parent) {
    guarded([&] { Form_Load(); });
}

} // namespace zel
