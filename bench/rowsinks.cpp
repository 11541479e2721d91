// The ways the benchmark practice reaches its tables: rows inserted in
// batches, rows loaded from files the server reads, and a table's secondary
// indexes set aside while it is filled.
#include "data/schema.h"
#include "practice.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

namespace zel::bench {

using schema::q;

// ---- BatchInserter -------------------------------------------------------

BatchInserter::BatchInserter(Database& db, const QString& table, const QStringList& columns,
                             int rowsPerStatement)
    : db_(db), columns_(int(columns.size())), perStatement_(rowsPerStatement) {
    QStringList names;
    for (const QString& c : columns)
        names << q(c);
    head_ = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                .arg(q(table), names.join(QStringLiteral(", ")));
    tuple_ = u'(' + QStringList(columns.size(), QStringLiteral("?")).join(u',') + u')';
    fullStatement_ = statement(perStatement_);
    pending_.reserve(columns_ * perStatement_);
}

QString BatchInserter::statement(int rows) const {
    QString sql = head_;
    sql.reserve(head_.size() + rows * (tuple_.size() + 1));
    for (int i = 0; i < rows; ++i) {
        if (i)
            sql += u',';
        sql += tuple_;
    }
    return sql;
}

void BatchInserter::add(std::initializer_list<QVariant> values) {
    Q_ASSERT(int(values.size()) == columns_);
    pending_.append(QVariantList(values));
    if (pending_.size() >= columns_ * perStatement_)
        flush();
}

void BatchInserter::flush() {
    if (pending_.isEmpty())
        return;
    const int rows = int(pending_.size() / columns_);
    db_.execute(rows == perStatement_ ? fullStatement_ : statement(rows), pending_);
    sent_ += rows;
    pending_.clear();
}

// ---- FileLoader ----------------------------------------------------------

namespace {

// A value as LOAD DATA reads it: \N for NULL, tabs, newlines and
// backslashes escaped, dates as the server writes them.
void appendField(QByteArray& out, const QVariant& v) {
    if (v.isNull()) {
        out += "\\N";
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
        out += QByteArray::number(v.toInt());
        return;
    case QMetaType::LongLong:
        out += QByteArray::number(v.toLongLong());
        return;
    case QMetaType::Double:
        out += QByteArray::number(v.toDouble(), 'g', 15);
        return;
    case QMetaType::QDateTime:
        out += v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
        return;
    case QMetaType::QDate:
        out += v.toDate().toString(Qt::ISODate).toLatin1();
        return;
    default:
        break;
    }
    const QByteArray text = v.toString().toUtf8();
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

FileLoader::FileLoader(Database& db, const QString& folder, const QString& table,
                       const QStringList& columns, qint64 rowsPerLoad)
    : db_(db), perLoad_(rowsPerLoad) {
    path_ = folder + u'/' + QString(table).replace(u' ', u'_') + QStringLiteral(".tsv");
    if (path_.contains(u'\'') || path_.contains(u'\\'))
        throw std::runtime_error("the folder of the files to load has a quote in its name");
    QStringList names;
    for (const QString& c : columns)
        names << q(c);
    // The file is ours and its name has no quote: it is written into the
    // statement, as LOAD DATA takes no bound values.
    statement_ = QStringLiteral("LOAD DATA INFILE '%1' INTO TABLE %2 CHARACTER SET utf8mb4 "
                                "FIELDS TERMINATED BY '\\t' ESCAPED BY '\\\\' "
                                "LINES TERMINATED BY '\\n' (%3)")
                     .arg(path_, q(table), names.join(QStringLiteral(", ")));
    file_.setFileName(path_);
    buffer_.reserve(1 << 20);
}

FileLoader::~FileLoader() {
    file_.close();
    QFile::remove(path_);
}

void FileLoader::add(std::initializer_list<QVariant> values) {
    bool firstField = true;
    for (const QVariant& v : values) {
        if (!firstField)
            buffer_ += '\t';
        firstField = false;
        appendField(buffer_, v);
    }
    buffer_ += '\n';
    ++pending_;
    if (buffer_.size() >= (1 << 20)) {
        if (!file_.isOpen() && !file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("cannot write " + path_.toStdString());
        file_.write(buffer_);
        buffer_.clear();
    }
}

void FileLoader::flush() {
    if (pending_ >= perLoad_)
        load();
}

void FileLoader::finish() {
    if (pending_ > 0)
        load();
}

void FileLoader::load() {
    if (!file_.isOpen() && !file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path_.toStdString());
    file_.write(buffer_);
    buffer_.clear();
    file_.close();
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadOther);
    // LOAD DATA cannot be prepared, so it goes to the server as it is.
    QSqlQuery query(db_.handle());
    if (!query.exec(statement_))
        throw DbError(query.lastError().nativeErrorCode().toInt(), query.lastError().text(),
                      statement_);
    const qint64 loaded = query.numRowsAffected();
    if (loaded != pending_)
        throw std::runtime_error(QStringLiteral("the server loaded %1 of %2 rows into %3")
                                     .arg(loaded)
                                     .arg(pending_)
                                     .arg(path_)
                                     .toStdString());
    sent_ += pending_;
    pending_ = 0;
}

// ---- IndexesOff ----------------------------------------------------------

IndexesOff::IndexesOff(Database& db, const QString& table) : db_(db), table_(table) {
    const RowSet rs = db_.select(
        QStringLiteral(
            "SELECT INDEX_NAME, COLUMN_NAME, NON_UNIQUE FROM information_schema.STATISTICS "
            "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND INDEX_NAME <> 'PRIMARY' "
            "ORDER BY INDEX_NAME, SEQ_IN_INDEX"),
        {table});
    QStringList drops, adds;
    QString current;
    QStringList cols;
    bool unique = false;
    auto close = [&] {
        if (current.isEmpty())
            return;
        drops << QStringLiteral("DROP INDEX %1").arg(q(current));
        adds << QStringLiteral("ADD %1 %2 (%3)")
                    .arg(unique ? QStringLiteral("UNIQUE KEY") : QStringLiteral("KEY"), q(current),
                         cols.join(QStringLiteral(", ")));
    };
    for (const auto& row : rs.rows) {
        if (row[0].toString() != current) {
            close();
            current = row[0].toString();
            cols.clear();
            unique = row[2].toInt() == 0;
        }
        cols << q(row[1].toString());
    }
    close();
    if (drops.isEmpty())
        return;
    db_.execute(
        QStringLiteral("ALTER TABLE %1 %2").arg(q(table_), drops.join(QStringLiteral(", "))));
    addAgain_ = QStringLiteral("ALTER TABLE %1 %2").arg(q(table_), adds.join(QStringLiteral(", ")));
}

IndexesOff::~IndexesOff() noexcept(false) {
    if (!std::uncaught_exceptions())
        restore();
}

void IndexesOff::restore() {
    if (addAgain_.isEmpty())
        return;
    const QString sql = std::exchange(addAgain_, QString());
    db_.execute(sql);
}

} // namespace zel::bench
