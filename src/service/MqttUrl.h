#pragma once

#include <string>

// Where and how to publish: mqtt://[user[:password]@]host[:port]/prefix, or mqtts:// for TLS.
// The password may also come from the environment (VARNEL_MQTT_PASSWORD) so that it need not be
// on the command line; one in the address wins.
struct MqttUrl {
    bool tls = false;
    std::string user;
    std::string password;
    bool hasPassword = false;
    std::string host;
    int port = 1883;
    std::string prefix;

    static constexpr const char* kPasswordVariable = "VARNEL_MQTT_PASSWORD";

    // False with `error` for an address that is not of that form (no host, no prefix, a port
    // outside 1..65535, a prefix with MQTT wildcards or empty levels).
    static bool Parse(const std::string& text, MqttUrl& out, std::string& error);
};
