#include "catalogue/frmfindpart.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/orderhub.h"
#include "catalogue/controls.h"
#include "data/catalogue.h"
#include "data/schema.h"
#include "values/convert.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zel {

using catalogue::named;

namespace {
// A stored or typed price as an amount, so "33.0" and "33.00" are the same.
std::optional<Money> priceOf(const QVariant& v) {
    if (v.isNull())
        return std::nullopt;
    return Money::fromDecimalText(v.toString());
}
} // namespace

frmFindPart::frmFindPart(OrderHub& hub, QWidget* parent) : QWidget(parent, Qt::Window), hub_(hub) {
    setObjectName(QStringLiteral("frmFindPart"));
    setWindowTitle(QStringLiteral("Find Part"));
    buildUi();
    Form_Load();
}

// The description that goes on the order line.
void frmFindPart::buildDescriptionFrame() {
    Frame2 = named(new QGroupBox(this), "Frame2");
    Command1 = named(new QPushButton(QStringLiteral("Description"), Frame2), "Command1",
                     QStringLiteral("Description"));
    Command1->setFocusPolicy(Qt::NoFocus);
    DescOptionGrp1 = named(new QRadioButton(QStringLiteral("Sppliers Desc:"), Frame2),
                           "DescOptionGrp1", QStringLiteral("Sppliers Desc"));
    DescOptionGrp2 = named(new QRadioButton(QStringLiteral("Practice desc:"), Frame2),
                           "DescOptionGrp2", QStringLiteral("Practice desc"));
    DescOptionGrp = new QButtonGroup(this);
    DescOptionGrp->setObjectName(QStringLiteral("DescOptionGrp"));
    DescOptionGrp->addButton(DescOptionGrp1, 1);
    DescOptionGrp->addButton(DescOptionGrp2, 2);
    PartDesc = named(new QPlainTextEdit(Frame2), "PartDesc",
                     QStringLiteral("Description on the order line"));
    PartDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PartDesc->setFixedHeight(64);
    {
        auto* g = new QGridLayout(Frame2);
        g->addWidget(Command1, 0, 0);
        g->addWidget(DescOptionGrp1, 1, 0);
        g->addWidget(DescOptionGrp2, 2, 0);
        g->addWidget(PartDesc, 0, 1, 3, 1);
        g->setColumnStretch(1, 1);
    }
}

// The catalogue entry.
void frmFindPart::buildEntryFrame() {
    Frame1 = named(new QGroupBox(this), "Frame1");
    Label2 = named(new QLabel(QStringLiteral("Product Code"), Frame1), "Label2");
    Label3 = named(new QLabel(QStringLiteral("Suppliers Description"), Frame1), "Label3");
    Label4 = named(new QLabel(QStringLiteral("Practice Description"), Frame1), "Label4");
    Label5 = named(new QLabel(QStringLiteral("Selection"), Frame1), "Label5");
    Label6 = named(new QLabel(QStringLiteral("Unit Price"), Frame1), "Label6");
    ProductName = named(new QLineEdit(Frame1), "ProductName", Label2->text());
    EnglishName = named(new QLineEdit(Frame1), "EnglishName", Label3->text());
    QuoteDescName = named(new QLineEdit(Frame1), "QuoteDescName", Label4->text());
    lblProductId = named(new QLabel(Frame1), "lblProductId", Label5->text());
    lblProductId->setFrameShape(QFrame::Panel);
    lblProductId->setFrameShadow(QFrame::Sunken);
    lblProductId->setMinimumWidth(80);
    UnitPrice = named(new QLineEdit(Frame1), "UnitPrice", Label6->text());
    UnitPrice->setAlignment(Qt::AlignRight);
    UnitPrice->setMaximumWidth(110);
    Label2->setBuddy(ProductName);
    Label3->setBuddy(EnglishName);
    Label4->setBuddy(QuoteDescName);
    Label6->setBuddy(UnitPrice);
    {
        auto* g = new QGridLayout(Frame1);
        g->addWidget(Label2, 0, 0);
        g->addWidget(ProductName, 0, 1, 1, 2);
        g->addWidget(Label3, 1, 0);
        g->addWidget(EnglishName, 1, 1, 1, 2);
        g->addWidget(Label4, 2, 0);
        g->addWidget(QuoteDescName, 2, 1, 1, 2);
        g->addWidget(Label5, 3, 0);
        g->addWidget(lblProductId, 3, 1);
        g->addWidget(Label6, 4, 0);
        g->addWidget(UnitPrice, 4, 1);
        g->setColumnStretch(2, 1);
    }
}

