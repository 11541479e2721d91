// Recordset files in ADO's binary format: the files ADO itself wrote, read
// against their XML twins, and files built from Microsoft's published format for what
// the samples lack (settings, long texts, empty texts beside NULLs, base
// tables, hidden columns, every type at its limits, files that lie).
#include "connection/applog.h"
#include "connection/rowsetfile.h"
#include "connection/settings.h"
#include "support/adtgwriter.h"
#include "support/rowseterrors.h"
#include "values/adtgfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <limits>

using namespace zel;
using test::errorOf;
using zel::test::AdtgColumn;
using zel::test::AdtgWriter;
using zel::test::Change;

namespace {

// The ANSI code page of the computer that saved the samples (Korean).
constexpr int samplesCodePage = 949;

std::string show(const QVariant& v) {
    if (v.isNull())
        return "NULL";
    const QString text =
        v.typeId() == QMetaType::QByteArray ? QString(v.toByteArray().toHex()) : v.toString();
    return std::string(v.typeName()) + " " + text.left(80).toStdString();
}

// Equal in type and value; NULL only to NULL.
::testing::AssertionResult sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() == b.isNull() && (a.isNull() || (a.typeId() == b.typeId() && a == b)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << show(a) << " is not " << show(b);
}

void expectSameRows(const RowSetFile& got, const QList<QVariantList>& expected) {
    ASSERT_EQ(got.rows.size(), expected.size());
    for (int r = 0; r < expected.size(); ++r) {
        ASSERT_EQ(got.rows.rows[r].size(), expected[r].size()) << "row " << r + 1;
        for (int c = 0; c < expected[r].size(); ++c)
            EXPECT_TRUE(sameValue(got.rows.rows[r][c], expected[r][c]))
                << "row " << r + 1 << ", column " << got.columns.value(c).name.toStdString();
    }
}

QString readError(const QByteArray& bytes) {
    return errorOf([&] { readRowSetBytes(bytes, QStringLiteral("C:/ZelData/zelsysconfig.adtg")); });
}

// The samples by name, each saved in both formats.
QStringList samplePairs() {
    const QDir dir(test::adtgSamplesDir());
    QStringList names;
    for (const QString& file : dir.entryList({QStringLiteral("*.adtg")}, QDir::Files, QDir::Name)) {
        const QString name = file.chopped(5);
        EXPECT_TRUE(dir.exists(name + QStringLiteral(".xml"))) << name.toStdString();
        names << name;
    }
    return names;
}

// What an XML sample states, read without the reader under test: the shown
// rows as attribute texts by column (a changed row is its original with
// the changes over it, rs:forcenull columns are NULL, deleted rows are left
// out; an absent attribute is NULL).
QList<QHash<QString, std::optional<QString>>> statedRows(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QList<QHash<QString, std::optional<QString>>> rows;
    QHash<QString, std::optional<QString>> original;
    QString where;
    auto values = [&](QHash<QString, std::optional<QString>> row) {
        for (const auto& a : xml.attributes()) {
            if (a.qualifiedName() == QLatin1String("rs:forcenull"))
                for (const auto& n : a.value().split(u' ', Qt::SkipEmptyParts))
                    row[n.toString()] = std::nullopt;
            else if (a.prefix().isEmpty())
                row[a.name().toString()] = a.value().toString();
        }
        return row;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isStartElement() && name.startsWith(QLatin1String("rs:")) &&
            name != QLatin1String("rs:data"))
            where = name;
        else if (xml.isEndElement() && name == QLatin1String("rs:original"))
            where = QStringLiteral("rs:update");
        else if (xml.isEndElement() && name.startsWith(QLatin1String("rs:")))
            where.clear();
        else if (xml.isStartElement() && name == QLatin1String("z:row")) {
            if (where == QLatin1String("rs:original"))
                original = values({});
            else if (where == QLatin1String("rs:update"))
                rows << values(original);
            else if (where != QLatin1String("rs:delete"))
                rows << values({});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return rows;
}

// "-1.2345000" and "-1.2345", ".0000" and "0" are the same decimal.
QString plain(QString d) {
    if (d.contains(u'.')) {
        while (d.endsWith(u'0'))
            d.chop(1);
        if (d.endsWith(u'.'))
            d.chop(1);
    }
    if (d.startsWith(u'.'))
        d.prepend(u'0');
    if (d.startsWith(QLatin1String("-.")))
        d.insert(1, u'0');
    return d == QLatin1String("-0") || d.isEmpty() ? QStringLiteral("0") : d;
}

// Whether the value read is the one the XML text states.
::testing::AssertionResult states(const RowSetFileColumn& col, const QVariant& v,
                                  const QString& text) {
    bool same = false;
    switch (v.typeId()) {
    case QMetaType::Double:
        same = col.type == QLatin1String("r4") ? float(text.toDouble()) == float(v.toDouble())
                                               : text.toDouble() == v.toDouble();
        break;
    case QMetaType::Bool:
        same = text == (v.toBool() ? QLatin1String("True") : QLatin1String("False"));
        break;
    case QMetaType::QByteArray: // long values are wrapped over lines
        same = QString(text)
                   .remove(QRegularExpression(QStringLiteral("\\s")))
                   .compare(QString::fromLatin1(v.toByteArray().toHex()), Qt::CaseInsensitive) == 0;
        break;
    case QMetaType::QTime:
        same = text == v.toTime().toString(QStringLiteral("hh:mm:ss"));
        break;
    case QMetaType::QDateTime:
        same = text == v.toDateTime().toString(col.type == QLatin1String("date")
                                                   ? QStringLiteral("yyyy-MM-dd")
                                                   : QStringLiteral("yyyy-MM-ddThh:mm:ss"));
        break;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        same = text == v.toString();
        break;
    default:
        same = col.type == QLatin1String("number") ? plain(text) == v.toString()
               : col.type == QLatin1String("uuid")
                   ? text.compare(v.toString(), Qt::CaseInsensitive) == 0
                   : text == v.toString();
    }
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the file states \"" << text.left(80).toStdString() << "\", read " << show(v);
}

} // namespace

// ---- the files ADO wrote ----------------------------------------------------

TEST(AdtgSamples, EveryPairReadsToTheSameColumnsAndRowsInBothFormats) {
    const QDir dir(test::adtgSamplesDir());
    const QStringList names = samplePairs();
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const RowSetFile binary =
            readRowSetFile(dir.filePath(name + QStringLiteral(".adtg")), samplesCodePage);
        const RowSetFile xml =
            readRowSetFile(dir.filePath(name + QStringLiteral(".xml")), samplesCodePage);
        ASSERT_EQ(binary.columns.size(), xml.columns.size());
        for (int c = 0; c < xml.columns.size(); ++c) {
            SCOPED_TRACE(xml.columns[c].name.toStdString());
            EXPECT_EQ(binary.columns[c].name, xml.columns[c].name);
            EXPECT_EQ(binary.columns[c].type, xml.columns[c].type);
            EXPECT_EQ(binary.columns[c].kind, xml.columns[c].kind);
            EXPECT_EQ(binary.columns[c].maxLength, xml.columns[c].maxLength);
            EXPECT_EQ(binary.columns[c].floating, xml.columns[c].floating);
        }
        EXPECT_EQ(binary.rows.columns, xml.rows.columns);
        QList<QVariantList> expected;
        for (const auto& row : xml.rows.rows)
            expected << QVariantList(row.begin(), row.end());
        expectSameRows(binary, expected);
    }
}

