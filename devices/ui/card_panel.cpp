#include "devices/ui/card_panel.h"

#include "platform/ui/rotated_text.h"
#include "reports/barcode.h"

#include <QLinearGradient>
#include <QPainter>

namespace tawela::devices {

CardPanel::CardPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frame_card"));
    setAccessibleName(QStringLiteral("ข้อมูลบนบัตรประชาชน"));
    setMinimumSize(640, 400);
}

void CardPanel::setCard(const IdCard& card, const QDate& today)
{
    m_card = card;
    m_age = ageOn(card, today);
    m_photo = QImage::fromData(card.photo, "JPG");
    m_barcode = reports::barcodeImage(reports::BarcodeKind::Code39, card.idNumber);
    setAccessibleDescription(line("id") + u' ' + line("thai"));
    update();
}

void CardPanel::clear()
{
    m_card.reset();
    m_photo = m_barcode = QImage();
    update();
}

QImage CardPanel::picture()
{
    return grab().toImage();
}

QString CardPanel::line(const char* what) const
{
    if (!m_card)
        return {};
    const IdCard& c = *m_card;
    const QString w = QLatin1String(what);
    if (w == u"id")
        return formattedIdNumber(c.idNumber);
    if (w == u"thai")
        return c.thaiTitle + u' ' + c.thaiFirst + QStringLiteral("  ") + c.thaiLast;
    if (w == u"birth")
        return thaiCardDate(c.birth);
    if (w == u"birthEnglish")
        return englishCardDate(c.birth);
    if (w == u"address")
        return addressText(c);
    if (w == u"sex")
        return sexText(c);
    if (w == u"age")
        return QString::number(m_age);
    if (w == u"request")
        return formattedRequestNumber(c.requestNumber);
    if (w == u"barcode")
        return u'*' + c.idNumber + u'*';
    return {};
}

void CardPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(4, 4, -4, -4);
    QLinearGradient ground(card.topLeft(), card.bottomRight());
    ground.setColorAt(0, QColor(0xE8, 0xF1, 0xFB));
    ground.setColorAt(0.6, QColor(0xF7, 0xEE, 0xF4));
    ground.setColorAt(1, QColor(0xDD, 0xEE, 0xE3));
    p.setPen(QPen(QColor(0x8A, 0x9B, 0xB4), 1.5));
    p.setBrush(ground);
    p.drawRoundedRect(card, 14, 14);
    QFont f = font();
    f.setPointSizeF(9);
    QFont big = f;
    big.setPointSizeF(12);
    big.setBold(true);
    p.setPen(QColor(0x1F, 0x3A, 0x68));
    p.setFont(big);
    p.drawText(QPointF(card.left() + 60, card.top() + 30), QStringLiteral("บัตรประจำตัวประชาชน"));
    p.setFont(f);
    p.drawText(QPointF(card.left() + 260, card.top() + 30),
               QStringLiteral("Thai National ID Card"));
    if (!m_card) {
        p.setPen(QColor(0x6B, 0x77, 0x85));
        p.drawText(card, Qt::AlignCenter, QStringLiteral("เสียบบัตรประชาชนที่เครื่องอ่านบัตร"));
        return;
    }
    const IdCard& c = *m_card;
    const qreal left = card.left() + 60;
    qreal y = card.top() + 58;
    auto row = [&](const QString& caption, const QString& value, bool bold = false) {
        p.setFont(f);
        p.setPen(QColor(0x44, 0x55, 0x6E));
        p.drawText(QPointF(left, y), caption);
        QFont v = f;
        v.setPointSizeF(bold ? 12 : 10);
        v.setBold(bold);
        p.setFont(v);
        p.setPen(Qt::black);
        p.drawText(QRectF(left + 140, y - 16, card.right() - left - 280, 40),
                   Qt::AlignLeft | Qt::TextWordWrap, value);
        y += 27;
    };
    row(QStringLiteral("เลขประจำตัวประชาชน"), line("id"), true);
    row(QStringLiteral("ชื่อตัวและชื่อสกุล"), line("thai"), true);
    row(QStringLiteral("Name"), c.englishTitle + u' ' + c.englishFirst);
    row(QStringLiteral("Last name"), c.englishLast);
    row(QStringLiteral("เกิดวันที่"), line("birth"));
    row(QStringLiteral("Date of Birth"), line("birthEnglish"));
    row(QStringLiteral("เพศ:"),
        line("sex") + QStringLiteral("      อายุ: ") + line("age") + QStringLiteral(" ปี"));
    row(QStringLiteral("ที่อยู่"), line("address"));
    y += 14;
    row(QStringLiteral("วันออกบัตร"),
        thaiCardDate(c.issued) + QStringLiteral("   (") + englishCardDate(c.issued) + u')');
    row(QStringLiteral("วันบัตรหมดอายุ"),
        thaiCardDate(c.expires) + QStringLiteral("   (") + englishCardDate(c.expires) + u')');
    row(QStringLiteral("สถานที่ออกบัตร:"), c.issuer);

    // The photo, upper right, and the request number under it.
    const QRectF photo(card.right() - 130, card.top() + 48, 110, 132);
    p.setPen(QColor(0x8A, 0x9B, 0xB4));
    p.setBrush(Qt::white);
    p.drawRect(photo);
    if (!m_photo.isNull())
        p.drawImage(photo.adjusted(2, 2, -2, -2), m_photo);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRectF(photo.left() - 30, photo.bottom() + 6, photo.width() + 40, 20),
               Qt::AlignCenter, line("request"));

    // The bar-code strip down the left edge, read from the bottom up.
    const QRectF strip(card.left() + 8, card.top() + 44, 40, card.height() - 60);
    if (!m_barcode.isNull()) {
        p.save();
        p.translate(strip.left() + 4, strip.bottom());
        p.rotate(-90);
        p.drawImage(QRectF(0, 0, strip.height() * 0.7, 22), m_barcode);
        p.restore();
    }
    QFont code = f;
    code.setFamily(QStringLiteral("DejaVu Sans Mono"));
    code.setPointSizeF(8);
    platform::ui::drawRotatedText(p, QPointF(strip.left() + 38, strip.bottom()), 90, code,
                                  line("barcode"));
}

} // namespace tawela::devices
