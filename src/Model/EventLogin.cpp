#include "Model/EventLogin.h"

#include "Model/User.h"

EventLogin::EventLogin(const User &user, QObject *parent)
    : Event(QStringLiteral("General"), QStringLiteral("Maintenance login"),
            QStringLiteral("User ID : %1\nFirst name : %2\nLast name : %3\nDate : %4")
                .arg(QString::number(user.id), user.name, user.surname,
                     QDateTime::currentDateTime().toString(Qt::TextDate)),
            QDateTime::currentDateTime(), parent)
{
}
