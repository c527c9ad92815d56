#include "ValidatorConfig.h"

ValidatorConfig::ValidatorConfig(QObject *parent) : QObject(parent) { }

void ValidatorConfig::setObuUrl(const QUrl &obuUrl)
{
    if (m_obuUrl == obuUrl)
        return;
    m_obuUrl = obuUrl;
    Q_EMIT obuUrlChanged();
}

void ValidatorConfig::setPassbackSecs(int passbackSecs)
{
    if (m_passbackSecs == passbackSecs)
        return;
    m_passbackSecs = passbackSecs;
    Q_EMIT passbackSecsChanged();
}

void ValidatorConfig::setPassbackQrEnabled(bool passbackQrEnabled)
{
    if (m_passbackQrEnabled == passbackQrEnabled)
        return;
    m_passbackQrEnabled = passbackQrEnabled;
    Q_EMIT passbackQrEnabledChanged();
}
