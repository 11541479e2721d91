// Test entry: a real QApplication (offscreen unless told otherwise) in the
// UK locale, the workstation's locale of the practice.
#include "connection/database.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QApplication app(argc, argv);
    // Remembered window places go to a folder of this run, not the user's.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    zel::gConn().release();
#ifdef Q_OS_WIN
    // Under Wine a program that has shown windows may hang in its teardown;
    // every result is written by now, so the run ends here.
    std::fflush(nullptr);
    std::_Exit(rc);
#endif
    return rc;
}
