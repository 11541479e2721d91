// Rows written in the XML layout: a schema section declaring each column
// and its type, then one z:row element per row.
#include "connection/rowsetformat.h"

#include <QSet>
#include <QVariant>
#include <QXmlStreamWriter>
#include <algorithm>
#include <limits>

namespace zel::rowsets {

namespace {

// The texts of one column's values by row; nothing for a NULL.
using ColumnTexts = QVector<std::optional<QString>>;

// Writes the attributes of a schema's datatype element.
class DataTypeWriter {
public:
    explicit DataTypeWriter(QXmlStreamWriter& xml) : xml_(xml) {}

    void dt(const char* name, const QString& value) {
        xml_.writeAttribute(nsDataType, QString::fromLatin1(name), value);
    }
    void rs(const char* name, const QString& value) {
        xml_.writeAttribute(nsRowset, QString::fromLatin1(name), value);
    }
    void fixedLength() { rs("fixedlength", QStringLiteral("true")); }

private:
    QXmlStreamWriter& xml_;
};

void writeTextType(DataTypeWriter& w, const RowSetFileColumn& col) {
    w.dt("type", QStringLiteral("string"));
    if (col.maxLength > 0) {
        w.dt("maxLength", QString::number(col.maxLength));
    } else {
        w.dt("maxLength", QString::number(longTextLength));
        w.rs("long", QStringLiteral("true"));
    }
}

void writeIntegerType(DataTypeWriter& w, const ColumnTexts& texts) {
    // A value beyond 32 bits needs the eight-byte type.
    const bool wide = std::any_of(texts.begin(), texts.end(), [](const auto& t) {
        if (!t)
            return false;
        qlonglong n = t->toLongLong();
        return n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max();
    });
    w.dt("type", wide ? QStringLiteral("i8") : QStringLiteral("int"));
    w.dt("maxLength", wide ? QStringLiteral("8") : QStringLiteral("4"));
    w.rs("precision", wide ? QStringLiteral("19") : QStringLiteral("10"));
    w.fixedLength();
}

void writeFloatType(DataTypeWriter& w) {
    w.dt("type", QStringLiteral("float"));
    w.dt("maxLength", QStringLiteral("8"));
    w.rs("precision", QStringLiteral("15"));
    w.fixedLength();
}

// An exact decimal column, its precision and scale as wide as the values need.
void writeDecimalType(DataTypeWriter& w, const ColumnTexts& texts) {
    qsizetype wholeDigits = 1, scale = 0;
    for (const auto& t : texts) {
        if (!t)
            continue;
        QString digits = *t;
        if (digits.startsWith(u'-'))
            digits.remove(0, 1);
        qsizetype point = digits.indexOf(u'.');
        wholeDigits = std::max(wholeDigits, point < 0 ? digits.size() : point);
        if (point >= 0)
            scale = std::max(scale, digits.size() - point - 1);
    }
    w.dt("type", QStringLiteral("number"));
    w.rs("dbtype", QStringLiteral("numeric"));
    w.dt("maxLength", QStringLiteral("19"));
    w.rs("scale", QString::number(scale));
    w.rs("precision", QString::number(wholeDigits + scale));
    w.fixedLength();
}

void writeDataType(QXmlStreamWriter& xml, const RowSetFileColumn& col, const ColumnTexts& texts) {
    xml.writeEmptyElement(nsSchema, QStringLiteral("datatype"));
    DataTypeWriter w(xml);
    switch (col.kind) {
    case Kind::Text:
        writeTextType(w, col);
        return;
    case Kind::Integer:
        writeIntegerType(w, texts);
        return;
    case Kind::Number:
        if (col.floating)
            writeFloatType(w);
        else
            writeDecimalType(w, texts);
        return;
    case Kind::Money:
        w.dt("type", QStringLiteral("number"));
        w.rs("dbtype", QStringLiteral("currency"));
        w.dt("maxLength", QStringLiteral("8"));
        w.rs("precision", QStringLiteral("19"));
        w.fixedLength();
        return;
    case Kind::Date:
        w.dt("type", QStringLiteral("dateTime"));
        w.rs("dbtype", QStringLiteral("timestamp"));
        w.dt("maxLength", QStringLiteral("16"));
        w.rs("scale", QStringLiteral("0"));
        w.rs("precision", QStringLiteral("19"));
        w.fixedLength();
        return;
    case Kind::Flag:
        w.dt("type", QStringLiteral("boolean"));
        w.dt("maxLength", QStringLiteral("2"));
        w.fixedLength();
        return;
    }
}

// False for text holding characters XML 1.0 cannot carry (control
// characters other than tab and line ends, unpaired surrogates, U+FFFE/F).
bool xmlCanCarry(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
        if (c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !QChar::isLowSurrogate(text[i + 1].unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

// The texts of every value by column, each checked against its column
// before anything is written.
QVector<ColumnTexts> checkedTexts(const QString& path, const QList<RowSetFileColumn>& cols,
                                  const RowSet& rows) {
    QVector<ColumnTexts> texts(cols.size());
    for (int c = 0; c < cols.size(); ++c)
        texts[c].resize(rows.rows.size());
    for (int r = 0; r < rows.rows.size(); ++r) {
        const auto& row = rows.rows[r];
        if (row.size() != cols.size())
            throw writeFailure(path, QStringLiteral("row %1 has %2 values for %3 columns")
                                         .arg(r + 1)
                                         .arg(row.size())
                                         .arg(cols.size()));
        for (int c = 0; c < cols.size(); ++c) {
            const QVariant& v = row[c];
            if (v.isNull())
                continue;
            texts[c][r] = valueText(cols[c], v);
            if (!texts[c][r])
                throw writeFailure(path, QStringLiteral("row %1, column %2: %3 is not %4")
                                             .arg(r + 1)
                                             .arg(cols[c].name, quoted(v.toString()),
                                                  kindWord(cols[c].kind, cols[c].floating)));
            if (!xmlCanCarry(*texts[c][r]))
                throw writeFailure(path,
                                   QStringLiteral("row %1, column %2: the text holds a control "
                                                  "character that the file cannot carry")
                                       .arg(r + 1)
                                       .arg(cols[c].name));
        }
    }
    return texts;
}

// The columns' names as attribute names, which must differ.
QStringList attributeNames(const QString& path, const QList<RowSetFileColumn>& cols) {
    QStringList attrNames;
    for (const auto& col : cols) {
        if (col.name.isEmpty())
            throw writeFailure(path, QStringLiteral("a column has no name"));
        attrNames << encodeRowSetName(col.name);
    }
    if (QSet<QString>(attrNames.begin(), attrNames.end()).size() != attrNames.size())
        throw writeFailure(path, QStringLiteral("two columns have the same name"));
    return attrNames;
}

void writeSchema(QXmlStreamWriter& xml, const QList<RowSetFileColumn>& cols,
                 const QStringList& attrNames, const QVector<ColumnTexts>& texts) {
    xml.writeStartElement(nsSchema, QStringLiteral("Schema"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("RowsetSchema"));
    xml.writeStartElement(nsSchema, QStringLiteral("ElementType"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("row"));
    xml.writeAttribute(QStringLiteral("content"), QStringLiteral("eltOnly"));
    for (int c = 0; c < cols.size(); ++c) {
        xml.writeStartElement(nsSchema, QStringLiteral("AttributeType"));
        xml.writeAttribute(QStringLiteral("name"), attrNames[c]);
        if (attrNames[c] != cols[c].name)
            xml.writeAttribute(nsRowset, QStringLiteral("name"), cols[c].name);
        xml.writeAttribute(nsRowset, QStringLiteral("number"), QString::number(c + 1));
        xml.writeAttribute(nsRowset, QStringLiteral("nullable"), QStringLiteral("true"));
        xml.writeAttribute(nsRowset, QStringLiteral("writeunknown"), QStringLiteral("true"));
        writeDataType(xml, cols[c], texts[c]);
        xml.writeEndElement();
    }
    xml.writeEmptyElement(nsSchema, QStringLiteral("extends"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("rs:rowbase"));
    xml.writeEndElement(); // ElementType
    xml.writeEndElement(); // Schema
}

void writeData(QXmlStreamWriter& xml, qsizetype rowCount, const QStringList& attrNames,
               const QVector<ColumnTexts>& texts) {
    xml.writeStartElement(nsRowset, QStringLiteral("data"));
    for (qsizetype r = 0; r < rowCount; ++r) {
        xml.writeEmptyElement(nsRow, QStringLiteral("row"));
        for (int c = 0; c < attrNames.size(); ++c)
            if (const auto& t = texts[c][r])
                xml.writeAttribute(attrNames[c], *t);
    }
    xml.writeEndElement(); // rs:data
}

} // namespace

QByteArray xmlRowSetBytes(const QString& path, const QList<RowSetFileColumn>& cols,
                          const RowSet& rows) {
    const QVector<ColumnTexts> texts = checkedTexts(path, cols, rows);
    const QStringList attrNames = attributeNames(path, cols);

    // The layout starts at its root element, with no blank line or
    // declaration before it.
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1);
    xml.writeStartElement(QStringLiteral("xml"));
    xml.writeNamespace(nsSchema, QStringLiteral("s"));
    xml.writeNamespace(nsDataType, QStringLiteral("dt"));
    xml.writeNamespace(nsRowset, QStringLiteral("rs"));
    xml.writeNamespace(nsRow, QStringLiteral("z"));
    writeSchema(xml, cols, attrNames, texts);
    writeData(xml, rows.rows.size(), attrNames, texts);
    xml.writeEndElement(); // xml
    xml.writeCharacters(QStringLiteral("\n"));
    if (xml.hasError())
        throw writeFailure(path, QStringLiteral("the rows could not be put into XML"));
    while (bytes.startsWith('\n'))
        bytes.remove(0, 1);
    return bytes;
}

} // namespace zel::rowsets
