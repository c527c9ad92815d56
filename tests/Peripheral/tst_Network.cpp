#include "BrokerFixture.h"
#include "ProxyProbe.h"
#include "TestPeer.h"

#include "Common/MqttClient.h"
#include "Model/IPv4.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

using manager::Ethernet;
using manager::MqttClient;
using manager::Network;

namespace {

const QString c_base = QStringLiteral("vorn/network");

void deliver(MqttClient &client, const QString &suffix, const QByteArray &payload)
{
    emit client.received(payload, (c_base + suffix).toUtf8());
}

const QByteArray c_status = R"json({"stateStr": "connected (global)",
                 "connectivityStr" : "full", "hostname" : "val-07", "primaryConnection":
{
    "interface" : "eth0", "stateStr" : "activated", "typeStr" : "ethernet", "ipv4":
    {
        "address" : "10.0.0.7",
                    "netmask" : "255.255.255.0",
                                "gateway" : "10.0.0.1",
                                            "dns0" : "10.0.0.2",
                                                     "dns1" : "10.0.0.3"
    }
}
})json";

const QByteArray c_state = R"({"interface": "eth0", "typeStr": "ethernet", "stateStr": "activated",
    "reasonStr": "none", "mac": "00:11:22:33:44:55",
    "ipv4": {"address": "10.0.0.7", "netmask": "255.255.255.0", "gateway": "10.0.0.1",
             "dns0": "10.0.0.2", "dns1": "10.0.0.3"}})";

const QByteArray c_config = R"({"interface": "eth0", "method": "manual", "address": "192.168.5.20",
    "netmask": "255.255.0.0", "gateway": "192.168.5.1", "dns0": "192.168.5.2", "dns1": "192.168.5.3"})";

void prime(MqttClient &client)
{
    deliver(client, QStringLiteral("/status"), c_status);
    deliver(client, QStringLiteral("/ethernet/state"), c_state);
    deliver(client, QStringLiteral("/ethernet/config"), c_config);
}

} // namespace

class tst_Network : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void networkStatus();
    void ethernetState_data();
    void ethernetState();
    void equalAddressesAreNoChange_data();
    void equalAddressesAreNoChange();
    void ethernetConfig();
    void badPayloads_data();
    void badPayloads();
    void requestsThroughBroker();
    void addressCheck_data();
    void addressCheck();
    void configCheck_data();
    void configCheck();
};

void tst_Network::networkStatus()
{
    MqttClient client;
    Network network(client, c_base);
    manager::Connection *primary = network.primaryConnection();
    AllSignals all(&network);
    AllSignals connection(primary);

    deliver(client, QStringLiteral("/status"), c_status);
    QCOMPARE(network.connectionState(), QStringLiteral("connected (global)"));
    QCOMPARE(network.connectivity(), QStringLiteral("full"));
    QCOMPARE(network.hostname(), QStringLiteral("val-07"));
    QCOMPARE(primary->interface(), QStringLiteral("eth0"));
    QCOMPARE(primary->state(), QStringLiteral("activated"));
    QCOMPARE(primary->type(), QStringLiteral("ethernet"));
    QCOMPARE(primary->ipv4()->mask(), QStringLiteral("255.255.255.0"));
    QCOMPARE(primary->ipv4()->dns1(), QStringLiteral("10.0.0.3"));
    QCOMPARE(all.fired(),
             (QStringList {"connectionStateChanged", "connectivityChanged", "hostnameChanged",
                           "primaryConnectionChanged"}));
    QCOMPARE(connection.fired(),
             (QStringList {"interfaceChanged", "stateChanged", "typeChanged", "ipv4Changed"}));

    // The same status again: only the always-sent primaryConnectionChanged.
    all.clear();
    connection.clear();
    deliver(client, QStringLiteral("/status"), c_status);
    QCOMPARE(all.fired(), QStringList {"primaryConnectionChanged"});
    QCOMPARE(connection.fired(), QStringList());

    // Absent members clear what they stand for.
    deliver(client, QStringLiteral("/status"), R"({"stateStr": "disconnected"})");
    QCOMPARE(network.hostname(), QString());
    QCOMPARE(primary->interface(), QString());
    QCOMPARE(primary->ipv4()->address(), QString());
    QCOMPARE(primary->ipv4()->gateway(), QString());
}

