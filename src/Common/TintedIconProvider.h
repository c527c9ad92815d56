#pragma once

#include <QQuickImageProvider>

class QQmlEngine;

// Monochrome icons drawn in one colour: "image://tinted/<rrggbb or
// aarrggbb>/<icon url>". The colour is put in once, when the icon is decoded,
// so the icon is a plain image to the renderer: it needs no shader (the
// software renderer of a board without a GPU runs none) and no off-screen pass,
// and it batches with the other images. Decoding may run on the image loader's
// thread.
class TintedIconProvider : public QQuickImageProvider
{
public:
    TintedIconProvider();

    // Makes the provider known to the screens of this engine, once.
    static void install(QQmlEngine *engine);

    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};
