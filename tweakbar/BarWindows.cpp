// The bars, their rows and the help window as ImGui windows and widgets.
#include "BarWindows.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace Vellumar::tweakbar {

namespace {

// The value column takes this share of the bar when valuesWidth is unset,
// and at most the larger share when it is set.
constexpr float defaultValuesShare = 0.4f;
constexpr float largestValuesShare = 0.6f;
// The default font is drawn for 13 pixels: small keeps it sharp.
constexpr float fontScales[] = {1.0f, 1.25f, 1.5f};
constexpr float helpWidth = 440.0f;
constexpr float helpHeight = 380.0f;
constexpr ImGuiWindowFlags barFlags = ImGuiWindowFlags_NoSavedSettings |
                                      ImGuiWindowFlags_NoScrollbar |
                                      ImGuiWindowFlags_NoScrollWithMouse;
constexpr ImGuiSliderFlags clampTyped = ImGuiSliderFlags_AlwaysClamp;
constexpr float plotHeightInLines = 4.0f;

ScreenRect rectOf(const ImVec2& pos, const ImVec2& size) { return {pos.x, pos.y, size.x, size.y}; }

ScreenRect lastItemRect() { return rectOf(ImGui::GetItemRectMin(), ImGui::GetItemRectSize()); }

void helpTooltip(const std::string& help) {
    if (!help.empty() && ImGui::IsItemHovered()) {
        ImGui::SetTooltip("%s", help.c_str());
    }
}

float dragSpeed(const EntryOptions& options) {
    return static_cast<float>(std::min(options.step.value_or(1.0), 1e6));
}

// The rows of one bar, and where its value column starts (window-local x).
struct Rows {
    const Registry& registry;
    std::vector<ButtonPress>& pressed;
    float valueX;
    float valuesWidth;

    void entry(Entry& e) {
        const MadeType* made = registry.madeType(e.type);
        if (e.kind == EntryKind::Separator) {
            ImGui::Separator();
            e.widgetRect = lastItemRect();
            if (!e.label.empty()) {
                ImGui::PushTextWrapPos(0.0f);
                ImGui::TextDisabled("%s", e.label.c_str());
                ImGui::PopTextWrapPos();
                e.labelRect = lastItemRect();
                e.labelRoom = {e.widgetRect.x, e.labelRect.y, e.widgetRect.width,
                               e.labelRect.height};
            }
        } else if (e.kind == EntryKind::Button) {
            if (ImGui::Button(e.label.c_str(), ImVec2(-FLT_MIN, 0.0f))) {
                pressed.push_back({e.callback, e.clientData});
            }
            helpTooltip(e.options.help);
            e.widgetRect = e.labelRoom = lastItemRect();
            ImVec2 text = ImGui::CalcTextSize(e.label.c_str());
            const ScreenRect& r = e.widgetRect;
            e.labelRect = {r.x + (r.width - text.x) * 0.5f, r.y + (r.height - text.y) * 0.5f,
                           text.x, text.y};
        } else if (made != nullptr && made->kind == structKind) {
            structRows(e, *made);
        } else if (e.kind == EntryKind::Plot) {
            plot(e, *static_cast<const PlotData*>(e.address));
        } else if (e.kind == EntryKind::Ramp) {
            ramp(e, *static_cast<const RampData*>(e.address));
        } else {
            label(e.label, e.options.help, e.labelRect, e.labelRoom);
            value(e.type, e.address, e.writableAddress(), e.options, &e.itemRects);
            e.widgetRect = lastItemRect();
            helpTooltip(e.options.help);
        }
    }