TEST(AdtgSamples, TheXmlReadsToTheValuesItStatesWithPendingChangesApplied) {
    const QDir dir(test::adtgSamplesDir());
    for (const QString& name : samplePairs()) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name + QStringLiteral(".xml"));
        const RowSetFile file = readRowSetFile(path, samplesCodePage);
        const auto stated = statedRows(path);
        ASSERT_EQ(file.rows.size(), stated.size());
        for (int r = 0; r < stated.size(); ++r)
            for (int c = 0; c < file.columns.size(); ++c) {
                const auto text = stated[r].value(file.columns[c].name);
                const QVariant& v = file.rows.rows[r][c];
                if (!text)
                    EXPECT_TRUE(v.isNull()) << "row " << r + 1 << ": " << show(v);
                else
                    EXPECT_TRUE(states(file.columns[c], v, *text))
                        << "row " << r + 1 << ", " << file.columns[c].name.toStdString();
            }
    }
}

TEST(AdtgSamples, AChangedRowKeepsItsUnchangedValuesAndDeletedRowsAreGone) {
    // The row with ID 1 was changed (VALUE_FIELD only), 2 deleted, 4 inserted;
    // in the second file the change and the insert make VALUE_FIELD NULL.
    const QDir dir(test::adtgSamplesDir());
    for (const char* ext : {".adtg", ".xml"}) {
        SCOPED_TRACE(ext);
        const auto states =
            readRowSetFile(dir.filePath(QStringLiteral("flat_VarWChar_states") + ext));
        expectSameRows(states, {{qlonglong(1), QStringLiteral("한글")},
                                {qlonglong(3), QStringLiteral("Joe's <xml> & data")},
                                {qlonglong(4), QStringLiteral("tail-value")}});
        const auto nulls =
            readRowSetFile(dir.filePath(QStringLiteral("flat_Integer_null_states") + ext));
        expectSameRows(
            nulls,
            {{qlonglong(1), QVariant()}, {qlonglong(3), QVariant()}, {qlonglong(4), QVariant()}});
        const auto big =
            readRowSetFile(dir.filePath(QStringLiteral("flat_UnsignedBigInt_states") + ext));
        EXPECT_TRUE(sameValue(big.rows.rows[2][1], std::numeric_limits<qulonglong>::max()));
        // ANSI text in the code page the file was saved in.
        const auto korean = readRowSetFile(
            dir.filePath(QStringLiteral("strings_korean_ansi") + ext), samplesCodePage);
        EXPECT_EQ(korean.rows.at(1, "WORD"), QVariant(QStringLiteral("한글")));
        EXPECT_EQ(korean.rows.at(2, "TAIL"), QVariant(QStringLiteral("끝값")));
    }
}

