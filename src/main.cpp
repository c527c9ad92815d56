#include "Resources.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tallyport::initResources();
    return app.exec();
}
