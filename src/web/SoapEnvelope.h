#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

#include "web/WebDirectoryTypes.h"

// SOAP 1.1 (rpc style, encoded) requests and answers of the web directory service.
namespace rr {

inline constexpr char kServiceNamespace[] = "http://api.radioreference.com/soap2";

// One parameter of a request; xsdType is "string" or "int".
struct SoapParam {
    QString name;
    QString xsdType;
    QString value;
};

// One element of an answer's array: its simple members by name. A member sent as nil, or one
// made of further elements, reads as an empty text.
using SoapItem = QHash<QString, QString>;

// The request envelope of `operation` with its parameters followed by the authentication record.
QByteArray BuildRequest(const QString& operation, const QList<SoapParam>& params, const authInfo& auth);

// The SOAPAction header value, quoted: "<namespace>#<operation>".
QByteArray SoapAction(const QString& operation);

// The fault text of an answer that is a SOAP fault; empty when it is none or is not XML.
std::optional<QString> ReadFault(const QByteArray& body);

// The array that `operation` returned. Throws WebServiceError: RemoteFault for a fault, XmlParse
// for an answer that is not well-formed, Other for an answer without the operation's result.
QList<SoapItem> ReadResponse(const QByteArray& body, const QString& operation);

}  // namespace rr
