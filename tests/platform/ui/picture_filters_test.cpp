#include "platform/ui/picture_slots.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tawela::platform::ui;

// Every kind a picture dialog offers opens a picture of that kind, written
// here (GIF, which Qt reads but does not write, from its bytes); a kind
// nothing opens is not offered at all.
TEST(PictureFilters, EveryKindOfferedOpensAPictureOfThatKind)
{
    const QStringList filters = pictureFilters({QStringLiteral("PDF Files (*.pdf)")}, true);
    ASSERT_GE(filters.size(), 4); // BMP, JPEG, PNG, GIF at least; PDF; all
    EXPECT_TRUE(filters.last().startsWith(QStringLiteral("All Image Files (")));
    EXPECT_TRUE(filters.contains(QStringLiteral("PDF Files (*.pdf)")));
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    EXPECT_EQ(filters.last().contains(QStringLiteral("*.pcx")), readable.contains("pcx"));
    EXPECT_EQ(filters.last().contains(QStringLiteral("*.tif")), readable.contains("tif"));

    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    // A one-pixel GIF89a.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396101000100800000000000ffffff21f90401000000002c00000000010001000002024401003b");
    QTemporaryDir dir;
    const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    for (auto m = pattern.globalMatch(filters.last()); m.hasNext();) {
        const QString suffix = m.next().captured(1);
        if (suffix == QLatin1String("pdf"))
            continue; // opened by the desktop's viewer
        SCOPED_TRACE(suffix.toStdString());
        const QString file = dir.filePath(QStringLiteral("picture.") + suffix);
        if (suffix == QLatin1String("gif")) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(gif);
        } else {
            QImageWriter writer(file);
            ASSERT_TRUE(writer.canWrite()) << "offered, but no picture of the kind can be made";
            ASSERT_TRUE(writer.write(picture)) << writer.errorString().toStdString();
        }
        QImageReader reader(file);
        EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();
    }
    // Without asking, no Photoshop files.
    EXPECT_FALSE(pictureFilters().last().contains(QStringLiteral("*.psd")));
}
