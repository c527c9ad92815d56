#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVector>

#include <functional>

namespace manager {

// The reception steps every service proxy shares: base filter, empty payload,
// JSON parsing with its error line, dispatch by topic. Each proxy owns one
// frame, describes its variations in Options and registers its routes; its
// onMqttReceived slot then only calls dispatch().
class MessageFrame
{
public:
    enum class EmptyPayload
    {
        Braces, // replaced by "{ }" before parsing
        EmptyObject, // handed on as an empty object without a parse error
        ParseError // parsed as it is, so it fails and is logged
    };

    enum class Match
    {
        Exact, // topic equals the route
        Substring // topic contains the route
    };

    struct Options
    {
        QString prefix; // "[Board] ", prepended to the parse error line
        bool baseFilter = true; // drop topics that do not contain the base
        EmptyPayload emptyPayload = EmptyPayload::Braces;
        bool rawPayloadInError = false; // log the payload instead of the parser's error text
    };

    using Handler = std::function<void(const QJsonObject &object, const QString &topic)>;
    using RawHandler = std::function<void(const QByteArray &data, const QString &topic)>;

    MessageFrame(QString base, Options options);

    // Numbers in the services' messages: a fraction is rounded (55.5 reads as
    // 56, where QJsonValue::toInt() gives 0), a value beyond the type's range
    // is held at its end, and anything that is not a number reads as 0.
    static int toInt(const QJsonValue &value);
    // As toInt, within the whole numbers a JSON number holds exactly (2^53),
    // so that sums and differences of two of them cannot overflow.
    static qint64 toInt64(const QJsonValue &value);

    const QString &base() const { return m_base; }

    // Routes are tried in the order they were added; the first match wins.
    // topic is the whole topic (base plus suffix, or an absolute topic).
    void route(const QString &topic, Handler handler, Match match = Match::Exact);
    // Matched by equality before any parsing: the payload is not read at all.
    void routeRaw(const QString &topic, RawHandler handler);

    // Runs the reception steps; returns true if a handler was called.
    bool dispatch(const QByteArray &data, const QString &topic) const;

private:
    struct Route
    {
        QString topic;
        Match match;
        Handler handler;
    };
    struct RawRoute
    {
        QString topic;
        RawHandler handler;
    };

    QString m_base;
    Options m_options;
    QVector<Route> m_routes;
    QVector<RawRoute> m_rawRoutes;
};

} // namespace manager
