#pragma once

#include <QString>

// A maintenance user: who may open the settings menu and with which PIN.
struct User
{
    int id = 0;
    QString name;
    QString surname;
    QString pin;
};
