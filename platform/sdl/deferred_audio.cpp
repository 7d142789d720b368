#include "platform/sdl/deferred_audio.h"

namespace qs {

void DeferredAudio::open() {
  if (device_) return;
  if (opener_) device_ = opener_();
  if (!device_) device_ = std::make_unique<SilentAudio>();
  opener_ = nullptr;
}

}  // namespace qs
