// The native build's stand-in for the module's resources: the host program
// registers byte ranges under resource ids. The bytes are borrowed and must
// outlive their use.
#pragma once

#include <stdint.h>

bool RegisterHostResource(uint16_t id, const uint8_t* bytes, uint32_t byteCount);
void ClearHostResources();