void tst_Network::ethernetState_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("expectedSignals");
    QTest::addColumn<QString>("address");

    QTest::newRow("repeated") << c_state << QStringList() << "10.0.0.7";
    QTest::newRow("usb0 ignored whole")
        << QByteArray(R"({"interface": "usb0", "typeStr": "gadget", "stateStr": "up", "mac": "aa:bb",
                          "ipv4": {"address": "172.16.0.1"}})")
        << QStringList() << "10.0.0.7";
    QTest::newRow("only the state moves") << QByteArray(c_state).replace("\"activated\"", "\"deactivated\"")
                                          << QStringList {"stateChanged"} << "10.0.0.7";
    QTest::newRow("new address") << QByteArray(c_state).replace("10.0.0.7", "10.0.0.8")
                                 << QStringList {"ipv4Changed"} << "10.0.0.8";
    QTest::newRow("other interface") << QByteArray(
        R"({"interface": "eth1", "typeStr": "ethernet", "stateStr": "activated", "reasonStr": "none",
                          "mac": "00:11:22:33:44:66"})")
                                     << QStringList {"interfaceChanged", "macChanged", "ipv4Changed"} << "";
}

void tst_Network::ethernetState()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, expectedSignals);
    QFETCH(QString, address);

    MqttClient client;
    Network network(client, c_base);
    Ethernet *ethernet = network.ethernet();
    deliver(client, QStringLiteral("/ethernet/state"), c_state);
    QCOMPARE(ethernet->interface(), QStringLiteral("eth0"));
    QCOMPARE(ethernet->type(), QStringLiteral("ethernet"));
    QCOMPARE(ethernet->state(), QStringLiteral("activated"));
    QCOMPARE(ethernet->reason(), QStringLiteral("none"));
    QCOMPARE(ethernet->mac(), QStringLiteral("00:11:22:33:44:55"));
    QCOMPARE(ethernet->ipv4()->gateway(), QStringLiteral("10.0.0.1"));

    AllSignals all(ethernet);
    deliver(client, QStringLiteral("/ethernet/state"), payload);
    QCOMPARE(all.fired(), expectedSignals);
    QCOMPARE(ethernet->ipv4()->address(), address);
    QVERIFY(ethernet->config()->address().isEmpty()); // live state never touches the configuration
}

void tst_Network::equalAddressesAreNoChange_data()
{
    QTest::addColumn<QByteArray>("ipv4");

    // Real interfaces report an unused DNS server as an empty text.
    QTest::newRow("empty dns1") << QByteArray(R"({"address": "10.0.0.7", "netmask": "255.255.255.0",
        "gateway": "10.0.0.1", "dns0": "10.0.0.2", "dns1": ""})");
    QTest::newRow("dns1 absent") << QByteArray(R"({"address": "10.0.0.7", "netmask": "255.255.255.0",
        "gateway": "10.0.0.1", "dns0": "10.0.0.2"})");
    QTest::newRow("all empty") << QByteArray(R"({"address": "", "netmask": "", "gateway": "", "dns0": "",
        "dns1": ""})");
    QTest::newRow("a member beyond the five") << QByteArray(R"({"address": "10.0.0.7", "prefix": 24})");
}

