#include "common/ChangeMarks.h"
#include "platform/Text.h"

namespace {
constexpr std::size_t kShortestPrice = 3;
constexpr std::size_t kLongestPrice = 7;
} // namespace

int PriceDirection(const std::string& previous, const std::string& current) {
    const double before = LeadingNumber(previous);
    const double after = LeadingNumber(current);
    if (before == after)
        return kPriceSteady;
    return after > before ? kPriceRose : kPriceFell;
}

void CChangeMarks::Track(std::size_t column, const std::string& previous,
                         const std::string& current) {
    if (previous.size() < kShortestPrice || previous.size() > kLongestPrice)
        return;
    const int direction = PriceDirection(previous, current);
    if (direction == kPriceSteady)
        return;
    if (column >= directions.size())
        directions.resize(column + 1, kPriceSteady);
    directions[column] = direction;
}
