#include "Model/Event.h"

#include <utility>

Event::Event(QObject *parent) : QObject(parent) { }

Event::Event(QString category, QString name, QString description, QDateTime timestamp, QObject *parent)
    : QObject(parent)
    , m_category(std::move(category))
    , m_name(std::move(name))
    , m_descr(std::move(description))
    , m_timestamp(std::move(timestamp))
{
}
