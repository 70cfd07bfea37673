#include "service/MqttPublisher.h"

#include <mosquitto.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>
#include <utility>

#include "service/ServiceLog.h"

namespace {

constexpr int kStatusQos = 1;
constexpr int kEventQos = 1;
constexpr int kLoopTimeoutMs = 50;
constexpr auto kIdleWait = std::chrono::milliseconds(100);
constexpr auto kConnectTimeout = std::chrono::seconds(10);
constexpr auto kDropReportInterval = std::chrono::seconds(10);
constexpr const char* kSystemCertificates = "/etc/ssl/certs";

std::once_flag g_libraryInit;

std::string Where(const MqttUrl& url)
{
    return url.host + ":" + std::to_string(url.port);
}

}  // namespace

MqttPublisher::MqttPublisher(MqttUrl url, std::string caFile, std::string instance, size_t queueLimit)
    : url_(std::move(url)), caFile_(std::move(caFile)), instance_(std::move(instance)),
      queueLimit_(std::max<size_t>(queueLimit, 1))
{
    statusKey_ = "unidentified/" + instance_;
}

MqttPublisher::~MqttPublisher()
{
    Stop(std::chrono::milliseconds(0));
    if (client_ != nullptr)
        mosquitto_destroy(client_);
}

size_t MqttPublisher::Queued() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return queue_.size();
}

void MqttPublisher::Publish(const FeedMessage& message)
{
    std::lock_guard<std::mutex> g(mutex_);
    if (stopping_)
        return;
    queue_.push_back(Outgoing{url_.prefix + "/" + message.siteKey + "/" + message.event, message.json, false});
    if (queue_.size() > queueLimit_) {
        queue_.pop_front();  // the oldest goes: what is newest matters most to a live view
        dropped_.fetch_add(1);
    }
}

void MqttPublisher::PublishStatus(const FeedMessage& status)
{
    std::lock_guard<std::mutex> g(mutex_);
    statusPayload_ = status.json;
    statusKey_ = status.siteKey;
    statusDirty_ = true;
}

std::string MqttPublisher::OfflinePayload() const
{
    return R"({"schema":1,"event":"status","state":"offline","instance":")" + instance_ + "\"}";
}

bool MqttPublisher::Setup(std::string& error)
{
    std::call_once(g_libraryInit, [] { mosquitto_lib_init(); });
    client_ = mosquitto_new(instance_.c_str(), true, this);
    if (client_ == nullptr) {
        error = "cannot create the MQTT client: " + std::string(std::strerror(errno));
        return false;
    }
    mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_max_inflight_messages_set(client_, kMaxUnacknowledged);
    if (!url_.user.empty() &&
        mosquitto_username_pw_set(client_, url_.user.c_str(), url_.hasPassword ? url_.password.c_str() : nullptr) !=
            MOSQ_ERR_SUCCESS) {
        error = "the MQTT user name or password is not accepted by the client library";
        return false;
    }
    if (url_.tls) {
        if (!caFile_.empty() && !std::ifstream(caFile_)) {
            error = "cannot read the MQTT CA file " + caFile_;
            return false;
        }
        const int rc = caFile_.empty()
                           ? mosquitto_tls_set(client_, nullptr, kSystemCertificates, nullptr, nullptr, nullptr)
                           : mosquitto_tls_set(client_, caFile_.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            error = "cannot use the MQTT CA certificates: " + std::string(mosquitto_strerror(rc));
            return false;
        }
        // Certificates are verified and the host name checked against them.
        mosquitto_tls_opts_set(client_, 1, nullptr, nullptr);
        mosquitto_tls_insecure_set(client_, false);
    } else if (!caFile_.empty()) {
        error = "--mqtt-ca needs an mqtts:// address";
        return false;
    }
    mosquitto_connect_callback_set(
        client_, [](mosquitto*, void* self, int rc) { static_cast<MqttPublisher*>(self)->OnConnect(rc); });
    mosquitto_disconnect_callback_set(
        client_, [](mosquitto*, void* self, int rc) { static_cast<MqttPublisher*>(self)->OnDisconnect(rc); });
    mosquitto_publish_callback_set(
        client_, [](mosquitto*, void* self, int mid) { static_cast<MqttPublisher*>(self)->OnPublish(mid); });
    return true;
}

