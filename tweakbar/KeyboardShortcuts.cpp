#include "KeyboardShortcuts.h"

#include "ValueRules.h"

namespace tweakbar {

bool applyShortcut(Registry& registry, unsigned char key, ButtonPress& button) {
    button = {nullptr, nullptr};
    for (const auto& bar : registry.bars()) {
        if (!bar->attributes.visible) {
            continue;
        }
        for (const Entry& entry : bar->entries) {
            bool incr = entry.options.keyIncr == key;
            bool decr = entry.options.keyDecr == key;
            if (!incr && !decr) {
                continue;
            }
            if (entry.kind == TwEntryKind::Button) {
                button = {entry.callback, entry.clientData};
                return true;
            }
            if (void* address = entry.writableAddress()) {
                stepValue(address, entry.type, entry.options, registry.types(), incr ? 1 : -1);
                return true;
            }
        }
    }
    return false;
}

} // namespace tweakbar
