#include "EntryWidgets.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

#include "BoundMemory.h"
#include "ValueRules.h"

namespace tweakbar {

namespace {

ScreenRect lastItemRect() {
    ImVec2 min = ImGui::GetItemRectMin();
    ImVec2 max = ImGui::GetItemRectMax();
    return {min.x, min.y, max.x - min.x, max.y - min.y};
}

void helpTooltip(const std::string& help) {
    if (!help.empty() && ImGui::IsItemHovered()) {
        ImGui::SetTooltip("%s", help.c_str());
    }
}

std::int32_t boundFor(double limit, bool lower) {
    double rounded = lower ? std::ceil(limit) : std::floor(limit);
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded < lowest ? lowest : rounded > highest ? highest : rounded);
}

// ImGui limits a drag only with both bounds; one-sided limits are left to
// the clamp applied before writing.
struct DragLimits {
    const void* min = nullptr;
    const void* max = nullptr;
};

float dragSpeed(const EntryOptions& options) {
    double step = options.step.value_or(1.0);
    return static_cast<float>(step > 1e6 ? 1e6 : step);
}

constexpr ImGuiSliderFlags clampTyped = ImGuiSliderFlags_AlwaysClamp;

} // namespace

void EntryWidgets::rows(Entry& entry) {
    entry.widgetRect = {};
    for (ScreenRect& r : entry.itemRects) {
        r = {};
    }
    const std::string& help = entry.options.help;
    ImGui::TableNextRow();
    ImGui::TableSetColumnIndex(0);

    switch (entry.kind) {
    case TwEntryKind::Separator:
        ImGui::Separator();
        if (!entry.label.empty()) {
            ImGui::TextDisabled("%s", entry.label.c_str());
        }
        entry.widgetRect = lastItemRect();
        ImGui::TableSetColumnIndex(1);
        ImGui::Separator();
        return;
    case TwEntryKind::Button:
        if (ImGui::Button(entry.label.c_str())) {
            pressed_.push_back({entry.callback, entry.clientData});
        }
        entry.widgetRect = lastItemRect();
        helpTooltip(help);
        return;
    case TwEntryKind::ReadWrite:
    case TwEntryKind::ReadOnly:
        break;
    }

    void* writable = entry.writableAddress();
    if (const StructType* s = types_.structType(entry.type)) {
        entry.widgetRect =
            structRows(*s, entry.label.c_str(), help, entry.address, writable, &entry.itemRects);
        return;
    }
    // A read-only value is shown as a disabled widget: visible, never active.
    ImGui::BeginDisabled(writable == nullptr);
    labelCell(entry.label.c_str(), help);
    ImGui::TableSetColumnIndex(1);
    valueWidget(entry.type, entry.address, writable, entry.options, &entry.itemRects);
    entry.widgetRect = lastItemRect();
    helpTooltip(help);
    ImGui::EndDisabled();
}

void EntryWidgets::labelCell(const char* label, const std::string& help) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    helpTooltip(help);
}

void EntryWidgets::valueWidget(TwType type, const void* address, void* writable,
                               const EntryOptions& options, std::vector<ScreenRect>* itemRects) {
    ImGui::SetNextItemWidth(-FLT_MIN);
    switch (types_.kindOf(type)) {
    case ValueKind::Bool: {
        bool value = readBool(address);
        if (ImGui::Checkbox("##value", &value) && writable) {
            writeBool(writable, value);
        }
        break;
    }
    case ValueKind::Int32:
        int32Widget(address, writable, options);
        break;
    case ValueKind::Float:
        floatWidget(address, writable, options);
        break;
    case ValueKind::Enum:
        enumWidget(*types_.enumType(type), address, writable, itemRects);
        break;
    case ValueKind::Struct:
    case ValueKind::None:
        break;
    }
}

void EntryWidgets::int32Widget(const void* address, void* writable, const EntryOptions& options) {
    std::int32_t value = readInt32(address);
    std::int32_t min = 0;
    std::int32_t max = 0;
    DragLimits limits;
    if (options.min && options.max) {
        min = boundFor(*options.min, true);
        max = boundFor(*options.max, false);
        limits = {&min, &max};
    }
    if (ImGui::DragScalar("##value", ImGuiDataType_S32, &value, dragSpeed(options), limits.min,
                          limits.max, "%d", clampTyped) &&
        writable) {
        writeInt32(writable, limitInt32(value, options));
    }
}

void EntryWidgets::floatWidget(const void* address, void* writable, const EntryOptions& options) {
    float value = readFloat(address);
    float min = 0.0f;
    float max = 0.0f;
    DragLimits limits;
    if (options.min && options.max) {
        min = limitFloat(*options.min, {});
        max = limitFloat(*options.max, {});
        limits = {&min, &max};
    }
    if (ImGui::DragScalar("##value", ImGuiDataType_Float, &value, dragSpeed(options), limits.min,
                          limits.max, "%.3f", clampTyped) &&
        writable) {
        writeFloat(writable, limitFloat(value, options));
    }
}

