#include "purchasing/lineprices.h"
#include "bound/gridmodel.h"
#include "connection/database.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace zel {

LinePrices::LinePrices(std::function<qint64()> order, std::function<QString()> account)
    : order_(std::move(order)), account_(std::move(account)) {}

void LinePrices::attach(GridModel& model, int productColumn, int priceColumn) {
    model_ = &model;
    productColumn_ = productColumn;
    priceColumn_ = priceColumn;
    model.setCellNotes([this](int row, int column, int role) { return note(row, column, role); });
}

QList<prices::Paid> LinePrices::history(qlonglong product) {
    const qint64 order = order_();
    const QString account = account_().trimmed();
    if (order != keptOrder_ || account != keptAccount_) {
        kept_.clear();
        keptOrder_ = order;
        keptAccount_ = account;
    }
    if (auto it = kept_.constFind(product); it != kept_.cend())
        return it.value();
    QList<prices::Paid> paid;
    try {
        ++lookUps_;
        paid = prices::lastPaid(product, account, order);
    } catch (const DbError&) {
        // A note is no reason to interrupt the user: nothing is shown this
        // time, and the next look asks again.
        return {};
    }
    kept_.insert(product, paid);
    return paid;
}

qlonglong LinePrices::productOf(int row) const {
    return model_ ? model_->value(row, productColumn_).toLongLong() : 0;
}

std::optional<Money> LinePrices::priceOf(int row) const {
    const QVariant v = model_ ? model_->value(row, priceColumn_) : QVariant();
    if (v.isNull())
        return std::nullopt;
    return Money::fromDecimalText(v.toString());
}

bool LinePrices::marked(int row) {
    const std::optional<Money> price = priceOf(row);
    const qlonglong product = productOf(row);
    return price && product != 0 && prices::aboveLastPaid(*price, history(product));
}

QVariant LinePrices::note(int row, int column, int role) {
    const qlonglong product = productOf(row);
    if (product == 0)
        return {};
    if (role == Qt::ToolTipRole) {
        const QString own = column == priceColumn_ ? QString() : model_->text(row, column);
        const QString text = prices::note(priceOf(row), history(product));
        return own.trimmed().isEmpty() || column == priceColumn_
                   ? text
                   : own + QStringLiteral("\n\n") + text;
    }
    if (column != priceColumn_)
        return {};
    switch (role) {
    case Qt::AccessibleDescriptionRole:
        return prices::note(priceOf(row), history(product));
    case Qt::BackgroundRole:
        return marked(row) ? QVariant(QBrush(QColor(255, 205, 160))) : QVariant();
    case Qt::ForegroundRole:
        return marked(row) ? QVariant(QBrush(QColor(140, 30, 0))) : QVariant();
    case Qt::FontRole:
        if (marked(row)) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
}

} // namespace zel
