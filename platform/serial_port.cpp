#include "platform/serial_port.h"

#include "platform/log.h"

#include <QDir>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>

namespace tawela::platform {

namespace {

const QRegularExpression& portName()
{
    static const QRegularExpression re(QStringLiteral("^tty(S|USB|ACM)(\\d+)$"));
    return re;
}

// Built-in ports first, then the adapters; each kind by its number.
void sortPorts(QList<SerialDevice>& ports)
{
    const auto key = [](const SerialDevice& d) {
        const QRegularExpressionMatch m = portName().match(d.name);
        const QString kind = m.captured(1);
        const int rank = kind == u"S" ? 0 : kind == u"USB" ? 1 : 2;
        return std::pair(rank, m.captured(2).toInt());
    };
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const SerialDevice& a, const SerialDevice& b) { return key(a) < key(b); });
}

} // namespace

QList<SerialDevice> serialDevices()
{
    // Qt leaves out the ttyS device files that have no port behind them.
    QList<SerialDevice> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (portName().match(info.portName()).hasMatch())
            ports << SerialDevice{info.portName(), info.systemLocation()};
    sortPorts(ports);
    return ports;
}

QList<SerialDevice> serialDevicesIn(const QString& folder)
{
    QList<SerialDevice> ports;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (portName().match(name).hasMatch())
            ports << SerialDevice{name, dir.filePath(name)};
    sortPorts(ports);
    return ports;
}

QString pulseCashDrawer(const SerialDevice& port)
{
    QSerialPort serial;
    serial.setPortName(port.path);
    serial.setBaudRate(QSerialPort::Baud9600);
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!serial.open(QIODevice::WriteOnly))
        return QStringLiteral("เปิดพอร์ต %1 ไม่ได้ (%2)").arg(port.name, serial.errorString());
    const QByteArray pulse(21, '0');
    // 21 characters take about 22 ms at 9600 baud; a second a step is plenty.
    bool sent = serial.write(pulse) == pulse.size();
    while (sent && serial.bytesToWrite() > 0)
        sent = serial.waitForBytesWritten(1000);
    qCDebug(log::serial).noquote() << port.path << pulse.size() << "bytes"
                                   << (sent ? QStringLiteral("sent") : serial.errorString());
    if (!sent)
        return QStringLiteral("ส่งคำสั่งไปยังพอร์ต %1 ไม่สำเร็จ (%2)")
            .arg(port.name, serial.errorString());
    serial.close();
    return {};
}

} // namespace tawela::platform
