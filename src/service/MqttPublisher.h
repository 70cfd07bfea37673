#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <stop_token>
#include <string>
#include <thread>

#include "service/FeedOutput.h"
#include "service/MqttUrl.h"

struct mosquitto;

// Publishes the event feed to an MQTT broker with libmosquitto: every message on
// "<prefix>/<site key>/<event>" at QoS 1, the site's state retained on "<prefix>/<site key>/status"
// with a last will that marks it offline.
//
// Publish only queues (a bounded queue: when full the oldest message is dropped and counted), so a
// broker that is down, slow or refusing never stalls decoding nor grows memory. One thread owns
// the client: it connects, reconnects with a growing pause (1 s doubling to 30 s), hands queued
// messages to the client while few are unacknowledged, and moves the status and its will when the
// site becomes known. Each change of the connection is one log line.
class MqttPublisher final : public FeedOutput {
public:
    static constexpr size_t kDefaultQueueLimit = 10000;
    static constexpr int kMaxUnacknowledged = 50;
    static constexpr std::chrono::milliseconds kFirstRetry{1000};
    static constexpr std::chrono::milliseconds kMaxRetry{30000};
    static constexpr int kKeepAliveSeconds = 30;

    // `instance`: the client ID (unique on the broker) and the instance of the messages.
    MqttPublisher(MqttUrl url, std::string caFile, std::string instance, size_t queueLimit = kDefaultQueueLimit);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Checks the settings (the CA file); false with `error`. Starts the client's thread.
    bool Start(std::string& error);
    // Publishes the offline status, waits up to `flush` for queued messages to be acknowledged,
    // disconnects and ends the thread.
    void Stop(std::chrono::milliseconds flush = std::chrono::milliseconds(3000));

    void Publish(const FeedMessage& message) override;
    void PublishStatus(const FeedMessage& status) override;

    uint64_t Dropped() const { return dropped_.load(); }
    uint64_t Sent() const { return sent_.load(); }
    uint64_t Acknowledged() const { return acknowledged_.load(); }
    bool Connected() const { return connected_.load(); }
    // Connections made (a new one wants a fresh status: its counters moved meanwhile).
    uint64_t Connections() const { return connections_.load(); }
    size_t Queued() const;
    // Called (on the publisher's thread) after each connection made, so the owner can send a
    // fresh status at once. A plain function: it may be set while the thread runs.
    void SetConnectedNotice(void (*notice)()) { connectedNotice_.store(notice); }

private:
    std::atomic<void (*)()> connectedNotice_{nullptr};

    struct Outgoing {
        std::string topic;
        std::string payload;
        bool retain = false;
    };

    void Run(std::stop_token stop);
    bool Setup(std::string& error);
    void TryConnect();
    void SendQueued();
    void MoveStatusTopic();
    std::string OfflinePayload() const;
    void OnConnect(int rc);
    void OnDisconnect(int rc);
    void OnPublish(int mid);

    MqttUrl url_;
    std::string caFile_;
    std::string instance_;
    size_t queueLimit_;
    mosquitto* client_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<Outgoing> queue_;
    std::string statusPayload_;  // the latest status, to publish retained
    std::string statusKey_;      // its site key
    bool statusDirty_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point flushUntil_{};

    // The client thread's own state.
    std::string willKey_;  // site key of the will given to the broker
    bool everConnected_ = false;
    bool everStarted_ = false;
    bool connecting_ = false;
    std::chrono::steady_clock::time_point connectStarted_{};
    bool refused_ = false;
    bool moved_ = false;  // the connection ends to move the status: not a loss
    std::chrono::milliseconds retry_ = kFirstRetry;
    std::chrono::steady_clock::time_point nextAttempt_{};
    std::set<int> unacknowledged_;
    std::string lastError_;
    uint64_t droppedReported_ = 0;

    std::atomic<bool> connected_{false};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> connections_{0};
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> acknowledged_{0};
    std::jthread thread_;
};
