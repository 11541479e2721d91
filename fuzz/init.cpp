// Every fuzz target runs in the practice's locale, as the workstations do.
#include <QLocale>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    return 0;
}
