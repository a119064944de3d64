#include "platform/OneWireAdapter.h"

namespace {
OneWireAdapter*& installedAdapter() {
    static OneWireAdapter* adapter = nullptr;
    return adapter;
}
}  // namespace

namespace OneWire {

OneWireAdapter* SetAdapter(OneWireAdapter* adapter) {
    OneWireAdapter* previous = installedAdapter();
    installedAdapter() = adapter;
    return previous;
}

OneWireAdapter* InstalledAdapter() {
    return installedAdapter();
}

}  // namespace OneWire
