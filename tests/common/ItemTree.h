#pragma once

#include <QList>
#include <QString>

class QQuickItem;
class QQuickWindow;

// Screens are made at run time, so screen tests reach them through the item tree.
namespace ItemTree {
QQuickItem *findItem(QQuickItem *root, const QString &objectName);
// Every text item below root, shown or not.
QList<QQuickItem *> textItems(QQuickItem *root);
// Text items a person can see: hidden subtrees are skipped.
QList<QQuickItem *> visibleTextItems(QQuickItem *root);
// A popup is still shown (or fading out) in the window's overlay.
bool popupShown(QQuickWindow *window);
// An image of the window is still loading.
bool imagesLoading(QQuickWindow *window);
// The one-colour icons shown in the window that leave no mark on its image: each
// is hidden for a second image of the window, and where it stands the two must
// differ. Whatever renderer draws the window, an icon must not go missing.
QStringList undrawnIcons(QQuickWindow *window);
} // namespace ItemTree
