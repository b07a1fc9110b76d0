#pragma once
#include <string>
#include <vector>

// The direction of each column's last price change, for colouring the changed cell.
inline constexpr int kPriceFell = -1;
inline constexpr int kPriceSteady = 0;
inline constexpr int kPriceRose = 1;

class CChangeMarks {
public:
    void Reset(std::size_t columns) { directions.assign(columns, kPriceSteady); }
    // Records a change when the previous text looks like a price (3 to 7 characters);
    // an unchanged value keeps the column's colour.
    void Track(std::size_t column, const std::string& previous, const std::string& current);
    int Direction(std::size_t column) const {
        return column < directions.size() ? directions[column] : kPriceSteady;
    }

private:
    std::vector<int> directions;
};

// The direction from one price text to the next: 0 when equal as numbers.
int PriceDirection(const std::string& previous, const std::string& current);
