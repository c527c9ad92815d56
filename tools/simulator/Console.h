#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

class BoardService;
class PassengerFlow;
class ValidatorService;

// Commands typed on standard input, for a person who wants to try one case by hand.
class Console : public QObject
{
    Q_OBJECT

public:
    Console(ValidatorService &validator, BoardService &board, PassengerFlow &flow, int paceMs,
            QObject *parent = nullptr);

    // Runs one command line; returns false for an unknown or malformed command.
    bool execute(const QString &line);
    static QString help();

Q_SIGNALS:
    void quitRequested();

private:
    void onReadable();

    ValidatorService &m_validator;
    BoardService &m_board;
    PassengerFlow &m_flow;
    int m_paceMs;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_buffer;
};