// ---- files built from the published format ----------------------------------

namespace {

class AdtgFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = QStringLiteral("zelsysconfig.adtg")) const {
        return dir.filePath(name);
    }
};

const QList<AdtgColumn> settingsColumns = {{"Item", adtg::WSTR, 50},
                                           {"TextValue", adtg::WSTR, 255}};

} // namespace

TEST_F(AdtgFiles, ASettingsFileKeepsEmptyTextsApartFromNullAndReadsLongTexts) {
    const QString longPath = QString(200, u'p'); // beyond what one length byte counts
    const QString huge = QStringLiteral("line of notes ").repeated(5000);
    AdtgWriter(settingsColumns)
        .row({"ServerDB", "ZelDental2"})
        .row({"StockControl", "C:\\Stock Control\\stock.exe"})
        .row({"Printer", QVariant()})
        .row({"Blank", ""})
        .row({"Path", longPath})
        .save(path());
    setWorkstationFolder(dir.path());
    EXPECT_EQ(readSetting("StockControl"), "C:\\Stock Control\\stock.exe");
    EXPECT_EQ(readSetting("serverdb"), "ZelDental2");
    EXPECT_EQ(readSetting("Printer"), "");
    EXPECT_EQ(readSetting("Path"), longPath);
    EXPECT_EQ(readSetting("Missing"), std::nullopt);
    const RowSetFile file = readRowSetFile(path());
    EXPECT_EQ(file.rows.columns, (QStringList{"Item", "TextValue"}));
    EXPECT_EQ(file.columns[1].maxLength, 255);
    EXPECT_TRUE(file.rows.at(2, "TextValue").isNull());
    EXPECT_FALSE(file.rows.at(3, "TextValue").isNull());
    EXPECT_EQ(file.rows.at(3, "TextValue"), QVariant(QStringLiteral("")));

    // A long text column, as a memo field of the suite's settings table.
    AdtgWriter({{"Item", adtg::WSTR, 50},
                {"TextValue", adtg::WSTR, 1073741823, adtg::Nullable | adtg::Long}})
        .row({"Notes", huge})
        .inserted({QVariant("Empty"), QVariant("")})
        .inserted({QVariant("Unset")})
        .save(path());
    EXPECT_EQ(readSetting("Notes"), huge);
    const RowSetFile memo = readRowSetFile(path());
    EXPECT_EQ(memo.columns[1].maxLength, 0) << "a long text";
    EXPECT_EQ(memo.rows.at(1, "TextValue"), QVariant(QStringLiteral("")));
    EXPECT_TRUE(memo.rows.at(2, "TextValue").isNull()) << "a column an insert leaves is NULL";
    setWorkstationFolder(QString());
}

