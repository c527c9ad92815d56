#include "MessageFrame.h"

#include "Logger.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QLoggingCategory>

#include <climits>
#include <cmath>

namespace manager {

namespace {
constexpr double c_exactLimit = 9007199254740992.0; // 2^53
} // namespace

qint64 MessageFrame::toInt64(const QJsonValue &value)
{
    const double number = value.toDouble();
    if (!value.isDouble() || std::isnan(number))
        return 0;
    return std::llround(qBound(-c_exactLimit, number, c_exactLimit));
}

int MessageFrame::toInt(const QJsonValue &value)
{
    return int(qBound<qint64>(INT_MIN, toInt64(value), INT_MAX));
}

MessageFrame::MessageFrame(QString base, Options options)
    : m_base(std::move(base)), m_options(std::move(options))
{
}

void MessageFrame::route(const QString &topic, Handler handler, Match match)
{
    m_routes.append({topic, match, std::move(handler)});
}

void MessageFrame::routeRaw(const QString &topic, RawHandler handler)
{
    m_rawRoutes.append({topic, std::move(handler)});
}

bool MessageFrame::dispatch(const QByteArray &data, const QString &topic) const
{
    for (const RawRoute &raw : m_rawRoutes) {
        if (topic == raw.topic) {
            raw.handler(data, topic);
            return true;
        }
    }

    if (m_options.baseFilter && !topic.contains(m_base))
        return false;

    QJsonObject object;
    if (data.isEmpty() && m_options.emptyPayload == EmptyPayload::EmptyObject) {
        // an empty payload reads as an empty object, without an error line
    } else {
        const QByteArray payload = (data.isEmpty() && m_options.emptyPayload == EmptyPayload::Braces)
            ? QByteArrayLiteral("{ }")
            : data;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
        if (error.error != QJsonParseError::NoError) {
            if (m_options.rawPayloadInError)
                qCritical().noquote().nospace()
                    << m_options.prefix << "Failed to parse JSON message: " << Logger::payload(payload);
            else
                qCritical().noquote().nospace()
                    << m_options.prefix << "Failed to parse JSON message: " << error.errorString();
            return false;
        }
        object = document.object(); // an array reads as an empty object
    }

    for (const Route &r : m_routes) {
        const bool hit = r.match == Match::Exact ? topic == r.topic : topic.contains(r.topic);
        if (hit) {
            r.handler(object, topic);
            return true;
        }
    }
    return false;
}

} // namespace manager
