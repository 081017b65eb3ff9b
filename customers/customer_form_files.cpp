#include "customers/customer_form.h"

#include <QFileInfo>

namespace tawela::customers {

namespace {

// The path and the name box of a picture slot; null outside 0–2.
template <typename C> auto* picturePath(C& c, int slot)
{
    decltype(&c.image1) paths[] = {&c.image1, &c.image2, &c.image3};
    return slot >= 0 && slot < 3 ? paths[slot] : nullptr;
}

template <typename C> auto* pictureName(C& c, int slot)
{
    decltype(&c.dtIm1) names[] = {&c.dtIm1, &c.dtIm2, &c.dtIm3};
    return slot >= 0 && slot < 3 ? names[slot] : nullptr;
}

} // namespace

// The file name of a path whose last part has an extension; paths from
// other computers may use either separator.
std::optional<QString> captionFromPath(const QString& path)
{
    const qsizetype dot = path.indexOf(u'.');
    if (dot < 0)
        return std::nullopt;
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (slash > dot)
        return std::nullopt;
    return path.mid(slash + 1);
}

void CustomerForm::picturePicked(int slot, const std::optional<QString>& path)
{
    if (QString* p = picturePath(customer, slot); p && path)
        *p = *path;
}

void CustomerForm::pictureCaptured(int slot, const QString& path)
{
    if (QString* p = picturePath(customer, slot))
        *p = path;
    if (QString* n = pictureName(customer, slot))
        *n = path;
}

void CustomerForm::attachmentPicked(const std::optional<QString>& path)
{
    if (path)
        customer.excelFile = *path;
}

void CustomerForm::pictureNameFromPath(int slot)
{
    if (QString* p = picturePath(customer, slot))
        if (const auto name = captionFromPath(*p))
            *pictureName(customer, slot) = *name;
}

void CustomerForm::attachmentNameFromPath()
{
    if (const auto name = captionFromPath(customer.excelFile))
        customer.excelName = *name;
}

void CustomerForm::clearPicture(int slot)
{
    if (QString* p = picturePath(customer, slot)) {
        p->clear();
        *pictureName(customer, slot) = QStringLiteral("-");
    }
}

void CustomerForm::clearAttachment()
{
    customer.excelFile.clear();
    customer.excelName = QStringLiteral("-");
}

QString CustomerForm::picturePathOf(int slot) const
{
    const QString* p = picturePath(customer, slot);
    return p ? *p : QString();
}

CustomerForm::FileView CustomerForm::viewPicture(int slot) const
{
    const QString* p = picturePath(customer, slot);
    if (!p || p->isEmpty())
        return {};
    if (!QFileInfo::exists(*p)) {
        m_prompt.error(QStringLiteral("ไม่พบแฟ้มรูปภาพ"));
        return {};
    }
    // JPEG in the program's own full-screen viewer, anything else in the
    // program the desktop opens it with.
    const bool jpg = p->section(u'.', -1).toUpper() == QLatin1String("JPG");
    return {jpg ? FileView::Kind::FullScreen : FileView::Kind::Open, *p};
}

CustomerForm::FileView CustomerForm::openAttachment() const
{
    if (customer.excelFile.isEmpty()) {
        m_prompt.error(QStringLiteral("ไม่พบแฟ้ม Excel"));
        return {};
    }
    if (!QFileInfo::exists(customer.excelFile)) {
        m_prompt.error(QStringLiteral("ไม่พบแฟ้มExcel"));
        return {};
    }
    return {FileView::Kind::Open, customer.excelFile};
}

} // namespace tawela::customers
