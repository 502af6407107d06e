#include "BitmapResourceTest.h"

#include "BitmapResource.h"

#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

void TestBitmapResource::loadsBitmapAtItsSize_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");

    QTest::newRow("204 banner") << 204 << QSize(250, 49);
    QTest::newRow("212 sound card") << 212 << QSize(45, 49);
    QTest::newRow("215 stop") << 215 << QSize(10, 10);
    QTest::newRow("216 play") << 216 << QSize(10, 10);
    QTest::newRow("217 playing") << 217 << QSize(10, 10);
    QTest::newRow("218 report sheet") << 218 << QSize(15, 15);
    QTest::newRow("219 midi file sheet") << 219 << QSize(17, 19);
    QTest::newRow("220 open folder") << 220 << QSize(19, 17);
}

void TestBitmapResource::loadsBitmapAtItsSize()
{
    QFETCH(int, id);
    QFETCH(QSize, size);

    const QPixmap bitmap = CBitmapResource::Load(id);
    QVERIFY(!bitmap.isNull());
    QCOMPARE(bitmap.size(), size);
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

void TestBitmapResource::onlyTheProgramIconIsAnIcon()
{
    const QIcon icon = CBitmapResource::Icon(200);
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));

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