TEST_F(AdtgFiles, AnUnreadableSettingsFileCountsAsNoneAndTheLogSaysWhy) {
    const QByteArray whole =
        AdtgWriter(settingsColumns).row({"StockControl", "/opt/stock"}).bytes();
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(whole.chopped(1)); // no end mark
    }
    setWorkstationFolder(dir.path());
    startLog(dir.filePath("zel-purchasing.log"));
    EXPECT_EQ(readSetting("StockControl"), std::nullopt);
    startLog(QString());
    setWorkstationFolder(QString());
    QFile log(dir.filePath("zel-purchasing.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(line.contains("settings file: Cannot read " + path() +
                              ": it ends early, in the middle of row 2"))
        << line.toStdString();
}

TEST_F(AdtgFiles, PendingChangesAreAppliedOverSeveralNullableColumns) {
    AdtgWriter w({{"ID", adtg::I4, 4, adtg::FixedLength},
                  {"Name", adtg::WSTR, 40},
                  {"Qty", adtg::I2, 2, adtg::FixedLength | adtg::Nullable},
                  {"Price", adtg::CY, 8, adtg::FixedLength | adtg::Nullable},
                  {"Note", adtg::STR, 20}});
    w.row({1, "a", 5, 10000, "n1"})
        .changed({2, "b", QVariant(), 20000, "n2"},
                 {std::nullopt, QVariant("B"), QVariant(7), QVariant()})
        .deleted({3, "c", 1, 1, "gone"})
        .inserted({QVariant(4), std::nullopt, QVariant(9), std::nullopt, QVariant("x")})
        .row({5, QVariant(), QVariant(), QVariant(), QVariant()})
        .changed({6, QVariant(), QVariant(), QVariant(), "keep"}, {std::nullopt, QVariant("set")});
    const RowSetFile f = readRowSetBytes(w.bytes(), path());
    const QVariant null;
    expectSameRows(f, {{qlonglong(1), "a", qlonglong(5), "1", "n1"},
                       {qlonglong(2), "B", qlonglong(7), null, "n2"},
                       {qlonglong(4), null, qlonglong(9), null, "x"},
                       {qlonglong(5), null, null, null, null},
                       {qlonglong(6), "set", null, null, "keep"}});
}