// The same report twice is no change: no signal, no "IPv4 changed" line.
void tst_Network::equalAddressesAreNoChange()
{
    QFETCH(QByteArray, ipv4);
    MqttClient client;
    Network network(client, c_base);
    const QByteArray state = R"({"interface": "eth0", "typeStr": "ethernet", "stateStr": "activated",
        "reasonStr": "none", "mac": "00:11:22:33:44:55", "ipv4": )"
        + ipv4 + "}";
    const QByteArray status = R"json({"stateStr": "connected", "primaryConnection": {"interface": "eth0",
        "stateStr": "activated", "typeStr": "ethernet", "ipv4": )json"
        + ipv4 + "}}";
    deliver(client, QStringLiteral("/ethernet/state"), state);
    deliver(client, QStringLiteral("/status"), status);

    AllSignals ethernet(network.ethernet());
    AllSignals live(network.ethernet()->ipv4());
    AllSignals primary(network.primaryConnection());
    static QStringList lines;
    lines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { lines << message; });
    deliver(client, QStringLiteral("/ethernet/state"), state);
    deliver(client, QStringLiteral("/status"), status);
    qInstallMessageHandler(previous);
    QCOMPARE(lines.filter(QStringLiteral("IPv4 changed")), QStringList());
    QCOMPARE(ethernet.fired(), QStringList());
    QCOMPARE(live.fired(), QStringList());
    QCOMPARE(primary.fired(), QStringList());
}

void tst_Network::ethernetConfig()
{
    MqttClient client;
    Network network(client, c_base);
    Ethernet *ethernet = network.ethernet();
    AllSignals all(ethernet);
    AllSignals config(ethernet->config());

    deliver(client, QStringLiteral("/ethernet/config"), c_config);
    QCOMPARE(ethernet->method(), QStringLiteral("manual"));
    QCOMPARE(ethernet->config()->address(), QStringLiteral("192.168.5.20"));
    QCOMPARE(ethernet->config()->mask(), QStringLiteral("255.255.0.0"));
    QCOMPARE(ethernet->config()->dns1(), QStringLiteral("192.168.5.3"));
    QCOMPARE(ethernet->config()->toMap().value("netmask"), QVariant("255.255.0.0"));
    QVERIFY(!ethernet->config()->toMap().contains("interface")); // only the five address keys are kept
    QCOMPARE(ethernet->interface(), QString()); // not taken from a config message
    QCOMPARE(all.fired(), (QStringList {"methodChanged", "configChanged"}));
    QCOMPARE(config.fired(),
             (QStringList {"addressChanged", "maskChanged", "gatewayChanged", "dns0Changed", "dns1Changed"}));

    // A repeated config is announced again, while the addresses signal only real changes.
    all.clear();
    config.clear();
    deliver(client, QStringLiteral("/ethernet/config"), c_config);
    QCOMPARE(all.fired(), QStringList {"configChanged"});
    QCOMPARE(config.fired(), QStringList());

    deliver(client, QStringLiteral("/ethernet/config"),
            QByteArray(c_config).replace("192.168.5.1\"", "192.168.5.9\""));
    QCOMPARE(config.fired(), QStringList {"gatewayChanged"});

    // The USB gadget link's configuration is ignored whole.
    all.clear();
    config.clear();
    deliver(client, QStringLiteral("/ethernet/config"),
            R"({"interface": "usb0", "method": "auto", "address": "172.16.0.1"})");
    QCOMPARE(all.fired(), QStringList());
    QCOMPARE(ethernet->method(), QStringLiteral("manual"));

    // Local edits stay local.
    ethernet->config()->setAddress(QStringLiteral("192.168.5.99"));
    ethernet->setMethod(QStringLiteral("auto"));
    QCOMPARE(ethernet->config()->address(), QStringLiteral("192.168.5.99"));
    QCOMPARE(all.fired(), QStringList {"methodChanged"});
}

void tst_Network::badPayloads_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("parses");

    for (const char *suffix : {"/info", "/status", "/ethernet/state", "/ethernet/config"}) {
        const QByteArray name(suffix);
        QTest::newRow((name + " malformed").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"({"interface": "eth0",})") << false;
        QTest::newRow((name + " empty").constData()) << QString::fromLatin1(suffix) << QByteArray() << true;
        QTest::newRow((name + " array").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"([{"interface": "eth1"}])") << true;
    }
}

