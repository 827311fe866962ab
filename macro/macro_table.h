#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

#include "macro/macro_record.h"

namespace kr450 {

// The macros in memory. Records 0 .. macroCount-1 are the macros; the others hold stale bytes.
struct MacroTableData {
  std::array<MacroRecord, MAX_MACROS> records{};
  int16_t macroCount = 0;     // 0..12
  int32_t selectedMacro = 0;  // the macro the editor shows

  friend bool operator==(const MacroTableData&, const MacroTableData&) = default;
};

// The process-wide macro table. The window thread loads, saves and edits it; the action
// executor copies the record it plays. One mutex guards the data; it is held only while the
// data is read or changed, never across a file access, a sleep or synthesised input.
class MacroTable {
 public:
  // Runs f(MacroTableData&) under the table's mutex and returns its result. f must not block
  // or call back into the table.
  template <typename F>
  auto Edit(F&& f) {
    std::lock_guard lock(mutex_);
    return f(data_);
  }

  MacroTableData Snapshot() const {
    std::lock_guard lock(mutex_);
    return data_;
  }

  int16_t Count() const {
    std::lock_guard lock(mutex_);
    return data_.macroCount;
  }

  // A copy of macro `index` for playback, or nothing when index is not below macroCount.
  std::optional<MacroRecord> CopyForPlayback(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= data_.macroCount || index >= MAX_MACROS) return std::nullopt;
    return data_.records[index];
  }

  // All bytes zero; the recorder copies it over a record to clear it.
  static const MacroRecord& BlankMacro() {
    static const MacroRecord blank{};
    return blank;
  }

 private:
  mutable std::mutex mutex_;
  MacroTableData data_;
};

}  // namespace kr450