TEST_F(AdtgFiles, EveryTypeReadsExactlyAtItsLimits) {
    using L = std::numeric_limits<qlonglong>;
    const QList<AdtgColumn> cols = {
        {"I1", adtg::I1, 1, adtg::FixedLength},
        {"UI1", adtg::UI1, 1, adtg::FixedLength},
        {"I2", adtg::I2, 2, adtg::FixedLength},
        {"UI2", adtg::UI2, 2, adtg::FixedLength},
        {"I4", adtg::I4, 4, adtg::FixedLength},
        {"UI4", adtg::UI4, 4, adtg::FixedLength},
        {"I8", adtg::I8, 8, adtg::FixedLength},
        {"UI8", adtg::UI8, 8, adtg::FixedLength},
        {"R4", adtg::R4, 4, adtg::FixedLength},
        {"R8", adtg::R8, 8, adtg::FixedLength},
        {"CY", adtg::CY, 8, adtg::FixedLength},
        {"DEC", adtg::DECIMAL, 16, adtg::FixedLength},
        {"NUM", adtg::NUMERIC, 19, adtg::FixedLength},
        {"BOOL", adtg::BOOL, 2, adtg::FixedLength},
        {"DATE", adtg::DATE, 8, adtg::FixedLength},
        {"DBDATE", adtg::DBDATE, 6, adtg::FixedLength},
        {"DBTIME", adtg::DBTIME, 6, adtg::FixedLength},
        {"STAMP", adtg::DBTIMESTAMP, 16, adtg::FixedLength},
        {"FT", adtg::FILETIME, 8, adtg::FixedLength},
        {"GUID", adtg::GUID, 16, adtg::FixedLength},
        {"BYTES", adtg::BYTES, 8},
        {"CHAR", adtg::STR, 4, adtg::FixedLength},
    };
    auto hex = [](const char* h) { return QVariant(QByteArray::fromHex(h)); };
    AdtgWriter w(cols);
    w.row({-128, 255, -32768, 65535, qlonglong(-2147483648LL), qlonglong(4294967295LL), L::min(),
           std::numeric_limits<qulonglong>::max(), 0.1f, -0.25, L::min(),
           // -79228162514264337593543950335 (all 96 bits) at scale 28
           hex("00001c80ffffffffffffffffffffffff"),
           // 12345 at scale -2, positive
           QByteArray::fromHex("12fe013930") + QByteArray(14, 0), false,
           -1.25, // 1899-12-29 06:00
           hex("6b070c001f00"), hex("17003b003b00"),
           hex("d007020001000d001e002d0040420f00"), // 2000-02-01 13:30:45, a millisecond
           hex("00c00ca9a9354f01"), hex("67452301ab89efcd0123456789abcdef"), hex("00ff10"),
           hex("ab20cd20")});
    w.row({127, 0, 32767, 0, qlonglong(2147483647), 0, L::max(), qulonglong(0), 3.5f, 1e300,
           L::max(), hex("00000400000000000000000000000000"),
           // 19 at scale 4, negative
           QByteArray::fromHex("13040013") + QByteArray(15, 0), true, 2958465.99999,
           hex("010001000100"), hex("000000000000"),
           hex("0f27"
               "0c001f0017003b003b00"
               "00000000"),
           hex("0000000000000000"), hex("00000000000000000000000000000000"), hex(""),
           hex("20202020")});
    const RowSetFile f = readRowSetBytes(w.bytes(), path());
    QStringList types;
    for (const auto& c : f.columns)
        types << c.type;
    EXPECT_EQ(types.join(' '), "i1 ui1 i2 ui2 int ui4 i8 ui8 r4 float number number number boolean "
                               "dateTime date time dateTime dateTime uuid bin.hex string");
    EXPECT_EQ(f.columns[10].kind, Kind::Money);
    EXPECT_EQ(f.columns[11].kind, Kind::Number);
    ASSERT_EQ(f.rows.size(), 2);
    const auto& a = f.rows.rows[0];
    EXPECT_TRUE(sameValue(a[0], qlonglong(-128)));
    EXPECT_TRUE(sameValue(a[1], qlonglong(255)));
    EXPECT_TRUE(sameValue(a[5], qlonglong(4294967295LL)));
    EXPECT_TRUE(sameValue(a[6], L::min()));
    EXPECT_TRUE(sameValue(a[7], std::numeric_limits<qulonglong>::max()));
    EXPECT_TRUE(sameValue(a[8], double(0.1f)));
    EXPECT_TRUE(sameValue(a[10], "-922337203685477.5808"));
    EXPECT_TRUE(sameValue(a[11], "-7.9228162514264337593543950335"));
    EXPECT_TRUE(sameValue(a[12], "1234500"));
    EXPECT_TRUE(sameValue(a[13], false));
    EXPECT_TRUE(sameValue(a[14], QDateTime(QDate(1899, 12, 29), QTime(6, 0))));
    EXPECT_TRUE(sameValue(a[15], QDateTime(QDate(1899, 12, 31), QTime(0, 0))));
    EXPECT_TRUE(sameValue(a[16], QTime(23, 59, 59)));
    EXPECT_TRUE(sameValue(a[17], QDateTime(QDate(2000, 2, 1), QTime(13, 30, 45, 1))));
    EXPECT_TRUE(sameValue(a[18], QDateTime(QDate(1899, 12, 30), QTime(0, 0))));
    EXPECT_TRUE(sameValue(a[19], "{01234567-89AB-CDEF-0123-456789ABCDEF}"));
    EXPECT_TRUE(sameValue(a[20], QByteArray::fromHex("00ff10")));
    EXPECT_TRUE(sameValue(a[21], "« Í ")) << "ANSI text in the workstations' code page";
    const auto& b = f.rows.rows[1];
    EXPECT_TRUE(sameValue(b[6], L::max()));
    EXPECT_TRUE(sameValue(b[7], qulonglong(0)));
    EXPECT_TRUE(sameValue(b[9], 1e300));
    EXPECT_TRUE(sameValue(b[10], "922337203685477.5807"));
    EXPECT_TRUE(sameValue(b[11], "0"));
    EXPECT_TRUE(sameValue(b[12], "-0.0019"));
    EXPECT_TRUE(sameValue(b[14], QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59))));
    EXPECT_TRUE(sameValue(b[17], QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59))));
    EXPECT_TRUE(sameValue(b[20], QByteArray()));
    EXPECT_TRUE(sameValue(b[21], "    ")) << "fixed-length text keeps its spaces";
}

