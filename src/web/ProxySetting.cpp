#include "web/ProxySetting.h"

#include "persist/Settings.h"

QString ProxyText(const Settings& s)
{
    if (s.proxyType != kManualProxyType)
        return QString();
    return QString("%1:%2").arg(QString::fromStdString(s.proxyAddress)).arg(s.proxyPort);
}

QNetworkProxy ProxyFromSettings(const Settings& s, bool withLogin)
{
    if (s.proxyType != kManualProxyType)
        return QNetworkProxy(QNetworkProxy::DefaultProxy);
    QNetworkProxy proxy(QNetworkProxy::HttpProxy, QString::fromStdString(s.proxyAddress),
                        static_cast<quint16>(s.proxyPort));
    if (withLogin) {
        proxy.setUser(QString::fromStdString(s.proxyUserName));
        proxy.setPassword(QString::fromStdString(s.proxyPassword));
    }
    return proxy;
}
