// Spreadsheet files: cells as text a spreadsheet reads back, quoting by the
// comma-separated rules, and a file that is whole or not there at all.
#include "values/csvfile.h"
#include "values/money.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zel;

namespace {

const QByteArray bom("\xEF\xBB\xBF");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(CsvField, WritesAmountsAndDatesAsSpreadsheetsReadThem) {
    EXPECT_EQ(csv::field(QVariant::fromValue(Money::fromUnits(12345000))), "1234.50");
    EXPECT_EQ(csv::field(QVariant::fromValue(Money::fromUnits(12000000))), "1200.00");
    EXPECT_EQ(csv::field(QVariant::fromValue(Money::fromUnits(-12345))), "-1.2345");
    EXPECT_EQ(csv::field(QVariant::fromValue(Money::fromUnits(-50000))), "-5.00");
    // A decimal column's exact text stays as stored: no grouping, no symbol, no rounding.
    EXPECT_EQ(csv::field(QStringLiteral("1234567.8900")), "1234567.8900");
    EXPECT_EQ(csv::field(1234567.5), "1234567.5");
    EXPECT_EQ(csv::field(1e21), "1000000000000000000000");
    EXPECT_EQ(csv::field(0.1), "0.1");
    EXPECT_EQ(csv::field(qlonglong(-42)), "-42");
    EXPECT_EQ(csv::field(QDate(2001, 4, 2)), "2001-04-02");
    // A date and time shows the day it falls on, as the lists do.
    EXPECT_EQ(csv::field(QDateTime(QDate(2001, 12, 31), QTime(23, 59, 59))), "2001-12-31");
    EXPECT_EQ(csv::field(true), "TRUE");
    EXPECT_EQ(csv::field(QVariant()), "");
    EXPECT_EQ(csv::field(QVariant(QMetaType(QMetaType::QString))), "");
    EXPECT_EQ(csv::field(QVariant(QMetaType(QMetaType::QDate))), "");
    EXPECT_EQ(csv::field(QStringLiteral("Zoë")), "Zoë");
}

TEST(CsvEncode, QuotesOnlyWhatNeedsIt) {
    const QByteArray bytes =
        csv::encode({"Ref", "Supplier", "Total"}, {{"A1", "Smith, Jones & Co", "10.00"},
                                                   {"say \"when\"", "two\nlines", "-3.50"},
                                                   {" padded", "trailing\t", ""},
                                                   {"cr\ronly", "Zoë's Dental", "1234.50"}});
    ASSERT_TRUE(bytes.startsWith(bom));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)), "Ref,Supplier,Total\r\n"
                                               "A1,\"Smith, Jones & Co\",10.00\r\n"
                                               "\"say \"\"when\"\"\",\"two\nlines\",-3.50\r\n"
                                               "\" padded\",\"trailing\t\",\r\n"
                                               "\"cr\ronly\",Zoë's Dental,1234.50\r\n");
    // Non-ASCII text is UTF-8, not the workstation's code page.
    EXPECT_TRUE(bytes.contains("Zo\xC3\xAB's"));
}

TEST(CsvEncode, AHeaderAloneAndEmptyCellsKeepTheirPlaces) {
    EXPECT_EQ(csv::encode({"A", "B"}, {}), bom + "A,B\r\n");
    EXPECT_EQ(csv::encode({"A", "B", "C"}, {{"", "", ""}}), bom + "A,B,C\r\n,,\r\n");
    // A single empty field on its own line would read as a blank line: quoted.
    EXPECT_EQ(csv::encode({"A"}, {{""}}), bom + "A\r\n\"\"\r\n");
}

TEST(CsvSave, WritesTheWholeFileOrNoneAtAll) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("orders.csv");
    csv::save(path, {"Ref"}, {{"A1"}});
    EXPECT_EQ(fileBytes(path), bom + "Ref\r\nA1\r\n");
    // Saving again replaces it.
    csv::save(path, {"Ref"}, {{"B2"}, {"C3"}});
    EXPECT_EQ(fileBytes(path), bom + "Ref\r\nB2\r\nC3\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"orders.csv"});

    const QString missing = dir.filePath("no such folder/orders.csv");
    try {
        csv::save(missing, {"Ref"}, {{"A1"}});
        FAIL() << "saved into a missing folder";
    } catch (const std::runtime_error& e) {
        const QString message = QString::fromStdString(e.what());
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(missing))) << e.what();
        // The system's own reason follows the name ("No such file or
        // directory" here, "Path not found." on Windows).
        const QString lead = "Cannot save " + QDir::toNativeSeparators(missing) + ": ";
        EXPECT_TRUE(message.startsWith(lead)) << e.what();
        EXPECT_GT(message.size(), lead.size() + 3) << e.what();
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(QDir(dir.filePath("no such folder")).exists());
}
