#pragma once

#include <QQuickImageProvider>

class QQmlEngine;

// Pictures the window keeps as textures alone: "image://texture/<picture
// url>". A picture is decoded (on the image loader's thread when asked for
// asynchronously) and handed to the window once; from then on only the
// texture holds it, not a second decoded copy beside it. The idle animation
// keeps every frame ready this way at half the memory. Should the window lose
// its textures, the picture is read again.
class TextureImageProvider : public QQuickImageProvider
{
public:
    TextureImageProvider();

    // Makes the provider known to the screens of this engine, once.
    static void install(QQmlEngine *engine);

    QQuickTextureFactory *requestTexture(const QString &id, QSize *size, const QSize &requestedSize) override;
};
