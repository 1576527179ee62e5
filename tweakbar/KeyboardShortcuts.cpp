#include "KeyboardShortcuts.h"

#include "ValueRules.h"

namespace tweakbar {

namespace {

int direction(const EntryOptions& options, unsigned char key) {
    return options.keyIncr == key ? 1 : options.keyDecr == key ? -1 : 0;
}

// Steps the first member, in a group or in a group inside it, whose
// shortcut is key.
bool stepMember(const StructType& type, void* base, unsigned char key, const TypeRegistry& types) {
    for (const StructMember& member : type.members) {
        void* at = static_cast<unsigned char*>(base) + member.offset;
        if (const StructType* inner = types.structType(member.type)) {
            if (stepMember(*inner, at, key, types)) {
                return true;
            }
        } else if (int step = direction(member.options, key)) {
            stepValue(at, member.type, member.options, types, step);
            return true;
        }
    }
    return false;
}

} // namespace

bool applyShortcut(Registry& registry, unsigned char key, ButtonPress& button) {
    button = {nullptr, nullptr};
    const TypeRegistry& types = registry.types();
    for (const auto& bar : registry.bars()) {
        if (!bar->attributes.visible) {
            continue;
        }
        for (const Entry& entry : bar->entries) {
            int step = direction(entry.options, key);
            if (entry.kind == TwEntryKind::Button && step != 0) {
                button = {entry.callback, entry.clientData};
                return true;
            }
            void* address = entry.writableAddress();
            if (address == nullptr) {
                continue;
            }
            if (const StructType* group = types.structType(entry.type)) {
                if (stepMember(*group, address, key, types)) {
                    return true;
                }
            } else if (step != 0) {
                stepValue(address, entry.type, entry.options, types, step);
                return true;
            }
        }
    }
    return false;
}

} // namespace tweakbar
