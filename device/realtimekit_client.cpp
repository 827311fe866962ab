// RealtimeKit requests through sd-bus, each bounded by one deadline.
#include "device/realtimekit_client.h"

#include <systemd/sd-bus.h>

#include "config/errno_text.h"

namespace kr450 {
namespace {

constexpr const char* SERVICE = "org.freedesktop.RealtimeKit1";
constexpr const char* OBJECT = "/org/freedesktop/RealtimeKit1";

// sd-bus calls return a negated errno value.
std::string BusErrorText(int negativeErrno) {
  return ErrnoText(-negativeErrno);
}

uint64_t MicrosecondsUntil(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::microseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<uint64_t>(left.count()) : 0;
}

struct PendingReply {
  bool done = false;
  std::string errorName, errorMessage;
};

int OnReply(sd_bus_message* message, void* userdata, sd_bus_error*) {
  auto* pending = static_cast<PendingReply*>(userdata);
  pending->done = true;
  if (const sd_bus_error* error = sd_bus_message_get_error(message)) {
    pending->errorName = error->name != nullptr ? error->name : "an error";
    pending->errorMessage = error->message != nullptr ? error->message : "";
  }
  return 0;
}

RealtimeKitClient::Answer FromReply(const PendingReply& reply) {
  RealtimeKitClient::Answer answer;
  if (reply.errorName.empty()) {
    answer.granted = answer.reachable = true;
    return answer;
  }
  const std::string& name = reply.errorName;
  if (name == SD_BUS_ERROR_SERVICE_UNKNOWN || name == SD_BUS_ERROR_NAME_HAS_NO_OWNER) {
    answer.refused = "RealtimeKit is not on the system bus";
  } else if (name == SD_BUS_ERROR_NO_REPLY || name == SD_BUS_ERROR_TIMEOUT) {
    answer.refused = "RealtimeKit did not answer in time";
  } else {
    answer.reachable = true;
    answer.refused =
        "RealtimeKit refused (" + (reply.errorMessage.empty() ? name : reply.errorMessage) + ")";
  }
  return answer;
}

}  // namespace

struct RealtimeKitClient::Bus {
  sd_bus* bus = nullptr;
};

RealtimeKitClient::RealtimeKitClient(std::chrono::steady_clock::time_point deadline)
    : deadline_(deadline) {
  sd_bus* bus = nullptr;
  // Connecting does not wait: authentication and the bus's hello run inside the calls' loop.
  if (int r = sd_bus_open_system(&bus); r < 0) {
    connectError_ = "no system bus (" + BusErrorText(r) + ")";
    return;
  }
  bus_ = new Bus{bus};
}

RealtimeKitClient::~RealtimeKitClient() {
  if (bus_ == nullptr) return;
  sd_bus_close_unref(bus_->bus);
  delete bus_;
}

RealtimeKitClient::Answer RealtimeKitClient::MakeThreadRealtime(int threadId, uint32_t priority) {
  return Call("MakeThreadRealtime", threadId, 'u', priority);
}

RealtimeKitClient::Answer RealtimeKitClient::MakeThreadHighPriority(int threadId, int32_t nice) {
  return Call("MakeThreadHighPriority", threadId, 'i', nice);
}

template <typename T>
RealtimeKitClient::Answer RealtimeKitClient::Call(const char* method, int threadId, char type,
                                                  T value) {
  if (bus_ == nullptr) return {.refused = connectError_};
  sd_bus* bus = bus_->bus;
  sd_bus_message* call = nullptr;
  const char types[] = {'t', type, '\0'};
  int r = sd_bus_message_new_method_call(bus, &call, SERVICE, OBJECT, SERVICE, method);
  if (r >= 0) r = sd_bus_message_append(call, types, static_cast<uint64_t>(threadId), value);
  PendingReply reply;
  sd_bus_slot* slot = nullptr;
  if (r >= 0)
    r = sd_bus_call_async(bus, &slot, call, OnReply, &reply, MicrosecondsUntil(deadline_));
  sd_bus_message_unref(call);
  while (r >= 0 && !reply.done) {
    r = sd_bus_process(bus, nullptr);
    if (r != 0) continue;
    const uint64_t left = MicrosecondsUntil(deadline_);
    if (left == 0) break;
    r = sd_bus_wait(bus, left);
  }
  sd_bus_slot_unref(slot);  // a reply that comes later finds no one waiting
  if (reply.done) return FromReply(reply);
  if (r < 0) return {.refused = "the system bus failed (" + BusErrorText(r) + ")"};
  return {.refused = "the system bus did not answer in time"};
}

}  // namespace kr450
