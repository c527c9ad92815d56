#include "Common/Config.h"
#include "Defaults.h"
#include "FuzzInput.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

// The configuration file as another program may have left it, then a remote
// configuration applied to what was read, or else one value chosen on the
// device and saved over it. The input is the file content; what follows a
// line "%%json" is the remote object.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir *dir = [] {
        fuzz::quietLogging();
        fuzz::application<QCoreApplication>();
        return new QTemporaryDir;
    }();
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const int split = input.indexOf("\n%%json\n");
    const QString path = dir->filePath(QStringLiteral("gui.conf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(split < 0 ? input : input.left(split));
    }
    Config config(path, tallyport::defaultSettings());
    config.print();
    const QJsonObject json = config.toJson();
    Q_UNUSED(json)
    const QString level = QStringLiteral("log/level");
    if (split >= 0)
        config.fromJson(QJsonDocument::fromJson(input.mid(split + 8)).object());
    else
        config.set(level, config.get(level).toInt() == 3 ? 4 : 3);
    return 0;
}