TEST_F(AdtgFiles, AnsiTextIsReadInTheCodePageOfItsBaseTableAndHiddenColumnsAreLeftOut) {
    // A recordset read from a table: the base table names its code page,
    // and ADO keeps the table's key as a hidden column.
    const QList<AdtgColumn> cols = {{"Item", adtg::STR, 50},
                                    {"TextValue", adtg::STR, 255},
                                    {"ID", adtg::I4, 4, adtg::FixedLength, 0, 0, false}};
    AdtgWriter cafe(cols);
    cafe.row({"Supplier", QByteArray("\x80 5 caf\xE9", 8), 7}).baseTable("tblSysConfig", 1252);
    RowSetFile f = readRowSetBytes(cafe.bytes(), path(), samplesCodePage);
    EXPECT_EQ(f.rows.columns, (QStringList{"Item", "TextValue"}));
    expectSameRows(f, {{"Supplier", "€ 5 café"}});

    AdtgWriter korean(cols);
    korean.row({"Word", QByteArray("\xC7\xD1\xB1\xDB", 4), 1}).baseTable("tblSysConfig", 949);
    f = readRowSetBytes(korean.bytes(), path());
    expectSameRows(f, {{"Word", "한글"}});

    AdtgWriter unknown(cols);
    unknown.row({"Word", "x", 1}).baseTable("tblSysConfig", 1);
    EXPECT_TRUE(readError(unknown.bytes()).contains("code page 1,"));
}

TEST_F(AdtgFiles, TheFormatIsTheOneTheFirstBytesShowWhateverTheName) {
    AdtgWriter(settingsColumns).row({"StockControl", "/opt/stock"}).save(path("settings.xml"));
    EXPECT_EQ(readRowSetFile(path("settings.xml")).rows.at(0, "TextValue"),
              QVariant(QStringLiteral("/opt/stock")));
    QFile::copy(test::adtgSamplesDir() + QStringLiteral("/strings_ascii.xml"), path("ascii.adtg"));
    EXPECT_EQ(readRowSetFile(path("ascii.adtg")).rows.at(0, "NAME"),
              QVariant(QStringLiteral("alpha")));
    EXPECT_TRUE(readError(QByteArray("\x00\x01garbage", 9)).contains("not a recordset file"));
}

