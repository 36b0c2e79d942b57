// The IMA ADPCM compressor's DLL: its filter in the audio compressor category.

#include "standins/base/Module.h"
#include "standins/codecs/CodecClsids.h"
#include "standins/codecs/ImaAdpcmCompressor.h"

namespace {

// Only ever chosen by name: never pulled into a graph by itself.
const REGFILTER2 kFilter = {1, MERIT_DO_NOT_USE, {{0, nullptr}}};

const standin::ClassEntry kClasses[] = {
    {&kImaAdpcmCompressorClsid, L"IMA ADPCM Compressor", standin::CreateObject<ImaAdpcmCompressor>,
     &kFilter, nullptr, &CLSID_AudioCompressorCategory},
};

}  // namespace

const standin::ClassTable& standin::DllClasses() {
  static const ClassTable table{kClasses, sizeof kClasses / sizeof kClasses[0]};
  return table;
}
