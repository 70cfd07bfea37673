#pragma once

#include <QNetworkProxy>
#include <QString>

struct Settings;

// The proxy of the web requests from the [Proxy] settings. Only type 1 (manual configuration)
// sets one; types 0 (automatic) and 2 (no proxy) leave the system's own settings in force.
inline constexpr int kManualProxyType = 1;

// The proxy text of the web directory client, "address:port"; empty when no proxy is set.
QString ProxyText(const Settings& s);

// The proxy itself; withLogin adds the proxy user name and password (the update check sends
// them whatever LoginRequired says). DefaultProxy when no proxy is set.
QNetworkProxy ProxyFromSettings(const Settings& s, bool withLogin);
