#include "web/RRWsdlPortType.h"

#include <QXmlStreamReader>

#include <algorithm>

#include "persist/Settings.h"
#include "web/FileVersion.h"
#include "web/ProxySetting.h"
#include "web/WebServiceError.h"

namespace rr {
namespace {

constexpr int kMsPerSecond = 1000;
constexpr char kWsdlError[] = "Unable to load WSDL File/Location: ";

// The address of the port `portName` of service `serviceName` in a WSDL document; empty when
// the document names none.
QUrl FindServiceAddress(const QByteArray& wsdl, QString& error)
{
    QXmlStreamReader r(wsdl);
    bool inService = false;
    bool inPort = false;
    QUrl address;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QStringView name = r.name();
            const QStringView nameAttr = r.attributes().value("name");
            if (name == u"service")
                inService = nameAttr == QLatin1String(RRWsdlPortType::kServiceName);
            else if (name == u"port")
                inPort = inService && nameAttr == QLatin1String(RRWsdlPortType::kPortName);
            else if (name == u"address" && inPort && address.isEmpty())
                address = QUrl(r.attributes().value("location").toString());
        } else if (r.isEndElement()) {
            if (r.name() == u"service")
                inService = false;
            else if (r.name() == u"port")
                inPort = false;
        }
    }
    if (r.hasError()) {
        error = r.errorString();
        return QUrl();
    }
    if (address.isEmpty() || !address.isValid())
        error = QString("the description names no address for service %1, port %2")
                    .arg(RRWsdlPortType::kServiceName, RRWsdlPortType::kPortName);
    return address;
}

int ToInt(const SoapItem& item, const char* member)
{
    const QString text = item.value(member).trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw WebServiceError(WebServiceError::Kind::Conversion,
                              QString("'%1' is not a valid integer value for %2").arg(text, member));
    return value;
}

QString HttpErrorText(const HttpAnswer& a)
{
    return QString("The server answered with HTTP status %1 (%2)").arg(a.status).arg(a.reason);
}

}  // namespace

RRWsdlPortType::RRWsdlPortType(Settings& settings, Mode mode) : settings_(settings), mode_(mode)
{
    auth_.username = QString::fromStdString(settings.webUserName);
    auth_.password = QString::fromStdString(settings.webPassword);
    auth_.appKey = settings.useDevelKey ? kDevelAppKey : kAppKey;
    http_.SetAgent(AgentText(kProgramName, ProgramFileVersion()));
    const QNetworkProxy proxy = ProxyFromSettings(settings, false);
    if (proxy.type() == QNetworkProxy::DefaultProxy)
        http_.ClearProxy();
    else
        http_.SetProxy(proxy);
}

void RRWsdlPortType::ArmTimeout()
{
    // The raised value replaces the setting, so it is also what the settings file gets.
    int& seconds = mode_ == Mode::CdRom ? settings_.cdromTimeOut : settings_.webTimeOut;
    seconds = std::max(seconds, mode_ == Mode::CdRom ? kMinCdromTimeOut : kMinWebTimeOut);
    http_.SetTimeoutMs(timeoutOverrideMs_ > 0 ? timeoutOverrideMs_ : seconds * kMsPerSecond);
}

void RRWsdlPortType::LoadDescription(const QUrl& location)
{
    location_ = location;
    address_ = QUrl();
    const QString where = location.toString();
    ArmTimeout();
    const HttpAnswer a = http_.Get(location);
    if (a.cancelled)
        throw WebServiceError(WebServiceError::Kind::Cancelled, a.errorText);
    if (!a.answered)
        throw WebServiceError(WebServiceError::Kind::Description, kWsdlError + where + " - " + a.errorText);
    if (a.status >= 400)
        throw WebServiceError(WebServiceError::Kind::Description, kWsdlError + where + " - " + HttpErrorText(a));
    QString error;
    const QUrl address = FindServiceAddress(a.body, error);
    if (!error.isEmpty())
        throw WebServiceError(WebServiceError::Kind::Description, kWsdlError + where + " - " + error);
    address_ = CallAddress(location, address);
}

QUrl RRWsdlPortType::CallAddress(const QUrl& location, const QUrl& named)
{
    QUrl address = location.resolved(named);
    if (location.scheme().compare("https", Qt::CaseInsensitive) == 0 &&
        address.scheme().compare("http", Qt::CaseInsensitive) == 0 &&
        address.host().compare(location.host(), Qt::CaseInsensitive) == 0) {
        address.setScheme("https");
        address.setPort(location.port());
    }
    return address;
}

QList<SoapItem> RRWsdlPortType::Call(const QString& operation, const QList<SoapParam>& params)
{
    if (address_.isEmpty())
        LoadDescription(location_);
    ArmTimeout();
    const HttpExchange::Headers headers = {{"Content-Type", "text/xml; charset=utf-8"},
                                           {"SOAPAction", SoapAction(operation)}};
    const HttpAnswer a = http_.Post(address_, BuildRequest(operation, params, auth_), headers);
    if (a.cancelled)
        throw WebServiceError(WebServiceError::Kind::Cancelled, a.errorText);
    if (!a.answered)
        throw WebServiceError(WebServiceError::Kind::Transport, a.errorText);
    if (a.status >= 400) {
        // The service sends its faults with status 500.
        if (const auto fault = ReadFault(a.body))
            throw WebServiceError(WebServiceError::Kind::RemoteFault, *fault);
        throw WebServiceError(WebServiceError::Kind::Transport, HttpErrorText(a));
    }
    return ReadResponse(a.body, operation);
}

QList<TrsListDef> RRWsdlPortType::getTrsBySysid(const QString& sysid)
{
    QList<TrsListDef> systems;
    for (const SoapItem& item : Call("getTrsBySysid", {{"sysid", "string", sysid}}))
        systems.append({ToInt(item, "sid"), item.value("sName"), item.value("sCity")});
    return systems;
}

QList<TrsSite> RRWsdlPortType::getTrsSites(int sid)
{
    QList<TrsSite> sites;
    for (const SoapItem& item : Call("getTrsSites", {{"sid", "int", QString::number(sid)}}))
        sites.append({ToInt(item, "siteNumber"), item.value("siteDescr"), ToInt(item, "zoneNumber")});
    return sites;
}

QList<Talkgroup> RRWsdlPortType::getTrsTalkgroups(int sid, int tgCid, int tgTag, int tgDec)
{
    // All four numbers go out: the service refuses a request that leaves one out.
    const QList<SoapParam> params = {{"sid", "int", QString::number(sid)},
                                     {"tgCid", "int", QString::number(tgCid)},
                                     {"tgTag", "int", QString::number(tgTag)},
                                     {"tgDec", "int", QString::number(tgDec)}};
    QList<Talkgroup> talkgroups;
    for (const SoapItem& item : Call("getTrsTalkgroups", params))
        talkgroups.append({ToInt(item, "tgDec"), item.value("tgDescr"), item.value("tgAlpha")});
    return talkgroups;
}

QList<mode> RRWsdlPortType::getMode(int modeNumber)
{
    QList<mode> modes;
    for (const SoapItem& item : Call("getMode", {{"mode", "int", QString::number(modeNumber)}}))
        modes.append({ToInt(item, "mode"), item.value("modeName")});
    return modes;
}

}  // namespace rr
