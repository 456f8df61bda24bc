// No backend chosen yet: nothing reaches a port.
#include "port_backend.h"
#include "port_layer.h"

namespace {

void Start() {}
void Release() {}
uint8_t Read(uint16_t) { return LastReadByte; }
void Write(uint16_t, uint8_t) {}

}  // namespace

const PortBackend NoPortBackend = {Start, Release, Read, Write};
