#pragma once

#include <QString>

#include <optional>

namespace rr {
class WebServiceError;
}

// What the import tells the user about a failed call of the web directory service.
struct ImportMessage {
    QString title;
    QString text;
    bool offerSubscription = false;  // Yes/No: Yes opens the subscription page
};

// The web directory's subscription page.
inline constexpr char kSubscriptionPage[] = "https://www.radioreference.com/apps/subscription";

// A failed connection test of the CD-ROM server (after its second location).
ImportMessage ConnectionTestMessage(const rr::WebServiceError& error);

// A failed request of the import; empty for the kinds that go to the program's general error
// report instead (a description that cannot be read, an answer of an unexpected shape).
std::optional<ImportMessage> RequestErrorMessage(const rr::WebServiceError& error);
