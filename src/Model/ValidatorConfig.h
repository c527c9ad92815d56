#pragma once

#include <QObject>
#include <QUrl>

// The validator's editable configuration. Edits stay local until the
// validator proxy saves them; the service's answer then replaces them.
class ValidatorConfig : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl obuUrl READ obuUrl WRITE setObuUrl NOTIFY obuUrlChanged)
    Q_PROPERTY(int passbackSecs READ passbackSecs WRITE setPassbackSecs NOTIFY passbackSecsChanged)
    Q_PROPERTY(bool passbackQrEnabled READ passbackQrEnabled WRITE setPassbackQrEnabled NOTIFY
                   passbackQrEnabledChanged)

public:
    explicit ValidatorConfig(QObject *parent = nullptr);

    QUrl obuUrl() const { return m_obuUrl; }
    int passbackSecs() const { return m_passbackSecs; }
    bool passbackQrEnabled() const { return m_passbackQrEnabled; }

    void setObuUrl(const QUrl &obuUrl);
    void setPassbackSecs(int passbackSecs);
    void setPassbackQrEnabled(bool passbackQrEnabled);

Q_SIGNALS:
    void obuUrlChanged();
    void passbackSecsChanged();
    void passbackQrEnabledChanged();

private:
    QUrl m_obuUrl;
    int m_passbackSecs = 0;
    bool m_passbackQrEnabled = false;
};
