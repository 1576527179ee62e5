// The enumeration and struct types made by TwDefineEnum and TwDefineStruct,
// next to the built-in ones. Type numbers of made types start at
// firstMadeType and follow the order of definition.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "EntryOptions.h"
#include "TweakBar.h"
#include "ValueKind.h"

namespace tweakbar {

struct EnumValue {
    int value;
    std::string label;
};

struct EnumType {
    std::string name;
    std::vector<EnumValue> values; // in declared order
};

struct StructMember {
    std::string name;
    TwType type;
    size_t offset;
    std::string definition;
    EntryOptions options;
};

struct StructType {
    std::string name;
    size_t size;
    std::vector<StructMember> members;
    TwSummaryCallback summary;
    void* summaryClientData;
};

class TypeRegistry {
public:
    static constexpr TwType firstMadeType = 0x100;

    // TW_TYPE_UNDEF (and nothing defined) for a null name, no values, a
    // member of an unknown type, a member that does not fit inside the
    // struct, or a member definition string that does not apply.
    TwType defineEnum(const char* name, const TwEnumVal* values, unsigned int count);
    TwType defineStruct(const char* name, const TwStructMember* members, unsigned int count,
                        size_t size, TwSummaryCallback summary, void* summaryClientData);
    void clear();

    ValueKind kindOf(TwType type) const;
    size_t sizeOf(TwType type) const; // bytes the value occupies; 0 for unknown types
    const EnumType* enumType(TwType type) const;
    const StructType* structType(TwType type) const;
    std::string nameOf(TwType type) const;

private:
    struct MadeType {
        ValueKind kind;
        EnumType enumType;
        StructType structType;
    };
    const MadeType* made(TwType type) const;
    TwType add(std::unique_ptr<MadeType> type);

    std::vector<std::unique_ptr<MadeType>> types_;
};

} // namespace tweakbar
