#include "BitmapResourceTest.h"

#include "BitmapResource.h"

#include <algorithm>

#include <QFile>
#include <QImage>
#include <QTest>
#include <QXmlStreamReader>

namespace {

enum class Look
{
    DarkBackground,
    Neutral,
    Red,
    Yellow,
    Green,
    Blue,
    Other
};

// The average colour of the opaque pixels.
QColor AverageColour(const QImage& image)
{
    qint64 sums[3] = {};
    qint64 count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            sums[0] += qRed(pixel);
            sums[1] += qGreen(pixel);
            sums[2] += qBlue(pixel);
            ++count;
        }
    }
    if (count == 0)
        return {};
    return QColor(int(sums[0] / count), int(sums[1] / count), int(sums[2] / count));
}

// Enough of what a viewer sees to tell the pictures apart: a dark background shows in all
// four corners; otherwise the average colour tells the hue, or that there is hardly any.
Look LookOf(const QImage& image)
{
    const QRect frame = image.rect();
    const QPoint corners[] = {frame.topLeft(), frame.topRight(), frame.bottomLeft(),
                              frame.bottomRight()};
    if (std::all_of(std::begin(corners), std::end(corners), [&](const QPoint& corner) {
            const QRgb pixel = image.pixel(corner);
            return qAlpha(pixel) == 255 && QColor(pixel).value() < 80;
        }))
        return Look::DarkBackground;
    const QColor average = AverageColour(image);
    if (average.hsvSaturation() < 60)
        return Look::Neutral;
    const int hue = average.hsvHue();
    if (hue < 20 || hue >= 330)
        return Look::Red;
    if (hue < 75)
        return Look::Yellow;
    if (hue < 170)
        return Look::Green;
    return hue < 260 ? Look::Blue : Look::Other;
}

} // namespace

void TestBitmapResource::loadsBitmapAtItsSize_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("look");

    QTest::newRow("204 banner") << 204 << QSize(250, 49) << int(Look::DarkBackground);
    QTest::newRow("212 sound card") << 212 << QSize(45, 49) << int(Look::DarkBackground);
    QTest::newRow("215 stop") << 215 << QSize(10, 10) << int(Look::Blue);
    QTest::newRow("216 play") << 216 << QSize(10, 10) << int(Look::Green);
    QTest::newRow("217 playing") << 217 << QSize(10, 10) << int(Look::Red);
    QTest::newRow("218 report sheet") << 218 << QSize(15, 15) << int(Look::Neutral);
    QTest::newRow("219 midi file sheet") << 219 << QSize(17, 19) << int(Look::Neutral);
    QTest::newRow("220 open folder") << 220 << QSize(19, 17) << int(Look::Yellow);
}

void TestBitmapResource::loadsBitmapAtItsSize()
{
    QFETCH(int, id);
    QFETCH(QSize, size);
    QFETCH(int, look);

    const QPixmap bitmap = CBitmapResource::Load(id);
    QVERIFY(!bitmap.isNull());
    QCOMPARE(bitmap.size(), size);
    // Catches a picture stored under the wrong id.
    const QImage image = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(int(LookOf(image)), look);
}

void TestBitmapResource::unknownIdGivesNullPixmap_data()
{
    QTest::addColumn<int>("id");

    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -215;
    QTest::newRow("icon id") << 200;
    QTest::newRow("between bitmaps") << 213;
    QTest::newRow("past the last") << 221;
}

void TestBitmapResource::unknownIdGivesNullPixmap()
{
    QFETCH(int, id);

    QVERIFY(CBitmapResource::Load(id).isNull());
}

void TestBitmapResource::programIconHasEverySize()
{
    const QIcon icon = CBitmapResource::Icon(200);

    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const int side : {16, 32, 48})
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    // The small size is drawn for itself, not shrunk from a larger one.
    QCOMPARE(icon.pixmap(16).size(), QSize(16, 16));
}

void TestBitmapResource::onlyTheProgramIconIsAnIcon()
{
    QVERIFY(CBitmapResource::Icon(204).isNull());
    QVERIFY(CBitmapResource::Icon(0).isNull());
}

void TestBitmapResource::scalableIconIsWellFormed()
{
    QFile file(QStringLiteral(KORVANE_ART_DIR "/korvane.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&file);

    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.name(), QStringLiteral("svg"));
    QCOMPARE(reader.attributes().value("viewBox"), QStringLiteral("0 0 48 48"));
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
}
