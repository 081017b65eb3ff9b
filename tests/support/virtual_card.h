#pragma once

#include "devices/card_reader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace tawela::test {

// A virtual reader of vsmartcard-vpcd (0 or 1), as the smart-card service names it.
inline QString virtualReader(int slot = 0)
{
    return QStringLiteral("Virtual PCD 00 0%1").arg(slot);
}

// The smart-card service answers and lists the virtual reader.
inline bool virtualReaderThere()
{
    return devices::CardReader().readers().contains(virtualReader());
}

// A Thai ID card in a virtual reader (the first unless told), played by
// virtual_id_card.py from the fields given; removed when the object ends (or
// by remove()).
class VirtualCard {
public:
    explicit VirtualCard(const QJsonObject& fields, int slot = 0) : m_slot(slot)
    {
        const QString file = m_dir.filePath(QStringLiteral("card.json"));
        QFile f(file);
        if (f.open(QIODevice::WriteOnly))
            f.write(QJsonDocument(fields).toJson());
        f.close();
        m_card.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_card.start(QStringLiteral("python3"),
                     {QStringLiteral(TAWELA_TEST_SUPPORT_DIR "/virtual_id_card.py"), file,
                      QStringLiteral("--port"), QString::number(35963 + slot)});
        m_card.waitForReadyRead(5000);
        // The service notices the card on its next poll of the reader.
        QElapsedTimer t;
        t.start();
        while (!devices::CardReader().cardPresent(virtualReader(m_slot)) && t.elapsed() < 5000)
            QThread::msleep(50);
    }
    ~VirtualCard() { remove(); }
    VirtualCard(const VirtualCard&) = delete;
    VirtualCard& operator=(const VirtualCard&) = delete;

    bool inserted() const { return devices::CardReader().cardPresent(virtualReader(m_slot)); }
    void remove()
    {
        if (m_card.state() != QProcess::NotRunning) {
            m_card.kill();
            m_card.waitForFinished(3000);
        }
        QElapsedTimer t;
        t.start();
        while (devices::CardReader().cardPresent(virtualReader(m_slot)) && t.elapsed() < 5000)
            QThread::msleep(50);
    }

private:
    int m_slot;
    QTemporaryDir m_dir;
    QProcess m_card;
};

// The fields of a card of a person from the provinces, born 5 January 2530.
inline QJsonObject provincialCard(const QString& photoFile)
{
    return QJsonObject{
        {"id", "1101700203450"},
        {"thai_name", "นาย#สมชาย##ใจดี"},
        {"english_name", "Mr.#Somchai##Jaidee"},
        {"birth", "25300105"},
        {"sex", "1"},
        {"issuer", "ที่ว่าการอำเภอเมืองขอนแก่น/ขอนแก่น"},
        {"issued", "25620315"},
        {"expires", "25700104"},
        {"address", "99/1#หมู่ที่ 4####ตำบลบ้านเป็ด#อำเภอเมืองขอนแก่น#จังหวัดขอนแก่น"},
        {"request", "40019876543210"},
        {"photo", photoFile},
    };
}

} // namespace tawela::test
