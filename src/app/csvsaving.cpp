#include "app/csvsaving.h"
#include "app/messages.h"
#include "values/csvfile.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <stdexcept>

namespace zel::csvsaving {

QString proposedPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

QString askPath(QWidget* parent, const QString& proposed) {
    QFileDialog dialog(parent, QStringLiteral("Save as CSV"), proposed,
                       QStringLiteral("CSV files (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(proposed);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

bool saveAndTell(const QString& path, const QStringList& header, const QList<QStringList>& rows,
                 const QString& one, const QString& many) {
    try {
        csv::save(path, header, rows);
    } catch (const std::runtime_error& e) {
        messages().error(QString::fromStdString(e.what()));
        return false;
    }
    const QString where = QDir::toNativeSeparators(path);
    messages().info(rows.size() == 1
                        ? QStringLiteral("The %1 listed was saved as %2").arg(one, where)
                        : QStringLiteral("The %1 %2 listed were saved as %3")
                              .arg(rows.size())
                              .arg(many, where));
    return true;
}

} // namespace zel::csvsaving
