#include "web/SoapEnvelope.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "web/WebServiceError.h"

namespace rr {
namespace {

constexpr char kEnvelopeNs[] = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr char kEncodingNs[] = "http://schemas.xmlsoap.org/soap/encoding/";
constexpr char kXsdNs[] = "http://www.w3.org/2001/XMLSchema";
constexpr char kXsiNs[] = "http://www.w3.org/2001/XMLSchema-instance";

void WriteValue(QXmlStreamWriter& w, const QString& name, const QString& xsdType, const QString& value)
{
    w.writeStartElement(name);
    w.writeAttribute("xsi:type", "xsd:" + xsdType);
    w.writeCharacters(value);
    w.writeEndElement();
}

bool IsNil(const QXmlStreamReader& r)
{
    const QStringView nil = r.attributes().value(kXsiNs, "nil");
    return nil == u"true" || nil == u"1";
}

// Reads the children of the current element until its end; nil and structured members are empty.
SoapItem ReadItem(QXmlStreamReader& r)
{
    SoapItem item;
    while (r.readNextStartElement()) {
        const QString name = r.name().toString();
        if (IsNil(r)) {
            item.insert(name, QString());
            r.skipCurrentElement();
        } else {
            item.insert(name, r.readElementText(QXmlStreamReader::SkipChildElements));
        }
    }
    return item;
}

// Reads the operation's response element: its result part holds the array's items.
QList<SoapItem> ReadResult(QXmlStreamReader& r)
{
    QList<SoapItem> items;
    bool resultSeen = false;
    while (r.readNextStartElement()) {
        if (resultSeen || IsNil(r)) {
            r.skipCurrentElement();
            continue;
        }
        resultSeen = true;
        while (r.readNextStartElement()) {
            if (IsNil(r))
                r.skipCurrentElement();
            else
                items.append(ReadItem(r));
        }
    }
    return items;
}

QString FaultText(QXmlStreamReader& r)
{
    QString text;
    while (r.readNextStartElement()) {
        if (r.name() == u"faultstring")
            text = r.readElementText(QXmlStreamReader::IncludeChildElements);
        else
            r.skipCurrentElement();
    }
    return text;
}

QString ParseErrorText(const QXmlStreamReader& r)
{
    return QString("%1 (line %2, column %3)").arg(r.errorString()).arg(r.lineNumber()).arg(r.columnNumber());
}

}  // namespace

QByteArray BuildRequest(const QString& operation, const QList<SoapParam>& params, const authInfo& auth)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.writeStartDocument();
    w.writeStartElement("SOAP-ENV:Envelope");
    w.writeAttribute("xmlns:SOAP-ENV", kEnvelopeNs);
    w.writeAttribute("xmlns:ns1", kServiceNamespace);
    w.writeAttribute("xmlns:xsd", kXsdNs);
    w.writeAttribute("xmlns:xsi", kXsiNs);
    w.writeAttribute("xmlns:SOAP-ENC", kEncodingNs);
    w.writeAttribute("SOAP-ENV:encodingStyle", kEncodingNs);
    w.writeStartElement("SOAP-ENV:Body");
    w.writeStartElement("ns1:" + operation);
    for (const SoapParam& p : params)
        WriteValue(w, p.name, p.xsdType, p.value);
    w.writeStartElement("authInfo");
    w.writeAttribute("xsi:type", "ns1:authInfo");
    WriteValue(w, "username", "string", auth.username);
    WriteValue(w, "password", "string", auth.password);
    WriteValue(w, "appKey", "string", auth.appKey);
    WriteValue(w, "version", "string", auth.version);
    WriteValue(w, "style", "string", auth.style);
    w.writeEndElement();  // authInfo
    w.writeEndElement();  // operation
    w.writeEndElement();  // Body
    w.writeEndElement();  // Envelope
    w.writeEndDocument();
    return xml;
}

QByteArray SoapAction(const QString& operation)
{
    return QString("\"%1#%2\"").arg(kServiceNamespace, operation).toUtf8();
}

std::optional<QString> ReadFault(const QByteArray& body)
{
    QXmlStreamReader r(body);
    while (r.readNext() != QXmlStreamReader::Invalid && !r.atEnd()) {
        if (r.isStartElement() && r.name() == u"Fault" && r.namespaceUri() == QLatin1String(kEnvelopeNs))
            return FaultText(r);
    }
    return std::nullopt;
}

QList<SoapItem> ReadResponse(const QByteArray& body, const QString& operation)
{
    QXmlStreamReader r(body);
    const QString responseName = operation + "Response";
    QList<SoapItem> items;
    std::optional<QString> fault;
    bool answered = false;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == u"Fault" && r.namespaceUri() == QLatin1String(kEnvelopeNs)) {
            fault = FaultText(r);
        } else if (!answered && r.name() == responseName) {
            items = ReadResult(r);
            answered = true;
        }
    }
    if (r.hasError())
        throw WebServiceError(WebServiceError::Kind::XmlParse, ParseErrorText(r));
    if (fault)
        throw WebServiceError(WebServiceError::Kind::RemoteFault, *fault);
    if (!answered)
        throw WebServiceError(WebServiceError::Kind::Other,
                              QString("The answer of the web service holds no %1.").arg(responseName));
    return items;
}

}  // namespace rr
