#include "ledscreen/core/pixel_screen.h"

#include <algorithm>

#include "ledapi/core/pixel_wire.h"
#include "ledapi/core/program.h"
#include "ledapi/core/protocol.h"

namespace ledscreen {

PixelScreen::PixelScreen(PixelScreenConfig cfg) : cfg_(cfg) {
  cfg_.Width = std::clamp(cfg_.Width, 1, ledp::kMaxSide);
  cfg_.Height = std::clamp(cfg_.Height, 1, ledp::kMaxSide);
  cfg_.PixelsPerUniverse = std::clamp(cfg_.PixelsPerUniverse, 1, 170);
  first_ = cfg_.FirstUniverse >= 0 ? cfg_.FirstUniverse : cfg_.Kind == ledp::Protocol::E131 ? 1 : 0;
  const long pixels = static_cast<long>(cfg_.Width) * cfg_.Height;
  universes_ = static_cast<int>((pixels + cfg_.PixelsPerUniverse - 1) / cfg_.PixelsPerUniverse);
  frame_ = plat::Raster(cfg_.Width, cfg_.Height);
  picture_ = frame_;
}

bool PixelScreen::TakeFrame() { return std::exchange(pending_, false); }

void PixelScreen::Complete(const ledp::Endpoint& from) {
  ++frames_;
  const bool changed = !frame_.SamePixels(picture_);
  picture_ = frame_;
  pending_ = true;
  auto key = std::make_pair(from.Addr, from.Port);
  const std::string who = std::string(ledp::ProtocolName(cfg_.Kind)) + " from " + ledp::FormatIPv4(from.Addr) +
                          ":" + std::to_string(from.Port);
  if (!sources_.count(key)) {
    if (sources_.size() > 64) sources_.clear();
    sources_[key] = true;
    log_.push_back(who + ": first frame");
  } else if (changed) {
    log_.push_back(who + ": frame " + std::to_string(frames_) + ", picture changed");
  }
}

void PixelScreen::OnUniverse(int universe, uint8_t seq, bool ordered, const uint8_t* slots, size_t n, bool synced,
                             const ledp::Endpoint& from) {
  const int index = universe - first_;
  if (index < 0 || index >= universes_) {
    ++refused_;
    return;
  }
  // A packet up to 20 behind the last one taken is late, as E1.31 receivers
  // judge it; Art-Net sequence 0 means the sender does not number.
  if (ordered) {
    auto it = lastSeq_.find(universe);
    if (it != lastSeq_.end()) {
      const int behind = static_cast<int8_t>(static_cast<uint8_t>(seq - it->second));
      if (behind <= 0 && behind > -20) {
        ++refused_;
        return;
      }
    }
    lastSeq_[universe] = seq;
  }
  ++packets_;
  const size_t per = static_cast<size_t>(cfg_.PixelsPerUniverse) * 3;
  ledp::PutChannels(frame_, cfg_.Wire, static_cast<size_t>(index) * per, slots, std::min(n, per));
  if (!synced && index == universes_ - 1) Complete(from);
}

void PixelScreen::OnDatagram(const uint8_t* data, size_t size, const ledp::Endpoint& from, int64_t) {
  switch (cfg_.Kind) {
    case ledp::Protocol::E131: {
      if (auto d = ledp::DecodeE131Data(data, size)) {
        if (d->StartCode != 0 || (d->Options & ledp::kE131OptionPreview)) {
          ++refused_;  // not dimmer data, or not meant for the show
          return;
        }
        OnUniverse(d->Universe, d->Sequence, true, d->Slots.data(), d->Slots.size(), d->SyncUniverse != 0, from);
      } else if (auto s = ledp::DecodeE131Sync(data, size)) {
        Complete(from);
      } else {
        ++refused_;
      }
      return;
    }
    case ledp::Protocol::ArtNet: {
      auto d = ledp::DecodeArtDmx(data, size);
      if (!d) {
        ++refused_;
        return;
      }
      OnUniverse(d->PortAddress, d->Sequence, d->Sequence != 0, d->Data.data(), d->Data.size(), false, from);
      return;
    }
    case ledp::Protocol::Ddp: {
      auto d = ledp::DecodeDdp(data, size);
      if (!d || d->Id != ledp::kDdpIdDisplay) {
        ++refused_;
        return;
      }
      ++packets_;
      ledp::PutChannels(frame_, cfg_.Wire, d->Offset, d->Data.data(), d->Data.size());
      if (d->Push()) Complete(from);
      return;
    }
    default:
      ++refused_;
  }
}

}  // namespace ledscreen
