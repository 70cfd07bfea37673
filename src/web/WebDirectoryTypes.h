#pragma once

#include <QString>

// The records of the web directory service that the program reads, with the members it uses
// (the service sends more; unknown members are passed over).
namespace rr {

// Sent as the last parameter of every operation.
struct authInfo {
    QString username;
    QString password;
    QString appKey;
    QString version = "2";
    QString style = "rpc";
};

// One system that uses a system ID.
struct TrsListDef {
    int sid = 0;  // the directory's own system number
    QString sName;
    QString sCity;
};

// One site of a system.
struct TrsSite {
    int siteNumber = 0;
    QString siteDescr;
    int zoneNumber = 0;
};

// One talkgroup of a system.
struct Talkgroup {
    int tgDec = 0;
    QString tgDescr;
    QString tgAlpha;
};

// One entry of getMode's answer (read only to test a connection).
struct mode {
    int mode = 0;
    QString modeName;
};

}  // namespace rr
