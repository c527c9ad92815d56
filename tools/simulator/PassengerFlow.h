#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <functional>

class BoardService;
class ValidatorService;

// A scripted stream of passengers (every product type, valid results, each group
// of denials, retries) and, optionally, the device's bad days (degraded, out of
// service, ignition off), at a human pace.
class PassengerFlow : public QObject
{
    Q_OBJECT

public:
    PassengerFlow(ValidatorService &validator, BoardService &board, QObject *parent = nullptr);

    void start(int paceMs, bool scenarios);
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

    // Named cases shared with the console: "epurse", "period", "trips", "barcode", ...
    static QStringList productNames();
    static QJsonObject transaction(const QString &product, bool valid = true, int denyId = 0);
    static bool isBarcode(const QString &product) { return product == QLatin1String("barcode"); }

    // Presents one ticket to the right reader.
    void present(const QString &product, bool valid = true, int denyId = 0);

private:
    struct Step
    {
        QString text;
        std::function<void()> action;
        bool needsReader = true; // a passenger only taps while the reader invites it
    };

    void buildScript(bool scenarios);
    void next();

    ValidatorService &m_validator;
    BoardService &m_board;
    QTimer m_timer;
    QVector<Step> m_steps;
    int m_index = 0;
};
