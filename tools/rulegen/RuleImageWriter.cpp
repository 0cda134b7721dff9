#include "rulegen/RuleImageWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tools {

namespace {

uint8_t Spread(int64_t position, int64_t last)
{
    return last <= 0 ? 0 : static_cast<uint8_t>(position * 255 / last);
}

} // namespace

std::vector<uint8_t> MakeRuleImage(RulePattern pattern, int width, int height, uint8_t value)
{
    if (width <= 0 || height <= 0)
        throw std::invalid_argument("rule image size must be positive");
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    const double cx = (width - 1) / 2.0;
    const double cy = (height - 1) / 2.0;
    const double reach = std::hypot(cx, cy);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t v = 0;
            switch (pattern) {
            case RulePattern::WipeRight:
                v = Spread(x, width - 1);
                break;
            case RulePattern::WipeDown:
                v = Spread(y, height - 1);
                break;
            case RulePattern::Radial:
                v = reach <= 0 ? 0 : static_cast<uint8_t>(std::hypot(x - cx, y - cy) / reach * 255.0);
                break;
            case RulePattern::Blinds:
                v = Spread(y % 16, 15);
                break;
            case RulePattern::Constant:
                v = value;
                break;
            }
            image[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = v;
        }
    }
    return image;
}

bool ParseRulePattern(std::string_view name, RulePattern& pattern)
{
    struct Named
    {
        std::string_view name;
        RulePattern pattern;
    };
    static constexpr Named NAMES[] = {{"wipe-right", RulePattern::WipeRight},
                                      {"wipe-down", RulePattern::WipeDown},
                                      {"radial", RulePattern::Radial},
                                      {"blinds", RulePattern::Blinds},
                                      {"constant", RulePattern::Constant}};
    for (const Named& named : NAMES) {
        if (named.name == name) {
            pattern = named.pattern;
            return true;
        }
    }
    return false;
}

} // namespace tools