    // The arrow's node spans the line; the label, wrapped like any other, is
    // drawn over it. The members follow as rows of their own when open.
    void structRows(Entry& e, const MadeType& type) {
        float x = ImGui::GetCursorPosX();
        bool open = ImGui::TreeNodeEx("##group", ImGuiTreeNodeFlags_SpanAvailWidth |
                                                     ImGuiTreeNodeFlags_AllowItemOverlap);
        e.widgetRect = lastItemRect();
        ImGui::SameLine(x + ImGui::GetTreeNodeToLabelSpacing());
        label(e.label, e.options.help, e.labelRect, e.labelRoom);
        ImGui::NewLine();
        if (!open) {
            return;
        }
        void* writable = e.writableAddress();
        for (size_t i = 0; i < type.members.size(); ++i) {
            const StructMember& m = type.members[i];
            ScreenRect text;
            ScreenRect room;
            ImGui::PushID(static_cast<int>(i));
            label(m.name, m.options.help, text, room);
            value(m.type, static_cast<const unsigned char*>(e.address) + m.offset,
                  writable ? static_cast<unsigned char*>(writable) + m.offset : nullptr, m.options,
                  nullptr);
            e.itemRects[i] = lastItemRect();
            helpTooltip(m.options.help);
            ImGui::PopID();
        }
        ImGui::TreePop();
    }

    // The label with the caption in the value column, then the plot across
    // the bar, scaled from 0 to its top. ImGui's own tooltip names the
    // hovered value; the label's gives the help.
    void plot(Entry& e, const PlotData& data) {
        if (data.values == nullptr || data.count <= 0) {
            return;
        }
        label(e.label, e.options.help, e.labelRect, e.labelRoom);
        ImGui::PushTextWrapPos(0.0f);
        ImGui::TextDisabled("%s", data.caption ? data.caption : "");
        ImGui::PopTextWrapPos();
        float top = data.top;
        if (!(top > 0.0f) || !std::isfinite(top)) {
            top = *std::max_element(data.values, data.values + data.count);
        }
        // An empty or flat-zero plot still needs a scale.
        top = top > 0.0f && std::isfinite(top) ? top : 1.0f;
        ImGui::SetNextItemWidth(-FLT_MIN);
        const ImVec2 size(0.0f, plotHeightInLines * ImGui::GetFontSize());
        if (data.style == PlotStyle::Histogram) {
            ImGui::PlotHistogram("##plot", data.values, data.count, 0, nullptr, 0.0f, top, size);
        } else {
            ImGui::PlotLines("##plot", data.values, data.count, 0, nullptr, 0.0f, top, size);
        }
        e.widgetRect = lastItemRect();
        if (std::isfinite(data.guide)) {
            // Where ImGui puts a value: inside the frame's padding.
            const ImVec2 padding = ImGui::GetStyle().FramePadding;
            const ImVec2 min = ImGui::GetItemRectMin();
            const ImVec2 max = ImGui::GetItemRectMax();
            const float bottom = max.y - padding.y;
            const float height = bottom - (min.y + padding.y);
            const float y = bottom - std::clamp(data.guide / top, 0.0f, 1.0f) * height;
            ImGui::GetWindowDrawList()->AddLine(ImVec2(min.x + padding.x, y),
                                                ImVec2(max.x - padding.x, y),
                                                ImGui::GetColorU32(ImGuiCol_PlotLinesHovered));
        }
    }

    // The label, then the colours across the bar, each blended into the
    // next, and the values of the two ends under them.
    void ramp(Entry& e, const RampData& data) {
        if (data.rgba == nullptr || data.count <= 0) {
            return;
        }
        label(e.label, e.options.help, e.labelRect, e.labelRoom);
        ImGui::NewLine();
        const float width = ImGui::GetContentRegionAvail().x;
        const ImVec2 min = ImGui::GetCursorScreenPos();
        ImGui::Dummy(ImVec2(width, ImGui::GetFontSize()));
        e.widgetRect = lastItemRect();
        helpTooltip(e.options.help);
        const float bottom = min.y + e.widgetRect.height;
        auto colour = [&data](int i) {
            const unsigned char* c = data.rgba + 4 * i;
            return IM_COL32(c[0], c[1], c[2], c[3]);
        };
        ImDrawList* drawList = ImGui::GetWindowDrawList();
        if (data.count == 1) {
            drawList->AddRectFilled(min, ImVec2(min.x + width, bottom), colour(0));
        }
        const float step = width / static_cast<float>(std::max(data.count - 1, 1));
        for (int i = 0; i + 1 < data.count; ++i) {
            const float x = min.x + step * static_cast<float>(i);
            drawList->AddRectFilledMultiColor(ImVec2(x, min.y), ImVec2(x + step, bottom), colour(i),
                                              colour(i + 1), colour(i + 1), colour(i));
        }
        const char* high = data.high ? data.high : "";
        ImGui::TextDisabled("%s", data.low ? data.low : "");
        ImGui::SameLine(ImGui::GetContentRegionMax().x - ImGui::CalcTextSize(high).x);
        ImGui::TextDisabled("%s", high);
    }

