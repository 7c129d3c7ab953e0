// Any datagram to the three pixel decoders: whatever they accept is
// consistent with its own length fields and encodes back to a datagram the
// decoder takes again with the same content.
#include <cstdint>
#include <cstdlib>

#include "ledapi/core/pixel_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (auto d = ledp::DecodeE131Data(data, size)) {
    if (d->Slots.size() + ledp::kE131DataHeader != size) std::abort();
    ledp::E131Source src{d->Id, d->SourceName.substr(0, 63), d->Priority};
    auto again = ledp::EncodeE131Data(src, d->Universe, d->Sequence, d->Slots.data(), d->Slots.size(),
                                      d->SyncUniverse, d->Options);
    auto back = ledp::DecodeE131Data(again.data(), again.size());
    if (!back || back->Slots != d->Slots || back->Universe != d->Universe) std::abort();
  }
  if (auto s = ledp::DecodeE131Sync(data, size)) {
    auto again = ledp::EncodeE131Sync(s->Id, s->SyncUniverse, s->Sequence);
    if (!ledp::DecodeE131Sync(again.data(), again.size())) std::abort();
  }
  if (auto a = ledp::DecodeArtDmx(data, size)) {
    if (a->Data.size() % 2 || a->Data.size() + ledp::kArtDmxHeader != size) std::abort();
    auto again = ledp::EncodeArtDmx(a->PortAddress, a->Sequence, a->Data.data(), a->Data.size());
    auto back = ledp::DecodeArtDmx(again.data(), again.size());
    if (!back || back->Data != a->Data || back->PortAddress != a->PortAddress) std::abort();
  }
  if (auto p = ledp::DecodeDdp(data, size)) {
    if (p->Data.size() + ledp::kDdpHeader != size) std::abort();
    auto again = ledp::EncodeDdp(p->Offset, p->Sequence, p->Push(), p->Data.data(), p->Data.size());
    auto back = ledp::DecodeDdp(again.data(), again.size());
    if (!back || back->Data != p->Data || back->Offset != p->Offset || back->Push() != p->Push()) std::abort();
  }
  return 0;
}
