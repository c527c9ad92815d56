#include "Common/QrCodeGenerator.h"

#include <QRegularExpression>
#include <QtTest>

class tst_QrCodeGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void svgShape_data();
    void svgShape();
    void textTooLong();
};

void tst_QrCodeGenerator::svgShape_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("size");

    // Version 1 is 21 modules, version 2 is 25; eight Greek letters take 16
    // bytes as UTF-8, too many for version 1.
    QTest::newRow("short, border 1") << QStringLiteral("HELLO") << 1 << 21;
    QTest::newRow("short, border 4") << QStringLiteral("HELLO") << 4 << 21;
    QTest::newRow("two-byte characters") << QStringLiteral("Καλημέρα") << 1 << 25;
}

void tst_QrCodeGenerator::svgShape()
{
    QFETCH(QString, text);
    QFETCH(int, border);
    QFETCH(int, size);

    const QString svg = QrCodeGenerator().generateSvgQr(text, ushort(border), qrcodegen::QrCode::Ecc::MEDIUM);
    QVERIFY(!svg.contains(QLatin1Char('\n')));
    QVERIFY(svg.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE svg")));
    QVERIFY(svg.endsWith(QStringLiteral("</svg>")));
    const int n = size + 2 * border;
    QVERIFY(svg.contains(QStringLiteral("viewBox=\"0 0 %1 %1\" stroke=\"none\"").arg(n)));
    QVERIFY(svg.contains(QStringLiteral("<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>")));

    const QRegularExpressionMatch path
        = QRegularExpression(QStringLiteral("<path d=\"([^\"]*)\" fill=\"#000000\"/>")).match(svg);
    QVERIFY(path.hasMatch());
    const QStringList modules = path.captured(1).split(QLatin1Char(' '));
    const QRegularExpression module(QStringLiteral("^M(\\d+),(\\d+)h1v1h-1z$"));
    int previousRow = -1;
    int previousColumn = -1;
    for (const QString &entry : modules) {
        const QRegularExpressionMatch m = module.match(entry);
        QVERIFY2(m.hasMatch(), qPrintable(entry));
        const int x = m.captured(1).toInt();
        const int y = m.captured(2).toInt();
        // Every dark module lies inside the code, offset by the border, rows outer.
        QVERIFY(x >= border && x < border + size && y >= border && y < border + size);
        QVERIFY(y > previousRow || (y == previousRow && x > previousColumn));
        previousRow = y;
        previousColumn = x;
    }
    // The three finder patterns: 7x7 rings with 3x3 centres, 33 dark modules each.
    QVERIFY(modules.contains(QStringLiteral("M%1,%1h1v1h-1z").arg(border)));
    QVERIFY(modules.contains(QStringLiteral("M%1,%2h1v1h-1z").arg(border + size - 1).arg(border)));
    QVERIFY(!modules.contains(QStringLiteral("M%1,%2h1v1h-1z").arg(border + 7).arg(border)));
    QVERIFY(modules.size() > 3 * 33);
}

void tst_QrCodeGenerator::textTooLong()
{
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Could not encode QR code")));
    const QString svg
        = QrCodeGenerator().generateSvgQr(QString(5000, QLatin1Char('x')), 1, qrcodegen::QrCode::Ecc::MEDIUM);
    QVERIFY(svg.isEmpty());
}

QTEST_GUILESS_MAIN(tst_QrCodeGenerator)
#include "tst_QrCodeGenerator.moc"