    // The label wrapped inside its room; the cursor then stands at the value.
    void label(const std::string& text, const std::string& help, ScreenRect& textRect,
               ScreenRect& room) {
        float wrapAt = valueX - ImGui::GetStyle().ItemSpacing.x;
        ImGui::AlignTextToFramePadding();
        ImVec2 start = ImGui::GetCursorScreenPos();
        float roomWidth = std::max(0.0f, wrapAt - ImGui::GetCursorPosX());
        ImGui::PushTextWrapPos(wrapAt);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        helpTooltip(help);
        textRect = lastItemRect();
        room = {start.x, textRect.y, roomWidth, textRect.height};
        ImGui::SameLine(valueX);
        ImGui::SetNextItemWidth(valuesWidth);
    }

    void value(TwType type, const void* address, void* writable, const EntryOptions& o,
               std::vector<ScreenRect>* itemRects) {
        // A read-only value is a disabled widget: visible, never active.
        ImGui::BeginDisabled(writable == nullptr);
        switch (registry.kindOf(type)) {
        case TW_TYPE_BOOLCPP: {
            bool on = readValue<unsigned char>(address) != 0;
            if (ImGui::Checkbox("##value", &on) && writable) {
                writeValue<unsigned char>(writable, on ? 1 : 0);
            }
            break;
        }
        case TW_TYPE_INT32: {
            // ImGui limits a drag only with both bounds; one-sided limits are
            // left to the clamp applied before writing.
            auto v = readValue<std::int32_t>(address);
            auto min = static_cast<std::int32_t>(o.min.value_or(0.0));
            auto max = static_cast<std::int32_t>(o.max.value_or(0.0));
            bool both = o.min && o.max;
            if (ImGui::DragScalar("##value", ImGuiDataType_S32, &v, dragSpeed(o),
                                  both ? &min : nullptr, both ? &max : nullptr, "%d", clampTyped) &&
                writable) {
                writeValue(writable, limitInt32(v, o));
            }
            break;
        }
        case TW_TYPE_FLOAT: {
            auto v = readValue<float>(address);
            // ImGui asserts that a slider's range lies within half the float range.
            float min = std::max(limitFloat(o.min.value_or(0.0), {}), -FLT_MAX / 2);
            float max = std::min(limitFloat(o.max.value_or(0.0), {}), FLT_MAX / 2);
            bool slider = o.min && o.max;
            bool changed = slider ? ImGui::SliderScalar("##value", ImGuiDataType_Float, &v, &min,
                                                        &max, "%.3f", clampTyped)
                                  : ImGui::DragScalar("##value", ImGuiDataType_Float, &v,
                                                      dragSpeed(o), nullptr, nullptr, "%.3f");
            // A slider moves to the nearest step from its minimum.
            double snapped = slider && o.step ? min + std::round((v - min) / *o.step) * *o.step : v;
            if (changed && writable) {
                writeValue(writable, limitFloat(snapped, o));
            }
            break;
        }
        case TW_TYPE_DOUBLE: {
            auto v = readValue<double>(address);
            ImGui::DragScalar("##value", ImGuiDataType_Double, &v, 0.0f, nullptr, nullptr, "%.6g");
            break;
        }
        case TW_TYPE_CDSTRING: {
            const char* text = readValue<const char*>(address);
            ImGui::TextWrapped("%s", text ? text : "");
            break;
        }
        case enumKind: enumList(*registry.madeType(type), address, writable, itemRects); break;
        default: break;
        }
        ImGui::EndDisabled();
    }

