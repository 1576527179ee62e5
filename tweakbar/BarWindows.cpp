#include "BarWindows.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "EntryWidgets.h"

namespace tweakbar {

namespace {

// The value column takes this share of the bar when valuesWidth is unset.
constexpr float defaultValuesShare = 0.4f;
constexpr float helpWidth = 440.0f;
constexpr float helpHeight = 380.0f;
constexpr ImGuiWindowFlags barFlags = ImGuiWindowFlags_NoSavedSettings |
                                      ImGuiWindowFlags_NoScrollbar |
                                      ImGuiWindowFlags_NoScrollWithMouse;

ScreenRect rectOf(const ImVec2& pos, const ImVec2& size) { return {pos.x, pos.y, size.x, size.y}; }

// Tabs have no glyph in the default font.
std::string shownText(const std::string& text) {
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), '\t', ' ');
    return shown;
}

} // namespace

void BarWindows::reset() {
    helpOpen_ = false;
    helpLines_.clear();
    helpRect_ = {};
}

void BarWindows::build(Registry& registry, float displayWidth, float displayHeight,
                       std::vector<ButtonPress>& pressed) {
    bool wasOpen = helpOpen_;
    for (auto& b : registry.bars()) {
        b->drawnRect = {};
        b->helpButtonRect = {};
        if (b->attributes.visible) {
            bar(*b, registry.types(), displayWidth, displayHeight, pressed);
        }
    }
    if (helpOpen_ && !wasOpen) {
        gatherHelp(registry);
    }
    helpWindow(displayWidth, displayHeight);
}

void BarWindows::bar(TwBar& bar, const TypeRegistry& types, float displayWidth,
                     float displayHeight, std::vector<ButtonPress>& pressed) {
    const TwBar::Attributes& a = bar.attributes;
    ImGuiWindow* existing = ImGui::FindWindowByName(bar.name.c_str());
    const bool fromDefinition = bar.placementPending || existing == nullptr;
    ScreenRect current = fromDefinition
                             ? ScreenRect{float(a.x), float(a.y), float(a.width), float(a.height)}
                             : rectOf(existing->Pos, existing->SizeFull);
    // A bar the user moved or sized is only pushed back inside.
    ScreenRect inside = fromDefinition ? placedInside(current, displayWidth, displayHeight)
                                       : keptInside(current, displayWidth, displayHeight);
    if (bar.placementPending || inside != current) {
        ImGui::SetNextWindowPos(ImVec2(inside.x, inside.y), ImGuiCond_Always);
        ImGui::SetNextWindowSize(ImVec2(inside.width, inside.height), ImGuiCond_Always);
        bar.placementPending = false;
    }

    bool expanded = ImGui::Begin(bar.name.c_str(), nullptr, barFlags);
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    bar.drawnRect = rectOf(window->Pos, window->SizeFull);
    if (expanded) {
        ImGui::SetWindowFontScale(bar.fontScale());
        float footer = ImGui::GetFrameHeightWithSpacing();
        ImGui::BeginChild("##entries", ImVec2(0.0f, -footer));
        float valuesWidth = a.valuesWidth > 0 ? float(a.valuesWidth)
                                              : ImGui::GetContentRegionAvail().x * defaultValuesShare;
        if (ImGui::BeginTable("##rows", 2)) {
            ImGui::TableSetupColumn("##label", ImGuiTableColumnFlags_WidthStretch);
            ImGui::TableSetupColumn("##value", ImGuiTableColumnFlags_WidthFixed, valuesWidth);
            EntryWidgets widgets(types, pressed);
            for (size_t i = 0; i < bar.entries.size(); ++i) {
                ImGui::PushID(static_cast<int>(i));
                widgets.rows(bar.entries[i]);
                ImGui::PopID();
            }
            ImGui::EndTable();
        }
        ImGui::EndChild();
        if (ImGui::SmallButton("?")) {
            helpOpen_ = !helpOpen_;
        }
        bar.helpButtonRect = rectOf(ImGui::GetItemRectMin(), ImGui::GetItemRectSize());
        if (ImGui::IsItemHovered()) {
            ImGui::SetTooltip("Help");
        }
    }
    ImGui::End();
}

void BarWindows::helpWindow(float displayWidth, float displayHeight) {
    helpRect_ = {};
    if (!helpOpen_) {
        return;
    }
    ImGui::SetNextWindowSize(
        ImVec2(std::min(helpWidth, displayWidth), std::min(helpHeight, displayHeight)),
        ImGuiCond_Appearing);
    ImGui::SetNextWindowPos(ImVec2(displayWidth * 0.5f, displayHeight * 0.5f), ImGuiCond_Appearing,
                            ImVec2(0.5f, 0.5f));
    if (ImGui::Begin("Help##tweakbar.help", &helpOpen_,
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse)) {
        ImGui::PushTextWrapPos(0.0f);
        for (const HelpLine& line : helpLines_) {
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
    helpRect_ = rectOf(window->Pos, window->Size);
    ImGui::End();
}

void BarWindows::gatherHelp(const Registry& registry) {
    helpLines_.clear();
    if (!registry.globalHelp().empty()) {
        helpLines_.push_back({false, shownText(registry.globalHelp())});
    }
    for (const auto& bar : registry.bars()) {
        helpLines_.push_back({true, bar->name});
        if (!bar->attributes.help.empty()) {
            helpLines_.push_back({false, shownText(bar->attributes.help)});
        }
        for (const Entry& entry : bar->entries) {
            if (!entry.options.help.empty()) {
                helpLines_.push_back({false, shownText(entry.label + ": " + entry.options.help)});
            }
        }
    }
}

} // namespace tweakbar
