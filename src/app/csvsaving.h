#pragma once
// Saving a list a window shows as a spreadsheet (CSV) file: where it goes,
// and telling the user what was saved or why not.
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace zel::csvsaving {

// `name` in the user's documents folder (the home folder when there is none).
QString proposedPath(const QString& name);

// Asks where to save (a file dialog over `parent`): a name typed without an
// ending gets .csv, and replacing a file is asked first. Empty when cancelled.
QString askPath(QWidget* parent, const QString& proposed);

// Saves the rows under `header` and says where ("The order listed was
// saved as ...", "The 3 orders listed were saved as ..." with `one` =
// "order", `many` = "orders"), or shows why the file could not be saved.
bool saveAndTell(const QString& path, const QStringList& header, const QList<QStringList>& rows,
                 const QString& one, const QString& many);

} // namespace zel::csvsaving
