#pragma once
// A large, believable practice for the benchmarks: suppliers, dentists and
// practices, statuses, product groups, a product catalogue, years of
// purchase orders with their lines, and the ledger postings of the orders
// that were approved. Rows go to the server in multi-row inserts with bound
// values, a few hundred rows a statement, a transaction per block of orders.
#include "app/database.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <random>

namespace zel::bench {

// Collects rows for one table and sends them as multi-row INSERTs of
// `rowsPerStatement` rows each, every value bound.
class BatchInserter {
public:
    BatchInserter(Database& db, const QString& table, const QStringList& columns,
                  int rowsPerStatement = 500);
    BatchInserter(const BatchInserter&) = delete;
    BatchInserter& operator=(const BatchInserter&) = delete;

    // One row's values, in the order of the columns.
    void add(std::initializer_list<QVariant> values);
    // Sends what is pending; call it before the transaction ends.
    void flush();
    qint64 rowsSent() const { return sent_; }

private:
    QString statement(int rows) const;

    Database& db_;
    QString head_, tuple_;
    int columns_, perStatement_;
    QString fullStatement_;
    QVariantList pending_;
    qint64 sent_ = 0;
};

struct PracticeSize {
    int orders = 100000;
    int linesPerOrder = 10; // the average; each order has between half and one and a half times it
    int products = 10000;
};

struct GenerationCounts {
    qint64 orders = 0, lines = 0, products = 0, postings = 0;
};

class PracticeGenerator {
public:
    explicit PracticeGenerator(Database& db, unsigned seed = 1);

    // Empties every table the program uses.
    void emptyTables();
    // Practices, suppliers, dentists, statuses, product groups, settings.
    void referenceData();
    void products(int count);
    // Orders (with their lines and postings), oldest first, spread over
    // 2019 to 2025. `progress` is called after each block with what is done.
    void orders(int count, int linesPerOrder,
                const std::function<void(const GenerationCounts&)>& progress = {});

    const GenerationCounts& counts() const { return counts_; }

private:
    Database& db_;
    std::mt19937 rng_;
    GenerationCounts counts_;
    std::vector<std::vector<int>> productsBySupplier_; // product ids
    std::vector<QString> productCode_, productDesc_;
    std::vector<qint64> productPrice_; // ten-thousandths
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
};

// The key of an order that has exactly `lines` lines, creating it (or
// putting its lines right) when needed. Such orders carry the customer
// reference BENCH/LINES/<lines>, so runs find them again.
int ensureOrderWithLines(Database& db, int lines);

} // namespace zel::bench
