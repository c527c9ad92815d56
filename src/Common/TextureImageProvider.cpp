#include "TextureImageProvider.h"

#include <QDebug>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSGTexture>
#include <QUrl>

#include <utility>

namespace {
const QString c_prefix = QStringLiteral("[TextureImageProvider] ");

QImage readPicture(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        qWarning().noquote().nospace()
            << c_prefix << "WARN: Could not read picture " << path << " : " << reader.errorString();
    return image;
}

// Holds the decoded picture until the window has made its texture.
class ReleasingTextureFactory : public QQuickTextureFactory
{
public:
    ReleasingTextureFactory(QString path, QImage image)
        : m_path(std::move(path)), m_size(image.size()), m_image(std::move(image))
    {
    }

    // Called on the render thread.
    QSGTexture *createTexture(QQuickWindow *window) const override
    {
        QImage image;
        {
            QMutexLocker lock(&m_mutex);
            image.swap(m_image);
        }
        if (image.isNull())
            image = readPicture(m_path);
        if (image.isNull())
            return nullptr;
        return window->createTextureFromImage(image, QQuickWindow::TextureCanUseAtlas);
    }

    QSize textureSize() const override { return m_size; }
    int textureByteCount() const override { return m_size.width() * m_size.height() * 4; }

    // Empty once the texture is made, as with the toolkit's own transient
    // pictures: the image element asks for it after every load (for its
    // colour space), and reading the file again there would cost each step of
    // the animation a decode.
    QImage image() const override
    {
        QMutexLocker lock(&m_mutex);
        return m_image;
    }

private:
    const QString m_path;
    const QSize m_size;
    mutable QMutex m_mutex;
    mutable QImage m_image;
};
} // namespace

TextureImageProvider::TextureImageProvider() : QQuickImageProvider(QQuickImageProvider::Texture) { }

void TextureImageProvider::install(QQmlEngine *engine)
{
    if (!engine->imageProvider(QStringLiteral("texture")))
        engine->addImageProvider(QStringLiteral("texture"), new TextureImageProvider);
}

QQuickTextureFactory *TextureImageProvider::requestTexture(const QString &id, QSize *size,
                                                           const QSize &requestedSize)
{
    // Pictures are shown at their own size: a requested size is not applied.
    Q_UNUSED(requestedSize)
    const QUrl url(id);
    QString path;
    if (url.scheme() == QLatin1String("qrc"))
        path = QLatin1Char(':') + url.path();
    else if (url.isLocalFile())
        path = url.toLocalFile();
    if (path.isEmpty()) {
        qWarning().noquote().nospace() << c_prefix << "WARN: Not a picture of the bundle or a file : " << id;
        return nullptr;
    }
    QImage image = readPicture(path);
    if (image.isNull())
        return nullptr;
    if (size)
        *size = image.size();
    return new ReleasingTextureFactory(path, std::move(image));
}