bool MqttPublisher::Start(std::string& error)
{
    if (!Setup(error))
        return false;
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    return true;
}

void MqttPublisher::Stop(std::chrono::milliseconds flush)
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard<std::mutex> g(mutex_);
        stopping_ = true;
        // The last word on the status topic: offline, as the will would say.
        statusPayload_ = OfflinePayload();
        statusDirty_ = true;
        flushUntil_ = std::chrono::steady_clock::now() + flush;
    }
    thread_.request_stop();
    wake_.notify_all();
    thread_.join();
}

void MqttPublisher::OnConnect(int rc)
{
    connecting_ = false;
    if (rc != 0) {
        // The broker answered and refused (bad login, not authorised): said once per cause.
        const std::string text =
            "MQTT broker " + Where(url_) + " refused the connection: " + mosquitto_connack_string(rc);
        if (text != lastError_)
            ServiceLog::Instance().Error(text);
        lastError_ = text;
        refused_ = true;
        return;
    }
    connected_ = true;
    refused_ = false;
    retry_ = kFirstRetry;
    unacknowledged_.clear();  // the library sends its own unacknowledged messages again
    lastError_.clear();
    if (moved_)
        ServiceLog::Instance().Debug("MQTT status moved to " + url_.prefix + "/" + willKey_ + "/status");
    else
        ServiceLog::Instance().Info("MQTT connected to " + Where(url_) + " as " + instance_ + ", topics under " +
                                    url_.prefix + "/");
    moved_ = false;
    connections_.fetch_add(1);
    if (void (*notice)() = connectedNotice_.load())
        notice();
    std::lock_guard<std::mutex> g(mutex_);
    statusDirty_ = !statusPayload_.empty();
    everConnected_ = true;
}

void MqttPublisher::OnDisconnect(int rc)
{
    const bool wasConnected = connected_.exchange(false);
    connecting_ = false;
    if (rc != 0 && wasConnected)
        ServiceLog::Instance().Warning("MQTT connection to " + Where(url_) + " lost; reconnecting");
    nextAttempt_ = std::chrono::steady_clock::now() + (rc == 0 ? std::chrono::milliseconds(0) : retry_);
}

void MqttPublisher::OnPublish(int mid)
{
    if (unacknowledged_.erase(mid) > 0)
        acknowledged_.fetch_add(1);
}

void MqttPublisher::TryConnect()
{
    const std::string willTopic = url_.prefix + "/" + willKey_ + "/status";
    const std::string will = OfflinePayload();
    mosquitto_will_set(client_, willTopic.c_str(), static_cast<int>(will.size()), will.data(), kStatusQos, true);
    const int rc = everStarted_ ? mosquitto_reconnect_async(client_)
                                : mosquitto_connect_async(client_, url_.host.c_str(), url_.port, kKeepAliveSeconds);
    everStarted_ = true;
    const auto now = std::chrono::steady_clock::now();
    if (rc == MOSQ_ERR_SUCCESS) {
        connecting_ = true;
        connectStarted_ = now;
        return;
    }
    const std::string text = "cannot connect to MQTT broker " + Where(url_) + ": " +
                             (rc == MOSQ_ERR_ERRNO ? std::string(std::strerror(errno)) : mosquitto_strerror(rc));
    if (text != lastError_)
        ServiceLog::Instance().Error(text + " (retrying)");
    lastError_ = text;
    nextAttempt_ = now + retry_;
    retry_ = std::min(retry_ * 2, kMaxRetry);
}

void MqttPublisher::MoveStatusTopic()
{
    // The site became known (or changed): the retained status of the old key is cleared, and the
    // client reconnects with its will on the new key.
    if (!willKey_.empty()) {
        const std::string old = url_.prefix + "/" + willKey_ + "/status";
        mosquitto_publish(client_, nullptr, old.c_str(), 0, nullptr, kStatusQos, true);
    }
    moved_ = true;
    mosquitto_disconnect(client_);
}