void tst_Network::badPayloads()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, payload);
    QFETCH(bool, parses);

    MqttClient client;
    Network network(client, c_base);
    prime(client);

    QVariantMap expected = snapshot(&network);
    if (parses) {
        MqttClient twinClient;
        Network twin(twinClient, c_base);
        prime(twinClient);
        deliver(twinClient, suffix, "{}");
        expected = snapshot(&twin);
    } else {
        // Ethernet topics lie under the network base, so both objects parse them.
        if (suffix.startsWith(QLatin1String("/ethernet")))
            QTest::ignoreMessage(QtCriticalMsg,
                                 QRegularExpression(QStringLiteral(
                                     "^\\[Network\\]\\[Ethernet\\] Failed to parse JSON message: \\S")));
        QTest::ignoreMessage(
            QtCriticalMsg,
            QRegularExpression(QStringLiteral("^\\[Network\\] Failed to parse JSON message: \\S")));
    }
    deliver(client, suffix, payload);
    QCOMPARE(snapshot(&network), expected);
}

void tst_Network::requestsThroughBroker()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    TestPeer peer;
    QVERIFY(peer.connectTo(broker.port()));
    QVERIFY(peer.subscribe(c_base + QStringLiteral("/#")));

    MqttClient client;
    client.setHostname(broker.host());
    client.setPort(broker.port());
    Network network(client, c_base);
    Ethernet *ethernet = network.ethernet();
    client.connect();

    // On connection only the Ethernet side asks; the network side only logs.
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/ethernet/config/get")));
    QStringList topics;
    for (const TestPeer::Message &m : peer.messages()) {
        topics.append(m.topic);
        QCOMPARE(m.payload, QByteArray("{}"));
    }
    QCOMPARE(topics, (QStringList {c_base + "/ethernet/state/get", c_base + "/ethernet/config/get"}));

    // Before any state message the interface name is empty.
    peer.clear();
    ethernet->save();
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/ethernet/config/set")));
    QCOMPARE(
        peer.payloads(c_base + "/ethernet/config/set").first(),
        QByteArray(
            "{\n    \"address\": \"\",\n    \"dns0\": \"\",\n    \"dns1\": \"\",\n    \"gateway\": \"\",\n"
            "    \"interface\": \"\",\n    \"method\": \"\",\n    \"netmask\": \"\"\n}\n"));

    QSignalSpy config(ethernet, &Ethernet::configChanged);
    QSignalSpy state(ethernet, &Ethernet::interfaceChanged);
    QVERIFY(peer.publish(c_base + QStringLiteral("/ethernet/state"), c_state));
    QVERIFY(peer.publish(c_base + QStringLiteral("/ethernet/config"), c_config));
    QVERIFY(config.wait());
    QCOMPARE(state.count(), 1);

    // Manual: the configuration as edited, empty fields included.
    peer.clear();
    ethernet->config()->setAddress(QStringLiteral("192.168.5.21"));
    ethernet->config()->setDns1(QString());
    const QVariantMap before = snapshot(ethernet);
    ethernet->save();
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/ethernet/config/set")));
    QCOMPARE(snapshot(ethernet), before);
    const QByteArray manual = peer.payloads(c_base + "/ethernet/config/set").first();
    QVERIFY(manual.startsWith("{\n    \"address\": \"192.168.5.21\",\n"));
    QCOMPARE(QJsonDocument::fromJson(manual),
             QJsonDocument::fromJson(R"({"interface": "eth0", "method": "manual", "address": "192.168.5.21",
                 "netmask": "255.255.0.0", "gateway": "192.168.5.1", "dns0": "192.168.5.2", "dns1": ""})"));

    // Any other method sends the five addresses empty.
    peer.clear();
    ethernet->setMethod(QStringLiteral("auto"));
    ethernet->save();
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/ethernet/config/set")));
    QCOMPARE(QJsonDocument::fromJson(peer.payloads(c_base + "/ethernet/config/set").first()),
             QJsonDocument::fromJson(R"({"interface": "eth0", "method": "auto", "address": "",
                 "netmask": "", "gateway": "", "dns0": "", "dns1": ""})"));

    QSignalSpy hostname(&network, &Network::hostnameChanged);
    QVERIFY(peer.publish(c_base + QStringLiteral("/status"), c_status));
    QVERIFY(hostname.wait());
    QCOMPARE(network.hostname(), QStringLiteral("val-07"));
}

