#pragma once

#include <QString>

#include <stdexcept>

namespace rr {

// A failed call of the web directory service. The import reacts to the kind and to the text, so
// every failure is sorted into exactly one kind.
class WebServiceError : public std::runtime_error {
public:
    enum class Kind {
        RemoteFault,  // the service answered with a SOAP fault; the text is its faultstring
        Transport,    // the HTTP exchange failed (no connection, time-out, TLS, error status)
        Description,  // the service description could not be fetched or read
        XmlParse,     // the answer is not well-formed XML
        Conversion,   // a value of the answer does not fit its field's type
        Other,        // anything else (an answer of an unexpected shape)
        Cancelled,    // the user cancelled the request; nothing to report
    };

    WebServiceError(Kind kind, const QString& message)
        : std::runtime_error(message.toStdString()), kind_(kind), message_(message)
    { }

    Kind kind() const { return kind_; }
    const QString& message() const { return message_; }

private:
    Kind kind_;
    QString message_;
};

}  // namespace rr
