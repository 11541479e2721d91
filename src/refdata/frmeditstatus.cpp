#include "refdata/frmeditstatus.h"
#include "app/guard.h"
#include "app/messages.h"
#include "data/statuses.h"
#include "refdata/formparts.h"
#include "values/convert.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zel {

using namespace refdata;

namespace {

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
    cmbStatus->loadList(statuses::letterListStatement(), {}, QStringLiteral("Status Description"),
                        QStringLiteral("Status Letter"));
}

void frmEditStatus::cmbStatus_Click(int area) {
    if (area != DataCombo::List)
        return;
    // The key is the letter as stored; the list gives it as displayed text.
    const QString letter = cmbStatus->selectedValue(QStringLiteral("Status Letter")).toString();
    const std::optional<QString> description = statuses::descriptionOf(letter);
    if (!description)
        return; // deleted meanwhile: the boxes stay as they were
    StatusLetter->setText(letter);
    StatusDescription->setText(*description);
}

void frmEditStatus::Command1_Click() {
    InitForm();
}

void frmEditStatus::Command2_Click() {
    const QString letter = StatusLetter->text();
    if (letter == statuses::kApprovedLetter) {
        messages().info(QStringLiteral("You cannot delete this Status"));
        return;
    }
    if (letter.isEmpty()) {
        messages().info(QStringLiteral(
            "No status is shown: choose a status from the list first. Nothing was deleted."));
        return;
    }
    // A status that orders carry stays: deleting it would leave them without one.
    if (const qint64 used = statuses::ordersUsing(letter)) {
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
    const statuses::Removal removal = statuses::remove(letter);
    if (removal.inUse > 0) {
        messages().info(inUseMessage(letter, removal.inUse));
        return;
    }
    if (removal.removed == 0) {
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
    statuses::Saved saved;
    try {
        saved = statuses::save(letter, StatusDescription->text());
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return false;
    } catch (const DbError& e) {
        messages().error(e.userMessage());
        return false;
    }
    if (!saved.saved) {
        messages().info(
            QStringLiteral(
                "Status Letter \"%1\" differs only by letter case or blanks from the status "
                "\"%2\" already stored. Type \"%2\" to change that status, or choose "
                "another letter. Nothing was saved.")
                .arg(letter, saved.lookAlike));
        return false;
    }
    messages().info(QStringLiteral("Information saved successfully"));
    return true;
}

} // namespace zel
