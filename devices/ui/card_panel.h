#pragma once

#include "devices/id_card.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace tawela::devices {

// The card as the card reader screen pictures it: the holder's details in
// the places the card has them, the photo, and the bar-code strip of the ID
// number turned on its side.
class CardPanel : public QWidget {
    Q_OBJECT
public:
    explicit CardPanel(QWidget* parent = nullptr);
    void setCard(const IdCard& card, const QDate& today = QDate::currentDate());
    void clear();
    const std::optional<IdCard>& card() const { return m_card; }
    // What is shown, as the picture kept with the person.
    QImage picture();
    QSize sizeHint() const override { return {640, 400}; }

    // The texts as shown, by what they are (for the screen reader and tests).
    QString line(const char* what) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<IdCard> m_card;
    QImage m_photo, m_barcode;
    int m_age = 0;
};

} // namespace tawela::devices
