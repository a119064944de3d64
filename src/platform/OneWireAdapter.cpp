#include "platform/OneWireAdapter.h"

namespace {
OneWireAdapter*& installed() {
    static OneWireAdapter* adapter = nullptr;
    return adapter;
}
}  // namespace

namespace OneWire {

OneWireAdapter* SetAdapter(OneWireAdapter* adapter) {
    OneWireAdapter* previous = installed();
    installed() = adapter;
    return previous;
}

OneWireAdapter* InstalledAdapter() {
    return installed();
}

}  // namespace OneWire
