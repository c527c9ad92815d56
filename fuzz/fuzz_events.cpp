#include "Common/Config.h"
#include "Defaults.h"
#include "EventManager.h"
#include "FuzzInput.h"

#include <QFile>
#include <QTemporaryDir>

// "events.ini" as a power cut or another program may have left it: loaded,
// cut to the retention period, shown through each filter.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir *dir = [] {
        fuzz::quietLogging();
        fuzz::application<QCoreApplication>();
        return new QTemporaryDir;
    }();
    static Config *config
        = new Config(dir->filePath(QStringLiteral("gui.conf")), tallyport::defaultSettings());
    const QString path = dir->filePath(QStringLiteral("events.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    EventManager events(*config, path);
    for (const char *period : {"Today", "Last week", "Last month"})
        events.applyFilterPeriod(QString::fromLatin1(period));
    events.applyFilter(QStringLiteral("a"));
    const QVariant visible = events.data();
    Q_UNUSED(visible)
    return 0;
}
