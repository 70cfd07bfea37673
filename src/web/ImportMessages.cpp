#include "web/ImportMessages.h"

#include "web/HttpExchange.h"
#include "web/WebServiceError.h"

namespace {

using Kind = rr::WebServiceError::Kind;

constexpr char kWebServiceTitle[] = "RadioReference Web Service Error";
constexpr char kCdromTitle[] = "RadioReference CD-ROM Import Error";
constexpr const char* kConnectionText = HttpExchange::kCannotConnect;
constexpr char kWsdlText[] = "Unable to load WSDL File/Location:";
constexpr char kBadKeyFault[] = "Invalid or empty application key specified";
constexpr char kBadLoginFault[] = "Invalid Username or Password";
constexpr char kNotPremiumFault[] = "Not a premium subscriber.";

const QString kCdromUnreachable = "Varnel was unable to connect to the local web server on\n"
                                  "the RadioReference CD-ROM. Please ensure that the CD-ROM\n"
                                  "has been placed in the CD-ROM drive on your computer, and the\n"
                                  "local web server has been started.\n";

QString ImportDataFrom(const char* where, const QString& message)
{
    return QString("An error has occured while attempting to import data from \n"
                   "the RadioReference %1.  The error message provided is:\n\n%2")
        .arg(where, message);
}

QString WebServiceText(const QString& message)
{
    return ImportDataFrom("web service", message);
}
QString CdromText(const QString& message)
{
    return ImportDataFrom("CD-ROM", message);
}

ImportMessage RemoteFaultMessage(const QString& fault)
{
    // The service adds advice after these texts ("Invalid Username or Password.  Make sure ..."),
    // so they are recognised by their start.
    if (fault.startsWith(kBadKeyFault))
        return {fault, "Varnel provided an invalid application key to the Radio Reference\n"
                       "web service and was denied access to the service.\n"
                       "\n"
                       "Please report this error to the software author as soon as possible.\n"};
    if (fault.startsWith(kBadLoginFault))
        return {fault, "The User name or Password set in the configuration screen\n"
                       "is invalid.  Please check these settings and try the import\n"
                       "from the Radio Reference Web Service again.\n"
                       "\n"
                       "Note: A premium subscription from the RadioReference web site\n"
                       "is required to use this feature.\n"};
    if (fault.contains(kNotPremiumFault))
        return {kNotPremiumFault,
                "The RadioReference Web service has indicated that the user name\n"
                "and password supplied does not have a valid premium subscription.\n"
                "\n"
                "The RadioReference Web Service requires an active subscription\n"
                "for access to the available data.\n"
                "\n"
                "Would you like to visit the subscription page on the RadioReference web site?\n",
                true};
    return {kWebServiceTitle, "An error has occured while attempting to import this system's\n"
                              "data from the RadioReference web service.  The error message provided is:\n\n" +
                                  fault};
}

}  // namespace

ImportMessage ConnectionTestMessage(const rr::WebServiceError& error)
{
    const QString& message = error.message();
    if (error.kind() == Kind::RemoteFault)
        return {kWebServiceTitle, WebServiceText(message)};
    if ((error.kind() == Kind::Transport && message.contains(kConnectionText)) || message.contains(kWsdlText))
        return {kCdromTitle, kCdromUnreachable};
    return {kCdromTitle, CdromText(message)};
}

std::optional<ImportMessage> RequestErrorMessage(const rr::WebServiceError& error)
{
    const QString& message = error.message();
    switch (error.kind()) {
    case Kind::RemoteFault: return RemoteFaultMessage(message);
    case Kind::Conversion:
    case Kind::XmlParse: return ImportMessage{kWebServiceTitle, WebServiceText(message)};
    case Kind::Transport:
        if (message.contains(kConnectionText))
            return ImportMessage{kCdromTitle, kCdromUnreachable};
        return ImportMessage{kCdromTitle, CdromText(message)};
    case Kind::Description:
    case Kind::Other:
    case Kind::Cancelled: break;
    }
    return std::nullopt;
}
