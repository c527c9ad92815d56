#include "ItemTree.h"

#include <QColor>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStringList>

namespace ItemTree {

QQuickItem *findItem(QQuickItem *root, const QString &objectName)
{
    if (!root)
        return nullptr;
    if (root->objectName() == objectName)
        return root;
    const auto children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findItem(child, objectName))
            return found;
    }
    return nullptr;
}

static void collectTexts(QQuickItem *root, bool visibleOnly, QList<QQuickItem *> &found)
{
    if (!root || (visibleOnly && !root->isVisible()))
        return;
    if (root->inherits("QQuickText"))
        found << root;
    const auto children = root->childItems();
    for (QQuickItem *child : children)
        collectTexts(child, visibleOnly, found);
}

QList<QQuickItem *> textItems(QQuickItem *root)
{
    QList<QQuickItem *> found;
    collectTexts(root, false, found);
    return found;
}

QList<QQuickItem *> visibleTextItems(QQuickItem *root)
{
    QList<QQuickItem *> found;
    collectTexts(root, true, found);
    return found;
}

bool popupShown(QQuickWindow *window)
{
    const auto items = window->contentItem()->childItems();
    for (QQuickItem *item : items) {
        if (!item->inherits("QQuickOverlay"))
            continue;
        const auto popups = item->childItems();
        for (QQuickItem *popup : popups) {
            if (popup->isVisible())
                return true;
        }
    }
    return false;
}

// Every item below root in the visual tree (the items' object parents may be
// elsewhere: a screen's items are not all object children of the window).
static void collectItems(QQuickItem *root, QList<QQuickItem *> &found)
{
    const auto children = root->childItems();
    for (QQuickItem *child : children) {
        found << child;
        collectItems(child, found);
    }
}

static QList<QQuickItem *> allItems(QQuickWindow *window)
{
    QList<QQuickItem *> found;
    collectItems(window->contentItem(), found);
    return found;
}

bool imagesLoading(QQuickWindow *window)
{
    const auto items = allItems(window);
    for (QQuickItem *item : items) {
        if (item->inherits("QQuickImageBase") && item->property("status").toInt() == 2) // Loading
            return true;
    }
    return false;
}

QStringList undrawnIcons(QQuickWindow *window)
{
    const QImage shown = window->grabWindow();
    const QRect frame(QPoint(0, 0), shown.size());
    QList<QPair<QQuickItem *, QRect>> icons;
    const auto items = allItems(window);
    for (QQuickItem *item : items) {
        if (!item->isVisible() || !QByteArray(item->metaObject()->className()).startsWith("TintedIcon"))
            continue;
        const QRect box
            = item->mapRectToScene(QRectF(0, 0, item->width(), item->height())).toAlignedRect() & frame;
        if (!box.isEmpty())
            icons << qMakePair(item, box);
    }
    if (icons.isEmpty())
        return {};
    // Hidden through opacity: a screen may bind an icon's visibility, and
    // setting it from here would cut that binding for the shots that follow.
    QList<qreal> opacities;
    for (const auto &icon : qAsConst(icons)) {
        opacities << icon.first->opacity();
        icon.first->setOpacity(0);
    }
    const QImage bare = window->grabWindow();
    for (int i = 0; i < icons.size(); ++i)
        icons.at(i).first->setOpacity(opacities.at(i));

    QStringList problems;
    for (const auto &icon : qAsConst(icons)) {
        const QRect &box = icon.second;
        const QColor tint = icon.first->property("color").value<QColor>();
        int marked = 0;
        int tinted = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                const QRgb s = shown.pixel(x, y);
                const QRgb b = bare.pixel(x, y);
                const double d[3]
                    = {double(qRed(s) - qRed(b)), double(qGreen(s) - qGreen(b)), double(qBlue(s) - qBlue(b))};
                if (qAbs(d[0]) + qAbs(d[1]) + qAbs(d[2]) <= 48)
                    continue;
                ++marked;
                // Drawn in its colour: the pixel moved from what lies beneath
                // towards the tint, by the icon's coverage and opacity.
                const double c[3] = {double(tint.red() - qRed(b)), double(tint.green() - qGreen(b)),
                                     double(tint.blue() - qBlue(b))};
                const double cc = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
                const double t = cc > 0 ? (d[0] * c[0] + d[1] * c[1] + d[2] * c[2]) / cc : 0;
                double off = 0;
                for (int i = 0; i < 3; ++i)
                    off += qAbs(d[i] - t * c[i]);
                if (t > 0.1 && off <= 32)
                    ++tinted;
            }
        }
        // A thin outline icon covers a few percent of its box.
        if (marked < box.width() * box.height() / 50 || tinted < marked / 2)
            problems << QStringLiteral("%1 in %2 at %3,%4 (%5 of %6 pixels drawn, %7 in its colour)")
                            .arg(icon.first->property("icon").toString(), tint.name())
                            .arg(box.x())
                            .arg(box.y())
                            .arg(marked)
                            .arg(box.width() * box.height())
                            .arg(tinted);
    }
    return problems;
}

} // namespace ItemTree
