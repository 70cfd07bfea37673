// The web directory client: the requests it sends, the answers it reads, the kinds of error it
// tells apart, its time-outs, agent text and proxy.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <optional>

#include "persist/Settings.h"
#include "web/FakeDirectory.h"
#include "web/FileVersion.h"
#include "web/ProxySetting.h"
#include "web/RRWsdlPortType.h"
#include "web/TestCertificate.h"
#include "web/WebServiceError.h"

namespace {

using namespace webtest;
using rr::RRWsdlPortType;
using rr::WebServiceError;
using Kind = WebServiceError::Kind;

// The elements of a request body under `parent`, in order, as name=value.
QStringList Children(const QByteArray& body, const QString& parent)
{
    QXmlStreamReader r(body);
    QStringList out;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == parent) {
            while (r.readNextStartElement()) {
                const QString name = r.name().toString();
                out << name + "=" + r.readElementText(QXmlStreamReader::IncludeChildElements);
            }
            break;
        }
    }
    return out;
}

class WebDirectoryClientTest : public ::testing::Test {
protected:
    WebDirectoryClientTest()
    {
        settings.webUserName = "scanner<fan>";
        settings.webPassword = "p&ss";
    }

    RRWsdlPortType& Client(RRWsdlPortType::Mode mode = RRWsdlPortType::Mode::Web)
    {
        client.emplace(settings, mode);
        client->SetDescriptionLocation(QUrl(directory.DescriptionUrl()));
        return *client;
    }

    // The error a call throws; nothing when it succeeds.
    template <typename Call>
    std::optional<WebServiceError> ErrorOf(Call call)
    {
        try {
            call();
        } catch (const WebServiceError& e) {
            return e;
        }
        return std::nullopt;
    }

    Settings settings;
    FakeDirectory directory;
    std::optional<RRWsdlPortType> client;
};

TEST_F(WebDirectoryClientTest, RequestsCarryTheOperationItsParametersAndTheAuthenticationRecord)
{
    Client().getTrsTalkgroups(6673, 0, 0, 0);
    const SeenRequest* r = directory.LastCall("getTrsTalkgroups");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->headers.value("soapaction"), "\"http://api.radioreference.com/soap2#getTrsTalkgroups\"");
    EXPECT_EQ(r->headers.value("content-type"), "text/xml; charset=utf-8");
    EXPECT_EQ(r->headers.value("user-agent"), AgentText("Varnel", ProgramFileVersion()).toUtf8());
    EXPECT_EQ(Children(r->body, "getTrsTalkgroups"),
              (QStringList{"sid=6673", "tgCid=0", "tgTag=0", "tgDec=0",
                           "authInfo=scanner<fan>p&ss" + QString(RRWsdlPortType::kAppKey) + "2rpc"}));
    EXPECT_EQ(Children(r->body, "authInfo"),
              (QStringList{"username=scanner<fan>", "password=p&ss", "appKey=" + QString(RRWsdlPortType::kAppKey),
                           "version=2", "style=rpc"}));
}

TEST_F(WebDirectoryClientTest, TheSecondKeyReplacesTheFirstWhenAsked)
{
    settings.useDevelKey = true;
    Client().getTrsBySysid("3DC");
    const SeenRequest* r = directory.LastCall("getTrsBySysid");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Children(r->body, "getTrsBySysid").front(), "sysid=3DC");
    EXPECT_TRUE(Children(r->body, "authInfo").contains("appKey=" + QString(RRWsdlPortType::kDevelAppKey)));
    EXPECT_STRNE(RRWsdlPortType::kAppKey, RRWsdlPortType::kDevelAppKey);
}

TEST_F(WebDirectoryClientTest, ReadsTheUsedMembersAndPassesOverTheOthers)
{
    directory.Answer("getTrsBySysid", SystemsAnswer({{6673, "SARA Network", "Various"}, {12, "Metro & Co", ""}}));
    directory.Answer("getTrsSites", SitesAnswer({{105, "North Tower", 0}, {7, "East", 2}}));
    directory.Answer("getTrsTalkgroups", TalkgroupsAnswer({{1001, "Fire Dispatch", "FD Disp"}, {1002, "", ""}}));
    RRWsdlPortType& c = Client();

    const auto systems = c.getTrsBySysid("3DC");
    ASSERT_EQ(systems.size(), 2);
    EXPECT_EQ(systems[0].sid, 6673);
    EXPECT_EQ(systems[0].sName, "SARA Network");
    EXPECT_EQ(systems[0].sCity, "Various");
    EXPECT_EQ(systems[1].sName, "Metro & Co");

    const auto sites = c.getTrsSites(6673);
    ASSERT_EQ(sites.size(), 2);
    EXPECT_EQ(sites[0].siteNumber, 105);
    EXPECT_EQ(sites[0].siteDescr, "North Tower");
    EXPECT_EQ(sites[0].zoneNumber, 0);
    EXPECT_EQ(sites[1].zoneNumber, 2);

    const auto talkgroups = c.getTrsTalkgroups(6673, 0, 0, 0);
    ASSERT_EQ(talkgroups.size(), 2);
    EXPECT_EQ(talkgroups[0].tgDec, 1001);
    EXPECT_EQ(talkgroups[0].tgDescr, "Fire Dispatch");
    EXPECT_EQ(talkgroups[0].tgAlpha, "FD Disp");
    EXPECT_TRUE(talkgroups[1].tgAlpha.isEmpty());
    // The description is read once per client.
    int descriptionReads = 0;
    for (const SeenRequest& r : directory.server.seen)
        descriptionReads += r.method == "GET";
    EXPECT_EQ(descriptionReads, 1);
}