TEST_F(AdtgFiles, AFileThatLiesIsRefusedWithAMessageNamingTheFileAndTheLie) {
    AdtgWriter good(settingsColumns);
    good.row({"StockControl", "/opt/stock"}).row({"ServerDB", "db"});
    const QByteArray bytes = good.bytes();
    const qsizetype rows = good.rowsOffset();
    auto expectRefused = [&](const QByteArray& b, const char* why) {
        const QString message = readError(b);
        EXPECT_TRUE(message.startsWith("Cannot read C:/ZelData/zelsysconfig.adtg: ")) << why;
        EXPECT_TRUE(message.contains(QString::fromUtf8(why))) << message.toStdString();
    };

    expectRefused(AdtgWriter(good).statedRows(3).bytes(), "says it holds 3 rows but holds 2");
    expectRefused(AdtgWriter(settingsColumns).statedColumns(3).bytes(),
                  "says it has 3 columns but describes 2");
    expectRefused(AdtgWriter(settingsColumns).statedColumns(1).bytes(),
                  "describes more columns than the 1 it says it has");
    expectRefused(bytes + '\0', "goes on for 1 bytes after its end mark");
    expectRefused(bytes + QByteArray(10 * 1024 * 1024, '\0'), "it is larger than 10 MB");

    QByteArray b = bytes;
    b[7] = 1; // big-endian
    expectRefused(b, "big-endian");
    b = bytes;
    b[rows + 2] = char(0xFF); // the first text says it is 255 bytes long
    expectRefused(b, "row 1 gives column Item 255 bytes, more than the 100 it allows");
    b = bytes;
    b[rows + 27] = char(0xF4); // the second says 500, within its column but past the end
    b[rows + 28] = char(0x01);
    expectRefused(b, "ends early, in the middle of row 1");
    b = bytes;
    b[rows + 2] = char(13); // an odd number of bytes for Unicode text
    expectRefused(b, "row 1 gives column Item a value that is not Unicode text");
    b = bytes;
    b[rows] = 0x0A; // a change with no row before it
    expectRefused(b, "row 1 changes or deletes a row it does not give");
    b = bytes;
    b.insert(rows, QByteArray::fromHex("0d2000")); // a value for a third column
    expectRefused(b, "changes columns the recordset does not have");
    b = bytes;
    b.insert(rows, QByteArray::fromHex("0d40400000")); // a value and NULL at once
    expectRefused(b, "gives column TextValue a value and NULL at once");
    b = bytes;
    const qsizetype secondColumn = b.indexOf(QByteArray("T\0e\0x\0t\0", 8)) - 10;
    ASSERT_EQ(b[secondColumn], '\x06');
    b[secondColumn + 1] = char(b[secondColumn + 1] - 4); // its description says 4 bytes less
    expectRefused(b, "the description of column 2 holds more than");

    // A text longer than its column allows.
    AdtgWriter tooLong({{"Item", adtg::WSTR, 4}});
    tooLong.row({"Stock"});
    expectRefused(tooLong.bytes(), "row 1 gives column Item 10 bytes, more than the 8 it allows");
    // Values that are not what their type says.
    AdtgWriter badDate({{"When", adtg::DBDATE, 6, adtg::FixedLength}});
    badDate.row({QByteArray::fromHex("e8070d002000")}); // month 13
    expectRefused(badDate.bytes(), "row 1 gives column When a value that is not a date");
    // Every file is read to its end: no more values than the reader takes.
    EXPECT_THROW(adtg::read(bytes, 1252, 3), adtg::Error);
    EXPECT_NO_THROW(adtg::read(bytes, 1252, 4));
}

