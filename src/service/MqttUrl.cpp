#include "service/MqttUrl.h"

#include <cstdlib>

namespace {

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;
constexpr long kMaxPort = 65535;

// %XX escapes of the user part (a password with '@' or ':').
bool Unescape(const std::string& in, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            out += in[i];
            continue;
        }
        if (i + 2 >= in.size())
            return false;
        char* end = nullptr;
        const std::string hex = in.substr(i + 1, 2);
        const long value = std::strtol(hex.c_str(), &end, 16);
        if (*end != '\0')
            return false;
        out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

}  // namespace

bool MqttUrl::Parse(const std::string& text, MqttUrl& out, std::string& error)
{
    out = MqttUrl{};
    std::string rest;
    if (text.rfind("mqtt://", 0) == 0) {
        rest = text.substr(7);
    } else if (text.rfind("mqtts://", 0) == 0) {
        out.tls = true;
        rest = text.substr(8);
    } else {
        error = "the MQTT address must start with mqtt:// or mqtts://";
        return false;
    }
    out.port = out.tls ? kTlsPort : kPlainPort;
    const size_t slash = rest.find('/');
    if (slash == std::string::npos || slash + 1 >= rest.size()) {
        error = "the MQTT address needs a topic prefix: mqtt://host/prefix";
        return false;
    }
    std::string authority = rest.substr(0, slash);
    out.prefix = rest.substr(slash + 1);
    while (!out.prefix.empty() && out.prefix.back() == '/')
        out.prefix.pop_back();
    if (out.prefix.empty() || out.prefix.find_first_of("+#") != std::string::npos ||
        out.prefix.find("//") != std::string::npos) {
        error = "the MQTT topic prefix may not be empty nor hold '+', '#' or empty levels";
        return false;
    }
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        authority = authority.substr(at + 1);
        const size_t colon = userInfo.find(':');
        const bool ok = Unescape(userInfo.substr(0, colon), out.user) &&
                        (colon == std::string::npos || Unescape(userInfo.substr(colon + 1), out.password));
        if (!ok || out.user.empty()) {
            error = "the MQTT user part is not user[:password]";
            return false;
        }
        out.hasPassword = colon != std::string::npos;
    }
    std::string host = authority;
    if (!host.empty() && host.front() == '[') {  // [IPv6]:port
        const size_t close = host.find(']');
        if (close == std::string::npos) {
            error = "the MQTT host is not closed by ']'";
            return false;
        }
        out.host = host.substr(1, close - 1);
        host = host.substr(close + 1);
        if (!host.empty() && host.front() != ':') {
            error = "unexpected text after the MQTT host";
            return false;
        }
        host = host.empty() ? host : host.substr(1);
        if (!host.empty()) {
            char* end = nullptr;
            const long port = std::strtol(host.c_str(), &end, 10);
            if (*end != '\0' || port < 1 || port > kMaxPort) {
                error = "the MQTT port must be 1 to 65535";
                return false;
            }
            out.port = static_cast<int>(port);
        }
    } else {
        const size_t colon = host.rfind(':');
        out.host = host.substr(0, colon);
        if (colon != std::string::npos) {
            char* end = nullptr;
            const std::string portText = host.substr(colon + 1);
            const long port = std::strtol(portText.c_str(), &end, 10);
            if (portText.empty() || *end != '\0' || port < 1 || port > kMaxPort) {
                error = "the MQTT port must be 1 to 65535";
                return false;
            }
            out.port = static_cast<int>(port);
        }
    }
    if (out.host.empty()) {
        error = "the MQTT address has no host";
        return false;
    }
    if (!out.hasPassword && !out.user.empty()) {
        if (const char* password = std::getenv(kPasswordVariable); password != nullptr) {
            out.password = password;
            out.hasPassword = true;
        }
    }
    return true;
}
