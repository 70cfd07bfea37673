#pragma once

// A web directory service on 127.0.0.1 for the tests: it serves a service description that
// names its own address, and answers each operation with an envelope written the way the
// service writes them (SOAP-ENC arrays of items; faults with status 500).

#include <QMap>
#include <QString>
#include <QStringList>

#include "web/LocalHttpServer.h"

namespace webtest {

struct SystemRow {
    int sid;
    QString name;
    QString city;
};
struct SiteRow {
    int siteNumber;
    QString descr;
    int zoneNumber;
};
struct TalkgroupRow {
    int tgDec;
    QString descr;
    QString alpha;
};

inline QString Escaped(const QString& s)
{
    return s.toHtmlEscaped();
}

inline QByteArray Envelope(const QString& body)
{
    return (R"(<?xml version="1.0" encoding="utf-8"?>
<SOAP-ENV:Envelope SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/" xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:SOAP-ENC="http://schemas.xmlsoap.org/soap/encoding/" xmlns:tns="http://api.radioreference.com/soap2"><SOAP-ENV:Body>)" +
            body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>")
        .toUtf8();
}

inline QByteArray ArrayAnswer(const QString& operation, const QString& type, const QStringList& items)
{
    return Envelope(QString(R"(<ns1:%1Response xmlns:ns1="http://api.radioreference.com/soap2">)"
                            R"(<return xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="tns:%2[%3]">%4</return>)"
                            "</ns1:%1Response>")
                        .arg(operation, type)
                        .arg(items.size())
                        .arg(items.join("\n")));
}

inline QByteArray SystemsAnswer(const std::vector<SystemRow>& rows)
{
    QStringList items;
    for (const SystemRow& r : rows)
        items << QString(R"(<item xsi:type="tns:TrsListDef"><sid xsi:type="xsd:int">%1</sid>)"
                         R"(<sName xsi:type="xsd:string">%2</sName><sType xsi:type="xsd:int">8</sType>)"
                         R"(<sFlavor xsi:type="xsd:int">33</sFlavor><sVoice xsi:type="xsd:int">16</sVoice>)"
                         R"(<sCity xsi:type="xsd:string">%3</sCity>)"
                         R"(<lastUpdated xsi:type="xsd:dateTime">2026-06-28T20:57:13+00:00</lastUpdated></item>)")
                     .arg(r.sid)
                     .arg(Escaped(r.name), Escaped(r.city));
    return ArrayAnswer("getTrsBySysid", "TrsListDef", items);
}

inline QByteArray SitesAnswer(const std::vector<SiteRow>& rows)
{
    QStringList items;
    for (const SiteRow& r : rows)
        items << QString(R"(<item xsi:type="tns:TrsSite"><siteId xsi:type="xsd:int">%1</siteId>)"
                         R"(<sid xsi:type="xsd:int">6673</sid><siteNumber xsi:type="xsd:int">%1</siteNumber>)"
                         R"(<siteDescr xsi:type="xsd:string">%2</siteDescr>)"
                         R"(<zoneNumber xsi:type="xsd:int">%3</zoneNumber><zoneDescr xsi:nil="true"/>)"
                         R"(<siteFreqs xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="tns:TrsSiteFreq[1]">)"
                         R"(<item><lcn xsi:type="xsd:int">1</lcn><freq xsi:type="xsd:decimal">851.0125</freq>)"
                         R"(<use xsi:type="xsd:string">a</use></item></siteFreqs>)"
                         R"(<lat xsi:type="xsd:decimal">29.4</lat></item>)")
                     .arg(r.siteNumber)
                     .arg(Escaped(r.descr))
                     .arg(r.zoneNumber);
    return ArrayAnswer("getTrsSites", "TrsSite", items);
}

inline QByteArray TalkgroupsAnswer(const std::vector<TalkgroupRow>& rows)
{
    QStringList items;
    for (const TalkgroupRow& r : rows)
        items << QString(R"(<item xsi:type="tns:Talkgroup"><tgId xsi:type="xsd:int">9%1</tgId>)"
                         R"(<tgDec xsi:type="xsd:int">%1</tgDec><tgSubfleet xsi:nil="true"/>)"
                         R"(<tgLtr xsi:type="xsd:boolean">false</tgLtr>)"
                         R"(<tgDescr xsi:type="xsd:string">%2</tgDescr><tgAlpha xsi:type="xsd:string">%3</tgAlpha>)"
                         R"(<tgMode xsi:type="xsd:string">D</tgMode><tags xsi:type="SOAP-ENC:Array" )"
                         R"(SOAP-ENC:arrayType="tns:tag[1]"><item><tagId xsi:type="xsd:int">3</tagId></item></tags>)"
                         R"(<tgCid xsi:type="xsd:int">4</tgCid></item>)")
                     .arg(r.tgDec)
                     .arg(Escaped(r.descr), Escaped(r.alpha));
    return ArrayAnswer("getTrsTalkgroups", "Talkgroup", items);
}

inline QByteArray ModeAnswer()
{
    return ArrayAnswer("getMode", "mode",
                       {R"(<item xsi:type="tns:mode"><mode xsi:type="xsd:int">1</mode>)"
                        R"(<modeName xsi:type="xsd:string">FM</modeName></item>)"});
}

inline CannedAnswer Fault(const QString& text)
{
    return {500, "Internal Server Error", "text/xml; charset=ISO-8859-1",
            Envelope("<SOAP-ENV:Fault><faultcode>AUTH</faultcode><faultstring>" + Escaped(text) +
                     "</faultstring><faultactor></faultactor><detail></detail></SOAP-ENV:Fault>")};
}

// The description: service RRWsdl, port RRWsdlPort, at `address`.
inline QByteArray Description(const QString& address)
{
    return QString(R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<definitions xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/" xmlns:tns="http://api.radioreference.com/soap2" xmlns="http://schemas.xmlsoap.org/wsdl/" targetNamespace="http://api.radioreference.com/soap2">
<service name="Other"><port name="RRWsdlPort" binding="tns:X"><soap:address location="http://127.0.0.1:1/wrong"/></port></service>
<service name="RRWsdl">
  <port name="RRWsdlPort" binding="tns:RRWsdlBinding">
    <soap:address location="%1"/>
  </port>
</service>
</definitions>)")
        .arg(address)
        .toUtf8();
}

// The operation a request calls, from its SOAPAction header.
inline QString Operation(const SeenRequest& r)
{
    QString action = QString::fromUtf8(r.headers.value("soapaction"));
    action.remove('"');
    return action.section('#', 1);
}

// Serves the description at `descriptionPath` (query "wsdl") and the operations at
// `servicePath`; an operation without an answer of its own gets an empty array.
class FakeDirectory {
public:
    explicit FakeDirectory(QString descriptionPath = "/soap2/index.php", QString servicePath = "/soap2/index.php")
        : descriptionPath_(std::move(descriptionPath)), servicePath_(std::move(servicePath))
    {
        server.SetHandler([this](const SeenRequest& r) { return Serve(r); });
        answers["getMode"] = {200, "OK", "text/xml; charset=utf-8", ModeAnswer()};
    }

    QString DescriptionUrl() const { return server.Url(descriptionPath_ + "?wsdl"); }
    // Operations called, in order (the description requests are not counted).
    QStringList Calls() const
    {
        QStringList calls;
        for (const SeenRequest& r : server.seen)
            if (r.method == "POST")
                calls << Operation(r);
        return calls;
    }
    const SeenRequest* LastCall(const QString& operation) const
    {
        for (auto it = server.seen.rbegin(); it != server.seen.rend(); ++it)
            if (it->method == "POST" && Operation(*it) == operation)
                return &*it;
        return nullptr;
    }

    void Answer(const QString& operation, const QByteArray& envelope)
    {
        answers[operation] = {200, "OK", "text/xml; charset=utf-8", envelope};
    }

    LocalHttpServer server;
    QMap<QString, CannedAnswer> answers;
    QString serviceAddress;  // empty: this server's servicePath

private:
    CannedAnswer Serve(const SeenRequest& r)
    {
        const QString target = QString::fromUtf8(r.target);
        if (r.method == "GET" && target == descriptionPath_ + "?wsdl")
            return {200, "OK", "text/xml",
                    Description(serviceAddress.isEmpty() ? server.Url(servicePath_) : serviceAddress)};
        if (r.method != "POST" || target != servicePath_)
            return {404, "Not Found", "text/html", "<html>no such page</html>"};
        const QString op = Operation(r);
        if (answers.contains(op))
            return answers[op];
        return {200, "OK", "text/xml; charset=utf-8", ArrayAnswer(op, "x", {})};
    }

    QString descriptionPath_;
    QString servicePath_;
};

}  // namespace webtest
