#include "Common/MessageFrame.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <climits>

using manager::MessageFrame;

namespace {

QStringList s_lines;

void captureMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg)
        s_lines.append(message);
}

// The per-proxy variations, as the proxies set them.
MessageFrame::Options options(const QString &style)
{
    MessageFrame::Options o;
    if (style == QLatin1String("board")) {
        o.prefix = QStringLiteral("[Board] ");
    } else if (style == QLatin1String("validator")) {
        o.prefix = QStringLiteral("[Validator] ");
        o.baseFilter = false;
        o.emptyPayload = MessageFrame::EmptyPayload::EmptyObject;
    } else if (style == QLatin1String("clock")) {
        o.emptyPayload = MessageFrame::EmptyPayload::ParseError;
        o.rawPayloadInError = true;
    }
    return o;
}

QString parserError(const QByteArray &payload)
{
    QJsonParseError error;
    QJsonDocument::fromJson(payload, &error);
    return error.errorString();
}

struct Call
{
    QString route;
    QJsonObject object;
    QString topic;
};

} // namespace

class tst_MessageFrame : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler(&captureMessage);
    }
    void cleanup() { qInstallMessageHandler(m_previous); }

    void payloadHandling_data();
    void payloadHandling();
    void topicFilterAndRoutes_data();
    void topicFilterAndRoutes();
    void rawRoutesTakeBytesUnparsed();
    void numbersAreRounded_data();
    void numbersAreRounded();

private:
    QtMessageHandler m_previous = nullptr;
};

void tst_MessageFrame::payloadHandling_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("handled");
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<QStringList>("lines");

    const QJsonObject empty;
    const QByteArray junk = "not json {";
    QTest::newRow("object") << "board" << QByteArray(R"({"a": 1, "b": "x"})") << true
                            << QJsonObject {{"a", 1}, {"b", "x"}} << QStringList();
    QTest::newRow("array reads as empty object")
        << "board" << QByteArray("[1, 2]") << true << empty << QStringList();
    QTest::newRow("empty as braces") << "board" << QByteArray() << true << empty << QStringList();
    QTest::newRow("empty as object, no error")
        << "validator" << QByteArray() << true << empty << QStringList();
    QTest::newRow("empty fails and is logged raw")
        << "clock" << QByteArray() << false << empty << QStringList {"Failed to parse JSON message: "};
    QTest::newRow("junk with prefix and parser text")
        << "board" << junk << false << empty
        << QStringList {"[Board] Failed to parse JSON message: " + parserError(junk)};
    QTest::newRow("truncated object")
        << "validator" << QByteArray(R"({"a": )") << false << empty
        << QStringList {"[Validator] Failed to parse JSON message: " + parserError(R"({"a": )")};
    QTest::newRow("junk logged raw without prefix")
        << "clock" << junk << false << empty << QStringList {"Failed to parse JSON message: not json {"};
    // A raw payload in a log line is cut, with its size noted, and shows no secret.
    const QByteArray huge = QByteArray(8 * 1024 * 1024, 'x');
    QTest::newRow("8 MiB junk logged raw, cut")
        << "clock" << huge << false << empty
        << QStringList {"Failed to parse JSON message: " + QString(4096, QLatin1Char('x'))
                        + " ... [cut, 8388608 bytes in all]"};
    QTest::newRow("junk with a secret logged raw")
        << "clock" << QByteArray(R"({"obu_password": "pw", )") << false << empty
        << QStringList {R"(Failed to parse JSON message: {"obu_password": "****", )"};
}

void tst_MessageFrame::payloadHandling()
{
    QFETCH(QString, style);
    QFETCH(QByteArray, payload);
    QFETCH(bool, handled);
    QFETCH(QJsonObject, object);
    QFETCH(QStringList, lines);

    MessageFrame frame(QStringLiteral("vorn/svc"), options(style));
    QVector<Call> calls;
    frame.route(QStringLiteral("vorn/svc/status"), [&](const QJsonObject &o, const QString &t) {
        calls.append({QString(), o, t});
    });

    QCOMPARE(frame.dispatch(payload, QStringLiteral("vorn/svc/status")), handled);
    QCOMPARE(calls.size(), handled ? 1 : 0);
    if (handled) {
        QCOMPARE(calls.at(0).object, object);
        QCOMPARE(calls.at(0).topic, QStringLiteral("vorn/svc/status"));
    }
    QCOMPARE(s_lines, lines);
}

void tst_MessageFrame::topicFilterAndRoutes_data()
{
    QTest::addColumn<bool>("baseFilter");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("route"); // empty: no handler runs

    QTest::newRow("exact") << true << "vorn/insp/status"
                           << "status";
    QTest::newRow("exact route wins by order over substring") << true << "vorn/insp/x/stats"
                                                              << "x-stats";
    QTest::newRow("substring route") << true << "vorn/insp/cpu/stats"
                                     << "stats";
    QTest::newRow("base in the middle passes the filter") << true << "site/vorn/insp/stats"
                                                          << "stats";
    QTest::newRow("foreign topic is filtered out") << true << "vorn/board/stats"
                                                   << "";
    QTest::newRow("without filter it reaches the route") << false << "vorn/board/stats"
                                                         << "stats";
    QTest::newRow("under the base, no route") << true << "vorn/insp/status/get"
                                              << "";
    QTest::newRow("absolute topic without filter") << false << "vorn/rfid/card/found"
                                                   << "card";
    QTest::newRow("absolute topic with filter") << true << "vorn/rfid/card/found"
                                                << "";
}

