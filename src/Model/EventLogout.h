#pragma once

#include "Model/Event.h"

// "Maintenance logout", stamped now.
class EventLogout : public Event
{
    Q_OBJECT

public:
    explicit EventLogout(QObject *parent = nullptr);
};
