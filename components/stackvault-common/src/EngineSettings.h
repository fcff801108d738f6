// The engine's settings: values under "Software\Quorvel\Flintwell13\Stackvault",
// the current user's winning over the machine's.
#pragma once
#include <QString>
#include <cstdint>
#include <optional>

namespace EngineSettings {

// A string value (REG_SZ or REG_EXPAND_SZ); empty when neither root has it.
QString Text(const char16_t* name);
// A REG_DWORD value; none when neither root has it.
std::optional<uint32_t> Number(const char16_t* name);

} // namespace EngineSettings
