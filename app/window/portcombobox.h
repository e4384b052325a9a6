#pragma once
// The port box: the fixed items COM1..COM8, then the serial devices present,
// read again each time the list opens. A device's item text is its path
// (what the port opens); the list shows it with description, USB
// vendor:product and serial number.

#include "app/transfer/presentports.h"

#include <QComboBox>

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PortComboBox(QWidget* parent = nullptr);

    // Replaces the device items after the fixed ones; the box's text stays.
    void setPresentPorts(const QList<PresentPort>& ports);

    void showPopup() override;

    // The items before the devices (COM1..COM8).
    static constexpr int FixedItems = 8;
    // Where a device item keeps its label.
    static constexpr int LabelRole = Qt::UserRole + 1;
};
