#pragma once
// The text of a PDF as pdftotext lays it out, line by line; empty when it
// cannot be read within 30 seconds.
#include <QProcess>
#include <QString>

namespace zel::test {

inline QString pdfText(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace zel::test
