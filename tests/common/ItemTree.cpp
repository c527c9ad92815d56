#include "ItemTree.h"

#include <QQuickItem>
#include <QQuickWindow>

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

bool imagesLoading(QQuickWindow *window)
{
    const auto items = window->contentItem()->findChildren<QQuickItem *>();
    for (QQuickItem *item : items) {
        if (item->inherits("QQuickImageBase") && item->property("status").toInt() == 2) // Loading
            return true;
    }
    return false;
}

} // namespace ItemTree
