// SPDX-License-Identifier: GPL-3.0-or-later
#include "Resources.h"

#include "Pictures.h"

#include <array>
#include <functional>

namespace sarvendo {

namespace {

using namespace pictures;

struct Resource
{
    std::string_view name;
    std::function<QImage()> draw;
};

const std::vector<Resource>& Table()
{
    static const std::vector<Resource> table = [] {
        std::vector<Resource> entries;
        const std::array<std::string_view, 5> layouts{"SQUARE", "HORIZ", "HORIZ_SMALL", "HORIZ_MODEM", "COURIER"};
        for (std::size_t index = 0; index < layouts.size(); ++index) {
            const int layout = static_cast<int>(index) + 1;
            entries.push_back({layouts[index], [layout] { return DrawLayoutPicture(layout); }});
        }
        entries.push_back({"TITLE2", [] { return DrawTitleStripPicture(3); }});
        entries.push_back({"TITLE12", [] { return DrawTitleStripPicture(4); }});
        entries.push_back({"TITLE22", [] { return DrawTitleStripPicture(5); }});

        struct LampFamily
        {
            std::string_view suffix; // between the state and the look
            LampShape flatShape;
            int roundWidth, roundHeight, flatWidth, flatHeight;
            bool hasSocket;
        };
        static constexpr std::array<LampFamily, 4> kFamilies{{
            {"_LARGE", LampShape::Octagon, 20, 20, 20, 20, false},
            {"", LampShape::Diamond, 11, 12, 11, 12, false},
            {"_Modem", LampShape::Square, 12, 12, 10, 11, true},
            {"_Title", LampShape::Bar, 11, 7, 12, 7, true},
        }};
        static const std::array<std::string, 24> kLampNames = [] {
            std::array<std::string, 24> names;
            std::size_t next = 0;
            for (const LampFamily& family : kFamilies) {
                for (const std::string_view state : {"LIGHTON", "LIGHTOFF", "NOLIGHT"}) {
                    for (const std::string_view look : {"_R", "_F"}) {
                        names[next++] = std::string(state) + std::string(family.suffix) + std::string(look);
                    }
                }
            }
            return names;
        }();
        std::size_t next = 0;
        for (const LampFamily& family : kFamilies) {
            for (const LampContent content : {LampContent::Lit, LampContent::Unlit, LampContent::EmptySocket}) {
                for (const bool round : {true, false}) {
                    const std::string& name = kLampNames[next++];
                    if (content == LampContent::EmptySocket && !family.hasSocket) {
                        continue;
                    }
                    const LampShape shape = round ? LampShape::Disc : family.flatShape;
                    const int width = round ? family.roundWidth : family.flatWidth;
                    const int height = round ? family.roundHeight : family.flatHeight;
                    entries.push_back({name, [=] { return DrawLampPicture(shape, width, height, content); }});
                }
            }
        }

        const std::array<std::string_view, 8> trayNames{"MODEM1",    "MODEM2",    "MODEM3",    "MODEM4",
                                                        "MODEM1_NC", "MODEM2_NC", "MODEM3_NC", "MODEM4_NC"};
        for (std::size_t index = 0; index < trayNames.size(); ++index) {
            const bool carrier = index < 4;
            const bool receiving = (index % 4) == 1 || (index % 4) == 3;
            const bool sending = (index % 4) >= 2;
            entries.push_back({trayNames[index], [=] { return DrawTrayIcon(carrier, receiving, sending); }});
        }
        entries.push_back({"MAINICON", [] { return DrawProgramIcon(32); }});
        entries.push_back({"HAND", [] { return DrawHandCursor(); }});
        entries.push_back({"LOGO", [] { return DrawSplashLogo(); }});
        return entries;
    }();
    return table;
}

bool SameName(std::string_view left, std::string_view right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t index = 0; index < left.size(); ++index) {
        const auto a = static_cast<unsigned char>(left[index]);
        const auto b = static_cast<unsigned char>(right[index]);
        // Only ASCII letters fold, so a hostile name can never match by a locale quirk.
        const auto fold = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
        if (fold(a) != fold(b)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<QImage> LoadResourceImage(std::string_view name)
{
    for (const Resource& resource : Table()) {
        if (SameName(resource.name, name)) {
            return resource.draw();
        }
    }
    return std::nullopt;
}

std::vector<std::string> ResourceNames()
{
    std::vector<std::string> names;
    for (const Resource& resource : Table()) {
        names.emplace_back(resource.name);
    }
    return names;
}

std::optional<QImage> LoadProgramIcon(int size)
{
    if (size < kSmallestProgramIcon || size > kLargestProgramIcon) {
        return std::nullopt;
    }
    return DrawProgramIcon(size);
}

QPoint HandCursorHotSpot()
{
    return {5, 0};
}

} // namespace sarvendo
