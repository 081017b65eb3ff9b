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

void CustomerFiles::picked(int slot, const std::optional<QString>& path)
{
    if (QString* p = picturePath(m_form.customer, slot); p && path)
        *p = *path;
}

void CustomerFiles::captured(int slot, const QString& path)
{
    if (QString* p = picturePath(m_form.customer, slot))
        *p = path;
    if (QString* n = pictureName(m_form.customer, slot))
        *n = path;
}

void CustomerFiles::attachmentPicked(const std::optional<QString>& path)
{
    if (path)
        m_form.customer.excelFile = *path;
}

void CustomerFiles::nameFromPath(int slot)
{
    if (QString* p = picturePath(m_form.customer, slot))
        if (const auto name = captionFromPath(*p))
            *pictureName(m_form.customer, slot) = *name;
}

void CustomerFiles::attachmentNameFromPath()
{
    if (const auto name = captionFromPath(m_form.customer.excelFile))
        m_form.customer.excelName = *name;
}

void CustomerFiles::clear(int slot)
{
    if (QString* p = picturePath(m_form.customer, slot)) {
        p->clear();
        *pictureName(m_form.customer, slot) = QStringLiteral("-");
    }
}

void CustomerFiles::clearAttachment()
{
    m_form.customer.excelFile.clear();
    m_form.customer.excelName = QStringLiteral("-");
}

QString CustomerFiles::path(int slot) const
{
    const QString* p = picturePath(m_form.customer, slot);
    return p ? *p : QString();
}

FileView CustomerFiles::view(int slot) const
{
    const QString* p = picturePath(m_form.customer, slot);
    if (!p || p->isEmpty())
        return {};
    if (!QFileInfo::exists(*p)) {
        m_form.m_prompt.error(QStringLiteral("ไม่พบแฟ้มรูปภาพ"));
        return {};
    }
    // JPEG in the program's own full-screen viewer, anything else in the
    // program the desktop opens it with.
    const bool jpg = p->section(u'.', -1).toUpper() == QLatin1String("JPG");
    return {jpg ? FileView::Kind::FullScreen : FileView::Kind::Open, *p};
}

FileView CustomerFiles::openAttachment() const
{
    if (m_form.customer.excelFile.isEmpty()) {
        m_form.m_prompt.error(QStringLiteral("ไม่พบแฟ้ม Excel"));
        return {};
    }
    if (!QFileInfo::exists(m_form.customer.excelFile)) {
        m_form.m_prompt.error(QStringLiteral("ไม่พบแฟ้มExcel"));
        return {};
    }
    return {FileView::Kind::Open, m_form.customer.excelFile};
}

} // namespace tawela::customers
