import QtQuick 2.15
import QtQuick.Controls 2.15

// A choice among untranslated keys shown translated, so a language change
// re-translates the texts without resetting the choice.
ComboBox {
    id: root

    font.pixelSize: 16
    displayText: manager.dynTr + qsTranslate("EventLog", model[currentIndex])
    delegate: ItemDelegate {
        width: root.width
        text: manager.dynTr + qsTranslate("EventLog", modelData)
        font.pixelSize: 16
        highlighted: root.highlightedIndex === index
    }
}