    void enumList(const MadeType& type, const void* address, void* writable,
                  std::vector<ScreenRect>* itemRects) {
        auto current = readValue<std::int32_t>(address);
        char preview[16];
        // A value set elsewhere that has no label is shown as its number.
        std::snprintf(preview, sizeof preview, "%d", static_cast<int>(current));
        auto named = std::find_if(type.values.begin(), type.values.end(),
                                  [current](const EnumValue& v) { return v.value == current; });
        if (!ImGui::BeginCombo("##value",
                               named != type.values.end() ? named->label.c_str() : preview)) {
            return;
        }
        // The list is laid out unseen in its first frame; its places are only
        // worth keeping once it shows.
        bool shown = !ImGui::GetCurrentWindowRead()->Hidden;
        for (size_t i = 0; i < type.values.size(); ++i) {
            const EnumValue& v = type.values[i];
            ImGui::PushID(static_cast<int>(i));
            if (ImGui::Selectable(v.label.c_str(), v.value == current) && writable) {
                writeValue<std::int32_t>(writable, v.value);
            }
            if (shown && itemRects != nullptr) {
                (*itemRects)[i] = lastItemRect();
            }
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
};

// Folded in the next frame: ImGui applies a fold asked for by the arrow at
// the next Begin.
bool foldedNext(const ImGuiWindow& window) { return window.Collapsed != window.WantCollapseToggle; }

// ImGui opens a folded window by its arrow or a double click; a press
// anywhere else on a folded bar's title line opens it too, and is kept from
// starting a double click that would fold it again.
void openOnTitlePress(ImGuiWindow& window) {
    ImGuiContext& g = *GImGui;
    if (window.Collapsed && !window.WantCollapseToggle && ImGui::IsMouseClicked(0) &&
        !g.IO.MouseDoubleClicked[0] && g.HoveredWindow == &window && g.HoveredId == 0 &&
        window.TitleBarRect().Contains(g.IO.MousePos)) {
        window.WantCollapseToggle = true;
        g.IO.MouseClickedTime[0] = -g.IO.MouseDoubleClickTime * 2.0;
    }
}

void bar(TwBar& bar, const Registry& registry, float displayWidth, float displayHeight,
         HelpWindow& help, std::vector<ButtonPress>& pressed) {
    const TwBar::Attributes& a = bar.attributes;
    ImGuiWindow* existing = ImGui::FindWindowByName(bar.name.c_str());
    ScreenRect current = existing ? rectOf(existing->Pos, existing->SizeFull) : ScreenRect{};
    bar.userPlaced = bar.userPlaced || current != bar.placedRect;
    // A bar the user moved or sized is only pushed back inside.
    ScreenRect defined{float(a.x), float(a.y), float(a.width), float(a.height)};
    ScreenRect inside = bar.userPlaced ? keptInside(current, displayWidth, displayHeight)
                                       : placedInside(defined, displayWidth, displayHeight);
    if (existing == nullptr || inside != current) {
        ImGui::SetNextWindowPos(ImVec2(inside.x, inside.y), ImGuiCond_Always);
        ImGui::SetNextWindowSize(ImVec2(inside.width, inside.height), ImGuiCond_Always);
    }
    bar.placedRect = inside;
    // A definition that folds or opens the bar overrides a fold the user
    // asked for in the last frame.
    if (existing == nullptr || foldedNext(*existing) != a.iconified) {
        if (existing != nullptr) {
            existing->WantCollapseToggle = false;
        }
        ImGui::SetNextWindowCollapsed(a.iconified, ImGuiCond_Always);
    }

    bool expanded = ImGui::Begin(bar.name.c_str(), nullptr, barFlags);
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    openOnTitlePress(*window);
    bar.attributes.iconified = foldedNext(*window);
    bar.drawnRect = rectOf(window->Pos, window->Size);
    if (expanded) {
        ImGui::SetWindowFontScale(fontScales[a.fontSize - 1]);
        ImGui::BeginChild("##entries", ImVec2(0.0f, -ImGui::GetFrameHeightWithSpacing()));
        float room = ImGui::GetContentRegionAvail().x;
        float values = a.valuesWidth > 0 ? std::min(float(a.valuesWidth), room * largestValuesShare)
                                         : room * defaultValuesShare;
        Rows rows{registry, pressed, ImGui::GetCursorPosX() + room - values, values};
        for (size_t i = 0; i < bar.entries.size(); ++i) {
            ImGui::PushID(static_cast<int>(i));
            rows.entry(bar.entries[i]);
            ImGui::PopID();
        }
        ImGui::EndChild();
        if (ImGui::SmallButton("?")) {
            help.open = !help.open;
        }
        bar.helpButtonRect = lastItemRect();
    }
    ImGui::End();
}

// Tabs have no glyph in the default font.
void addHelpLine(HelpWindow& help, bool heading, std::string text) {
    std::replace(text.begin(), text.end(), '\t', ' ');
    if (!text.empty()) {
        help.lines.push_back({heading, std::move(text)});
    }
}

void helpWindow(HelpWindow& help, const Registry& registry, float displayWidth, float displayHeight,
                bool opened) {
    help.rect = {};
    if (!help.open) {
        return;
    }
    if (opened) {
        help.lines.clear();
        addHelpLine(help, false, registry.globalHelp());
        for (const auto& b : registry.bars()) {
            addHelpLine(help, true, b->name);
            addHelpLine(help, false, b->attributes.help);
            for (const Entry& e : b->entries) {
                addHelpLine(help, false,
                            e.options.help.empty() ? "" : e.label + ": " + e.options.help);
            }
        }
    }
    ImGui::SetNextWindowSize(
        ImVec2(std::min(helpWidth, displayWidth), std::min(helpHeight, displayHeight)),
        ImGuiCond_Appearing);
    ImGui::SetNextWindowPos(ImVec2(displayWidth * 0.5f, displayHeight * 0.5f), ImGuiCond_Appearing,
                            ImVec2(0.5f, 0.5f));
    if (ImGui::Begin("Help##tweakbar.help", &help.open,
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse)) {
        ImGui::PushTextWrapPos(0.0f);
        for (const HelpWindow::Line& line : help.lines) {
            if (line.heading) {
                ImGui::Separator();
                ImGui::TextColored(ImGui::GetStyleColorVec4(ImGuiCol_PlotHistogram), "%s",
                                   line.text.c_str());
            } else {
                ImGui::TextUnformatted(line.text.c_str());
            }
        }
        ImGui::PopTextWrapPos();
    }
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    help.rect = rectOf(window->Pos, window->Size);
    ImGui::End();
}

} // namespace

void buildBars(const Registry& registry, float displayWidth, float displayHeight, HelpWindow& help,
               std::vector<ButtonPress>& pressed) {
    bool wasOpen = help.open;
    for (const auto& b : registry.bars()) {
        // Only what this frame lays out has a place: not the entries of a
        // hidden or folded bar.
        b->drawnRect = b->helpButtonRect = {};
        for (Entry& e : b->entries) {
            e.widgetRect = e.labelRect = e.labelRoom = {};
            std::fill(e.itemRects.begin(), e.itemRects.end(), ScreenRect{});
        }
        if (b->attributes.visible) {
            bar(*b, registry, displayWidth, displayHeight, help, pressed);
        }
    }
    helpWindow(help, registry, displayWidth, displayHeight, help.open && !wasOpen);
}

} // namespace Vellumar::tweakbar
