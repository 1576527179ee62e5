#include "TypeRegistry.h"

#include <cstdint>

namespace tweakbar {

TwType TypeRegistry::defineEnum(const char* name, const TwEnumVal* values, unsigned int count) {
    if (name == nullptr || values == nullptr || count == 0) {
        return TW_TYPE_UNDEF;
    }
    auto type = std::make_unique<MadeType>();
    type->kind = ValueKind::Enum;
    type->enumType.name = name;
    for (unsigned int i = 0; i < count; ++i) {
        type->enumType.values.push_back({values[i].Value, values[i].Label ? values[i].Label : ""});
    }
    return add(std::move(type));
}

TwType TypeRegistry::defineStruct(const char* name, const TwStructMember* members,
                                  unsigned int count, size_t size, TwSummaryCallback summary,
                                  void* summaryClientData) {
    if (name == nullptr || members == nullptr || count == 0 || size == 0) {
        return TW_TYPE_UNDEF;
    }
    auto type = std::make_unique<MadeType>();
    type->kind = ValueKind::Struct;
    type->structType = StructType{name, size, {}, summary, summaryClientData};
    for (unsigned int i = 0; i < count; ++i) {
        const TwStructMember& given = members[i];
        size_t memberSize = sizeOf(given.Type);
        if (given.Name == nullptr || memberSize == 0 || given.Offset > size ||
            memberSize > size - given.Offset) {
            return TW_TYPE_UNDEF;
        }
        StructMember member{given.Name, given.Type, given.Offset,
                            given.DefString ? given.DefString : "", {}};
        auto attributes = parseAttributes(member.definition);
        if (!attributes || !applyEntryAttributes(member.options, *attributes,
                                                  TwEntryKind::ReadWrite, kindOf(given.Type))) {
            return TW_TYPE_UNDEF;
        }
        type->structType.members.push_back(std::move(member));
    }
    return add(std::move(type));
}

void TypeRegistry::clear() { types_.clear(); }

TwType TypeRegistry::add(std::unique_ptr<MadeType> type) {
    types_.push_back(std::move(type));
    return firstMadeType + static_cast<TwType>(types_.size() - 1);
}

const TypeRegistry::MadeType* TypeRegistry::made(TwType type) const {
    if (type < firstMadeType) {
        return nullptr;
    }
    size_t index = static_cast<size_t>(type - firstMadeType);
    return index < types_.size() ? types_[index].get() : nullptr;
}

ValueKind TypeRegistry::kindOf(TwType type) const {
    switch (type) {
    case TW_TYPE_BOOLCPP:
        return ValueKind::Bool;
    case TW_TYPE_INT32:
        return ValueKind::Int32;
    case TW_TYPE_FLOAT:
        return ValueKind::Float;
    default:
        break;
    }
    const MadeType* m = made(type);
    return m ? m->kind : ValueKind::None;
}

size_t TypeRegistry::sizeOf(TwType type) const {
    switch (kindOf(type)) {
    case ValueKind::Bool:
        return 1;
    case ValueKind::Int32:
    case ValueKind::Enum:
        return sizeof(std::int32_t);
    case ValueKind::Float:
        return sizeof(float);
    case ValueKind::Struct:
        return made(type)->structType.size;
    case ValueKind::None:
        break;
    }
    return 0;
}

const EnumType* TypeRegistry::enumType(TwType type) const {
    const MadeType* m = made(type);
    return (m && m->kind == ValueKind::Enum) ? &m->enumType : nullptr;
}

const StructType* TypeRegistry::structType(TwType type) const {
    const MadeType* m = made(type);
    return (m && m->kind == ValueKind::Struct) ? &m->structType : nullptr;
}

std::string TypeRegistry::nameOf(TwType type) const {
    if (const EnumType* e = enumType(type)) {
        return e->name;
    }
    if (const StructType* s = structType(type)) {
        return s->name;
    }
    return "";
}

} // namespace tweakbar
