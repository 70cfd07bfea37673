#include "app/HeadlessFeed.h"

#include "app/HeadlessRun.h"
#include "service/MqttUrl.h"
#include "service/ServiceLog.h"

bool HeadlessFeed::Start(const HeadlessOptions& options, const std::string& instance, std::string& error)
{
    if (options.eventsFile.empty() && options.mqttUrl.empty())
        return true;
    feed_ = std::make_unique<EventFeed>(instance);
    if (!options.eventsFile.empty()) {
        file_ = std::make_unique<JsonLinesWriter>();
        if (!file_->Open(options.eventsFile, error))
            return false;
        file_->SetErrorCallback([](const std::string& text) { ServiceLog::Instance().Error(text); });
        feed_->AddOutput(file_.get());
    }
    if (!options.mqttUrl.empty()) {
        MqttUrl url;
        if (!MqttUrl::Parse(options.mqttUrl, url, error))
            return false;
        mqtt_ = std::make_unique<MqttPublisher>(url, options.mqttCa, instance, static_cast<size_t>(options.mqttQueue));
        if (!mqtt_->Start(error))
            return false;
        MqttPublisher* mqtt = mqtt_.get();
        feed_->SetDropCounter([mqtt] { return mqtt->Dropped(); });
        feed_->AddOutput(mqtt_.get());
    }
    return true;
}

void HeadlessFeed::Stop()
{
    if (mqtt_) {
        mqtt_->Stop();
        if (mqtt_->Dropped() > 0)
            ServiceLog::Instance().Warning("MQTT: " + std::to_string(mqtt_->Dropped()) +
                                           " events dropped in all (queue full while the broker was away)");
    }
    if (file_)
        file_->Close();
}