void EntryWidgets::enumWidget(const EnumType& type, const void* address, void* writable,
                              std::vector<ScreenRect>* itemRects) {
    std::int32_t current = readInt32(address);
    char unnamed[16];
    const char* preview = nullptr;
    for (const EnumValue& v : type.values) {
        if (v.value == current) {
            preview = v.label.c_str();
            break;
        }
    }
    if (preview == nullptr) {
        // A value set elsewhere that has no label is shown as its number.
        std::snprintf(unnamed, sizeof unnamed, "%d", static_cast<int>(current));
        preview = unnamed;
    }
    if (!ImGui::BeginCombo("##value", preview)) {
        return;
    }
    // The list is laid out unseen in its first frame; its places are only
    // worth keeping once it shows.
    bool shown = !ImGui::GetCurrentWindowRead()->Hidden;
    for (size_t i = 0; i < type.values.size(); ++i) {
        const EnumValue& v = type.values[i];
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(v.label.c_str(), v.value == current) && writable) {
            writeInt32(writable, v.value);
        }
        if (shown && itemRects && i < itemRects->size()) {
            (*itemRects)[i] = lastItemRect();
        }
        ImGui::PopID();
    }
    ImGui::EndCombo();
}

ScreenRect EntryWidgets::structRows(const StructType& type, const char* label,
                                    const std::string& help, const void* address, void* writable,
                                    std::vector<ScreenRect>* itemRects) {
    bool open = ImGui::TreeNodeEx("##group", ImGuiTreeNodeFlags_None, "%s", label);
    ScreenRect nodeRect = lastItemRect();
    helpTooltip(help);
    ImGui::TableSetColumnIndex(1);
    char text[128];
    structSummary(text, sizeof text, type, address);
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(text);
    if (!open) {
        return nodeRect;
    }
    for (size_t i = 0; i < type.members.size(); ++i) {
        const StructMember& m = type.members[i];
        const void* memberAt = memberAddress(address, m.offset);
        void* memberWritable =
            writable ? static_cast<unsigned char*>(writable) + m.offset : nullptr;
        ImGui::PushID(static_cast<int>(i));
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        ScreenRect memberRect;
        if (const StructType* inner = types_.structType(m.type)) {
            // Groups open even when read-only: their members are what is shown.
            memberRect = structRows(*inner, m.name.c_str(), m.options.help, memberAt,
                                    memberWritable, nullptr);
        } else {
            ImGui::BeginDisabled(memberWritable == nullptr);
            labelCell(m.name.c_str(), m.options.help);
            ImGui::TableSetColumnIndex(1);
            valueWidget(m.type, memberAt, memberWritable, m.options, nullptr);
            memberRect = lastItemRect();
            helpTooltip(m.options.help);
            ImGui::EndDisabled();
        }
        if (itemRects && i < itemRects->size()) {
            (*itemRects)[i] = memberRect;
        }
        ImGui::PopID();
    }
    ImGui::TreePop();
    return nodeRect;
}

void EntryWidgets::structSummary(char* text, size_t size, const StructType& type,
                                 const void* address) const {
    if (type.summary != nullptr) {
        text[0] = '\0';
        type.summary(text, size, address, type.summaryClientData);
        text[size - 1] = '\0';
        return;
    }
    // The members' values in braces, cut at the end of the buffer.
    size_t used = 0;
    auto append = [&](const char* part) {
        int n = std::snprintf(text + used, size - used, "%s", part);
        used += n > 0 ? static_cast<size_t>(n) : 0;
        used = used < size - 1 ? used : size - 1;
    };
    append("{");
    for (size_t i = 0; i < type.members.size(); ++i) {
        const StructMember& m = type.members[i];
        char part[48];
        summary(part, sizeof part, m.type, memberAddress(address, m.offset));
        if (i > 0) {
            append(", ");
        }
        append(part);
    }
    append("}");
}

void EntryWidgets::summary(char* text, size_t size, TwType type, const void* address) const {
    switch (types_.kindOf(type)) {
    case ValueKind::Bool:
        std::snprintf(text, size, "%d", readBool(address) ? 1 : 0);
        return;
    case ValueKind::Int32:
        std::snprintf(text, size, "%d", static_cast<int>(readInt32(address)));
        return;
    case ValueKind::Float:
        std::snprintf(text, size, "%g", static_cast<double>(readFloat(address)));
        return;
    case ValueKind::Enum: {
        std::int32_t value = readInt32(address);
        for (const EnumValue& v : types_.enumType(type)->values) {
            if (v.value == value) {
                std::snprintf(text, size, "%s", v.label.c_str());
                return;
            }
        }
        std::snprintf(text, size, "%d", static_cast<int>(value));
        return;
    }
    case ValueKind::Struct:
        std::snprintf(text, size, "{...}");
        return;
    case ValueKind::None:
        break;
    }
    if (size > 0) {
        text[0] = '\0';
    }
}

} // namespace tweakbar
