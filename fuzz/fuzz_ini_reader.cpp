// Feeds arbitrary bytes to the profile reader, the configuration section reader and the
// number parser, then checks that writing a value and reading it back holds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/config_store.h"
#include "config/decimal.h"
#include "config/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)kr450::ParseDecimal(bytes);

  kr450::IniDocument doc = kr450::IniDocument::FromBytes(bytes);
  // An unchanged document writes back exactly what it read.
  if (doc.encoding() != kr450::IniDocument::Encoding::Utf16LeBom && doc.ToBytes() != bytes) {
    std::abort();
  }
  const kr450::DeviceConfig config = kr450::ReadConfigSection(doc, "Config1");
  if (config.dpiLevel < 0 || config.dpiLevel > 3 || config.ledStatus > 3) std::abort();
  for (uint8_t value : config.dpiStage) {
    if (value > 4) std::abort();
  }
  (void)doc.Get("Init", "CurConfig", 4);

  kr450::WriteConfigSection(doc, "Config1", config);
  doc.Set("Fuzz", "key", "value");
  const kr450::IniDocument again = kr450::IniDocument::FromBytes(doc.ToBytes());
  if (again.Get("fuzz", "KEY", 259) != "value") std::abort();
  if (kr450::ReadConfigSection(again, "Config1") != config) std::abort();
  return 0;
}
