#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include "web/HttpExchange.h"
#include "web/SoapEnvelope.h"
#include "web/WebDirectoryTypes.h"

struct Settings;

namespace rr {

// The client of the web directory service (port type RRWsdlPortType of service "RRWsdl"), for
// one import: it reads the service description, learns the service address from it and calls
// the four operations the program needs. Every failure is thrown as a WebServiceError.
class RRWsdlPortType {
public:
    enum class Mode { Web, CdRom };

    // The service description's port that names the service address.
    static constexpr char kServiceName[] = "RRWsdl";
    static constexpr char kPortName[] = "RRWsdlPort";
    // Lower limits of the receive time-outs, in seconds.
    static constexpr int kMinWebTimeOut = 45;
    static constexpr int kMinCdromTimeOut = 120;
    // The program's application keys: the first, or the second when UseDevelKey is on.
    static constexpr char kAppKey[] = "61840927";
    static constexpr char kDevelAppKey[] = "53096184";

    // Takes the user, password, key, proxy and time-outs from `settings`, which it keeps: the
    // raised time-out is written back to it before every request.
    RRWsdlPortType(Settings& settings, Mode mode);

    // A time-out in milliseconds that replaces the settings' (tests); 0 uses the settings.
    void SetTimeoutOverrideMs(int ms) { timeoutOverrideMs_ = ms; }
    const authInfo& Auth() const { return auth_; }
    const HttpExchange& Http() const { return http_; }
    // The user's cancel of the import; a cancelled request throws a Cancelled error.
    void SetCancel(RequestCancel* cancel) { http_.SetCancel(cancel); }

    // Reads the service description at `location` and takes the service address from it.
    // Throws a Description error when it cannot be fetched or read.
    void LoadDescription(const QUrl& location);
    // The description location that the operations load when none was loaded yet.
    void SetDescriptionLocation(const QUrl& location) { location_ = location; }
    QUrl ServiceAddress() const { return address_; }
    // The address the calls go to: the one the description names, resolved against the
    // description's location; read over HTTPS, a plain HTTP address on the same host is taken
    // over HTTPS too, so the password never travels in clear.
    static QUrl CallAddress(const QUrl& location, const QUrl& named);

    QList<TrsListDef> getTrsBySysid(const QString& sysid);
    QList<TrsSite> getTrsSites(int sid);
    QList<Talkgroup> getTrsTalkgroups(int sid, int tgCid, int tgTag, int tgDec);
    QList<mode> getMode(int modeNumber);

private:
    QList<SoapItem> Call(const QString& operation, const QList<SoapParam>& params);
    void ArmTimeout();

    Settings& settings_;
    Mode mode_;
    authInfo auth_;
    HttpExchange http_;
    QUrl location_;
    QUrl address_;
    int timeoutOverrideMs_ = 0;
};

}  // namespace rr
