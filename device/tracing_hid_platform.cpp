#include "device/tracing_hid_platform.h"

namespace kr450 {

class TracingHidPlatform::Handle final : public HidHandle {
 public:
  Handle(TracingHidPlatform& owner, std::shared_ptr<HidHandle> inner)
      : owner_(owner), inner_(std::move(inner)) {}

  bool SetFeature(std::span<const uint8_t> report) override {
    {
      std::lock_guard lock(owner_.observerMutex_);
      if (owner_.observer_) owner_.observer_(report);
    }
    return inner_->SetFeature(report);
  }
  HidReadResult Read(std::span<uint8_t> buffer) override { return inner_->Read(buffer); }
  void CancelRead() override { inner_->CancelRead(); }

 private:
  TracingHidPlatform& owner_;
  std::shared_ptr<HidHandle> inner_;
};

TracingHidPlatform::TracingHidPlatform(HidPlatform& inner, FeatureObserver onFeatureReport)
    : inner_(inner), observer_(std::move(onFeatureReport)) {}

Result<std::shared_ptr<HidHandle>> TracingHidPlatform::Open(const HidCollectionInfo& collection,
                                                            HidAccess access) {
  Result<std::shared_ptr<HidHandle>> result = inner_.Open(collection, access);
  if (!result) return result;
  return std::shared_ptr<HidHandle>(std::make_shared<Handle>(*this, std::move(*result)));
}

bool TracingHidPlatform::WatchDevices(HidEventHandler handler) {
  return inner_.WatchDevices(std::move(handler));
}

}  // namespace kr450
