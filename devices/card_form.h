#pragma once

#include "customers/customer.h"
#include "devices/id_card.h"
#include "platform/db/database.h"
#include "platform/prompt.h"

#include <QImage>

#include <functional>
#include <memory>
#include <optional>

namespace tawela::devices {

// "ID Card Reader" without its widgets: the card last read, the person it
// names in the customer file, "จัดเก็บ ลงฐานข้อมูล" and the hand-over of the
// person to the screen that opened the reader.
class CardForm {
public:
    // The person, as the contract screen's customer fields take it, and the
    // ID number the customer screen finds them by.
    using HandOver = std::function<void(const customers::CustomerCard&, const QString& idNumber)>;

    CardForm(std::shared_ptr<platform::db::Database> customer, QString dataFolder,
             platform::Prompt& prompt);
    void onHandOver(HandOver handOver) { m_handOver = std::move(handOver); }

    // A card read whole: `picture` is the card panel as shown. The person is
    // looked up by ID number; found, they are handed over; not found, the
    // person is asked whether to store them. A card without a photo is
    // shown only: neither looked up nor stored.
    void cardRead(const IdCard& card, const QImage& picture,
                  const QDate& today = QDate::currentDate());

    // A read that failed or stopped halfway: nothing of the card read before
    // stays to be stored or handed over.
    void readFailed();

    const std::optional<IdCard>& card() const { return m_card; }
    bool storeAllowed() const { return m_storeAllowed; }
    bool addedNew() const { return m_addNew; }

    // "จัดเก็บ ลงฐานข้อมูล": the card's fields into the person's row, the
    // postal code from the directory, the card picture as Images/<ID>.jpg.
    // False (said) when it could not be stored.
    bool store(const QDate& today = QDate::currentDate());

    // Where the card picture goes (one file per person: two people of the
    // same name never share it).
    QString pictureFile(const QString& idNumber) const;

private:
    std::shared_ptr<platform::db::Database> m_customer;
    QString m_dataFolder;
    platform::Prompt& m_prompt;
    HandOver m_handOver;
    std::optional<IdCard> m_card;
    QImage m_picture;
    bool m_storeAllowed = false, m_addNew = false;
};

} // namespace tawela::devices
