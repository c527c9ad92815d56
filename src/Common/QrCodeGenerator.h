#pragma once

#include <QObject>
#include <QString>

#include <qrcodegen/qrcodegen.hpp>

// Turns a text into the SVG image of its QR code.
class QrCodeGenerator : public QObject
{
    Q_OBJECT

public:
    explicit QrCodeGenerator(QObject *parent = nullptr);

    // Empty when the text does not fit in a QR code at this error correction;
    // the caller shows no image rather than a wrong one.
    QString generateSvgQr(const QString &text, unsigned short borderSize,
                          qrcodegen::QrCode::Ecc errorCorrection) const;

private:
    static QString toSvgString(const qrcodegen::QrCode &qr, int border);
};
