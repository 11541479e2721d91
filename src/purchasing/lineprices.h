#pragma once
// The prices last paid beside an order's lines: a price more than 10 % above
// the last one paid to the order's supplier is marked in its cell, and every
// line's tooltip (and a screen reader's description of its price) lists the
// last prices paid. Each product is looked up once, when one of its cells is
// first shown or pointed at, and kept while the same order and supplier are
// on screen.
#include "data/priceshistory.h"

#include <QHash>
#include <QVariant>
#include <functional>

namespace zel {

class GridModel;

class LinePrices {
public:
    // `order` gives the key of the order on screen, `account` its supplier's
    // account number; both are read at each use.
    LinePrices(std::function<qint64()> order, std::function<QString()> account);

    // Adds the notes to the grid's cells; the product and price are read
    // from the given columns.
    void attach(GridModel& model, int productColumn, int priceColumn);

    // The last prices paid for the product, looked up on first use. A failed
    // look-up gives none and is tried again next time.
    QList<prices::Paid> history(qlonglong product);
    // The price of the model's row as an amount; none when empty.
    std::optional<Money> priceOf(int row) const;
    // True when the row's price is more than 10 % above the last one paid.
    bool marked(int row);
    // What a cell of the row adds (tooltip, background, font, description).
    QVariant note(int row, int column, int role);

    // How many look-ups went to the server (for tests and benchmarks).
    int lookUps() const { return lookUps_; }

private:
    qlonglong productOf(int row) const;

    std::function<qint64()> order_;
    std::function<QString()> account_;
    GridModel* model_ = nullptr;
    int productColumn_ = -1, priceColumn_ = -1;
    // The order and supplier the kept prices belong to.
    qint64 keptOrder_ = -1;
    QString keptAccount_;
    QHash<qlonglong, QList<prices::Paid>> kept_;
    int lookUps_ = 0;
};

} // namespace zel
