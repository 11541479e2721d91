#pragma once
// What the dialogs may reach of the hub window that opened them: the order
// list, its load handler, the reloads, and the header boxes by name. Both hub
// windows implement it; no dialog includes a hub's header.
#include "bound/datacombo.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace zel {

class OrderHub {
public:
    virtual ~OrderHub() = default;
    virtual QWidget* hubWidget() = 0;
    // The supplier-reference list; its bound value is the current order's key.
    virtual DataCombo* custRef() = 0;
    virtual void CustRef_Click(int area) = 0;
    virtual void Disp_DataList() = 0;
    virtual void Disp_MainData() = 0;
    // Whether the header on screen has changes that are not saved.
    virtual bool hasUnsavedChanges() { return false; }

    // Sets a header text box or label by its control name; false when the hub has none.
    bool setControlText(const QString& name, const QString& text) {
        if (auto* box = hubWidget()->findChild<QLineEdit*>(name)) {
            box->setText(text);
            return true;
        }
        if (auto* label = hubWidget()->findChild<QLabel*>(name)) {
            label->setText(text);
            return true;
        }
        return false;
    }
    QString controlText(const QString& name) {
        if (auto* box = hubWidget()->findChild<QLineEdit*>(name))
            return box->text();
        if (auto* label = hubWidget()->findChild<QLabel*>(name))
            return label->text();
        return {};
    }
};

} // namespace zel