TEST_F(WebDirectoryClientTest, EmptyAndNilArraysAreNormalAnswers)
{
    directory.Answer("getTrsBySysid", SystemsAnswer({}));
    directory.Answer("getTrsSites", Envelope(R"(<ns1:getTrsSitesResponse xmlns:ns1="x">)"
                                             R"(<return xsi:nil="true"/></ns1:getTrsSitesResponse>)"));
    EXPECT_TRUE(Client().getTrsBySysid("3DC").isEmpty());
    EXPECT_TRUE(client->getTrsSites(1).isEmpty());
}

TEST_F(WebDirectoryClientTest, EveryFailureHasItsKind)
{
    struct Case {
        const char* what;
        CannedAnswer answer;
        Kind kind;
        QString text;  // contained in the message
    };
    const QByteArray badSid = SystemsAnswer({{1, "A", "B"}}).replace("<sid xsi:type=\"xsd:int\">1<", "<sid>abc<");
    const std::vector<Case> cases = {
        {"fault", Fault("Invalid Username or Password.  Make sure you are logging in with your username"),
         Kind::RemoteFault, "Invalid Username or Password.  Make sure you are logging in with your username"},
        {"fault with status 200",
         {200, "OK", "text/xml", Fault("Not a premium subscriber.").body},
         Kind::RemoteFault,
         "Not a premium subscriber."},
        {"status 500 and no body", {500, "Internal Server Error", "text/html", ""}, Kind::Transport, "500"},
        {"not well-formed", {200, "OK", "text/xml", "<SOAP-ENV:Envelope><unclosed>"}, Kind::XmlParse, ""},
        {"not a number", {200, "OK", "text/xml", badSid}, Kind::Conversion, "abc"},
        {"no result", {200, "OK", "text/xml", Envelope("<other/>")}, Kind::Other, "getTrsBySysidResponse"},
    };
    for (const Case& c : cases) {
        directory.answers["getTrsBySysid"] = c.answer;
        const auto error = ErrorOf([&] { Client().getTrsBySysid("3DC"); });
        ASSERT_TRUE(error) << c.what;
        EXPECT_EQ(error->kind(), c.kind) << c.what;
        EXPECT_TRUE(error->message().contains(c.text)) << c.what << ": " << error->message().toStdString();
    }
}

TEST_F(WebDirectoryClientTest, ADescriptionThatCannotBeReadIsADescriptionError)
{
    const std::vector<QString> locations = {
        directory.server.Url("/missing?wsdl"),                                  // 404
        QString("http://127.0.0.1:%1/soap2/index.php?wsdl").arg(ClosedPort()),  // nobody there
        directory.server.Url("/soap2/index.php"),                               // a POST-only page
    };
    for (const QString& location : locations) {
        RRWsdlPortType& c = Client();
        c.SetDescriptionLocation(QUrl(location));
        const auto error = ErrorOf([&] { c.getTrsBySysid("3DC"); });
        ASSERT_TRUE(error) << location.toStdString();
        EXPECT_EQ(error->kind(), Kind::Description);
        EXPECT_TRUE(error->message().startsWith("Unable to load WSDL File/Location: " + location))
            << error->message().toStdString();
    }
}

