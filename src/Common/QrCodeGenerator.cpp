#include "QrCodeGenerator.h"

#include <QDebug>

#include <stdexcept>

namespace {
const QString c_prefix = QStringLiteral("[QrCodeGenerator] ");
}

QrCodeGenerator::QrCodeGenerator(QObject *parent) : QObject(parent) { }

QString QrCodeGenerator::generateSvgQr(const QString &text, unsigned short borderSize,
                                       qrcodegen::QrCode::Ecc errorCorrection) const
{
    const QByteArray utf8 = text.toUtf8();
    try {
        const qrcodegen::QrCode qr = qrcodegen::QrCode::encodeText(utf8.constData(), errorCorrection);
        return toSvgString(qr, borderSize);
    } catch (const std::exception &error) {
        // The texts come partly from the services; an exception must not
        // escape into the event loop.
        qCritical().noquote().nospace()
            << c_prefix << "ERROR: Could not encode QR code (" << utf8.size() << " bytes): " << error.what();
        return {};
    }
}

QString QrCodeGenerator::toSvgString(const qrcodegen::QrCode &qr, int border)
{
    const int size = qr.getSize();
    const QString dimension = QString::number(size + border * 2);

    QString path;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!qr.getModule(x, y))
                continue;
            if (!path.isEmpty())
                path += QLatin1Char(' ');
            path += QStringLiteral("M%1,%2h1v1h-1z").arg(x + border).arg(y + border);
        }
    }

    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    svg += QStringLiteral("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                          "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">");
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" viewBox=\"0 0 %1 %1\" "
                          "stroke=\"none\">")
               .arg(dimension);
    svg += QStringLiteral("<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>");
    svg += QStringLiteral("<path d=\"%1\" fill=\"#000000\"/>").arg(path);
    svg += QStringLiteral("</svg>");
    return svg;
}
