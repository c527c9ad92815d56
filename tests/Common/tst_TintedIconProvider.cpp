#include "Common/TintedIconProvider.h"
#include "Resources.h"

#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// Icons come out in the colour asked for, with the icon's own coverage, at the
// size the screen asks for; anything else gives no image and a warning.
class tst_TintedIconProvider : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void colourKeepsCoverage_data();
    void colourKeepsCoverage();
    void sizes_data();
    void sizes();
    void refused_data();
    void refused();

private:
    QTemporaryDir m_dir;
    QString m_icon;
};

void tst_TintedIconProvider::initTestCase()
{
    tallyport::initResources();
    QVERIFY(m_dir.isValid());
    // Opaque black, half-covered grey, empty: a monochrome icon's three kinds of pixel.
    QImage icon(3, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(0, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(90, 90, 90, 128));
    icon.setPixel(2, 0, qRgba(0, 0, 0, 0));
    m_icon = m_dir.filePath(QStringLiteral("icon.png"));
    QVERIFY(icon.save(m_icon));
}

void tst_TintedIconProvider::colourKeepsCoverage_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QRgb>("covered");
    QTest::addColumn<QRgb>("half");

    QTest::newRow("rrggbb") << "41b987" << qRgba(0x41, 0xb9, 0x87, 255) << qRgba(0x41, 0xb9, 0x87, 128);
    QTest::newRow("aarrggbb") << "80db4a37" << qRgba(0xdb, 0x4a, 0x37, 128) << qRgba(0xdb, 0x4a, 0x37, 64);
    QTest::newRow("white") << "ffffff" << qRgba(255, 255, 255, 255) << qRgba(255, 255, 255, 128);
}

void tst_TintedIconProvider::colourKeepsCoverage()
{
    QFETCH(QString, colour);
    QFETCH(QRgb, covered);
    QFETCH(QRgb, half);

    TintedIconProvider provider;
    QSize size;
    const QImage image = provider
                             .requestImage(colour + QLatin1Char('/') + QUrl::fromLocalFile(m_icon).toString(),
                                           &size, QSize())
                             .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(size, QSize(3, 1));
    auto near = [](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2
            && qAbs(qBlue(a) - qBlue(b)) <= 2 && qAbs(qAlpha(a) - qAlpha(b)) <= 2;
    };
    QVERIFY2(near(image.pixel(0, 0), covered), qPrintable(QString::number(image.pixel(0, 0), 16)));
    QVERIFY2(near(image.pixel(1, 0), half), qPrintable(QString::number(image.pixel(1, 0), 16)));
    QCOMPARE(qAlpha(image.pixel(2, 0)), 0);
}

void tst_TintedIconProvider::sizes_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("delivered");

    // The result icons are square; the fixture is 3 x 1.
    QTest::newRow("both sides") << "qrc:/qml/images/Icons/valid.svg" << QSize(250, 250) << QSize(250, 250);
    QTest::newRow("fits inside, proportions kept") << "file" << QSize(30, 30) << QSize(30, 10);
    QTest::newRow("width only") << "file" << QSize(60, 0) << QSize(60, 20);
    QTest::newRow("height only") << "file" << QSize(0, 5) << QSize(15, 5);
    QTest::newRow("none: as drawn") << "file" << QSize() << QSize(3, 1);
}

void tst_TintedIconProvider::sizes()
{
    QFETCH(QString, icon);
    QFETCH(QSize, requested);
    QFETCH(QSize, delivered);

    if (icon == QLatin1String("file"))
        icon = QUrl::fromLocalFile(m_icon).toString();
    TintedIconProvider provider;
    QSize size;
    const QImage image = provider.requestImage(QStringLiteral("e7e7e7/") + icon, &size, requested);
    QCOMPARE(image.size(), delivered);
    QCOMPARE(size, delivered);
}

void tst_TintedIconProvider::refused_data()
{
    QTest::addColumn<QString>("id");

    QTest::newRow("no colour") << "qrc:/qml/images/Icons/valid.svg";
    QTest::newRow("not a colour") << "zzzzzz/qrc:/qml/images/Icons/valid.svg";
    QTest::newRow("not a local icon") << "ffffff/http://127.0.0.1/valid.svg";
    QTest::newRow("no such icon") << "ffffff/qrc:/qml/images/Icons/none.svg";
    QTest::newRow("not an image") << "ffffff/qrc:/qml/qtquickcontrols2.conf";
}

void tst_TintedIconProvider::refused()
{
    QFETCH(QString, id);

    TintedIconProvider provider;
    QSize size(-1, -1);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^\\[TintedIconProvider\\] WARN: ")));
    QVERIFY(provider.requestImage(id, &size, QSize(40, 40)).isNull());
    QCOMPARE(size, QSize(-1, -1));
}

QTEST_GUILESS_MAIN(tst_TintedIconProvider)

#include "tst_TintedIconProvider.moc"