TEST_F(WebDirectoryClientTest, AServiceThatCannotBeReachedIsATransportErrorWithTheConnectionText)
{
    directory.serviceAddress = QString("http://127.0.0.1:%1/soap2/index.php").arg(ClosedPort());
    const auto error = ErrorOf([&] { Client().getTrsSites(1); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::Transport);
    EXPECT_TRUE(error->message().contains("A connection with the server could not be established"));
}

TEST_F(WebDirectoryClientTest, AServerThatDoesNotAnswerTimesOut)
{
    directory.answers["getTrsSites"] = Silent();
    RRWsdlPortType& c = Client();
    c.SetTimeoutOverrideMs(300);
    QElapsedTimer clock;
    clock.start();
    const auto error = ErrorOf([&] { c.getTrsSites(1); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::Transport);
    EXPECT_EQ(error->message(), "The operation timed out");
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(WebDirectoryClientTest, AnUntrustedCertificateEndsTheCallWithItsError)
{
    LocalTlsServer tls(kSelfSignedCertificate, kSelfSignedKey, [](const SeenRequest&) {
        return CannedAnswer{200, "OK", "text/xml", ModeAnswer()};
    });
    directory.serviceAddress = tls.Url("/soap2/index.php");
    const auto error = ErrorOf([&] { Client().getMode(0); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::Transport);
    EXPECT_TRUE(error->message().contains("SSL", Qt::CaseInsensitive)) << error->message().toStdString();
    EXPECT_TRUE(tls.seen.empty());  // nothing was sent over the untrusted connection
}

TEST_F(WebDirectoryClientTest, ReceiveTimeOutsAreRaisedToTheirLowerLimitAndKept)
{
    struct Case {
        RRWsdlPortType::Mode mode;
        int setting;
        int expected;
    };
    for (const Case& c : std::vector<Case>{{RRWsdlPortType::Mode::Web, 10, 45},
                                           {RRWsdlPortType::Mode::Web, 60, 60},
                                           {RRWsdlPortType::Mode::CdRom, 100, 120},
                                           {RRWsdlPortType::Mode::CdRom, 600, 600}}) {
        settings.webTimeOut = settings.cdromTimeOut = c.setting;
        RRWsdlPortType& client = Client(c.mode);
        client.getMode(0);
        const int kept = c.mode == RRWsdlPortType::Mode::Web ? settings.webTimeOut : settings.cdromTimeOut;
        EXPECT_EQ(kept, c.expected);
        EXPECT_EQ(client.Http().TimeoutMs(), c.expected * 1000);
    }
}

TEST(WebAgentTest, AgentTextHasTheVersionWithMinorAndBuildCutToEightBits)
{
    EXPECT_EQ(AgentText("Varnel", FileVersion{2, 10, 3, 7}), "Varnel/2.10.3B7");
    EXPECT_EQ(AgentText("Varnel", FileVersion{1, 9, 0, 142}), "Varnel/1.9.0B142");
    EXPECT_EQ(AgentText("Varnel", FileVersion{1, 0x109, 0, 0x1FF}), "Varnel/1.9.0B255");
    EXPECT_EQ(AgentText("Varnel", std::nullopt), "Varnel");
}

TEST(WebProxyTest, OnlyTheManualTypeSetsAProxy)
{
    Settings s;
    s.proxyAddress = "proxy.lan";
    s.proxyPort = 8080;
    s.proxyUserName = "u";
    s.proxyPassword = "pw";
    for (int type : {0, 2}) {
        s.proxyType = type;
        EXPECT_EQ(ProxyText(s), "");
        EXPECT_EQ(ProxyFromSettings(s, true).type(), QNetworkProxy::DefaultProxy);
    }
    s.proxyType = 1;
    EXPECT_EQ(ProxyText(s), "proxy.lan:8080");
    const QNetworkProxy withLogin = ProxyFromSettings(s, true);
    EXPECT_EQ(withLogin.type(), QNetworkProxy::HttpProxy);
    EXPECT_EQ(withLogin.hostName(), "proxy.lan");
    EXPECT_EQ(withLogin.port(), 8080);
    EXPECT_EQ(withLogin.user(), "u");
    EXPECT_EQ(ProxyFromSettings(s, false).user(), "");
    s.proxyAddress.clear();
    s.proxyPort = 80;
    EXPECT_EQ(ProxyText(s), ":80");
}

TEST_F(WebDirectoryClientTest, AManualProxyCarriesTheRequests)
{
    // The fake directory stands in as the proxy: it gets the request for another host.
    settings.proxyType = 1;
    settings.proxyAddress = "127.0.0.1";
    settings.proxyPort = directory.server.serverPort();
    RRWsdlPortType& c = Client();
    c.SetDescriptionLocation(QUrl("http://directory.invalid/soap2/index.php?wsdl"));
    const auto error = ErrorOf([&] { c.getMode(0); });
    ASSERT_FALSE(directory.server.seen.empty());
    EXPECT_EQ(directory.server.seen.front().target, "http://directory.invalid/soap2/index.php?wsdl");
    ASSERT_TRUE(error);  // the fake knows no such page
    EXPECT_EQ(error->kind(), Kind::Description);
}

}  // namespace

namespace {

TEST(WebServiceAddressTest, ADescriptionReadOverHttpsKeepsTheCallsOnHttps)
{
    struct Case {
        const char* location;
        const char* named;
        const char* expected;
    };
    const std::vector<Case> cases = {
        // The public description names a plain HTTP address on its own host.
        {"https://api.radioreference.com/soap2/index.php?wsdl", "http://api.radioreference.com/soap2/index.php",
         "https://api.radioreference.com/soap2/index.php"},
        {"https://127.0.0.1:8443/soap2/?wsdl", "http://127.0.0.1/soap2/index.php",
         "https://127.0.0.1:8443/soap2/index.php"},
        {"http://127.0.0.1:9000/soap/index.php?wsdl", "http://127.0.0.1:9000/soap/index.php",
         "http://127.0.0.1:9000/soap/index.php"},
        {"https://a.example/soap2/?wsdl", "http://b.example/soap2/index.php", "http://b.example/soap2/index.php"},
        {"http://127.0.0.1:9000/soap/index.php?wsdl", "service.php", "http://127.0.0.1:9000/soap/service.php"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rr::RRWsdlPortType::CallAddress(QUrl(c.location), QUrl(c.named)), QUrl(c.expected)) << c.location;
}

}  // namespace
