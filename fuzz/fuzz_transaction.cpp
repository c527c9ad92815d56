#include "FuzzInput.h"
#include "Model/Transaction.h"

#include <QJsonDocument>
#include <QJsonObject>

// A validator result as the proxy hands it on: the parsed object becomes a
// Transaction and its map is what the result screens read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool ready = [] {
        fuzz::quietLogging();
        fuzz::application<QCoreApplication>();
        return true;
    }();
    Q_UNUSED(ready)
    const QJsonDocument document
        = QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)));
    const Transaction transaction(document.object());
    const QVariantMap map = transaction.toMap();
    Q_UNUSED(map)
    return 0;
}