TEST_F(AdtgFiles, TypesAndPartsItCannotReadAreRefusedByName) {
    const QString variant =
        readError(AdtgWriter({{"Setting", adtg::VARIANT, 16, adtg::FixedLength}}).bytes());
    EXPECT_TRUE(variant.contains("column Setting has the type DBTYPE_VARIANT, which this program "
                                 "does not read"))
        << variant.toStdString();
    EXPECT_TRUE(
        readError(AdtgWriter({{"Orders", adtg::HCHAPTER, 4}}).bytes()).contains("DBTYPE_HCHAPTER"));
    EXPECT_TRUE(readError(AdtgWriter({{"Ref", quint16(adtg::WSTR | 0x4000), 4}}).bytes())
                    .contains("DBTYPE_WSTR | DBTYPE_BYREF"));
    // The description of a child recordset.
    QByteArray child = AdtgWriter(settingsColumns).bytes();
    child.insert(child.size() - 1, QByteArray::fromHex("860000"));
    EXPECT_TRUE(readError(child).contains("child recordsets"));
}

TEST_F(AdtgFiles, ACutOrChangedFileIsReadOrRefusedButNeverReadPastItsEnd) {
    AdtgWriter w({{"ID", adtg::I4, 4, adtg::FixedLength},
                  {"Name", adtg::WSTR, 300, adtg::Nullable},
                  {"Price", adtg::CY, 8, adtg::FixedLength | adtg::Nullable},
                  {"Code", adtg::STR, 10},
                  {"When", adtg::DBTIMESTAMP, 16, adtg::FixedLength | adtg::Nullable}});
    w.row({1, "Nitrile gloves", 12345, "GL",
           QByteArray::fromHex("e8070100010000000000000000000000")})
        .changed({2, QVariant(), 5, "X", QVariant()}, {std::nullopt, QVariant("Bur")})
        .deleted({3, "gone", QVariant(), "", QVariant()})
        .inserted({QVariant(4), QVariant(QString(200, u'z'))});
    const QByteArray bytes = w.bytes();
    ASSERT_EQ(readRowSetBytes(bytes, path()).rows.size(), 3);
    // Cut short anywhere: refused, naming the file.
    for (qsizetype n = 0; n < bytes.size(); ++n)
        EXPECT_TRUE(readError(bytes.left(n)).contains("zelsysconfig.adtg")) << "cut at " << n;
    // Any one byte changed: read with a value for every column, or refused.
    for (qsizetype i = 0; i < bytes.size(); ++i)
        for (const char x : {'\x00', '\x01', '\x7F', '\x80', '\xFF'}) {
            QByteArray b = bytes;
            b[i] = x;
            try {
                const RowSetFile f = readRowSetBytes(b, path());
                for (const auto& row : f.rows.rows)
                    ASSERT_EQ(row.size(), f.columns.size()) << "byte " << i;
            } catch (const RowSetFileError&) {
            }
        }
}

TEST(AdtgXml, TheCurrencyTypesSmallestAmountAndUnsignedWholeNumbersRead) {
    const QByteArray xml =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
        "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
        "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
        "<s:AttributeType name='Amount'><s:datatype dt:type='number' rs:dbtype='currency'/>"
        "</s:AttributeType><s:AttributeType name='Count'><s:datatype dt:type='ui8'/>"
        "</s:AttributeType><s:AttributeType name='Small'><s:datatype dt:type='i1'/>"
        "</s:AttributeType></s:ElementType></s:Schema><rs:data>"
        "<z:row Amount='-922337203685477.5808' Count='18446744073709551615' Small='-128'/>"
        "<z:row Amount='922337203685477.5807' Count='0' Small='127'/>"
        "</rs:data></xml>";
    const RowSetFile f = readRowSetBytes(xml, "money.xml");
    expectSameRows(
        f, {{"-922337203685477.5808", std::numeric_limits<qulonglong>::max(), qlonglong(-128)},
            {"922337203685477.5807", qulonglong(0), qlonglong(127)}});
    EXPECT_TRUE(readError(QByteArray(xml).replace("-922337203685477.5808", "-922337203685477.5809"))
                    .contains("is not an amount of money"));
    EXPECT_TRUE(readError(QByteArray(xml).replace("'127'", "'128'"))
                    .contains("\"128\" is not a whole number from -128 to 127"));
}