void frmFindPart::buildUi() {
    QFont bold = font();
    bold.setBold(true);

    // The two selectors.
    Label7 = named(new QLabel(QStringLiteral("P"), this), "Label7");
    Label8 = named(new QLabel(QStringLiteral("D"), this), "Label8");
    Label7->setFont(bold);
    Label8->setFont(bold);
    ThePart = named(new DataCombo(this), "ThePart", QStringLiteral("Product code"));
    theDesc = named(new DataCombo(this), "theDesc", QStringLiteral("Supplier description"));
    Label7->setBuddy(ThePart);
    Label8->setBuddy(theDesc);
    for (DataCombo* c : {ThePart, theDesc}) {
        // A catalogue runs to thousands of entries: the box is sized by a
        // length, not by measuring every entry.
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(24);
        c->setToolTip(QStringLiteral("Type any part of it to find it"));
    }

    buildDescriptionFrame();
    buildEntryFrame();

    Label9 = named(new QLabel(QStringLiteral("&Last prices paid:"), this), "Label9");
    txtLastPrices =
        named(new QPlainTextEdit(this), "txtLastPrices", QStringLiteral("Last prices paid"));
    txtLastPrices->setReadOnly(true);
    txtLastPrices->setFixedHeight(txtLastPrices->fontMetrics().lineSpacing() * 3 + 12);
    Label9->setBuddy(txtLastPrices);
    lblPriceMark = named(new QLabel(this), "lblPriceMark", QStringLiteral("Price check"));
    lblPriceMark->setStyleSheet(QStringLiteral("color: #8c1e00; font-weight: bold;"));
    lblPriceMark->setWordWrap(true);
    lblPriceMark->hide();

    Command2 = named(new QPushButton(QStringLiteral("OK"), this), "Command2", QStringLiteral("OK"));
    Command2->setDefault(true);

    txtGroupId = named(new QLineEdit(this), "txtGroupId");
    Button18 = named(new QRadioButton(QStringLiteral("Button18"), this), "Button18");
    Text40 = named(new QLineEdit(QStringLiteral("Full PO Satisfied"), this), "Text40");
    for (QWidget* w : std::initializer_list<QWidget*>{txtGroupId, Button18, Text40})
        w->hide();

    auto* selectors = new QGridLayout;
    selectors->addWidget(Label7, 0, 0);
    selectors->addWidget(ThePart, 0, 1);
    selectors->addWidget(Label8, 1, 0);
    selectors->addWidget(theDesc, 1, 1);
    selectors->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    auto* v = new QVBoxLayout(this);
    v->addLayout(selectors);
    v->addWidget(Frame2);
    v->addWidget(Frame1);
    v->addWidget(Label9);
    v->addWidget(txtLastPrices);
    v->addWidget(lblPriceMark);
    v->addStretch();
    v->addLayout(buttons);
    resize(620, 500);

    connect(ThePart, &DataCombo::Click, this,
            [this](int area) { guarded([&] { ThePart_Click(area); }); });
    connect(theDesc, &DataCombo::Click, this,
            [this](int area) { guarded([&] { theDesc_Click(area); }); });
    connect(DescOptionGrp, &QButtonGroup::idClicked, this,
            [this](int index) { guarded([&] { DescOptionGrp_Click(index); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { guarded([&] { Command2_Click(); }); });
    connect(UnitPrice, &QLineEdit::textChanged, this, [this] { showPriceMark(); });
}

void frmFindPart::Form_Load() {
    InitForm();
    guarded([&] { cmbLoadData(); });
}

void frmFindPart::InitForm() {
    ThePart->setText(QString());
    theDesc->setText(QString());
    Text40->clear();
    PartDesc->clear();
    clearEntry();
    DescOptionGrp1->setChecked(true);
}

void frmFindPart::clearEntry() {
    Button18->setChecked(false);
    for (QLineEdit* e : {ProductName, EnglishName, QuoteDescName, UnitPrice, txtGroupId})
        e->clear();
    lblProductId->clear();
    shown_ = {};
    paid_.clear();
    txtLastPrices->clear();
    showPriceMark();
}

void frmFindPart::cmbLoadData() {
    cmbLoadData1();
    cmbLoadData2();
}

namespace {
// How many products a selector holds at a time.
constexpr int kProductPage = 100;

// A selector of products by one column: the products whose `column`
// contains the typed text, read from the server a page at a time.
void listProducts(DataCombo& box, const QString& column) {
    const products::Selector sel = products::selectorBy(column, kProductPage);
    box.setLookup(sel.matchSql, sel.keySql, column, column, DataCombo::Match::Contains);
}
} // namespace

void frmFindPart::cmbLoadData1() {
    listProducts(*ThePart, QStringLiteral("Product Name"));
}

void frmFindPart::cmbLoadData2() {
    listProducts(*theDesc, QStringLiteral("English Name"));
}

void frmFindPart::lookUp(const QString& column, const QString& value, bool withGroup) {
    const RowSet rs = products::firstBy(column, value);
    if (rs.isEmpty())
        return;
    // Nothing of the product shown before stays: a NULL column is an empty box.
    clearEntry();
    auto put = [&](QLineEdit* box, const char* name, Kind kind) {
        box->setText(displayText(kind, rs.at(0, QString::fromLatin1(name))));
    };
    put(ProductName, "Product Name", Kind::Text);
    put(EnglishName, "English Name", Kind::Text);
    put(QuoteDescName, "QuoteDescName", Kind::Text);
    if (const QVariant& id = rs.at(0, QStringLiteral("Product Id")); !id.isNull())
        lblProductId->setText(displayText(Kind::Number, id));
    put(UnitPrice, "Unit Price", Kind::Money);
    if (const QVariant& flag = rs.at(0, QStringLiteral("QuoteDesc")); !flag.isNull())
        Button18->setChecked(Val(flag.toString()) != 0);
    if (withGroup)
        put(txtGroupId, "group id", Kind::Number);
    shown_.englishName = EnglishName->text();
    shown_.quoteDescName = QuoteDescName->text();
    shown_.unitPrice = priceOf(rs.at(0, QStringLiteral("Unit Price")));
    PartDesc->setPlainText(DescOptionGrp->checkedId() == 1 ? EnglishName->text()
                                                           : QuoteDescName->text());
    showLastPrices();
}

void frmFindPart::showLastPrices() {
    const qlonglong product = qlonglong(Val(lblProductId->text()));
    paid_ = prices::lastPaid(product, hub_.controlText(QStringLiteral("AccountNo")), orderNo());
    txtLastPrices->setPlainText(product == 0 ? QString() : prices::describe(paid_).join(u'\n'));
    showPriceMark();
}

void frmFindPart::showPriceMark() {
    const std::optional<Money> price = parseCurrency(UnitPrice->text());
    const QString mark = price ? prices::markText(*price, paid_) : QString();
    lblPriceMark->setText(mark);
    lblPriceMark->setVisible(!mark.isEmpty());
    // A screen reader hears the mark with the price box itself.
    UnitPrice->setAccessibleDescription(mark);
    UnitPrice->setToolTip(mark);
}

void frmFindPart::ThePart_Click(int Area) {
    if (Area != DataCombo::List)
        return;
    lookUp(QStringLiteral("Product Name"), ThePart->BoundText(), false);
}

void frmFindPart::theDesc_Click(int Area) {
    if (Area != DataCombo::List)
        return;
    lookUp(QStringLiteral("English Name"), theDesc->BoundText(), true);
}

void frmFindPart::DescOptionGrp_Click(int Index) {
    PartDesc->setPlainText(Index == 1 ? EnglishName->text() : QuoteDescName->text());
}

void frmFindPart::showPart(const QString& code) {
    ThePart->setBoundText(code);
    if (ThePart->BoundText().isEmpty() && !code.isEmpty()) {
        // The order line may spell the code in other letter case; the
        // catalogue matches codes without regard to it.
        const RowSetListModel& list = ThePart->listModel();
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.key(row).compare(code, Qt::CaseInsensitive) == 0) {
                ThePart->setBoundText(list.key(row));
                break;
            }
    }
    ThePart_Click(DataCombo::List);
}

qint64 frmFindPart::orderNo() const {
    return qint64(Val(hub_.custRef()->BoundText()));
}

void frmFindPart::SaveChanges() {
    const qlonglong id = qlonglong(Val(lblProductId->text()));
    if (id == 0)
        return;
    // Only what the user changed is written, so a value the window merely
    // showed never overwrites the catalogue; an empty box leaves its column.
    QList<products::Change> changes;
    auto changedText = [&](QLineEdit* box, const QString& shown, const char* column) {
        if (box->text().isEmpty() || box->text() == shown)
            return;
        const QString name = QString::fromLatin1(column);
        changes.append(
            {name, schema::columnValue(QStringLiteral("Products"), name, box->text(), name)});
    };
    changedText(EnglishName, shown_.englishName, "English Name");
    changedText(QuoteDescName, shown_.quoteDescName, "QuoteDescName");
    if (const QVariant price =
            schema::columnValue(QStringLiteral("Products"), QStringLiteral("Unit Price"),
                                UnitPrice->text(), Label6->text());
        !price.isNull() && priceOf(price) != shown_.unitPrice) {
        changes.append({QStringLiteral("Unit Price"), price});
    }
    products::update(id, changes);
}

bool frmFindPart::UpdateEntry() {
    if (lblProductId->text().isEmpty())
        return false;
    const qint64 order = orderNo();
    const qlonglong productId = qlonglong(Val(lblProductId->text()));
    // Everything is converted before anything is written.
    const QVariant price =
        schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Unit Price"),
                            UnitPrice->text(), Label6->text());
    QVariant status;
    if (auto* box = hub_.hubWidget()->findChild<DataCombo*>(QStringLiteral("Status"));
        box && !box->Text().isEmpty())
        status = qlonglong(Val(box->BoundText()));

    // Every line from the catalogue starts as one of the product at no
    // discount; a product already on the order adds nothing.
    return products::addLine(
        {order, productId,
         schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Part Id"),
                             ProductName->text(), Label2->text()),
         price,
         schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Description"),
                             PartDesc->toPlainText(), QStringLiteral("Description")),
         status});
}

void frmFindPart::Command2_Click() {
    // No part chosen: there is nothing to save or add, and the order window
    // keeps what it shows (a new order's header is not stored yet, so a
    // reload would empty it).
    if (lblProductId->text().isEmpty()) {
        close();
        return;
    }
    if (orderNo() == 0) {
        messages().info(QStringLiteral(
            "No order is selected. Choose or save the order before adding a part to it."));
        return;
    }
    // The corrections and the new line are written together or not at all.
    gConn().transaction([&] {
        SaveChanges();
        UpdateEntry();
    });
    // The order window shows the lines as stored, the new one with them, and
    // the totals they make. Its header is not read again: nothing here wrote
    // it, and a reload would throw away what the user typed there and has
    // not saved yet.
    hub_.Disp_DataList();
    close();
}

} // namespace zel
