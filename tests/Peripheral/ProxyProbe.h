#pragma once

#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

// Watches every signal a proxy declares (not those of QObject), so a test can
// say exactly which ones fired, in declaration order, once per emission.
class AllSignals
{
public:
    explicit AllSignals(QObject *object)
    {
        const QMetaObject *meta = object->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            m_names.append(QString::fromLatin1(method.name()));
            m_spies.push_back(std::make_unique<QSignalSpy>(object, method));
        }
    }

    QStringList fired() const
    {
        QStringList names;
        for (std::size_t i = 0; i < m_spies.size(); ++i)
            for (int n = 0; n < m_spies[i]->count(); ++n)
                names.append(m_names.at(int(i)));
        return names;
    }

    void clear()
    {
        for (auto &spy : m_spies)
            spy->clear();
    }

private:
    QStringList m_names;
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

// Every property the object declares, read now; QObject-valued properties
// (address holders, the primary connection, the Ethernet proxy) are read
// recursively, so comparing two snapshots compares the whole visible state.
inline QVariantMap snapshot(const QObject *object)
{
    QVariantMap values;
    const QMetaObject *meta = object->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QVariant value = property.read(object);
        if (property.type() == QVariant::UserType && value.canConvert<QObject *>()) {
            const QObject *child = value.value<QObject *>();
            values.insert(QString::fromLatin1(property.name()), child ? snapshot(child) : QVariantMap());
        } else {
            values.insert(QString::fromLatin1(property.name()), value);
        }
    }
    return values;
}
