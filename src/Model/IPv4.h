#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// Five address texts of one interface. Storing never validates an address:
// the screens and the barcode handler run check() on what they hand in.
class IPv4 : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(QString mask READ mask WRITE setMask NOTIFY maskChanged)
    Q_PROPERTY(QString gateway READ gateway WRITE setGateway NOTIFY gatewayChanged)
    Q_PROPERTY(QString dns0 READ dns0 WRITE setDns0 NOTIFY dns0Changed)
    Q_PROPERTY(QString dns1 READ dns1 WRITE setDns1 NOTIFY dns1Changed)

public:
    // What is wrong with an interface configuration, first problem first.
    enum Problem
    {
        NoProblem,
        AddressEmpty,
        MaskEmpty,
        AddressInvalid,
        MaskInvalid,
        MaskNotContiguous,
        GatewayInvalid,
        GatewayUnreachable,
        Dns0Invalid,
        Dns1Invalid
    };
    Q_ENUM(Problem)

    explicit IPv4(QObject *parent = nullptr);

    // Empty, or four decimal numbers from 0 to 255 without leading zeros,
    // separated by dots.
    static bool isAddress(const QString &text);
    // The one check of a configuration before it goes to the network
    // service. Only "manual" carries addresses; then address and netmask are
    // required, the netmask's ones must be contiguous and a gateway must lie
    // in the address's network. fields holds the five keys of toMap().
    static Problem check(const QString &method, const QVariantMap &fields);
    // The problem in English, for log lines.
    static QString problemText(Problem problem);

    QString address() const;
    QString mask() const;
    QString gateway() const;
    QString dns0() const;
    QString dns1() const;

    void setAddress(const QString &value);
    void setMask(const QString &value);
    void setGateway(const QString &value);
    void setDns0(const QString &value);
    void setDns1(const QString &value);

    // Takes "address", "netmask", "gateway", "dns0" and "dns1"; other keys are ignored.
    void fromMap(const QVariantMap &map);
    QVariantMap toMap() const;
    // True when fromMap(map) would change nothing: the five addresses of the
    // map (an absent one read as empty) are the ones held. Other keys do not
    // count, and an empty text equals an absent one.
    bool holds(const QVariantMap &map) const;

Q_SIGNALS:
    void addressChanged();
    void maskChanged();
    void gatewayChanged();
    void dns0Changed();
    void dns1Changed();

private:
    // Returns true when the stored text changed.
    bool set(const QString &key, const QString &value);

    QVariantMap m_data;
};
