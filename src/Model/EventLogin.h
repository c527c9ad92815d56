#pragma once

#include "Model/Event.h"

struct User;

// "Maintenance login" of the given user, stamped now.
class EventLogin : public Event
{
    Q_OBJECT

public:
    explicit EventLogin(const User &user, QObject *parent = nullptr);
};
