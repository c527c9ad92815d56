#include "TintedIconProvider.h"

#include <QColor>
#include <QDebug>
#include <QImageReader>
#include <QPainter>
#include <QQmlEngine>
#include <QUrl>

#include <climits>

namespace {
const QString c_prefix = QStringLiteral("[TintedIconProvider] ");
}

TintedIconProvider::TintedIconProvider() : QQuickImageProvider(QQuickImageProvider::Image) { }

void TintedIconProvider::install(QQmlEngine *engine)
{
    if (!engine->imageProvider(QStringLiteral("tinted")))
        engine->addImageProvider(QStringLiteral("tinted"), new TintedIconProvider);
}

QImage TintedIconProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    const int slash = id.indexOf(QLatin1Char('/'));
    const QColor colour(QLatin1Char('#') + id.left(slash));
    const QUrl url(id.mid(slash + 1));
    QString path;
    if (url.scheme() == QLatin1String("qrc"))
        path = QLatin1Char(':') + url.path();
    else if (url.isLocalFile())
        path = url.toLocalFile();
    if (slash <= 0 || !colour.isValid() || path.isEmpty()) {
        qWarning().noquote().nospace() << c_prefix << "WARN: Not an icon in a colour : " << id;
        return {};
    }

    QImageReader reader(path);
    // As the toolkit's own loader: scaled to fit the requested size, keeping
    // the icon's proportions; one side given scales the other with it.
    QSize target = reader.size();
    if (target.isValid() && (requestedSize.width() > 0 || requestedSize.height() > 0)) {
        if (requestedSize.width() <= 0)
            target = target.scaled(QSize(INT_MAX, requestedSize.height()), Qt::KeepAspectRatio);
        else if (requestedSize.height() <= 0)
            target = target.scaled(QSize(requestedSize.width(), INT_MAX), Qt::KeepAspectRatio);
        else
            target = target.scaled(requestedSize, Qt::KeepAspectRatio);
        reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        qWarning().noquote().nospace()
            << c_prefix << "WARN: Could not read icon " << path << " : " << reader.errorString();
        return {};
    }
    image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Keeps the icon's coverage, takes the colour: what a tint shader does.
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    painter.end();
    if (size)
        *size = image.size();
    return image;
}
