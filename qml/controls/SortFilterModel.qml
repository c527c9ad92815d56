import QtQuick 2.15
import QtQml.Models 2.15

// A delegate model that shows, in source order, only the items that
// filterAcceptsItem(item) accepts.
DelegateModel {
    id: root

    property var filterAcceptsItem: function (item) {
        return true
    }
    // Kept for callers that set it; changing it refreshes, no sorting is done.
    property var lessThan: function (left, right) {
        return true
    }

    function update() {
        if (items.count > 0)
            items.setGroups(0, items.count, "items")

        var accepted = []
        for (var i = 0; i < items.count; ++i) {
            var item = items.get(i)
            if (filterAcceptsItem(item.model))
                accepted.push(item)
        }
        for (i = 0; i < accepted.length; ++i)
            accepted[i].groups = ["items", "visible"]
    }

    items.onChanged: update()
    onFilterAcceptsItemChanged: update()
    onLessThanChanged: update()

    groups: DelegateModelGroup {
        id: visibleItems
        name: "visible"
    }
    filterOnGroup: "visible"
}
