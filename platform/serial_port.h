#pragma once

#include <QList>
#include <QString>

namespace tawela::platform {

// A serial port of this computer as the shop knows it: "ttyUSB0" at
// /dev/ttyUSB0.
struct SerialDevice {
    QString name, path;
};

// The serial ports of this computer (built-in ttyS ports that have hardware
// behind them, then USB adapters ttyUSB and ttyACM), each kind in number
// order: "Port #" 1 is the first of them.
QList<SerialDevice> serialDevices();
// The same from the device files of one folder (a folder of links to ports).
QList<SerialDevice> serialDevicesIn(const QString& folder);

// Opens the cash drawer on its port: 9600 baud, 8 data bits, no parity,
// one stop bit, the 21 zeros the drawer's interface waits for. Empty when
// sent; otherwise why not, in Thai.
QString pulseCashDrawer(const SerialDevice& port);

} // namespace tawela::platform
