#pragma once
// Shared by the reference-data tests: a purchase order window as the hub the
// dialogs write into, the dialogs opened as the program opens them, and
// screenshots for a person to look at.
#include "app/dialogs.h"
#include "purchasing/frmpurchaseorder.h"
#include "refdata/openers.h"
#include "support/testdb.h"

#include <QDir>
#include <memory>
#include <ostream>

namespace zel::test {

class RefDataTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        refdata::wireOpeners(frmPurchaseOrder::openers());
        hub = std::make_unique<frmPurchaseOrder>();
        hub->show();
    }
    void TearDown() override {
        dialogs().closeAll();
        settle();
        hub.reset();
        DbTest::TearDown();
    }
    // The open dialog of that kind, or nullptr.
    template <class T> T* open(const char* kind) {
        settle();
        return qobject_cast<T*>(dialogs().find(QString::fromLatin1(kind)));
    }
    // Opens a dialog as the program does, through the hub's hooks.
    // Events run first, as between two actions of a user.
    template <class T> T* openVia(void (*opener)(OrderHub&), const char* kind) {
        settle();
        opener(*hub);
        return open<T>(kind);
    }

    std::unique_ptr<frmPurchaseOrder> hub;
};

} // namespace zel::test
