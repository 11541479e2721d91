#pragma once
// A large, believable practice for the benchmarks: suppliers, dentists and
// practices, statuses, product groups, a product catalogue, years of
// purchase orders with their lines, and the ledger postings of the orders
// that were approved. Rows go to the server in multi-row inserts with bound
// values, a few hundred rows a statement, a transaction per block of orders;
// or, on the fast path, as tab-separated files the server loads in bulk.
#include "connection/database.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <random>

namespace zel::bench {

// Where generated rows of one table go.
class RowSink {
public:
    virtual ~RowSink() = default;
    // One row's values, in the order of the columns.
    virtual void add(std::initializer_list<QVariant> values) = 0;
    // The end of a block of rows (of a transaction on the statement path).
    virtual void flush() = 0;
    // Everything added is in the table.
    virtual void finish() { flush(); }
    virtual qint64 rowsSent() const = 0;
};

// Collects rows for one table and sends them as multi-row INSERTs of
// `rowsPerStatement` rows each, every value bound.
class BatchInserter : public RowSink {
public:
    BatchInserter(Database& db, const QString& table, const QStringList& columns,
                  int rowsPerStatement = 500);
    BatchInserter(const BatchInserter&) = delete;
    BatchInserter& operator=(const BatchInserter&) = delete;

    // One row's values, in the order of the columns.
    void add(std::initializer_list<QVariant> values) override;
    // Sends what is pending; call it before the transaction ends.
    void flush() override;
    qint64 rowsSent() const override { return sent_; }

private:
    QString statement(int rows) const;

    Database& db_;
    QString head_, tuple_;
    int columns_, perStatement_;
    QString fullStatement_;
    QVariantList pending_;
    qint64 sent_ = 0;
};

// Writes rows for one table to a tab-separated file in `folder` and has the
// server read it (LOAD DATA INFILE) every `rowsPerLoad` rows and at the end.
// The server must run on this machine as a user who can read the folder.
class FileLoader : public RowSink {
public:
    FileLoader(Database& db, const QString& folder, const QString& table,
               const QStringList& columns, qint64 rowsPerLoad = 1000000);
    ~FileLoader() override;
    void add(std::initializer_list<QVariant> values) override;
    void flush() override; // loads once a file is full
    void finish() override;
    qint64 rowsSent() const override { return sent_; }

private:
    void load();

    Database& db_;
    QString path_, statement_;
    QFile file_;
    QByteArray buffer_;
    qint64 pending_ = 0, perLoad_, sent_ = 0;
};

// The secondary indexes of a table are dropped while a bulk load runs and
// built again, in one pass each, when it is done.
class IndexesOff {
public:
    IndexesOff(Database& db, const QString& table);
    ~IndexesOff() noexcept(false);
    void restore();

private:
    Database& db_;
    QString table_, addAgain_;
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
    // Orders go to the server as files it loads in bulk, with the tables'
    // secondary indexes built once at the end.
    void setFast(bool fast) { fast_ = fast; }

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
    std::unique_ptr<RowSink> sink(const QString& table, const QStringList& columns);

    Database& db_;
    bool fast_ = false;
    std::unique_ptr<QTemporaryDir> folder_;
    std::mt19937 rng_;
    GenerationCounts counts_;
    std::vector<std::vector<int>> productsBySupplier_; // product ids
    std::vector<QString> productCode_, productDesc_;
    std::vector<qint64> productPrice_; // ten-thousandths
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
};

// Counts the statements the run's connection sends while it lives (every
// statement, START TRANSACTION and COMMIT included).
class StatementCounter {
public:
    explicit StatementCounter(Database& db) : db_(db) {
        db_.setStatementHook([this](const QString&) { ++count_; });
    }
    ~StatementCounter() { db_.setStatementHook({}); }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
    qint64 count() const { return count_; }

private:
    Database& db_;
    qint64 count_ = 0;
};

// The key of an order that has exactly `lines` lines, creating it (or
// putting its lines right) when needed. Such orders carry the customer
// reference BENCH/LINES/<lines>, so runs find them again.
int ensureOrderWithLines(Database& db, int lines);

} // namespace zel::bench