void MqttPublisher::SendQueued()
{
    while (static_cast<int>(unacknowledged_.size()) < kMaxUnacknowledged) {
        Outgoing out;
        {
            std::lock_guard<std::mutex> g(mutex_);
            if (queue_.empty())
                return;
            out = std::move(queue_.front());
            queue_.pop_front();
        }
        int mid = 0;
        const int rc = mosquitto_publish(client_, &mid, out.topic.c_str(), static_cast<int>(out.payload.size()),
                                         out.payload.data(), kEventQos, out.retain);
        if (rc == MOSQ_ERR_SUCCESS) {
            unacknowledged_.insert(mid);
            sent_.fetch_add(1);
            continue;
        }
        if (rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST) {
            std::lock_guard<std::mutex> g(mutex_);
            queue_.push_front(std::move(out));  // sent after the reconnection
            return;
        }
        dropped_.fetch_add(1);  // refused by the library (too large): nothing else can be done with it
    }
}

void MqttPublisher::Run(std::stop_token stop)
{
    std::unique_lock<std::mutex> lock(mutex_);
    willKey_ = statusKey_;
    lock.unlock();
    auto lastDropReport = std::chrono::steady_clock::now();
    bool moving = false;
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        const bool stopping = stop.stop_requested();
        if (stopping) {
            lock.lock();
            const bool drained = queue_.empty() && !statusDirty_;
            const bool late = now >= flushUntil_;
            lock.unlock();
            if ((drained && unacknowledged_.empty()) || late || !connected_)
                break;
        }
        if (!connected_ && !connecting_ && now >= nextAttempt_ && !stopping) {
            lock.lock();
            willKey_ = statusKey_;
            lock.unlock();
            moving = false;
            TryConnect();
        }
        if (connecting_ && now - connectStarted_ > kConnectTimeout) {
            mosquitto_disconnect(client_);
            connecting_ = false;
            ServiceLog::Instance().Error("MQTT broker " + Where(url_) + " did not answer; retrying");
            nextAttempt_ = now + retry_;
            retry_ = std::min(retry_ * 2, kMaxRetry);
        }
        if (connected_) {
            lock.lock();
            const bool keyMoved = statusKey_ != willKey_ && !stopping;
            std::string status;
            if (statusDirty_ && !keyMoved) {
                status = statusPayload_;
                statusDirty_ = false;
            }
            lock.unlock();
            if (keyMoved) {
                // Messages already handed over are acknowledged first, then the client moves.
                if (unacknowledged_.empty() && !moving) {
                    moving = true;
                    MoveStatusTopic();
                }
            } else {
                if (!status.empty()) {
                    const std::string topic = url_.prefix + "/" + willKey_ + "/status";
                    mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(status.size()), status.data(),
                                      kStatusQos, true);
                }
                SendQueued();
            }
        }
        if (dropped_.load() != droppedReported_ && now - lastDropReport >= kDropReportInterval) {
            ServiceLog::Instance().Warning("MQTT queue full: " + std::to_string(dropped_.load() - droppedReported_) +
                                           " events dropped (" + std::to_string(dropped_.load()) + " in all)");
            droppedReported_ = dropped_.load();
            lastDropReport = now;
        }
        const int rc = (connected_ || connecting_) ? mosquitto_loop(client_, kLoopTimeoutMs, 1) : MOSQ_ERR_NO_CONN;
        if (rc != MOSQ_ERR_SUCCESS && (connected_ || connecting_)) {
            // The socket failed under the library: treated as a lost connection.
            const bool wasConnected = connected_.exchange(false);
            connecting_ = false;
            if (wasConnected)
                ServiceLog::Instance().Warning("MQTT connection to " + Where(url_) + " lost (" +
                                               std::string(mosquitto_strerror(rc)) + "); reconnecting");
            nextAttempt_ = std::chrono::steady_clock::now() + retry_;
            retry_ = std::min(retry_ * 2, kMaxRetry);
        }
        if (!connected_ && !connecting_) {
            lock.lock();
            wake_.wait_for(lock, stop, kIdleWait, [] { return false; });
            lock.unlock();
        }
    }
    if (connected_) {
        mosquitto_disconnect(client_);
        for (int i = 0; i < 10 && mosquitto_loop(client_, 10, 1) == MOSQ_ERR_SUCCESS; ++i) { }
    }
    connected_ = false;
}