void tst_MessageFrame::topicFilterAndRoutes()
{
    QFETCH(bool, baseFilter);
    QFETCH(QString, topic);
    QFETCH(QString, route);

    MessageFrame::Options o = options(QStringLiteral("board"));
    o.baseFilter = baseFilter;
    MessageFrame frame(QStringLiteral("vorn/insp"), o);
    QVector<Call> calls;
    const auto handler = [&](const QString &name) {
        return [&calls, name](const QJsonObject &obj, const QString &t) {
            calls.append({name, obj, t});
        };
    };
    frame.route(QStringLiteral("vorn/insp/status"), handler(QStringLiteral("status")));
    frame.route(QStringLiteral("vorn/insp/x/stats"), handler(QStringLiteral("x-stats")));
    frame.route(QStringLiteral("/stats"), handler(QStringLiteral("stats")), MessageFrame::Match::Substring);
    frame.route(QStringLiteral("vorn/rfid/card/found"), handler(QStringLiteral("card")));

    // Junk payload: a topic that is filtered out must not even be parsed.
    if (route.isEmpty() && !topic.contains(QLatin1String("vorn/insp")) && baseFilter) {
        QVERIFY(!frame.dispatch("junk", topic));
        QCOMPARE(s_lines, QStringList());
    }
    QCOMPARE(frame.dispatch(R"({"n": 3})", topic), !route.isEmpty());
    QCOMPARE(calls.size(), route.isEmpty() ? 0 : 1);
    if (!route.isEmpty()) {
        QCOMPARE(calls.at(0).route, route);
        QCOMPARE(calls.at(0).topic, topic);
        QCOMPARE(calls.at(0).object.value(QStringLiteral("n")).toInt(), 3);
    }
    QCOMPARE(s_lines, QStringList()); // an unmatched topic is ignored silently
}

void tst_MessageFrame::rawRoutesTakeBytesUnparsed()
{
    MessageFrame frame(QStringLiteral("vorn/svc"), options(QStringLiteral("board")));
    QVector<QByteArray> raw;
    int parsed = 0;
    frame.routeRaw(QStringLiteral("vorn/svc/blob"),
                   [&](const QByteArray &d, const QString &) { raw.append(d); });
    frame.routeRaw(QStringLiteral("vorn/abs/blob"),
                   [&](const QByteArray &d, const QString &) { raw.append(d); });
    frame.route(
        QStringLiteral("/blob"), [&](const QJsonObject &, const QString &) { ++parsed; },
        MessageFrame::Match::Substring);

    const QByteArray binary("\x00\xff{not json", 11);
    QVERIFY(frame.dispatch(binary, QStringLiteral("vorn/svc/blob")));
    QVERIFY(frame.dispatch(QByteArray(), QStringLiteral("vorn/svc/blob")));
    QVERIFY(frame.dispatch("x", QStringLiteral("vorn/abs/blob"))); // exact, so not subject to the base filter
    QCOMPARE(raw, (QVector<QByteArray> {binary, QByteArray(), "x"}));
    QCOMPARE(parsed, 0);
    QCOMPARE(s_lines, QStringList());

    // Only equality selects a raw route; anything else takes the JSON path.
    QVERIFY(frame.dispatch("{}", QStringLiteral("vorn/svc/blob/more")));
    QCOMPARE(parsed, 1);
    QCOMPARE(raw.size(), 3);
}

void tst_MessageFrame::numbersAreRounded_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<qint64>("asInt64");

    QTest::newRow("whole") << QJsonValue(55) << 55 << qint64(55);
    QTest::newRow("half up") << QJsonValue(55.5) << 56 << qint64(56);
    QTest::newRow("just below") << QJsonValue(80.9) << 81 << qint64(81);
    QTest::newRow("negative half") << QJsonValue(-55.5) << -56 << qint64(-56);
    QTest::newRow("beyond int") << QJsonValue(3e9) << INT_MAX << qint64(3000000000);
    QTest::newRow("below int") << QJsonValue(-3e9) << INT_MIN << qint64(-3000000000);
    QTest::newRow("beyond what a double holds exactly")
        << QJsonValue(1e300) << INT_MAX << qint64(9007199254740992);
    QTest::newRow("text") << QJsonValue(QStringLiteral("55")) << 0 << qint64(0);
    QTest::newRow("boolean") << QJsonValue(true) << 0 << qint64(0);
    QTest::newRow("null") << QJsonValue(QJsonValue::Null) << 0 << qint64(0);
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << 0 << qint64(0);
    QTest::newRow("array") << QJsonValue(QJsonArray {1}) << 0 << qint64(0);
}

void tst_MessageFrame::numbersAreRounded()
{
    QFETCH(QJsonValue, value);
    QFETCH(int, asInt);
    QFETCH(qint64, asInt64);
    QCOMPARE(MessageFrame::toInt(value), asInt);
    QCOMPARE(MessageFrame::toInt64(value), asInt64);
}

QTEST_GUILESS_MAIN(tst_MessageFrame)
#include "tst_MessageFrame.moc"