void tst_Network::addressCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("private") << "192.168.1.20" << true;
    QTest::newRow("zeros") << "0.0.0.0" << true;
    QTest::newRow("broadcast") << "255.255.255.255" << true;
    QTest::newRow("256") << "192.168.1.256" << false;
    QTest::newRow("leading zero") << "192.168.01.1" << false;
    QTest::newRow("three numbers") << "10.0.1" << false;
    QTest::newRow("five numbers") << "10.0.0.1.2" << false;
    QTest::newRow("trailing dot") << "10.0.0.1." << false;
    QTest::newRow("no dots") << "1234" << false;
    QTest::newRow("blank inside") << "10.0. 0.1" << false;
    QTest::newRow("host name") << "gateway.local" << false;
}

void tst_Network::addressCheck()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IPv4::isAddress(text), valid);
}

void tst_Network::configCheck_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<IPv4::Problem>("problem");

    const QVariantMap good {{"address", "10.0.0.5"}, {"netmask", "255.0.0.0"}, {"gateway", ""}, {"dns0", ""}};
    const auto with = [&good](const QVariantMap &changes) {
        QVariantMap fields = good;
        for (auto it = changes.begin(); it != changes.end(); ++it)
            fields.insert(it.key(), it.value());
        return fields;
    };
    QTest::newRow("auto ignores the fields") << "auto" << with({{"address", "x"}}) << IPv4::NoProblem;
    QTest::newRow("any other method too") << "dhcp" << with({{"netmask", ""}}) << IPv4::NoProblem;
    QTest::newRow("manual, gateway and DNS empty") << "manual" << good << IPv4::NoProblem;
    QTest::newRow("address empty before netmask empty")
        << "manual" << with({{"address", ""}, {"netmask", ""}}) << IPv4::AddressEmpty;
    QTest::newRow("netmask empty before a bad address")
        << "manual" << with({{"address", "1.2.3.256"}, {"netmask", ""}}) << IPv4::MaskEmpty;
    QTest::newRow("address 256") << "manual" << with({{"address", "10.0.0.256"}}) << IPv4::AddressInvalid;
    QTest::newRow("netmask syntax") << "manual" << with({{"netmask", "255.0.0"}}) << IPv4::MaskInvalid;
    QTest::newRow("netmask with a hole")
        << "manual" << with({{"netmask", "255.0.255.0"}}) << IPv4::MaskNotContiguous;
    QTest::newRow("netmask ones after zeros")
        << "manual" << with({{"netmask", "0.255.255.255"}}) << IPv4::MaskNotContiguous;
    QTest::newRow("netmask /23") << "manual" << with({{"netmask", "255.255.254.0"}}) << IPv4::NoProblem;
    QTest::newRow("netmask /32") << "manual" << with({{"netmask", "255.255.255.255"}}) << IPv4::NoProblem;
    QTest::newRow("gateway syntax") << "manual" << with({{"gateway", "10.0.0.01"}}) << IPv4::GatewayInvalid;
    QTest::newRow("gateway in the network")
        << "manual" << with({{"netmask", "255.255.255.0"}, {"gateway", "10.0.0.254"}}) << IPv4::NoProblem;
    QTest::newRow("gateway outside the network")
        << "manual" << with({{"netmask", "255.255.255.0"}, {"gateway", "10.0.1.1"}})
        << IPv4::GatewayUnreachable;
    QTest::newRow("DNS 0") << "manual" << with({{"dns0", "8.8.8"}}) << IPv4::Dns0Invalid;
    QTest::newRow("DNS 1") << "manual" << with({{"dns1", "dns.example"}}) << IPv4::Dns1Invalid;
    // A DNS server may sit outside the address's network.
    QTest::newRow("DNS elsewhere") << "manual" << with({{"dns0", "8.8.8.8"}}) << IPv4::NoProblem;
}

void tst_Network::configCheck()
{
    QFETCH(QString, method);
    QFETCH(QVariantMap, fields);
    QFETCH(IPv4::Problem, problem);
    QCOMPARE(IPv4::check(method, fields), problem);
}

QTEST_GUILESS_MAIN(tst_Network)
#include "tst_Network.moc"
